#include "condlogic/frmExpCndFactory.h"

#include "shell/FrameCodec.h"
#include "shell/Host.h"
#include "shell/Settings.h"

#include <QTimer>

namespace tqdt::cnd {

namespace {
const QColor kSearching(128, 255, 255);
const QColor kAnswering(0, 255, 0);
const QColor kSilent(255, 0, 0);
const QColor kInputOn(255, 255, 255);
const QColor kInputOff(96, 96, 96);
constexpr int kPollLimitMs = 20;

QString colourSheet(const QColor& background)
{
    // Light text where the background is dark, so that an input that is off stays readable.
    const QString text = background.lightness() < 128 ? QStringLiteral("#e0e0e0") : QStringLiteral("#000000");
    return QStringLiteral("QLabel { background: %1; color: %2; border: 1px solid #404040; }")
        .arg(background.name(), text);
}
} // namespace

frmExpCndFactory::frmExpCndFactory(Host& host, QWidget* parent) : Form(host, parent)
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

bool frmExpCndFactory::WSCom(const QByteArray& frame, int count, int timeoutMs)
{
    // The module sits on the bench cable: the Blue channel, selected when the port opened.
    return Exchange(host(), Channel::Blue, frame, count, timeoutMs, ExchangeOptions{.emptyAgain = false});
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
    SelectBlueChannel(host());
    ScanNodes();
}

void frmExpCndFactory::cmdFind_Click() { ScanNodes(); }

void frmExpCndFactory::ScanNodes()
{
    setNodeColour(kSearching);
    for (int n = 0; n < 256; ++n) {
        lblNode->setText(QStringLiteral(" Poll: ") + QString::fromLatin1(Hex2(qint16(n))));
        lblNode->repaint();
        if (WSCom("[2" + Hex2(qint16(n)) + "0--]", 6, kPollLimitMs)) {
            m_node = n;
            lblNode->setText(QStringLiteral(" Node: ") + QString::fromLatin1(Hex2(qint16(n))));
            cmdDefault->setEnabled(n == 0);
            return;
        }
    }
    lblNode->setText(QStringLiteral(" Node: --"));
    m_node = -1;
    cmdDefault->setEnabled(false);
}

void frmExpCndFactory::tmrScan_Timer()
{
    if (m_node < 0 || !WSCom("[2" + Hex2(qint16(m_node)) + "2--]", 6, kPollLimitMs)) {
        setNodeColour(kSilent);
        hideInputs();
        return;
    }
    setNodeColour(kAnswering);
    const int v = HexVal2(Mid(host().reply.ReplyText, 2, 2));
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
    if (!WSCom("[200D2D--]", 6, 8000)) {
        failure(QStringLiteral("Apply Default Failure 01"));
    } else if (Mid(host().reply.ReplyText, 2, 2) != "D5") {
        failure(QStringLiteral("Apply Default Failure 02"));
    } else if (!WSCom("[200C00--]", 18, 3000)) {
        // The whole reply, "[" + 16 digits + "]", is awaited: its first six characters alone
        // would never hold the checksum.
        failure(QStringLiteral("Apply Default Failure 03"));
    } else if (Mid(host().reply.ReplyText, 2, 16) == kDefaultChecksum) {
        host().dialogs().message(QStringLiteral("Checksum Verified"), QStringLiteral("Default Config"),
                                 MsgIcon::None, MsgButtons::Ok);
    } else {
        failure(QStringLiteral("Checksum Failure\r\nApply Default Failure 04"));
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
