#pragma once

#include "ui/shell/ChooserForm.h"

namespace tqdt::cnd {

// The input chooser a contact's label opens: "Input 1".."Input 8", "Pilot 1".."Pilot 8", and "X".
class frmASelect01 : public ChooserForm {
    Q_OBJECT
public:
    explicit frmASelect01(Host& host, QWidget* parent = nullptr);

    // The chosen input 0..15, or -1 when the window was closed without a choice.
    int SelectResult = -1;

protected:
    void Form_Activate() override;
    void setChoice(int index) override { SelectResult = index; }
};

} // namespace tqdt::cnd
