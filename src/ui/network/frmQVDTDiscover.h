#pragma once

#include "network/NodeSweep.h"
#include "ui/shell/Form.h"

#include <QColor>

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;

namespace tqdt::net {

// Shows which panel network addresses answer the node probe: a sweep on every activation and on
// "Rescan Addresses".
class frmQVDTDiscover : public Form {
    Q_OBJECT
public:
    explicit frmQVDTDiscover(Host& host, QWidget* parent = nullptr);

    void cmdFindLocal_Click();
    void FindNodes();

    // Label backgrounds while and after a label's address is probed.
    static const QColor kProbing;
    static const QColor kAnswered;
    static const QColor kSilent;

    QGroupBox* frmNCPanels = nullptr;
    std::array<QLabel*, NodeSweep::kNodes> lblPanelNode{};
    QPushButton* cmdFindLocal = nullptr;

    const NodeSweep& sweep() const { return m_sweep; }

protected:
    void Form_Load() override;
    void Form_Activate() override;

private:
    void showState(int index, NodeSweep::State state);

    NodeSweep m_sweep;
};

} // namespace tqdt::net
