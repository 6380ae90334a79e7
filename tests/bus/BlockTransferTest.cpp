#include "bus/BlockTransfer.h"
#include "support/SimHost.h"

#include <gtest/gtest.h>

using namespace tqdt;

namespace {

// A transfer of five blocks that records what ran, with a Cancel button behind a token.
struct Transfer {
    test::SimHost sim;
    CancelToken cancel;
    std::vector<QString> steps;
    int failBlock = -1;
    bool verifies = true;

    BlockTransfer::Result run()
    {
        BlockTransfer::Plan p;
        p.blocks = 5;
        p.cancel = &cancel;
        p.prepare = [this] {
            steps.push_back("prepare");
            return Step::done();
        };
        p.block = [this](int n) {
            steps.push_back(QStringLiteral("block %1").arg(n));
            return n == failBlock ? Step::failed(4) : Step::done();
        };
        p.verify = [this] {
            steps.push_back("verify");
            return BlockTransfer::compare("AB", verifies ? QByteArray("AB") : QByteArray("AC"), 52, 61);
        };
        p.messages.verified = {"Done", "Download"};
        p.messages.failed = [](int code) {
            return BlockTransfer::Message{QStringLiteral("Error: %1").arg(code), "Error", MsgIcon::Critical};
        };
        p.messages.cancelled = {"Manual Cancel.", "Download", MsgIcon::Exclamation};
        p.afterFailure = [this](const BlockTransfer::Result&) { steps.push_back("cleared"); };
        p.finish = [this] { steps.push_back("finish"); };
        return BlockTransfer(sim.host).run(p);
    }
    QString shown() const { return sim.dialogs.shown.size() == 1 ? sim.dialogs.shown[0].text : "?"; }
};

} // namespace

TEST(BlockTransfer, CancelStopsAtTheNextBlockBoundaryAndFailuresCarryTheirCode)
{
    using O = BlockTransfer::Outcome;
    struct Case {
        const char* name;
        int cancelAtYield; // 0: never
        int failBlock;
        bool verifies;
        O outcome;
        int code, blocksDone;
        QString message;
        QString lastBlock;
    } cases[] = {
        {"verified", 0, -1, true, O::Verified, 0, 5, "Done", "block 4"},
        {"cancel before the third block", 3, -1, true, O::Cancelled, 0, 2, "Manual Cancel.", "block 1"},
        {"cancel before the first block", 1, -1, true, O::Cancelled, 0, 0, "Manual Cancel.", "prepare"},
        {"block 2 unanswered", 0, 2, true, O::Failed, 4, 2, "Error: 4", "block 2"},
        {"checksums differ", 0, -1, false, O::Failed, 61, 5, "Error: 61", "verify"},
    };
    for (const Case& c : cases) {
        Transfer t;
        t.failBlock = c.failBlock;
        t.verifies = c.verifies;
        if (c.cancelAtYield)
            t.sim.atYield(c.cancelAtYield, [&t] { t.cancel.request(); });
        const BlockTransfer::Result r = t.run();
        EXPECT_EQ(r.outcome, c.outcome) << c.name;
        EXPECT_EQ(r.code, c.code) << c.name;
        EXPECT_EQ(r.blocksDone, c.blocksDone) << c.name;
        EXPECT_EQ(t.shown(), c.message) << c.name;
        // Nothing runs after the step that ended it but the clean-up and the close, in that order.
        const bool failed = c.outcome != O::Verified;
        ASSERT_GE(t.steps.size(), failed ? 3u : 2u) << c.name;
        EXPECT_EQ(t.steps.back(), "finish") << c.name;
        if (failed) {
            EXPECT_EQ(t.steps[t.steps.size() - 2], "cleared") << c.name;
        }
        EXPECT_EQ(t.steps[t.steps.size() - (failed ? 3 : 2)],
                  c.outcome == O::Verified ? "verify" : c.lastBlock)
            << c.name;
    }
}

TEST(BlockTransfer, ACancelLeftFromAnEarlierRunIsNotCarriedIntoTheNext)
{
    Transfer t;
    t.cancel.request();
    EXPECT_EQ(t.run().outcome, BlockTransfer::Outcome::Verified);
    EXPECT_EQ(t.sim.yields, 5); // one yield before each block, none elsewhere
}
