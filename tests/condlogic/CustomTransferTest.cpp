#include "condlogic/ProgramImage.h"
#include "condlogic/frmExpCndCustom.h"
#include "sim/CondModule.h"
#include "support/SimHost.h"

#include <gtest/gtest.h>

using namespace tqdt;
using namespace tqdt::cnd;

namespace {

// The custom programming window's "Download" and "Upload" against the module on the bench.
struct CustomTransfer : ::testing::Test {
    CustomTransfer()
    {
        sim.site.setBench(module);
        w.ensureLoaded();
    }
    CndDocument& doc() { return sim.host.document<CndDocument>(); }
    std::vector<QString> takeShown()
    {
        std::vector<QString> out;
        for (const auto& s : sim.dialogs.shown)
            out.push_back(s.title + ": " + s.text);
        sim.dialogs.shown.clear();
        return out;
    }

    test::SimHost sim;
    std::shared_ptr<sim::CondModule> module = std::make_shared<sim::CondModule>(0);
    frmExpCndCustom w{sim.host};
};

const QString kDownloadQuestion =
    "Download: Cycle device power prior to download by disconnecting CAT5 cables for 3 "
    "seconds and then reconnecting.\r\nDevice node address must be set to 00\r\nContinue?";
const QString kUploadQuestion =
    "Upload: Power Cycle Device Prior To Upload.\r\nDevice Node Must Be 00\r\nContinue?";

} // namespace

TEST_F(CustomTransfer, CompiledDocumentDownloadsAfterADeclinedFirstTry)
{
    w.mnuFactoryDefault_Click();
    w.mnuCompile_Click();
    takeShown();
    sim.dialogs.queueAnswer(MsgAnswer::No);
    w.mnuDownload_Click();
    EXPECT_EQ(takeShown(), (std::vector<QString>{kDownloadQuestion, "Download: Download Cancelled"}));
    EXPECT_TRUE(sim.port().isOpen());

    w.mnuDownload_Click();
    EXPECT_EQ(takeShown(), (std::vector<QString>{kDownloadQuestion,
                                                 "Download: Download Complete.\r\nPower Cycle Device."}));
    EXPECT_EQ(module->imageChecksum(), "2712A28D262BF736");
    EXPECT_FALSE(sim.port().isOpen());
    EXPECT_FALSE(w.lblComPrg->isVisible());
}

TEST_F(CustomTransfer, FailedUploadRunsNewWhichAsksOnItsOwn)
{
    doc().factoryDefault();
    sim.host.markModified();
    module->dropFrame("[70000000000000000]");
    sim.dialogs.queueAnswer(MsgAnswer::Yes);  // discard the changes for the upload
    sim.dialogs.queueAnswer(MsgAnswer::Ok);   // the notice
    sim.dialogs.queueAnswer(MsgAnswer::Yes);  // power cycled
    sim.dialogs.queueAnswer(MsgAnswer::Ok);   // the failure
    sim.dialogs.queueAnswer(MsgAnswer::No);   // New: keep what arrived
    module->memory()[kConfigAddress + 3] = 9; // output 0, cell 3 in the module
    w.mnuUpload_Click();
    const auto shown = takeShown();
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(shown[0], "Upload: Discard Changes?");
    EXPECT_TRUE(shown[1].startsWith("Upload Notice: When downloading, the compiled control array"));
    EXPECT_TRUE(shown[1].endsWith("than the configuration data would indicate"));
    EXPECT_EQ(shown[2], kUploadQuestion);
    EXPECT_EQ(shown[3], "Upload Failure: Upload Failed.\r\nHost Program Cleared.");
    EXPECT_EQ(shown[4], "New: Discard Changes?");
    EXPECT_EQ(doc().code(0, 3), 9) << "the partly uploaded arrays stay when New is refused";
    EXPECT_TRUE(sim.host.isModified());
    EXPECT_TRUE(w.mnuCompile->isEnabled());
    EXPECT_FALSE(w.mnuDownload->isEnabled());
}

TEST_F(CustomTransfer, ForeignCellValuesFromAModuleShowAsEmptyCells)
{
    // Output 0: cell 0 a contact on input 200, cell 1 code 77, cell 2 a good contact on input 3.
    QByteArray& m = module->memory();
    m[kConfigAddress + 0] = 8;
    m[kSegInputAddress + 0] = char(200);
    m[kConfigAddress + 1] = 77;
    m[kConfigAddress + 2] = 8;
    m[kSegInputAddress + 2] = 3;
    w.mnuUpload_Click();
    EXPECT_EQ(sim.dialogs.shown.back().text, "Upload Complete.\r\nPower Cycle Device.");
    EXPECT_EQ(doc().input(0, 0), 200);
    EXPECT_EQ(doc().code(0, 1), 77);
    EXPECT_TRUE(w.lblSeg[0]->isHidden());
    EXPECT_TRUE(w.lblSeg[1]->isHidden());
    EXPECT_FALSE(w.lblSeg[2]->isHidden());
    EXPECT_EQ(w.lblSeg[2]->text(), "I 4");
    EXPECT_EQ(w.imgSegment[0]->pixmap().toImage(), w.imgSegment[255]->pixmap().toImage());
}
