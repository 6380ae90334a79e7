#pragma once

#include "shell/Launcher.h"
#include "shell/Widgets.h"

#include <QWidget>

class QAction;
class QMenu;

#include <array>
#include <functional>
#include <map>
#include <memory>

namespace tqdt {

class Form;
class Host;

// Makes a tool window; the main window holds one per button whose window exists.
using ToolFactory = std::function<std::unique_ptr<Form>(Host&)>;
// Keyed by the button's name: "cmdNetworkScan", "cmdCndOcc(1)", ...
using ToolCatalog = std::map<QString, ToolFactory>;

// The start window: the chosen COM port, one button per tool, and the receive handler that feeds the
// monitor ring.
class frmQVDTMain : public QWidget {
    Q_OBJECT
public:
    frmQVDTMain(Host& host, ToolCatalog tools, QWidget* parent = nullptr);
    ~frmQVDTMain() override;

    void Form_Load();
    void Form_Unload();
    void lblComPort_Click();
    // The port label's context menu: "Ports..." opens the machine's ports and the COMn mappings.
    void mnuPorts_Click();
    void comQV_OnComm();
    // Launches the tool behind a button; the button handlers all come here.
    void launch(const QString& button);

    std::array<QLabel*, 5> lblHeader{};
    ClickLabel* lblComPort = nullptr;
    QMenu* mnuComPort = nullptr;
    QAction* mnuPorts = nullptr;
    QLabel* lblComCheck = nullptr;
    QPushButton* cmdLocalMonitor = nullptr;
    QPushButton* cmdLocalScan = nullptr;
    QPushButton* cmdNetworkMonitor = nullptr;
    QPushButton* cmdNetworkScan = nullptr;
    QPushButton* cmdDiscover = nullptr;
    QPushButton* cmdDTDataLogger = nullptr;
    QFrame* Picture1 = nullptr;
    std::array<QLabel*, 3> lblScanNote{};
    QPushButton* cmdWSG3Test = nullptr;
    QPushButton* cmdDualTechWall = nullptr;
    QPushButton* cmdDualTech = nullptr;
    QPushButton* cmdKestrix = nullptr;
    std::array<QPushButton*, 3> cmdCndOcc{};
    QPushButton* cmdMGW = nullptr;
    QPushButton* cmdDMX = nullptr;
    QPushButton* cmdWSTest = nullptr;
    std::array<QFrame*, 5> linSep{};

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    QPushButton* toolButton(const QString& name, const QString& caption, int left, int top, LaunchKind kind);

    Host& m_host;
    ToolCatalog m_tools;
    std::map<QString, LaunchKind> m_kinds;
    bool m_unloaded = false;
};

} // namespace tqdt
