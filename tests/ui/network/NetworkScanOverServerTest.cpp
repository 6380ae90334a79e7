#include "host/Host.h"
#include "ports/DevicePort.h"
#include "sim/PtyServer.h"
#include "sim/Site.h"
#include "support/DeviceServer.h"
#include "support/ScriptedDialogs.h"
#include "ui/network/ScanWidgets.h"
#include "ui/network/frmQVDTNetworkScan.h"
#include "ui/shell/Launcher.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tqdt::test {
using namespace tqdt::net;
namespace {

// The network scan as a technician runs it from another room: the port is an rfc2217:// address,
// ser2net serves a pseudo-terminal, and the simulated panels answer on the other end. The
// pseudo-terminal has no DTR, so the far side is strapped to the panels' channel.
TEST(NetworkScanOverSer2net, FindsThePanels)
{
    if (!PseudoTerminal::supported())
        GTEST_SKIP() << "no pseudo-terminals here";
    if (const QString why = DeviceServer::unavailable(DeviceServer::Kind::Ser2net); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    sim::Site site;
    site.panels[0x21] = sim::Panel{};
    site.panels[0xFE] = sim::Panel{};
    sim::PtyServer pty(site);
    pty.setChannel(Channel::Brown);
    ASSERT_TRUE(pty.start());
    DeviceServer ser2net;
    // Its default holds each reply back by a few character times; a loaded test machine must not
    // push a 25 ms presence query over its limit on top of that.
    ser2net.setSer2netOptions({QStringLiteral("chardelay: false")});
    QString why;
    ASSERT_TRUE(ser2net.start(DeviceServer::Kind::Ser2net, pty.portName(), &why)) << why.toStdString();
    const QString url = ser2net.url(QStringLiteral("ign_set_control"));

    QTemporaryDir dir;
    SteadyClock clock;
    ScriptedDialogs dialogs;
    Host host(clock, dialogs, Paths(dir.path()),
              [&] { return std::make_unique<DevicePort>([&](int) { return url; }); });
    std::vector<int> found;
    dialogs.queueDriver([&](Form& f) {
        auto& w = static_cast<frmQVDTNetworkScan&>(f);
        for (int slot = 0; slot < 254; ++slot)
            if (backgroundOf(w.panelGrid.node[size_t(slot)]) == scancolour::Present)
                found.push_back(slot + 1);
    });
    EXPECT_TRUE(
        LaunchTool(host, LaunchKind::Scan, [&] { return std::make_unique<frmQVDTNetworkScan>(host); }));
    EXPECT_EQ(found, (std::vector<int>{0x21, 0xFE}));
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.shown.front().text.toStdString();
}

} // namespace
} // namespace tqdt::test
