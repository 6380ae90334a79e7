// Ending the program with SIGTERM, SIGHUP or SIGINT (a logout, a shutdown, a service manager): the
// open tool closes as its close box would, but nothing is asked and nothing it holds is lost.
#include "host/EndSignals.h"
#include "support/Files.h"
#include "support/SimHost.h"
#include "ui/gateway/frmMGW.h"
#include "ui/network/frmQVDTDataLogger.h"
#include "ui/shell/frmQVDTMain.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>

#include <gtest/gtest.h>

#include <csignal>

using namespace tqdt;
using net::frmQVDTDataLogger;
using test::SimHost;

namespace {

ToolList tools()
{
    return {{"cmdDTDataLogger", "frmQVDTDataLogger", LaunchKind::DataLogger,
             [](Host& h) { return std::make_unique<frmQVDTDataLogger>(h); }},
            {"cmdMGW", "frmMGW", LaunchKind::SelfManaged,
             [](Host& h) { return std::make_unique<gw::frmMGW>(h); }}};
}

// Opens the tool behind button, lets work run in it, then sends the process a real SIGTERM and lets
// the event loop take it, as it would while the tool waits for the technician.
void endBySignalWhileOpen(SimHost& h, const QString& button, const std::function<void(Form&)>& work)
{
    frmQVDTMain main(h.host, tools());
    bool ended = false;
    ASSERT_TRUE(WatchEndSignals(&main, [&] { main.endUnattended([&] { ended = true; }); }));
    bool stillOpen = true;
    h.dialogs.queueDriver([&](Form& f) {
        work(f);
        std::raise(SIGTERM);
        QElapsedTimer t;
        t.start();
        while (!ended && t.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        stillOpen = f.isShownModal();
    });
    main.launch(button);
    EXPECT_TRUE(ended);
    EXPECT_FALSE(stillOpen);
    EXPECT_TRUE(h.host.endingUnattended);
}

} // namespace

TEST(UnattendedEnd, TheLoggerWritesThePartBlockItHolds)
{
    SimHost h;
    QByteArray pattern;
    for (int i = 0; i < 256; ++i)
        pattern += char(i);
    const qint64 count = 4095; // one byte short of a block: nothing is on disk yet
    endBySignalWhileOpen(h, "cmdDTDataLogger", [&](Form& f) {
        static_cast<frmQVDTDataLogger&>(f).cmdStart->click();
        h.site.setForeignTraffic(Channel::Blue, {pattern, 3840, h.clock.nowUs() + 1000, count});
        h.clock.advanceMs(count * 1000 / 3840 + 20);
    });
    const QDir data(h.host.paths().dataFolder());
    const QStringList logs = data.entryList({"DataLog*.TXT"}, QDir::Files);
    ASSERT_EQ(logs.size(), 1);
    EXPECT_EQ(test::readAll(data.filePath(logs[0])), pattern.repeated(16).left(count));
    EXPECT_TRUE(h.dialogs.shown.empty());
}

TEST(UnattendedEnd, AnEditedMapGoesToItsRecoveryCopyWithoutAQuestion)
{
    SimHost h;
    const QString file = h.dir.filePath("SITE.MGW");
    QByteArray saved;
    endBySignalWhileOpen(h, "cmdMGW", [&](Form& f) {
        auto& w = static_cast<gw::frmMGW&>(f);
        h.dialogs.queueFile(file);
        w.mnuFileSaveAs_Click();
        saved = test::readAll(file);
        w.cboType->setCurrentIndex(1);
        ASSERT_TRUE(h.host.isModified());
        h.dialogs.shown.clear();
    });
    EXPECT_TRUE(h.dialogs.shown.empty()) << h.dialogs.shown.front().text.toStdString();
    EXPECT_EQ(test::readAll(file), saved);
    const QByteArray kept = test::readAll(h.dir.filePath(".SITE.MGW.recovered"));
    EXPECT_EQ(kept.size(), 262144);
    EXPECT_NE(kept, saved);
}
