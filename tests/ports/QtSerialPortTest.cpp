#include "ports/QtSerialPort.h"
#include "ports/Pty.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <future>
#include <thread>

using namespace tqdt;

namespace {

// The real port class on one end of a pseudo-terminal; the test plays the interface module.
struct PtyPort : ::testing::Test {
    void SetUp() override
    {
        if (!PseudoTerminal::supported() || !pty.isOpen())
            GTEST_SKIP() << "no pseudo-terminals here";
        port = std::make_unique<QtSerialPort>([this](int) { return pty.slaveName(); });
        QString error;
        ASSERT_TRUE(port->open(&error)) << error.toStdString();
    }
    PseudoTerminal pty;
    SteadyClock clock;
    std::unique_ptr<QtSerialPort> port;
};

} // namespace

TEST_F(PtyPort, NewPortRunsAt38400AndRefusedLinesAreNotFatal)
{
    EXPECT_EQ(port->settings(), "38400,n,8,1");
    EXPECT_EQ(pty.slaveBaud(), 38400);
    port->setDtr(true); // a pseudo-terminal has no DTR; the port stays usable
    EXPECT_TRUE(port->isOpen());
    ASSERT_TRUE(port->setSettings("115200,n,8,1"));
    EXPECT_EQ(pty.slaveBaud(), 115200);
    EXPECT_FALSE(port->setSettings("fast,n,8,1"));
    EXPECT_EQ(port->settings(), "115200,n,8,1");
}

TEST_F(PtyPort, FrameWrittenBeforeADelayArrivesDuringIt)
{
    Stopwatch sw(clock);
    // The module's side listens while the program delays without running any event loop.
    auto arrived = std::async(std::launch::async, [&] {
        const QByteArray got = pty.read(2000);
        return std::make_pair(got, sw.StopwatchElapsed());
    });
    port->output("[CA0125]");
    sw.Delay(300);
    const auto [got, atMs] = arrived.get();
    EXPECT_EQ(got, "[CA0125]");
    EXPECT_LT(atMs, 300);
}

TEST_F(PtyPort, CharacterSentDuringAWaitIsCounted)
{
    Stopwatch sw(clock);
    std::thread module([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        pty.write("K");
    });
    sw.StopwatchStart();
    port->waitForCount(1, sw, 1000);
    const qint32 waited = sw.StopwatchElapsed();
    module.join();
    EXPECT_EQ(port->inBufferCount(), 1);
    EXPECT_LT(waited, 900); // woke for the character, not at the limit
    EXPECT_EQ(port->input(), "K");

    // Characters that arrived while nobody waited are counted too.
    pty.write("[2F]");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(port->inBufferCount(), 4);
    port->setInputLen(1);
    EXPECT_EQ(port->input(), "[");
    port->setInputLen(0);
    EXPECT_EQ(port->input(), "2F]");
}

TEST_F(PtyPort, FailedWaitRunsToItsLimit)
{
    Stopwatch sw(clock);
    sw.StopwatchStart();
    port->waitForCount(1, sw, 150);
    EXPECT_GE(sw.StopwatchElapsed(), 150);
    EXPECT_LT(sw.StopwatchElapsed(), 1000);
    EXPECT_EQ(port->inBufferCount(), 0);
}

TEST(QtSerialPort, MissingDeviceDoesNotOpen)
{
    QtSerialPort port([](int) { return QStringLiteral("/nonexistent/ttyNone"); });
    QString error;
    EXPECT_FALSE(port.open(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(port.inBufferCount(), 0);
    EXPECT_EQ(port.input(), "");
    port.output("[2F]"); // harmless on a closed port
    port.close();
}
