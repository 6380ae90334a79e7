#include "app/common/Tools.h"
#include "support/SimHost.h"
#include "ui/shell/Form.h"

#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

using namespace tqdt;

// --open and the simulated bench find a tool by its form name, the main window by its button: an
// entry whose name differs from the window it makes opens nothing and prepares no bench.
TEST(ToolList, EachEntryNamesTheWindowItMakesAndNoButtonOrFormTwice)
{
    test::SimHost sim;
    QSet<QString> buttons, forms;
    for (const ToolEntry& e : app::toolList()) {
        EXPECT_FALSE(buttons.contains(e.button)) << e.button.toStdString();
        EXPECT_FALSE(forms.contains(e.form)) << e.form.toStdString();
        buttons.insert(e.button);
        forms.insert(e.form);
        ASSERT_TRUE(e.make) << e.form.toStdString();
        EXPECT_EQ(e.make(sim.host)->objectName(), e.form);
        EXPECT_EQ(findToolByForm(app::toolList(), e.form), &e);
        EXPECT_EQ(findToolByButton(app::toolList(), e.button), &e);
    }
}

// Escape then Enter must never throw an edit away: no tool window closes on Escape. Only the
// small pickers (the port, input and dimmer point choices) take it as "no choice".
TEST(ToolList, EscapeClosesNoToolWindow)
{
    for (const ToolEntry& e : app::toolList()) {
        SCOPED_TRACE(e.form.toStdString());
        test::SimHost sim;
        std::unique_ptr<Form> w = e.make(sim.host);
        w->ensureLoaded();
        w->markShownModal();
        QTest::keyClick(w.get(), Qt::Key_Escape);
        EXPECT_TRUE(w->isShownModal());
        EXPECT_TRUE(sim.dialogs.shown.empty()) << "not even a question";
    }
}
