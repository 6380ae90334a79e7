#include "condlogic/ModuleCompare.h"
#include "condlogic/CustomTransfer.h"
#include "condlogic/LogicCompiler.h"
#include "condlogic/ProgramImage.h"
#include "sim/CondModule.h"
#include "support/SimHost.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tqdt;
using namespace tqdt::cnd;

namespace {

// "Compare With Module" against the module on the bench, after the document was downloaded.
struct Compare : ::testing::Test {
    Compare()
    {
        sim.site.setBench(module);
        sim.port().setCommPort(1);
        doc->factoryDefault();
        doc->setCode(2, 0, SegClosed); // output 3 follows ¬I3
        CompileFast(*doc, doc->ControlArray);
        EXPECT_EQ(ModuleTransfer(sim.host).Download(BuildProgramImage(*doc)).outcome,
                  TransferOutcome::Verified);
        sim.dialogs.shown.clear();
        sim.site.written.clear();
    }
    std::optional<ArrayComparison> compare()
    {
        sim.dialogs.queueAnswer(MsgAnswer::Yes);
        TransferView view;
        view.label = [this](const QString& t) { labels.push_back(t); };
        view.hide = [this] { labels.push_back(QString()); };
        return CustomCompare(sim.host, *doc, view);
    }

    test::SimHost sim;
    std::shared_ptr<sim::CondModule> module = std::make_shared<sim::CondModule>(0);
    std::unique_ptr<CndDocument> doc = std::make_unique<CndDocument>();
    std::vector<QString> labels;
};

} // namespace

TEST_F(Compare, DownloadedDocumentReadsBackEqualWithTheUploadsReadFrames)
{
    const auto cmp = compare();
    ASSERT_TRUE(cmp.has_value());
    for (const OutputDifference& d : *cmp)
        EXPECT_TRUE(d.equal());
    ASSERT_EQ(sim.dialogs.shown.size(), 2u);
    EXPECT_EQ(sim.dialogs.shown[0].text,
              "Power Cycle Device Prior To Compare.\r\nDevice Node Must Be 00\r\nContinue?");
    const auto& verdict = sim.dialogs.shown[1];
    EXPECT_EQ(verdict.title, "Compare With Module");
    EXPECT_EQ(verdict.icon, MsgIcon::Information);
    EXPECT_TRUE(verdict.text.startsWith("QV Input 1: Equal\r\nQV Input 2: Equal\r\n"));
    EXPECT_TRUE(verdict.text.endsWith("QV Input 8: Equal\r\nPower Cycle Device."));

    // 256 reads of the control array at the programming speed, in address order.
    std::vector<QByteArray> reads;
    for (const auto& w : sim.site.written)
        if (w.frame.startsWith("[8")) {
            EXPECT_EQ(w.baud, 115200);
            reads.push_back(w.frame);
        }
    ASSERT_EQ(reads.size(), 256u);
    EXPECT_EQ(reads.front(), "[80000000000000000]");
    EXPECT_EQ(reads[1], "[80000000000000100]");
    EXPECT_EQ(reads.back(), "[8000000000000FF00]");
    EXPECT_EQ(labels.front(), "Block 0 of 256");
    EXPECT_TRUE(labels.back().isEmpty());
    EXPECT_FALSE(sim.port().isOpen());
    EXPECT_EQ(sim.port().settings(), "38400,n,8,1");
}

TEST_F(Compare, CorruptedByteInTheModuleNamesTheFirstDifferingPattern)
{
    // A damaged cell at pattern 0x0105 (I1, I3, P1 on) loses output 1's bit on the next download;
    // a byte poked at 0x0300 (P1, P2 on) turns output 3 off there.
    module->corruptByte(0x0105);
    ASSERT_TRUE(
        ModuleTransfer(sim.host).Download(BuildProgramImage(*doc)).failedWith(ModuleTransfer::kFailed));
    module->memory()[0x0300] = char(quint8(module->memory()[0x0300]) ^ 0x04);
    sim.dialogs.shown.clear();
    const auto cmp = compare();
    ASSERT_TRUE(cmp.has_value());
    EXPECT_EQ((*cmp)[0].patterns, 1);
    EXPECT_EQ((*cmp)[0].first, std::vector<quint16>{0x0105});
    EXPECT_EQ((*cmp)[0].moduleOn, std::vector<bool>{false});
    EXPECT_EQ((*cmp)[2].first, std::vector<quint16>{0x0300});
    for (int o : {1, 3, 4, 5, 6, 7})
        EXPECT_TRUE((*cmp)[size_t(o)].equal()) << o;
    const auto& verdict = sim.dialogs.shown.back();
    EXPECT_EQ(verdict.icon, MsgIcon::Exclamation);
    EXPECT_TRUE(verdict.text.contains("QV Input 1: Differs In 1 Of 65536 Patterns\r\n"
                                      "    Pattern 0105 (I1 I3 P1 on): module Off, drawing On\r\n"
                                      "QV Input 2: Equal\r\n"
                                      "QV Input 3: Differs In 1 Of 65536 Patterns\r\n"
                                      "    Pattern 0300 (P1 P2 on): module Off, drawing On\r\n"))
        << verdict.text.toStdString();
}

TEST_F(Compare, ManyDifferencesListOnlyTheFirstFewAndCountTheRest)
{
    doc->setCode(7, 0, SegClosed); // the drawing now inverts output 8; the module does not
    const auto cmp = compare();
    ASSERT_TRUE(cmp.has_value());
    EXPECT_EQ((*cmp)[7].patterns, kPatterns);
    EXPECT_EQ((*cmp)[7].first, (std::vector<quint16>{0, 1, 2}));
    EXPECT_FALSE(doc->ControlArray == ControlArrayT{}) << "the document's own array is left as compiled";
}

TEST_F(Compare, ReadWithoutAReplyEndsTheCompareAtThatBlock)
{
    module->dropFrame("[80000000000000300]");
    EXPECT_FALSE(compare().has_value());
    EXPECT_EQ(sim.dialogs.shown.back().title, "Compare Failure");
    EXPECT_EQ(sim.dialogs.shown.back().text, "Compare Failed.\r\nNo Answer To Block 3 Of 256.");
    int reads = 0;
    for (const auto& w : sim.site.written)
        reads += w.frame.startsWith("[8");
    EXPECT_EQ(reads, 4);
    EXPECT_FALSE(sim.port().isOpen());

    sim.dialogs.shown.clear();
    module->setSilent(true);
    EXPECT_FALSE(compare().has_value());
    EXPECT_EQ(sim.dialogs.shown.back().text, "Unable to connect to device.");

    sim.dialogs.shown.clear();
    sim.dialogs.queueAnswer(MsgAnswer::No);
    EXPECT_FALSE(CustomCompare(sim.host, *doc, {}).has_value());
    EXPECT_EQ(sim.dialogs.shown.back().text, "Compare With Module Cancelled");
}
