#include "ui/condlogic/frmExpCndFactory.h"
#include "bus/BusLink.h"
#include "ports/OpenPort.h"

#include "bus/FrameCodec.h"
#include "documents/Settings.h"
#include "host/Host.h"

#include <QTimer>

namespace tqdt::cnd {

namespace {
const QColor kSearching(128, 255, 255);
const QColor kAnswering(0, 255, 0);
const QColor kSilent(255, 0, 0);
const QColor kInputOn(255, 255, 255);
const QColor kInputOff(96, 96, 96);

QString colourSheet(const QColor& background)
{
    // Light text where the background is dark, so that an input that is off stays readable.
    const QString text = background.lightness() < 128 ? QStringLiteral("#e0e0e0") : QStringLiteral("#000000");
    return QStringLiteral("QLabel { background: %1; color: %2; border: 1px solid #404040; }")
        .arg(background.name(), text);
}
} // namespace

frmExpCndFactory::frmExpCndFactory(Host& host, QWidget* parent) : Form(host, parent), m_module(host)
{
    setObjectName(QStringLiteral("frmExpCndFactory"));
    setWindowTitle(QStringLiteral("Factory Setup and Test"));
    setFixedSize(tw(6600), tw(4320));

    lblNote[0] = placeLabel(this, QStringLiteral("lblNote(0)"),
                            QStringLiteral("Device address must be set to 00"), 360, 240, 5880, 285);
    lblNote[1] = placeLabel(this, QStringLiteral("lblNote(1)"),
                            QStringLiteral("Device firmware must be Rev 2 or later."), 360, 540, 5880, 285);
    lblNode = placeLabel(this, QStringLiteral("lblNode"), QStringLiteral(" Node: --"), 360, 1080, 3240, 405);
    QFont bold = lblNode->font();
    bold.setBold(true);
    lblNode->setFont(bold);
    lblNode->setStyleSheet(colourSheet(palette().color(QPalette::Window)));
    for (int b = 0; b < 8; ++b) {
        auto* l =
            placeLabel(this, QStringLiteral("lblInSts(%1)").arg(b), QStringLiteral(" Input %1").arg(b + 1),
                       360 + 1680 * (b / 4), 1800 + 480 * (b % 4), 1560, 375);
        l->setStyleSheet(colourSheet(kInputOff));
        l->setVisible(false);
        lblInSts[size_t(b)] = l;
    }
    cmdFind =
        placeButton(this, QStringLiteral("cmdFind"), QStringLiteral("Find Device"), 3840, 1080, 2400, 405);
    cmdDefault = placeButton(this, QStringLiteral("cmdDefault"), QStringLiteral("Apply Default Config"), 3840,
                             1800, 2400, 405);
    cmdDefault->setEnabled(false);
    cmdClose = placeButton(this, QStringLiteral("cmdClose"), QStringLiteral("Close"), 3840, 3600, 2400, 405);
    connect(cmdFind, &QPushButton::clicked, this, &frmExpCndFactory::cmdFind_Click);
    connect(cmdDefault, &QPushButton::clicked, this, &frmExpCndFactory::cmdDefault_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmExpCndFactory::cmdClose_Click);

    tmrLoad = new QTimer(this);
    tmrLoad->setInterval(100);
    connect(tmrLoad, &QTimer::timeout, this, &frmExpCndFactory::tmrLoad_Timer);
    tmrScan = new QTimer(this);
    tmrScan->setInterval(250);
    connect(tmrScan, &QTimer::timeout, this, &frmExpCndFactory::tmrScan_Timer);
}

void frmExpCndFactory::Form_Load()
{
    m_node = -1;
    tmrLoad->start();
    tmrScan->start();
}

void frmExpCndFactory::Form_Unload(bool& cancel)
{
    (void)cancel;
    tmrLoad->stop();
    tmrScan->stop();
}

void frmExpCndFactory::setNodeColour(const QColor& c) { lblNode->setStyleSheet(colourSheet(c)); }

void frmExpCndFactory::hideInputs()
{
    for (QLabel* l : lblInSts)
        l->setVisible(false);
}

void frmExpCndFactory::tmrLoad_Timer()
{
    tmrLoad->stop();
    if (!OpenPort(host()))
        return;
    BusLink(host()).select(Channel::Blue);
    ScanNodes();
}

void frmExpCndFactory::cmdFind_Click() { ScanNodes(); }

void frmExpCndFactory::ScanNodes()
{
    setNodeColour(kSearching);
    m_node = m_module.find([this](int n) {
        lblNode->setText(QStringLiteral(" Poll: ") + QString::fromLatin1(Hex2(qint16(n))));
        lblNode->repaint();
    });
    lblNode->setText(m_node < 0 ? QStringLiteral(" Node: --")
                                : QStringLiteral(" Node: ") + QString::fromLatin1(Hex2(qint16(m_node))));
    cmdDefault->setEnabled(m_node == 0);
}

void frmExpCndFactory::tmrScan_Timer()
{
    const std::optional<quint8> inputs = m_module.readInputs(m_node);
    if (!inputs) {
        setNodeColour(kSilent);
        hideInputs();
        return;
    }
    setNodeColour(kAnswering);
    const int v = *inputs;
    for (int b = 0; b < 8; ++b) {
        lblInSts[size_t(b)]->setStyleSheet(colourSheet((v >> b) & 1 ? kInputOn : kInputOff));
        lblInSts[size_t(b)]->setVisible(true);
    }
}

void frmExpCndFactory::failure(const QString& text)
{
    host().dialogs().message(text, QStringLiteral("Failure"), MsgIcon::Critical);
}

void frmExpCndFactory::cmdDefault_Click()
{
    tmrScan->stop();
    for (QPushButton* b : {cmdFind, cmdDefault, cmdClose})
        b->setEnabled(false);
    using R = FactoryModule::DefaultResult;
    switch (m_module.applyDefault()) {
    case R::Verified:
        host().dialogs().message(QStringLiteral("Checksum Verified"), QStringLiteral("Default Config"),
                                 MsgIcon::None, MsgButtons::Ok);
        break;
    case R::NoAnswer: failure(QStringLiteral("Apply Default Failure 01")); break;
    case R::Refused: failure(QStringLiteral("Apply Default Failure 02")); break;
    case R::NoChecksum: failure(QStringLiteral("Apply Default Failure 03")); break;
    case R::ChecksumDiffers: failure(QStringLiteral("Checksum Failure\r\nApply Default Failure 04")); break;
    }
    tmrScan->start();
    for (QPushButton* b : {cmdFind, cmdDefault, cmdClose})
        b->setEnabled(true);
}

void frmExpCndFactory::cmdClose_Click()
{
    if (host().comQV().isOpen())
        host().comQV().close();
    requestClose();
}

} // namespace tqdt::cnd
