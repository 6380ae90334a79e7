#include "gateway/GatewayTransfer.h"
#include "gateway/GatewayProtocol.h"
#include "sim/MappedGateway.h"
#include "support/SimHost.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace tqdt;
using namespace tqdt::gw;

namespace {

struct Transfer : ::testing::Test {
    Transfer()
    {
        env.site.addDevice(gateway);
        env.host.settings.DTComPort = 1;
        image->setChangeHook([this](bool) { ++edits; });
        view.show = [this](const QString& caption) { shown << caption; };
        view.label = [this](const QString& text) { labels << text; };
        view.bar = [this](int value, int max) {
            barValue = value;
            barMax = max;
        };
        view.hide = [this] { ++hidden; };
        env.host.setYieldHandler([this] {
            if (onYield)
                onYield();
        });
    }

    TransferResult download() { return GatewayTransfer(env.host, *image, view, &cancel).DownloadGateway(); }
    TransferResult upload() { return GatewayTransfer(env.host, *image, view, &cancel).UploadGateway(); }
    std::vector<QByteArray> framesStartingWith(const QByteArray& command)
    {
        std::vector<QByteArray> out;
        for (const QByteArray& f : env.takeWritten())
            if (f.mid(5).startsWith(command))
                out.push_back(f);
        return out;
    }
    QStringList messages() const
    {
        QStringList out;
        for (const auto& s : env.dialogs.shown)
            out << s.title + QStringLiteral(" | ") + s.text;
        return out;
    }
    // A map with something in every block, so that a download writes all of them.
    void fillEveryBlock()
    {
        for (int bank = 0; bank < kBanks; ++bank)
            for (int a = 0; a < kBankSize; a += kBlockCells)
                image->WriteImageByte(bank, a + (a / kBlockCells) % kBlockCells,
                                      qint16((a / 64 + bank) % 255 + 1));
    }

    test::SimHost env;
    std::shared_ptr<sim::MappedGateway> gateway = std::make_shared<sim::MappedGateway>();
    std::unique_ptr<GatewayImage> image = std::make_unique<GatewayImage>();
    TransferView view;
    CancelToken cancel;
    std::function<void()> onYield;
    QStringList shown, labels;
    int barValue = -1, barMax = -1, hidden = 0, edits = 0;
};

} // namespace

TEST_F(Transfer, AnAllZeroMapIsFourResetsAndTwoChecksumQueriesWhileTheCountRunsToTheEnd)
{
    const TransferResult r = download();
    EXPECT_EQ(r.outcome, TransferOutcome::Verified);
    const auto written = env.takeWritten();
    ASSERT_EQ(written.size(), 6u);
    EXPECT_EQ(written[0], "[3C003600$*]");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(written[size_t(i)], GatewayFrame(ResetCommand(i)));
    EXPECT_EQ(written[4], GatewayFrame("3F00000FFFF"));
    EXPECT_EQ(written[5], GatewayFrame("3F10000FFFF"));
    EXPECT_EQ(barValue, 2048);
    EXPECT_EQ(barMax, 2048);
    EXPECT_EQ(shown, QStringList{"Download To Gateway"});
    EXPECT_TRUE(labels.contains("Reset Device Memory"));
    EXPECT_TRUE(labels.contains("Downloading Block 16 Of 2048"));
    EXPECT_TRUE(labels.contains("Downloading Block 2048 Of 2048"));
    EXPECT_FALSE(labels.contains("Downloading Block 15 Of 2048"));
    EXPECT_EQ(labels.mid(labels.size() - 2),
              (QStringList{"Verify Checksum For Memory Bank: 0", "Verify Checksum For Memory Bank: 1"}));
    EXPECT_EQ(messages(), QStringList{"Download | Download Complete"});
    EXPECT_EQ(env.dialogs.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(hidden, 1);
    // The port is closed again and keeps the gateway's line settings; RTS went on for the transfer.
    EXPECT_FALSE(env.port().isOpen());
    EXPECT_EQ(env.port().settings(), "38400,N,8,1");
    EXPECT_TRUE(env.port().rts());
}

TEST_F(Transfer, WhatADownloadWritesAnUploadReadsBackWithoutCountingAsAnEdit)
{
    fillEveryBlock();
    image->WriteImageByte(1, 0xFFFF, 0x5A);
    const QByteArray want = MgwBytes(*image);
    ASSERT_EQ(download().outcome, TransferOutcome::Verified);
    const auto writes = framesStartingWith("38");
    ASSERT_EQ(writes.size(), 2048u);
    EXPECT_TRUE(writes.back().mid(5).startsWith("381FFC03F")) << writes.back().constData();
    EXPECT_EQ(gateway->cell(1, 0xFFFF), 0x5A);

    image->ClearImage();
    edits = 0;
    ASSERT_EQ(upload().outcome, TransferOutcome::Verified);
    EXPECT_EQ(MgwBytes(*image), want);
    EXPECT_EQ(edits, 0);
    EXPECT_EQ(messages().back(), "Upload | Upload Complete");
    EXPECT_EQ(shown.back(), "Upload From Gateway");
    EXPECT_TRUE(labels.contains("Uploading Block 2048 Of 2048"));
}

TEST_F(Transfer, EveryFaultEndsWithItsCodeAndMessage)
{
    struct Case {
        const char* what;
        bool upload;
        std::function<void(sim::MappedGateway&)> fault;
        int code;
    } cases[] = {
        {"1st reset", false, [](auto& g) { g.dropCommand("3600"); }, 21},
        {"2nd reset", false, [](auto& g) { g.dropCommand("3601"); }, 22},
        {"3rd reset", false, [](auto& g) { g.dropCommand("3610"); }, 23},
        {"4th reset", false, [](auto& g) { g.dropCommand("3611"); }, 24},
        {"a block write", false, [](auto& g) { g.dropCommand("38", 500); }, 4},
        {"a garbled acknowledgement", false, [](auto& g) { g.garbleReply("38", 3); }, 4},
        {"bank 1 checksum query", false, [](auto& g) { g.dropCommand("3F1"); }, 52},
        {"bank 0 high half", false, [](auto& g) { g.skewChecksum(0, true); }, 61},
        {"bank 0 low half", false, [](auto& g) { g.skewChecksum(0, false); }, 62},
        {"bank 1 high half", false, [](auto& g) { g.skewChecksum(1, true); }, 63},
        {"bank 1 low half", false, [](auto& g) { g.skewChecksum(1, false); }, 64},
        {"a silent read", true, [](auto& g) { g.dropCommand("39", 1500); }, 71},
        {"a read reply whose checksum disagrees", true, [](auto& g) { g.garbleReply("39", 7); }, 71},
        {"bank 0 checksum query on upload", true, [](auto& g) { g.dropCommand("3F0"); }, 52},
        {"bank 1 low half on upload", true, [](auto& g) { g.skewChecksum(1, false); }, 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gateway->clearFaults();
        image->ClearImage();
        fillEveryBlock();
        c.fault(*gateway);
        env.dialogs.shown.clear();
        const TransferResult r = c.upload ? upload() : download();
        EXPECT_EQ(r.outcome, TransferOutcome::Failed);
        EXPECT_EQ(r.code, c.code);
        ASSERT_EQ(env.dialogs.shown.size(), 1u);
        const auto& box = env.dialogs.shown[0];
        EXPECT_EQ(box.title, "Error");
        EXPECT_EQ(box.icon, MsgIcon::Critical);
        if (c.upload) {
            EXPECT_EQ(box.text, QStringLiteral("Upload Error: %1\r\nAll Host Data Cleared.").arg(c.code));
            EXPECT_EQ(MgwBytes(*image), QByteArray(kMgwSize, '\0')); // never a partly uploaded map
        } else {
            EXPECT_EQ(box.text, QStringLiteral("Download Error: %1\r\nQuorvel Controller May Not Function\r\n"
                                               "Properly Until A Download Is Complete.")
                                    .arg(c.code));
        }
        EXPECT_FALSE(env.port().isOpen());
    }
}

TEST_F(Transfer, ADamagedGatewayCellFailsTheDownloadsVerification)
{
    fillEveryBlock();
    gateway->corruptCell(0, 0x0040);
    const TransferResult r = download();
    EXPECT_EQ(r.outcome, TransferOutcome::Failed);
    EXPECT_TRUE(r.code == 61 || r.code == 62) << r.code;
}

TEST_F(Transfer, ACellAboveAByteTravelsAsItsLowByteAndIsNamedWhileVerifyingGoesOn)
{
    image->WriteImageByte(0, 4096, 300);
    const TransferResult r = download();
    const auto writes = framesStartingWith("38");
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_TRUE(writes[0].mid(5).startsWith("38010003F2C00")) << writes[0].constData();
    ASSERT_GE(env.dialogs.shown.size(), 2u);
    EXPECT_EQ(env.dialogs.shown[0].text, "300 A:4096");
    EXPECT_EQ(env.dialogs.shown[0].title, "");
    EXPECT_EQ(env.dialogs.shown[0].icon, MsgIcon::None);
    // The gateway holds 0x2C, so bank 0 then disagrees; the sum was finished all the same.
    EXPECT_EQ(r.outcome, TransferOutcome::Failed);
    EXPECT_TRUE(r.code == 61 || r.code == 62) << r.code;
}

TEST_F(Transfer, CancelStopsAtTheNextBlockAndAnUploadThenClearsTheMap)
{
    fillEveryBlock();
    int blocks = 0;
    onYield = [&] {
        if (++blocks == 100)
            cancel.request(); // the Cancel button, clicked while the user interface has its turn
    };
    const TransferResult down = download();
    EXPECT_EQ(down.outcome, TransferOutcome::Cancelled);
    EXPECT_EQ(framesStartingWith("38").size(), 99u);
    EXPECT_EQ(messages(),
              QStringList{"Download | Manual Download Cancel.\r\nQuorvel Controller May Not Function\r\n"
                          "Properly Until A Download Is Complete."});
    EXPECT_EQ(env.dialogs.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_FALSE(env.port().isOpen());

    env.dialogs.shown.clear();
    blocks = 0;
    EXPECT_EQ(upload().outcome, TransferOutcome::Cancelled);
    EXPECT_EQ(framesStartingWith("39").size(), 99u);
    EXPECT_EQ(messages(), QStringList{"Upload | Manual Upload Cancel.\r\nAll Host Data Cleared."});
    EXPECT_EQ(MgwBytes(*image), QByteArray(kMgwSize, '\0'));
}

TEST_F(Transfer, TheGatewayAnswersOnlyOnItsChannel)
{
    // A port left on the Brown channel (DTR on) never reaches it: the first reset goes unanswered.
    env.port().setDtr(true);
    const TransferResult r = download();
    EXPECT_EQ(r.code, 21);
    EXPECT_EQ(gateway->commandCount("36"), 0);
    EXPECT_TRUE(env.port().dtr()); // the transfer leaves the line as it found it

    env.port().setDtr(false);
    EXPECT_EQ(download().outcome, TransferOutcome::Verified);
    EXPECT_EQ(gateway->commandCount("36"), 4);
}

TEST_F(Transfer, APortThatWillNotOpenIsReportedOnceAndNothingIsSent)
{
    env.site.setAdapterPresent(false);
    EXPECT_EQ(download().outcome, TransferOutcome::PortError);
    EXPECT_EQ(messages(), QStringList{"Port Error | Unable To Open Port"});
    EXPECT_TRUE(env.takeWritten().empty());
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(Transfer, ARepliedChecksumThatAgreesIsAcceptedWhateverTheReplySays)
{
    // Only the checksum of a reply is checked: an odd but well-formed acknowledgement passes.
    env.site.script = [](Channel, const QByteArray& frame) -> std::optional<QByteArray> {
        if (frame.mid(5).startsWith("36"))
            return tqdt::sim::netReply("ZZ");
        return std::nullopt;
    };
    EXPECT_EQ(download().outcome, TransferOutcome::Verified);
}

TEST(BuiltInInstallation, KeepsOneGatewaySoThatAnUploadReadsWhatADownloadWrote)
{
    const auto site = sim::Site::builtIn();
    ManualClock clock;
    ScriptedDialogs dialogs;
    QTemporaryDir dir;
    Host host(clock, dialogs, Paths(dir.path()),
              [&] { return std::make_unique<sim::SimSerialPort>(*site, clock); });
    auto image = std::make_unique<GatewayImage>();
    image->SetPointType(12, 7);
    image->SetMultiRelay(45, 3, 9, true);
    const QByteArray want = MgwBytes(*image);
    ASSERT_EQ(GatewayTransfer(host, *image).DownloadGateway().outcome, TransferOutcome::Verified);
    image->ClearImage();
    ASSERT_EQ(GatewayTransfer(host, *image).UploadGateway().outcome, TransferOutcome::Verified);
    EXPECT_EQ(MgwBytes(*image), want);
}
