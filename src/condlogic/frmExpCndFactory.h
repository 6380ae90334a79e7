#pragma once

#include "shell/Form.h"
#include "shell/Widgets.h"

#include <array>

class QTimer;

namespace tqdt::cnd {

// "Factory Setup and Test": finds a conditional input module on the bench, shows its eight inputs
// live and has a module at node 00 reload its factory default program, checked by checksum.
class frmExpCndFactory : public Form {
    Q_OBJECT
public:
    // The checksum of the factory default image: every output follows its own input, no notes.
    static constexpr const char* kDefaultChecksum = "2712A28D262BF736";

    explicit frmExpCndFactory(Host& host, QWidget* parent = nullptr);

    // One command frame: empties the receive buffer, sends, and waits for count characters.
    bool WSCom(const QByteArray& frame, int count, int timeoutMs);
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

    int m_node = -1;
};

} // namespace tqdt::cnd
