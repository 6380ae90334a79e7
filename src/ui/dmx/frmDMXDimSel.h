#pragma once

#include "ui/shell/ChooserForm.h"

namespace tqdt::dmx {

// The dimmer point choice for one DMX channel: the 64 points D:01.1 ... D:10.4 in eight columns,
// the gateway's own points white and the others dark grey (their clicks are ignored), "Not Mapped"
// and "X". DimSelResult is the chosen point, 64 for "Not Mapped", or -1 without a choice.
class frmDMXDimSel : public ChooserForm {
    Q_OBJECT
public:
    static constexpr int kNotMappedChoice = 64;

    frmDMXDimSel(Host& host, int DimBase, int DimEnd, QWidget* parent = nullptr);

    bool selectable(int point) const { return point >= m_base && point < m_end; }

    int DimSelResult = -1;

protected:
    bool acceptsChoice(int index) const override { return index == kNotMappedChoice || selectable(index); }
    void setChoice(int index) override { DimSelResult = index; }

private:
    int m_base;
    int m_end;
};

} // namespace tqdt::dmx
