#pragma once

#include "ui/shell/Form.h"
#include "ui/shell/Widgets.h"

#include <vector>

namespace tqdt {

// A small modal window of labels to pick from: clicking an accepted label chooses it and closes
// the window; "X", Escape or the close box close it without a choice. The port choice, the input
// choice and the dimmer point choice are all of this kind; each keeps its result where its caller
// reads it.
class ChooserForm : public Form {
    Q_OBJECT
public:
    void lblSel_Click(int index);
    void lblCancel_Click();

    std::vector<ClickLabel*> lblSel;
    ClickLabel* lblCancel = nullptr;

protected:
    explicit ChooserForm(Host& host, QWidget* parent = nullptr);

    // The next lblSel entry, at a twip position, centred and showing a hand over it.
    ClickLabel* addChoice(const QString& caption, int left, int top, int width, int height);
    ClickLabel* addCancel(int left, int top, int width, int height);

    // A label that is not accepted ignores its clicks.
    virtual bool acceptsChoice(int index) const
    {
        (void)index;
        return true;
    }
    // index is -1 when the window closes without a choice.
    virtual void setChoice(int index) = 0;

    void keyPressEvent(QKeyEvent* e) override;
};

} // namespace tqdt
