#include "sim/CondModule.h"
#include "support/SimHost.h"
#include "ui/condlogic/frmExpCndFactory.h"

#include <QTimer>

#include <gtest/gtest.h>

using namespace tqdt;
using namespace tqdt::cnd;

namespace {

struct Factory : ::testing::Test {
    Factory() { sim.site.setBench(module); }
    // Opens the window and lets its load timer run the search.
    void open()
    {
        form.ensureLoaded();
        form.tmrLoad_Timer();
    }
    bool white(int b) const { return form.lblInSts[size_t(b)]->styleSheet().contains("#ffffff"); }
    bool grey(int b) const { return form.lblInSts[size_t(b)]->styleSheet().contains("#606060"); }
    QString nodeColour() const
    {
        const QString s = form.lblNode->styleSheet();
        return s.mid(s.indexOf('#'), 7);
    }

    test::SimHost sim;
    std::shared_ptr<sim::CondModule> module = std::make_shared<sim::CondModule>(0);
    frmExpCndFactory form{sim.host};
};

} // namespace

TEST_F(Factory, SearchSettlesOnTheFirstNodeThatAnswers)
{
    struct Case {
        int node; // -1: nothing on the bench
        QString shown;
        bool canDefault;
    } cases[] = {{0, " Node: 00", true},
                 {0x3C, " Node: 3C", false},
                 {0xFF, " Node: FF", false},
                 {-1, " Node: --", false}};
    open();
    for (const Case& c : cases) {
        module->setSilent(c.node < 0);
        module->setNode(std::max(c.node, 0));
        sim.takeWritten();
        const qint64 start = sim.nowMs();
        form.cmdFind_Click();
        EXPECT_EQ(form.lblNode->text(), c.shown);
        EXPECT_EQ(form.foundNode(), c.node);
        EXPECT_EQ(form.cmdDefault->isEnabled(), c.canDefault) << c.node;
        const auto polls = sim.takeWritten();
        EXPECT_EQ(polls.size(), size_t(c.node < 0 ? 256 : c.node + 1)) << c.node;
        EXPECT_EQ(polls.front(), "[2000--]");
        if (c.node < 0) {
            EXPECT_EQ(polls.back(), "[2FF0--]");
            EXPECT_EQ(sim.nowMs() - start, 256 * 20);
        }
    }
}

TEST_F(Factory, InputDisplayLightsTheInputsThatAreOn)
{
    module->setInputs(0x81);
    open();
    form.tmrScan_Timer();
    EXPECT_EQ(nodeColour(), "#00ff00");
    for (int b = 0; b < 8; ++b) {
        EXPECT_TRUE(form.lblInSts[size_t(b)]->isVisibleTo(&form)) << b;
        EXPECT_EQ(white(b), b == 0 || b == 7) << b;
        EXPECT_EQ(grey(b), b != 0 && b != 7) << b;
    }
    module->setSilent(true);
    form.tmrScan_Timer();
    EXPECT_EQ(nodeColour(), "#ff0000");
    for (int b = 0; b < 8; ++b)
        EXPECT_FALSE(form.lblInSts[size_t(b)]->isVisibleTo(&form));
}

TEST_F(Factory, DefaultConfigIsVerifiedByTheWholeChecksumReply)
{
    module->memory().fill('\x33');
    open();
    ASSERT_TRUE(form.cmdDefault->isEnabled());
    form.cmdDefault_Click();
    ASSERT_FALSE(sim.dialogs.shown.empty());
    EXPECT_EQ(sim.dialogs.shown.back().text, "Checksum Verified");
    EXPECT_EQ(sim.dialogs.shown.back().title, "Default Config");
    EXPECT_EQ(sim.dialogs.shown.back().icon, MsgIcon::None);
    // The factory image's checksum is a fixed, known text, not whatever the tool's own image code gives.
    EXPECT_EQ(QByteArray(FactoryModule::kDefaultChecksum), "2712A28D262BF736");
    EXPECT_EQ(module->imageChecksum(), "2712A28D262BF736");
    EXPECT_TRUE(form.tmrScan->isActive());
    for (QPushButton* b : {form.cmdFind, form.cmdDefault, form.cmdClose})
        EXPECT_TRUE(b->isEnabled());
}

TEST_F(Factory, EachFailureShowsItsNumber)
{
    struct Case {
        std::function<void(sim::CondModule&)> fault;
        QString text;
    } cases[] = {
        {[](sim::CondModule& m) { m.setSilent(true); }, "Apply Default Failure 01"},
        {[](sim::CondModule& m) { m.setDefaultReply("E1"); }, "Apply Default Failure 02"},
        {[](sim::CondModule& m) { m.dropFrame("[200C00--]"); }, "Apply Default Failure 03"},
        {[](sim::CondModule& m) { m.corruptByte(0x1234); }, "Checksum Failure\r\nApply Default Failure 04"},
    };
    open();
    ASSERT_TRUE(form.cmdDefault->isEnabled());
    for (const Case& c : cases) {
        *module = sim::CondModule(0);
        c.fault(*module);
        form.cmdDefault_Click();
        ASSERT_FALSE(sim.dialogs.shown.empty());
        EXPECT_EQ(sim.dialogs.shown.back().text, c.text);
        EXPECT_EQ(sim.dialogs.shown.back().title, "Failure");
        EXPECT_EQ(sim.dialogs.shown.back().icon, MsgIcon::Critical);
        EXPECT_TRUE(form.cmdClose->isEnabled());
    }
}

TEST_F(Factory, CloseLeavesThePortClosed)
{
    open();
    ASSERT_TRUE(sim.port().isOpen());
    form.cmdClose_Click();
    EXPECT_FALSE(sim.port().isOpen());
}
