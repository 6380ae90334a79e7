#include "condlogic/ProgramImage.h"
#include "sim/CondModule.h"
#include "support/SimHost.h"
#include "ui/condlogic/frmExpCndCustom.h"

#include <QFile>

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
    ASSERT_EQ(sim.dialogs.shown.size(), 5u);
    EXPECT_EQ(sim.dialogs.shown[0].defaultButton, MsgDefault::No) << "Enter keeps the changes";
    EXPECT_EQ(sim.dialogs.shown[4].defaultButton, MsgDefault::No);
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

TEST_F(CustomTransfer, ForeignCellsAreDrawnTestedAndCompiledAlikeAndNeverSaved)
{
    // Output 1: a normally closed contact on input 200 in column 0, then wires; cell 16 holds code
    // 77 and cell 18 a good contact on input 3.
    QByteArray& m = module->memory();
    m.replace(kConfigAddress, 256, QByteArray(256, '\0'));
    m[kConfigAddress + 0] = char(SegClosed);
    m[kSegInputAddress + 0] = char(200);
    for (int c = 1; c < 16; ++c)
        m[kConfigAddress + c] = char(SegWire);
    m[kConfigAddress + 16] = 77;
    m[kConfigAddress + 18] = char(SegOpen);
    m[kSegInputAddress + 18] = 3;
    w.mnuUpload_Click();
    ASSERT_EQ(sim.dialogs.shown.back().text, "Upload Complete.\r\nPower Cycle Device.");
    ASSERT_EQ(doc().input(0, 0), 200);
    sim.dialogs.shown.clear();

    // Drawn as what it is: a closed contact, hatched, with its foreign input named.
    const QImage plainClosed = SegmentPicture(SegClosed, true).toImage();
    EXPECT_EQ(w.imgSegment[0]->pixmap().toImage(), SegmentPicture(SegClosed, true, true).toImage());
    EXPECT_NE(w.imgSegment[0]->pixmap().toImage(), plainClosed);
    EXPECT_FALSE(w.lblSeg[0]->isHidden());
    EXPECT_EQ(w.lblSeg[0]->text(), "? 200");
    EXPECT_NE(w.imgSegment[16]->pixmap().toImage(), w.imgSegment[17]->pixmap().toImage());
    EXPECT_TRUE(w.lblSeg[16]->isHidden());
    EXPECT_EQ(w.lblSeg[18]->text(), "I 4");
    // ... and it conducts as drawn: a closed contact on an input that is never on.
    w.cmdTest_Click();
    EXPECT_EQ(sim.dialogs.shown.back().text, "Quorvel Input 1 On");
    w.mnuCompile_Click();
    for (int p = 0; p < kPatterns; p += 311)
        ASSERT_EQ(doc().ControlArray[size_t(p)] & 1, 1) << p;
    sim.dialogs.shown.clear();

    // A file Open would refuse is not written.
    const QString file = sim.dir.filePath("FOREIGN.CDF");
    sim.dialogs.queueFile(file);
    w.mnuSaveAs_Click();
    ASSERT_EQ(sim.dialogs.shown.size(), 1u);
    EXPECT_EQ(sim.dialogs.shown[0].title, "Save");
    EXPECT_TRUE(sim.dialogs.shown[0].text.contains("QV Input 1, cell 0 (row 1, column 1) has input 200"))
        << sim.dialogs.shown[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(w.fileName(), "None");
    EXPECT_TRUE(sim.host.isModified());

    // Drawing over the foreign cells mends them; the file then opens again.
    w.imgSelect_MouseDown(SegClosed);
    w.imgSegment_Click(0);
    EXPECT_EQ(doc().input(0, 0), 0);
    EXPECT_EQ(w.lblSeg[0]->text(), "I 1");
    w.imgSelect_MouseDown(SegEmpty);
    w.imgSegment_Click(16);
    sim.dialogs.shown.clear();
    sim.dialogs.queueFile(file);
    w.mnuSaveAs_Click();
    EXPECT_TRUE(sim.dialogs.shown.empty());
    EXPECT_FALSE(sim.host.isModified());
    sim.dialogs.queueFile(file);
    w.mnuOpen_Click();
    EXPECT_TRUE(sim.dialogs.shown.empty()) << sim.dialogs.shown[0].text.toStdString();
    EXPECT_EQ(doc().code(0, 0), SegClosed);
}
