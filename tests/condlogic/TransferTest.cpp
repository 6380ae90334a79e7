#include "condlogic/LogicCompiler.h"
#include "condlogic/ModuleTransfer.h"
#include "condlogic/ProgramImage.h"
#include "sim/CondModule.h"
#include "support/SimHost.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tqdt;
using namespace tqdt::cnd;

namespace {

struct Transfer : ::testing::Test {
    Transfer()
    {
        sim.site.setBench(module);
        sim.port().setCommPort(1);
    }
    ModuleTransfer transfer()
    {
        TransferView view;
        view.label = [this](const QString& t) { labels.push_back(t); };
        view.hide = [this] { labels.push_back(QString()); };
        return ModuleTransfer(sim.host, view);
    }
    std::unique_ptr<CndDocument> compiled(void (*fill)(CndDocument&))
    {
        auto doc = std::make_unique<CndDocument>();
        fill(*doc);
        CompileFast(*doc, doc->ControlArray);
        return doc;
    }
    std::vector<sim::Site::Written> writtenAt(int baud) const
    {
        std::vector<sim::Site::Written> out;
        for (const auto& w : sim.site.written)
            if (w.baud == baud)
                out.push_back(w);
        return out;
    }
    const ScriptedDialogs::Shown& lastMessage() const { return sim.dialogs.shown.back(); }

    test::SimHost sim;
    std::shared_ptr<sim::CondModule> module = std::make_shared<sim::CondModule>(0);
    std::vector<QString> labels;
};

void emptyDocument(CndDocument&) {}
void plantDocument(CndDocument& doc)
{
    doc.factoryDefault();
    doc.setCode(2, 1, SegClosedDown);
    doc.setInput(2, 1, 11);
    doc.setCode(2, 17, SegOpen);
    doc.setInput(2, 17, 4);
    const QByteArray notes = "Plant room east: outputs follow inputs, pilot 4 overrides output 3.";
    std::copy(notes.begin(), notes.end(), doc.NoteBytes.begin());
}

} // namespace

TEST_F(Transfer, DownloadThenUploadOfTheSameDocumentBothVerify)
{
    const auto doc = compiled(plantDocument);
    EXPECT_EQ(transfer().Download(BuildProgramImage(*doc)).outcome, TransferOutcome::Verified);
    EXPECT_EQ(lastMessage().text, "Download Complete.\r\nPower Cycle Device.");
    EXPECT_EQ(lastMessage().title, "Download");
    EXPECT_EQ(lastMessage().icon, MsgIcon::Information);
    EXPECT_EQ(module->memory(), BuildProgramImage(*doc));
    EXPECT_FALSE(sim.port().isOpen());
    EXPECT_EQ(sim.port().settings(), "38400,n,8,1");

    auto back = std::make_unique<CndDocument>();
    back->NoteBytes.fill('x');
    EXPECT_EQ(transfer().Upload(*back).outcome, TransferOutcome::Verified);
    EXPECT_EQ(lastMessage().text, "Upload Complete.\r\nPower Cycle Device.");
    EXPECT_EQ(lastMessage().title, "Upload");
    EXPECT_EQ(back->SegType, doc->SegType);
    EXPECT_EQ(back->SegInput, doc->SegInput);
    EXPECT_EQ(back->NoteBytes, doc->NoteBytes);
    EXPECT_FALSE(sim.port().isOpen());
    EXPECT_EQ(sim.port().settings(), "38400,n,8,1");
}

TEST_F(Transfer, EveryFrameOfBothTransfersGoesOutOnTheBlueChannel)
{
    const auto doc = compiled(plantDocument);
    ASSERT_EQ(transfer().Download(BuildProgramImage(*doc)).outcome, TransferOutcome::Verified);
    ASSERT_EQ(transfer().Upload(*doc).outcome, TransferOutcome::Verified);
    ASSERT_FALSE(sim.site.written.empty());
    for (const auto& w : sim.site.written)
        ASSERT_EQ(w.channel, Channel::Blue) << w.frame.constData();
}

TEST_F(Transfer, EmptyDocumentSendsZeroFramesAndExpectsTheWorkedChecksums)
{
    const auto doc = compiled(emptyDocument);
    ASSERT_EQ(transfer().Download(BuildProgramImage(*doc)).outcome, TransferOutcome::Verified);
    const auto fast = writtenAt(115200);
    ASSERT_EQ(fast.size(), 9218u);
    EXPECT_EQ(fast.front().frame, "[10000000000000000]");
    EXPECT_EQ(fast.back().frame, "[60000000000000000]");
    for (size_t i = 1; i + 1 < fast.size(); ++i)
        ASSERT_EQ(fast[i].frame, '[' + QByteArray::number(2 + int((i - 1) % 4)) + QByteArray(16, '0') + ']')
            << i;
    EXPECT_EQ(sim.host.reply.ReplyText, "[C2EEE100EABDC38F]");
    for (const auto& w : writtenAt(38400))
        EXPECT_TRUE(w.frame == "[200700--]" || w.frame == "[2004A1--]") << w.frame.constData();

    sim.site.written.clear();
    ASSERT_EQ(transfer().Upload(*doc).outcome, TransferOutcome::Verified);
    EXPECT_EQ(sim.host.reply.ReplyText, "[AA1BBA5324EA011D]");
    const auto reads = writtenAt(115200);
    ASSERT_EQ(reads.size(), 33u);
    EXPECT_EQ(reads[0].frame, "[80000000000010000]");
    EXPECT_EQ(reads[1].frame, "[80000000000010100]");
    EXPECT_EQ(reads[31].frame, "[80000000000011F00]");
    EXPECT_EQ(reads[32].frame, "[70000000000000000]");
}

TEST_F(Transfer, BlockCounterIsRepaintedEvery16ThenEvery8BlocksAndHiddenAtTheEnd)
{
    const auto doc = compiled(emptyDocument);
    transfer().Download(BuildProgramImage(*doc));
    ASSERT_GE(labels.size(), 4u);
    // Shown before connecting, then at blocks 0, 16, ..., 2032 and 2048, 2056, ..., 2296.
    EXPECT_EQ(labels.size(), 1u + 128u + 32u + 3u);
    EXPECT_EQ(labels[0], "Block 0 of 2304");
    EXPECT_EQ(labels[1], "Block 0 of 2304");
    EXPECT_EQ(labels[2], "Block 16 of 2304");
    EXPECT_EQ(labels[128], "Block 2032 of 2304");
    EXPECT_EQ(labels[129], "Block 2048 of 2304");
    EXPECT_EQ(labels[130], "Block 2056 of 2304");
    EXPECT_EQ(labels[160], "Block 2296 of 2304");
    EXPECT_EQ(labels[161], "Host Checksum");
    EXPECT_EQ(labels[162], "Device Checksum");
    EXPECT_EQ(labels[163], "");

    labels.clear();
    transfer().Upload(*std::make_unique<CndDocument>());
    ASSERT_EQ(labels.size(), 1u + 32u + 3u);
    EXPECT_EQ(labels[1], "Block 0 of 32");
    EXPECT_EQ(labels[32], "Block 31 of 32");
}

TEST_F(Transfer, SilentModuleEndsAfterTheConnectionWaitWithoutSwitchingSpeed)
{
    module->setSilent(true);
    const qint64 start = sim.nowMs();
    EXPECT_TRUE(transfer()
                    .Download(BuildProgramImage(*compiled(emptyDocument)))
                    .failedWith(ModuleTransfer::kNoConnection));
    EXPECT_EQ(sim.nowMs() - start, 2500);
    ASSERT_EQ(sim.dialogs.shown.size(), 1u);
    EXPECT_EQ(lastMessage().text, "Unable to connect to device.");
    EXPECT_EQ(lastMessage().title, "Error");
    EXPECT_EQ(lastMessage().icon, MsgIcon::Critical);
    EXPECT_TRUE(writtenAt(115200).empty());
    ASSERT_EQ(sim.site.written.size(), 1u);
    EXPECT_FALSE(sim.port().isOpen());
    EXPECT_EQ(sim.port().settings(), "38400,n,8,1");
    EXPECT_EQ(labels.back(), "");
}

TEST_F(Transfer, ModuleAtAnotherNodeCannotBeProgrammed)
{
    module->setNode(5);
    EXPECT_TRUE(
        transfer().Upload(*std::make_unique<CndDocument>()).failedWith(ModuleTransfer::kNoConnection));
    EXPECT_EQ(lastMessage().text, "Unable to connect to device.");
}

TEST_F(Transfer, DamagedOrLostDataIsReportedAsAFailedDownload)
{
    struct Case {
        const char* what;
        std::function<void(sim::CondModule&)> fault;
    } cases[] = {
        {"a memory cell that does not hold its value", [](sim::CondModule& m) { m.corruptByte(0x10805); }},
        {"a lost end-of-block frame shifts the rest", [](sim::CondModule& m) { m.dropFrame("[5", 700); }},
        {"a lost checksum reply", [](sim::CondModule& m) { m.dropFrame("[6"); }},
    };
    const QByteArray image = BuildProgramImage(*compiled(plantDocument));
    qint64 healthyMs = sim.nowMs();
    ASSERT_EQ(transfer().Download(image).outcome, TransferOutcome::Verified);
    healthyMs = sim.nowMs() - healthyMs;
    for (const Case& c : cases) {
        module = std::make_shared<sim::CondModule>(0);
        sim.site.setBench(module);
        c.fault(*module);
        EXPECT_TRUE(transfer().Download(image).failedWith(ModuleTransfer::kFailed)) << c.what;
        EXPECT_EQ(lastMessage().text, "Download Failed.\r\nDevice Will NOT Function Properly.") << c.what;
        EXPECT_EQ(lastMessage().title, "Download Failure");
        EXPECT_EQ(lastMessage().icon, MsgIcon::Critical);
        EXPECT_FALSE(sim.port().isOpen());
    }
}

TEST_F(Transfer, LostFrameCostsItsWaitAndTheTransferGoesOnToTheVerdict)
{
    module->dropFrame("[3", 10);
    const qint64 start = sim.nowMs();
    // The module still holds its factory bytes where the lost frame's zeros should have gone.
    EXPECT_TRUE(
        transfer().Download(BuildProgramImage(*compiled(emptyDocument))).failedWith(ModuleTransfer::kFailed));
    EXPECT_GE(sim.nowMs() - start, 3000);
    EXPECT_EQ(writtenAt(115200).size(), 9218u);
}

TEST_F(Transfer, FailedUploadKeepsWhatArrivedAndRunsTheCallerBeforeClosing)
{
    const auto doc = compiled(plantDocument);
    ASSERT_EQ(transfer().Download(BuildProgramImage(*doc)).outcome, TransferOutcome::Verified);
    // Block 16 (the first notes block) is lost: the upload ends there, keeping the diagrams.
    module->dropFrame("[80000000000011000]");
    auto back = std::make_unique<CndDocument>();
    bool portOpenInCallback = false;
    size_t messagesBefore = 0;
    EXPECT_TRUE(transfer()
                    .Upload(*back,
                            [&] {
                                portOpenInCallback = sim.port().isOpen();
                                messagesBefore = sim.dialogs.shown.size();
                            })
                    .failedWith(ModuleTransfer::kFailed));
    EXPECT_TRUE(portOpenInCallback);
    EXPECT_EQ(sim.dialogs.shown[messagesBefore - 1].text, "Upload Failed.\r\nHost Program Cleared.");
    EXPECT_EQ(sim.dialogs.shown[messagesBefore - 1].title, "Upload Failure");
    EXPECT_EQ(back->SegType, doc->SegType);
    EXPECT_EQ(back->SegInput, doc->SegInput);
    EXPECT_EQ(back->NoteBytes[0], 0);
    EXPECT_EQ(sim.site.written.back().frame, "[80000000000011000]") << "no read after the lost block";
    EXPECT_FALSE(sim.port().isOpen());
}

TEST_F(Transfer, ModuleThatStopsAnsweringEndsTheDownloadAfterThreeSilentFrames)
{
    // The module answers the first `answered` programming frames, then nothing.
    struct Case {
        int answered;
        int lostOnTheWay; // single replies lost before, which must not end the download
    } cases[] = {{0, 0}, {5, 0}, {9200, 0}, {9200, 2}};
    const QByteArray image = BuildProgramImage(*compiled(plantDocument));
    qint64 healthyMs = sim.nowMs();
    ASSERT_EQ(transfer().Download(image).outcome, TransferOutcome::Verified);
    healthyMs = sim.nowMs() - healthyMs;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answered);
        sim.site.written.clear();
        sim.dialogs.shown.clear();
        int frames = 0;
        sim.site.script = [&](Channel, const QByteArray& f) -> std::optional<QByteArray> {
            if (f.size() != 19)
                return std::nullopt; // the connection frames
            ++frames;
            const bool lost = frames > c.answered || (c.lostOnTheWay && frames % 1000 == 0 && frames < 3000);
            return lost ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
        };
        const qint64 start = sim.nowMs();
        EXPECT_TRUE(transfer().Download(image).failedWith(ModuleTransfer::kFailed));
        EXPECT_EQ(frames, c.answered + 3);
        // The frames that were answered, then three waits, not one for every frame left.
        EXPECT_LT(sim.nowMs() - start, healthyMs * c.answered / 9218 + (3 + c.lostOnTheWay) * 3000 + 3000);
        EXPECT_EQ(lastMessage().title, "Download Failure");
        EXPECT_EQ(lastMessage().text, "Download Failed.\r\nDevice Will NOT Function Properly.");
        EXPECT_FALSE(sim.port().isOpen());
    }
    sim.site.script = {};
}

TEST_F(Transfer, PortThatCannotBeReopenedIsReportedAndNothingIsSent)
{
    sim.site.setAdapterPresent(false);
    EXPECT_EQ(transfer().Download(BuildProgramImage(*compiled(emptyDocument))).outcome,
              TransferOutcome::PortError);
    EXPECT_EQ(lastMessage().text, "Unable To Open Port");
    EXPECT_TRUE(sim.site.written.empty());
}
