#pragma once

#include "shell/Form.h"
#include "shell/Widgets.h"

#include <array>

namespace tqdt {

// The port choice: sixteen labels "COM1" ... "COM16" and an "X" to cancel. The result is left in
// the host's settings as ComSelIndex (0-15, or -1 when cancelled).
class frmComSel : public Form {
    Q_OBJECT
public:
    explicit frmComSel(Host& host, QWidget* parent = nullptr);

    void lblSel_Click(int index);
    void lblCancel_Click();

    std::array<ClickLabel*, 16> lblSel{};
    ClickLabel* lblCancel = nullptr;

protected:
    void keyPressEvent(QKeyEvent* e) override;
};

} // namespace tqdt
