#pragma once

#include "condlogic/FactoryModule.h"
#include "ui/shell/Form.h"
#include "ui/shell/Widgets.h"

#include <array>

class QTimer;

namespace tqdt::cnd {

// "Factory Setup and Test": finds a conditional input module on the bench, shows its eight inputs
// live and has a module at node 00 reload its factory default program, checked by checksum.
class frmExpCndFactory : public Form {
    Q_OBJECT
public:
    explicit frmExpCndFactory(Host& host, QWidget* parent = nullptr);

    void ScanNodes();
    void tmrLoad_Timer();
    void tmrScan_Timer();
    void cmdFind_Click();
    void cmdDefault_Click();
    void cmdClose_Click();

    int foundNode() const { return m_node; }

    QLabel* lblNode = nullptr;
    std::array<QLabel*, 8> lblInSts{};
    std::array<QLabel*, 2> lblNote{};
    QPushButton* cmdFind = nullptr;
    QPushButton* cmdDefault = nullptr;
    QPushButton* cmdClose = nullptr;
    QTimer* tmrLoad = nullptr;
    QTimer* tmrScan = nullptr;

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    void setNodeColour(const QColor& c);
    void hideInputs();
    void failure(const QString& text);

    FactoryModule m_module;
    int m_node = -1;
};

} // namespace tqdt::cnd
