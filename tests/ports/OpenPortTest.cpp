#include "ports/OpenPort.h"

#include "host/Host.h"
#include "ports/PortAccess.h"
#include "support/ScriptedDialogs.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tqdt;

namespace {

// A port that fails to open with the reason it is given, as the system's port would.
class RefusingPort final : public SerialPort {
public:
    explicit RefusingPort(QString reason) : m_reason(std::move(reason)) {}
    bool open(QString* error) override
    {
        if (error)
            *error = m_reason;
        return false;
    }
    void close() override {}
    bool isOpen() const override { return false; }
    void setDtr(bool) override {}
    bool dtr() const override { return false; }
    void setRts(bool) override {}
    bool rts() const override { return false; }
    int inBufferCount() override { return 0; }
    QByteArray input() override { return {}; }
    void output(const QByteArray&) override {}
    void waitForCount(int, const Stopwatch&, qint64) override {}

private:
    QString m_reason;
};

} // namespace

// Only a refusal the technician can mend adds to the box; every other failure keeps the one line the
// windows have always shown.
TEST(OpenPort, BoxAddsWhatToDoOnlyWhenTheReasonCarriesIt)
{
    const struct {
        const char* reason;
        const char* box;
    } cases[] = {
        {"Permission denied: add your user to the group dialout and log in again",
         "Unable To Open Port\r\n\r\nPermission denied: add your user to the group dialout and log in "
         "again"},
        {"Permission denied", "Unable To Open Port"},
        {"No such file or directory", "Unable To Open Port"},
        {"Device or resource busy", "Unable To Open Port"},
        {"", "Unable To Open Port"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        QTemporaryDir dir;
        ManualClock clock;
        ScriptedDialogs dialogs;
        Host host(clock, dialogs, Paths(dir.path()),
                  [] { return std::make_unique<RefusingPort>(QString()); });
        RefusingPort port(QString::fromUtf8(c.reason));
        EXPECT_FALSE(OpenPort(host, port));
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].text, QString::fromUtf8(c.box));
        EXPECT_EQ(dialogs.shown[0].title, "Port Error");
    }
}

TEST(OpenPort, NoAdviceForADeviceThatIsMissingOrThatThisUserMayUse)
{
    QTemporaryDir dir;
    EXPECT_EQ(PortAccessAdvice(dir.filePath("ttyUSB9")), QString()); // unplugged: nothing to join
    EXPECT_EQ(PortAccessAdvice(dir.path()), QString());              // readable and writable here
}
