#include "ui/shell/frmQVDTMain.h"

#include "documents/Settings.h"
#include "host/Host.h"
#include "ui/shell/Form.h"
#include "ui/shell/frmComSel.h"
#include "ui/shell/frmPorts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QTimer>

#include <QDebug>
#include <QMenu>
#include <utility>

namespace tqdt {

namespace {
constexpr int kButtonWidth = 4095;
constexpr int kButtonHeight = 375;
} // namespace

frmQVDTMain::frmQVDTMain(Host& host, ToolList tools, QWidget* parent)
    : QWidget(parent), m_host(host), m_tools(std::move(tools))
{
    setObjectName(QStringLiteral("frmQVDTMain"));
    setWindowTitle(QStringLiteral("Tarvik Quorvel Diagnostic Tool Rev " TQDT_VERSION));
    setFixedSize(tw(9615), tw(5760));

    auto header = [this](int i, const QString& caption, int left, int top) {
        auto* l =
            placeLabel(this, QStringLiteral("lblHeader(%1)").arg(i), caption, left, top, kButtonWidth, 285);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        lblHeader[size_t(i)] = l;
    };
    header(4, QStringLiteral("Interface COM Port"), 480, 120);
    lblComPort =
        placeClickLabel(this, QStringLiteral("lblComPort"), QStringLiteral("COM1"), 480, 480, 975, 285);
    lblComPort->setCursor(Qt::PointingHandCursor);
    lblComPort->setStyleSheet(
        QStringLiteral("QLabel { border: 1px solid #808080; background: white; padding-left: 4px; }"));
    connect(lblComPort, &ClickLabel::clicked, this, &frmQVDTMain::lblComPort_Click);
    // The window's arrangement is fixed; the ports list is reached from the label it concerns.
    mnuComPort = new QMenu(this);
    mnuComPort->setObjectName(QStringLiteral("mnuComPort"));
    mnuPorts = mnuComPort->addAction(QStringLiteral("Ports..."));
    mnuPorts->setObjectName(QStringLiteral("mnuPorts"));
    connect(mnuPorts, &QAction::triggered, this, &frmQVDTMain::mnuPorts_Click);
    // The survey too, so the window keeps its arrangement; it opens as any tool does.
    mnuSiteSurvey = mnuComPort->addAction(QStringLiteral("Site Survey..."));
    mnuSiteSurvey->setObjectName(QStringLiteral("mnuSiteSurvey"));
    connect(mnuSiteSurvey, &QAction::triggered, this, [this] { launch(QStringLiteral("mnuSiteSurvey")); });
    connect(lblComPort, &ClickLabel::rightClicked, this,
            [this](QPoint pos, Qt::KeyboardModifiers) { mnuComPort->popup(lblComPort->mapToGlobal(pos)); });
    lblComCheck = placeLabel(this, QStringLiteral("lblComCheck"), QStringLiteral("Checking Network Activity"),
                             1560, 480, 3015, 285);
    lblComCheck->setStyleSheet(QStringLiteral("QLabel { color: #C00000; }"));
    lblComCheck->setVisible(false);

    header(0, QStringLiteral("System Diagnostics"), 480, 960);
    cmdLocalMonitor = toolButton(QStringLiteral("cmdLocalMonitor"),
                                 QStringLiteral("Monitor Panel Level Wistra Devices"), 480, 1320);
    cmdLocalScan = toolButton(QStringLiteral("cmdLocalScan"),
                              QStringLiteral("Scan Panel Level Wistra Devices"), 480, 1800);
    cmdNetworkMonitor = toolButton(QStringLiteral("cmdNetworkMonitor"),
                                   QStringLiteral("Monitor Network Panels And Devices"), 480, 2280);
    cmdNetworkScan = toolButton(QStringLiteral("cmdNetworkScan"),
                                QStringLiteral("Scan Network Panels And Devices"), 480, 2760);
    cmdDiscover = toolButton(QStringLiteral("cmdDiscover"),
                             QStringLiteral("Discover Network Panel Addresses"), 480, 3240);
    cmdDTDataLogger =
        toolButton(QStringLiteral("cmdDTDataLogger"), QStringLiteral("Serial Data Logger"), 480, 3720);

    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(tw(480), tw(4200), tw(4095), tw(975));
    Picture1->setFrameShape(QFrame::Box);
    Picture1->setStyleSheet(
        QStringLiteral("QFrame#Picture1 { background: #FFFFC0; border: 1px solid #808080; }"));
    const QString notes[3] = {QStringLiteral("Scan Functions Will Cause The Following:"),
                              QStringLiteral("-All Wistra Pilots Will Turn On"),
                              QStringLiteral("-All Dimmer Outputs Will Goto 100%")};
    for (int i = 0; i < 3; ++i) {
        auto* l = placeLabel(Picture1, QStringLiteral("lblScanNote(%1)").arg(i), notes[i], i == 0 ? 60 : 240,
                             60 + 285 * i, 3900, 285);
        l->setStyleSheet(QStringLiteral("background: transparent;"));
        lblScanNote[size_t(i)] = l;
    }

    header(1, QStringLiteral("Wistra Test/Configure"), 5040, 120);
    cmdWSG3Test = toolButton(QStringLiteral("cmdWSG3Test"), QStringLiteral("G3 Wall Switch"), 5040, 420);
    cmdDualTechWall =
        toolButton(QStringLiteral("cmdDualTechWall"), QStringLiteral("Dual Tech Wall Sensor"), 5040, 900);
    cmdDualTech =
        toolButton(QStringLiteral("cmdDualTech"), QStringLiteral("Dual Tech Ceiling Sensor"), 5040, 1350);
    cmdKestrix = toolButton(QStringLiteral("cmdKestrix"), QStringLiteral("Kestrix Wall Switch"), 5040, 1800);
    header(2, QStringLiteral("Conditional Input Module"), 5040, 2310);
    const QString cnd[3] = {QStringLiteral("Factory Setup and Test"), QStringLiteral("Custom Programming"),
                            QStringLiteral("MP Device Programming")};
    for (int i = 0; i < 3; ++i)
        cmdCndOcc[size_t(i)] =
            toolButton(QStringLiteral("cmdCndOcc(%1)").arg(i), cnd[i], 5040, 2610 + 450 * i);
    header(3, QStringLiteral("Interface Modules"), 5040, 4050);
    cmdMGW = toolButton(QStringLiteral("cmdMGW"), QStringLiteral("Brimlock Mapped Gateway"), 5040, 4350);
    cmdDMX = toolButton(QStringLiteral("cmdDMX"), QStringLiteral("DMX Mapped Gateway"), 5040, 4800);
    // The legacy wall-station window is kept but its button is never shown.
    cmdWSTest = toolButton(QStringLiteral("cmdWSTest"), QStringLiteral("Legacy Wistra Device"), 2760, 5160);
    cmdWSTest->setVisible(false);

    linSep[0] = placeLine(this, QStringLiteral("linSep(0)"), 480, 840, 4575, 840);
    linSep[1] = placeLine(this, QStringLiteral("linSep(1)"), 4800, 120, 4800, 5280);
    linSep[2] = placeLine(this, QStringLiteral("linSep(2)"), 5040, 2220, 9135, 2220);
    linSep[3] = placeLine(this, QStringLiteral("linSep(3)"), 5040, 3960, 9135, 3960);
    linSep[4] = placeLine(this, QStringLiteral("linSep(4)"), 480, 5400, 9135, 5400);

    m_host.comQV().setReceiveCallback([this] { comQV_OnComm(); });
    Form_Load();
}

frmQVDTMain::~frmQVDTMain()
{
    m_host.comQV().setReceiveCallback({});
    Form_Unload();
}

QPushButton* frmQVDTMain::toolButton(const QString& name, const QString& caption, int left, int top)
{
    QPushButton* b = placeButton(this, name, caption, left, top, kButtonWidth, kButtonHeight);
    // A tool whose window is not part of this build stays disabled.
    b->setEnabled(findToolByButton(m_tools, name) != nullptr);
    connect(b, &QPushButton::clicked, this, [this, name] { launch(name); });
    return b;
}

void frmQVDTMain::Form_Load()
{
    centreOnScreen(*this);
    // The start window has no place for these; the log names what failed, and a document or log
    // saved into the missing folder says so itself.
    if (!EnsureDataFolder(m_host))
        qWarning().noquote() << "Cannot create the data folder" << m_host.paths().dataFolder();
    if (!LoadSettings(m_host))
        qWarning().noquote() << "Cannot write the settings file" << m_host.paths().settingsFile();
    lblComPort->setText(QStringLiteral("COM%1").arg(m_host.settings.DTComPort));
}

void frmQVDTMain::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (!SaveSettings(m_host))
        qWarning().noquote() << "Cannot write the settings file; the chosen port is not kept"
                             << m_host.paths().settingsFile();
}

void frmQVDTMain::endUnattended(std::function<void()> ended)
{
    m_host.endingUnattended = true;
    if (!closeEveryWindow()) {
        QTimer::singleShot(100, this,
                           [this, ended = std::move(ended)]() mutable { endUnattended(std::move(ended)); });
        return;
    }
    close();
    if (ended)
        ended();
}

bool frmQVDTMain::closeEveryWindow()
{
    for (;;) {
        // The window on top is the innermost: each modal window ends its own exec() when it closes.
        QWidget* top = QApplication::activeModalWidget();
        Form* form = qobject_cast<Form*>(top);
        if (top && !form) {
            // A message box or a file dialog: nobody chose anything.
            if (auto* dialog = qobject_cast<QDialog*>(top))
                dialog->reject();
            else
                top->close();
            if (QApplication::activeModalWidget() == top)
                return false;
            continue;
        }
        if (!form) {
            // A tool window shown without a modal loop of its own.
            const QWidgetList windows = QApplication::topLevelWidgets();
            for (QWidget* w : windows)
                if (auto* f = qobject_cast<Form*>(w); f && f->isShownModal())
                    form = f;
        }
        if (!form)
            return true;
        if (!form->requestClose())
            return false; // a transfer under way ends first
    }
}

void frmQVDTMain::closeEvent(QCloseEvent* e)
{
    Form_Unload();
    QWidget::closeEvent(e);
}

void frmQVDTMain::lblComPort_Click()
{
    frmComSel dialog(m_host, this);
    dialog.ensureLoaded();
    dialog.move(frameGeometry().topLeft() + QPoint(tw(525), tw(855)));
    m_host.dialogs().showModal(dialog);
    if (m_host.settings.ComSelIndex >= 0) {
        m_host.settings.DTComPort = qint16(m_host.settings.ComSelIndex + 1);
        lblComPort->setText(QStringLiteral("COM%1").arg(m_host.settings.DTComPort));
    }
}

void frmQVDTMain::mnuPorts_Click()
{
    frmPorts window(m_host, this);
    window.ensureLoaded();
    m_host.dialogs().showModal(window);
}

void frmQVDTMain::comQV_OnComm()
{
    // One character per event while a monitor is open; no event type is examined.
    m_host.mon.receive(m_host.comQV().input());
}

void frmQVDTMain::launch(const QString& button)
{
    const ToolEntry* tool = findToolByButton(m_tools, button);
    if (!tool)
        return;
    LaunchTool(m_host, *tool, [this](bool show) {
        lblComCheck->setVisible(show);
        if (show)
            repaintNow(*lblComCheck);
    });
}

} // namespace tqdt
