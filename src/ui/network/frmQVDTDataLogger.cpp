#include "ui/network/frmQVDTDataLogger.h"
#include "ports/OpenPort.h"

#include "bus/BusLink.h"
#include "documents/Settings.h"
#include "host/Host.h"
#include "ui/shell/Widgets.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QRadioButton>
#include <QSpinBox>

namespace tqdt::net {

frmQVDTDataLogger::frmQVDTDataLogger(Host& host, QWidget* parent)
    : Form(host, parent), m_comLog(host.newPort())
{
    setObjectName(QStringLiteral("frmQVDTDataLogger"));
    setWindowTitle(QStringLiteral("Tarvik Quorvel Serial Data Logger"));
    setFixedSize(tw(9615), tw(2400));

    const QString captions[2] = {QStringLiteral("Blue Channel"), QStringLiteral("Brown Channel")};
    for (int i = 0; i < 2; ++i) {
        optChan[size_t(i)] =
            placeOption(this, QStringLiteral("optChan(%1)").arg(i), captions[i], 240, 240 + 360 * i, 2055);
    }
    optChan[0]->setChecked(true);

    cmdStart =
        placeButton(this, QStringLiteral("cmdStart"), QStringLiteral("Start Logging"), 2640, 270, 2055, 495);
    connect(cmdStart, &QPushButton::clicked, this, &frmQVDTDataLogger::cmdStart_Click);

    lblFileName =
        placeLabel(this, QStringLiteral("lblFileName"), QStringLiteral("Log File:"), 240, 1080, 9135, 570);
    lblFileName->setTextFormat(Qt::PlainText);
    lblFileName->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblFileName->setWordWrap(true);
    lblBlocks = placeLabel(this, QStringLiteral("lblBlocks"), QStringLiteral("Blocks Logged: 0"), 240, 1800,
                           4095, 285);

    chkRotate = placeCheck(this, QStringLiteral("chkRotate"), QStringLiteral("Rotate"), 5040, 285, 1095);
    connect(chkRotate, &QCheckBox::clicked, this, &frmQVDTDataLogger::chkRotate_Click);
    cboRotate = new QComboBox(this);
    cboRotate->setObjectName(QStringLiteral("cboRotate"));
    cboRotate->addItems({QStringLiteral("By Size (MB)"), QStringLiteral("Daily At Midnight")});
    cboRotate->setGeometry(tw(6240), tw(240), tw(1800), tw(345));
    spnRotateMB = new QSpinBox(this);
    spnRotateMB->setObjectName(QStringLiteral("spnRotateMB"));
    spnRotateMB->setRange(1, 1000000);
    spnRotateMB->setValue(100);
    spnRotateMB->setGeometry(tw(8160), tw(240), tw(1215), tw(345));
    connect(cboRotate, &QComboBox::currentIndexChanged, this,
            [this](int i) { spnRotateMB->setEnabled(i == 0); });
    lblKeep = placeLabel(this, QStringLiteral("lblKeep"), QStringLiteral("Keep Last (0 = All):"), 5040, 690,
                         2055, 285);
    spnKeep = new QSpinBox(this);
    spnKeep->setObjectName(QStringLiteral("spnKeep"));
    spnKeep->setRange(0, 9999);
    spnKeep->setValue(7);
    spnKeep->setGeometry(tw(7200), tw(660), tw(900), tw(345));
    for (QWidget* w : std::initializer_list<QWidget*>{cboRotate, spnRotateMB, lblKeep, spnKeep})
        w->setVisible(false);

    // One character per read and a receive event for every character; the line stays at
    // "38400,n,8,1" like the main window's port.
    m_comLog->setInputLen(1);
    m_comLog->setRThreshold(1);
    m_comLog->setReceiveCallback([this] { comLog_OnComm(); });
}

frmQVDTDataLogger::~frmQVDTDataLogger()
{
    m_comLog->setReceiveCallback({});
    if (LogActive)
        stopLogging();
}

void frmQVDTDataLogger::Form_Load() { m_comLog->setCommPort(host().settings.DTComPort); }

void frmQVDTDataLogger::Form_Unload(bool& cancel)
{
    (void)cancel;
    if (LogActive)
        stopLogging();
}

void frmQVDTDataLogger::cmdStart_Click()
{
    if (LogActive)
        stopLogging();
    else
        startLogging();
}

void frmQVDTDataLogger::setIdleControls(bool idle)
{
    cmdStart->setText(idle ? QStringLiteral("Start Logging") : QStringLiteral("Stop Logging"));
    for (QRadioButton* o : optChan)
        o->setEnabled(idle);
    for (QWidget* w : std::initializer_list<QWidget*>{chkRotate, cboRotate, spnKeep})
        w->setEnabled(idle);
    spnRotateMB->setEnabled(idle && cboRotate->currentIndex() == 0);
}

void frmQVDTDataLogger::chkRotate_Click()
{
    const bool on = chkRotate->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{cboRotate, spnRotateMB, lblKeep, spnKeep})
        w->setVisible(on);
}

DataLog::Rotation frmQVDTDataLogger::rotation() const
{
    DataLog::Rotation r;
    if (!chkRotate->isChecked())
        return r;
    r.mode =
        cboRotate->currentIndex() == 0 ? DataLog::Rotation::Mode::BySize : DataLog::Rotation::Mode::Daily;
    r.sizeBytes = qint64(spnRotateMB->value()) * 1024 * 1024;
    r.keep = spnKeep->value();
    return r;
}

void frmQVDTDataLogger::showBlocks()
{
    lblBlocks->setText(QStringLiteral("Blocks Logged: %1").arg(m_log.blocks()));
}

void frmQVDTDataLogger::startLogging()
{
    const QDateTime now = host().clock().localDateTime();
    const Channel channel = optChan[0]->isChecked() ? Channel::Blue : Channel::Brown;
    if (!OpenPort(host(), *m_comLog))
        return;
    // A folder that cannot be made shows as the log file's creation failing, with the folder named.
    static_cast<void>(EnsureDataFolder(host()));
    QString error;
    m_log.setRotation(rotation(), &host().clock());
    if (!m_log.Open(host().paths().dataFolder(), DataLog::FileName(channel, now), &error)) {
        m_comLog->close();
        host().dialogs().message(QStringLiteral("Unable To Create The Log File In\r\n%1\r\n%2")
                                     .arg(QDir::toNativeSeparators(host().paths().dataFolder()), error),
                                 QStringLiteral("Error"), MsgIcon::Critical);
        return;
    }
    LogActive = true;
    showBlocks();
    setIdleControls(false);
    lblFileName->setText(QStringLiteral("Log File: ") + QDir::toNativeSeparators(m_log.path()));
    if (channel == Channel::Blue)
        LogBlue();
    else
        LogBrown();
    // What was already on its way when the port opened is let through once and dropped.
    host().yieldToUser();
    LogAccept = LogActive;
}

void frmQVDTDataLogger::stopLogging(bool writeFailed)
{
    LogActive = false;
    LogAccept = false;
    setIdleControls(true);
    m_comLog->close();
    const QString path = m_log.path();
    if (!m_log.Close() || writeFailed)
        host().dialogs().message(
            QStringLiteral("Unable To Write The Log File\r\n%1").arg(QDir::toNativeSeparators(path)),
            QStringLiteral("Error"), MsgIcon::Critical);
}

void frmQVDTDataLogger::comLog_OnComm()
{
    while (m_comLog->inBufferCount() >= 1) {
        const QByteArray c = m_comLog->input();
        if (c.isEmpty())
            break;
        if (!LogAccept)
            continue; // before logging starts a byte is dropped
        for (char b : c) {
            switch (m_log.Add(b)) {
            case DataLog::Added::Buffered: break;
            case DataLog::Added::BlockWritten:
                showBlocks();
                // A new part has a name of its own.
                if (m_log.part() > 1)
                    lblFileName->setText(QStringLiteral("Log File: ") +
                                         QDir::toNativeSeparators(m_log.path()));
                break;
            case DataLog::Added::WriteFailed: stopLogging(true); return;
            }
        }
    }
}

void frmQVDTDataLogger::LogBlue() { BusLink(host(), *m_comLog).select(Channel::Blue); }

void frmQVDTDataLogger::LogBrown() { BusLink(host(), *m_comLog).select(Channel::Brown); }

} // namespace tqdt::net
