#pragma once

#include "shell/Form.h"
#include "shell/Widgets.h"

#include <array>

namespace tqdt {

// The input chooser a contact's label opens: "Input 1".."Input 8", "Pilot 1".."Pilot 8", and "X".
class frmASelect01 : public Form {
    Q_OBJECT
public:
    explicit frmASelect01(Host& host, QWidget* parent = nullptr);

    void lblSel_Click(int i);
    void lblCancel_Click();

    std::array<ClickLabel*, 16> lblSel{};
    ClickLabel* lblCancel = nullptr;
    // The chosen input 0..15, or -1 when the window was closed without a choice.
    int SelectResult = -1;

protected:
    void Form_Activate() override;
};

} // namespace tqdt
