#include "app/common/Tools.h"
#include "support/SimHost.h"
#include "ui/shell/Form.h"

#include <QSet>

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
