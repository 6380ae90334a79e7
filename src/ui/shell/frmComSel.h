#pragma once

#include "ui/shell/ChooserForm.h"

namespace tqdt {

// The port choice: sixteen labels "COM1" ... "COM16" and an "X" to cancel. The result is left in
// the host's settings as ComSelIndex (0-15, or -1 when cancelled).
class frmComSel : public ChooserForm {
    Q_OBJECT
public:
    explicit frmComSel(Host& host, QWidget* parent = nullptr);

protected:
    void setChoice(int index) override;
};

} // namespace tqdt
