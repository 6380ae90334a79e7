#pragma once

#include "ui/shell/ToolList.h"
#include "ui/shell/Widgets.h"

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

// The start window: the chosen COM port, one button per tool, and the receive handler that feeds the
// monitor ring.
class frmQVDTMain : public QWidget {
    Q_OBJECT
public:
    // A button opens the tool list's entry of its name; a button without one stays disabled.
    frmQVDTMain(Host& host, ToolList tools, QWidget* parent = nullptr);
    ~frmQVDTMain() override;

    void Form_Load();
    void Form_Unload();
    void lblComPort_Click();
    // The port label's context menu: "Ports..." opens the machine's ports and the COMn mappings.
    void mnuPorts_Click();
    void comQV_OnComm();
    // Launches the tool behind a button; the button handlers all come here.
    void launch(const QString& button);
    // The program is being ended with nobody to answer: every open window closes as its close
    // button would, innermost first, without a question (the documents keep their unsaved changes
    // in recovery copies, the data logger writes what it holds), then the program quits. A window
    // that cannot close yet (a transfer under way) is tried again shortly. ended runs once all
    // have closed (the program quits there).
    void endUnattended(std::function<void()> ended);

    std::array<QLabel*, 5> lblHeader{};
    ClickLabel* lblComPort = nullptr;
    QMenu* mnuComPort = nullptr;
    QAction* mnuPorts = nullptr;
    QAction* mnuSiteSurvey = nullptr;
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
    QPushButton* toolButton(const QString& name, const QString& caption, int left, int top);
    // False while a window refuses to close.
    bool closeEveryWindow();

    Host& m_host;
    ToolList m_tools;
    bool m_unloaded = false;
};

} // namespace tqdt
