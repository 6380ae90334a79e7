#include "documents/PrivateProfile.h"
#include "sim/BenchStations.h"
#include "sim/BluetoothRadio.h"
#include "support/SimHost.h"
#include "ui/devices/frmQVDTWSG3TestCnf.h"
#include "ui/shell/frmComSel.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <set>

using namespace tqdt;
using namespace tqdt::ws;
using test::SimHost;

namespace {

QColor back(const QLabel* l) { return l->palette().color(QPalette::Window); }

// The G3 window on the bench: a " 5-MZD" station at 00 with its Bluetooth module, the passthrough
// adapter on COM2 and the main port on COM1.
struct G3BtBench {
    G3BtBench()
    {
        h.host.settings.BTComPort = 2;
        bench = sim::PlugInBtBench(h.site, [this] { return int(h.host.settings.BTComPort); });
        h.site.setBench(std::make_shared<sim::G3WallStation>(0, 19, 9));
        h.clock.setLocalDateTime(QDateTime(QDate(2020, 1, 1), QTime(0, 1, 40)));
        h.openPort();
        w.ensureLoaded();
        // Were the poll timer running while the link test lets events run, it would fire there.
        h.host.setYieldHandler([this] {
            ++yields;
            if (w.Timer1->isActive())
                w.Timer1_Timer();
        });
    }
    // The channels written on since mark.
    std::set<Channel> channelsSince(size_t mark) const
    {
        std::set<Channel> out;
        for (size_t i = mark; i < h.site.written.size(); ++i)
            out.insert(h.site.written[i].channel);
        return out;
    }
    const ScriptedDialogs::Shown& lastMessage() const { return h.dialogs.shown.back(); }

    SimHost h;
    sim::BtBench bench;
    frmQVDTWSG3TestCnf w{h.host};
    int yields = 0;
};

struct G3Bluetooth : ::testing::Test, G3BtBench {};

} // namespace

TEST_F(G3Bluetooth, ConfigureAndLinkTestPassWithThePollStoppedMeanwhile)
{
    EXPECT_EQ(w.lblBTComPort->text(), "BT Tester: COM2");
    const size_t mark = h.site.written.size();
    w.cmdBTConfigTest_Click();
    EXPECT_EQ(w.txtBTName->text(), "Tarvik-000000100");
    EXPECT_EQ(w.lblBTRsp->text(), "Config Pass");
    EXPECT_EQ(back(w.lblBTRsp), QColor(0, 255, 0));
    EXPECT_EQ(w.lblBTConfig->text(), "Done");
    EXPECT_EQ(w.lblBTA->text(), "0012F3A4B5C6");
    EXPECT_EQ(w.lblID->text(), "Tarvik-000000100");
    EXPECT_EQ(lastMessage().text, "Bluetooth Config Complete");
    EXPECT_EQ(lastMessage().title, "BT Config");
    EXPECT_EQ(lastMessage().icon, MsgIcon::None);
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_FALSE(h.port().dtr()); // back on the stations' channel

    h.dialogs.queueAnswer(MsgAnswer::Yes);
    w.cmdCnfPT_Click();
    EXPECT_EQ(h.dialogs.shown[h.dialogs.shown.size() - 2].icon, MsgIcon::Question);
    EXPECT_EQ(lastMessage().text, "Passthrough Config Complete");
    EXPECT_EQ(w.lblBTRsp->text(), "Config Pass");

    w.cmdBTTest_Click();
    EXPECT_EQ(w.lblBTTest->text(), "Pass");
    EXPECT_EQ(back(w.lblBTTest), QColor(128, 255, 128));
    EXPECT_TRUE(w.cmdBTTest->isEnabled());
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_FALSE(w.comBT->isOpen());
    EXPECT_GT(yields, 0);
    // Not one status query went out between the module's traffic.
    EXPECT_EQ(channelsSince(mark), std::set<Channel>{Channel::Brown});

    // The next poll finds the station again.
    w.Timer1_Timer();
    EXPECT_EQ(w.lblStatus->text(), " 5-MZD Rev: 09");
}

TEST(G3BluetoothFaults, EachFaultShowsItsFailure)
{
    using Step = std::function<void(G3BtBench&)>;
    const Step configure = [](G3BtBench& b) { b.w.cmdBTConfigTest_Click(); };
    struct Case {
        const char* what;
        Step fault, run;
        QLabel* frmQVDTWSG3TestCnf::*label;
        const char* text;
        QColor colour;
        const char* message; // nullptr: no message
    } cases[] = {
        {"module silent at the UART mode", [](G3BtBench& b) { b.bench.module->radio.goSilentAt("SS,C0"); },
         configure, &frmQVDTWSG3TestCnf::lblBTRsp, "Config Fail", QColor(255, 0, 0),
         "Bluetooth Config Failed"},
        {"module reads back another name",
         [](G3BtBench& b) { b.bench.module->radio.readBackAs("Tarvik-000000101"); }, configure,
         &frmQVDTWSG3TestCnf::lblBTRsp, "Config Fail", QColor(255, 0, 0), "Bluetooth Config Failed"},
        {"adapter without a prompt", [](G3BtBench& b) { b.bench.adapter->radio.goSilentAt("$$$"); },
         [](G3BtBench& b) {
             b.h.dialogs.queueAnswer(MsgAnswer::Yes);
             b.w.cmdCnfPT_Click();
         },
         &frmQVDTWSG3TestCnf::lblBTRsp, "Config Fail", QColor(255, 0, 0), "Passthrough Config Failed"},
        {"adapter never connects",
         [](G3BtBench& b) {
             b.w.cmdBTConfigTest_Click();
             b.bench.adapter->radio.setNeverConnects(true);
         },
         [](G3BtBench& b) { b.w.cmdBTTest_Click(); }, &frmQVDTWSG3TestCnf::lblBTTest, "PC to G3 Fail",
         QColor(255, 128, 128), nullptr},
        {"module left in command mode",
         [](G3BtBench& b) {
             b.w.cmdBTConfigTest_Click();
             b.h.port().setDtr(true);
             b.h.port().output("$$$");
         },
         [](G3BtBench& b) { b.w.cmdBTTest_Click(); }, &frmQVDTWSG3TestCnf::lblBTTest, "PC to G3 Fail",
         QColor(255, 128, 128), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        G3BtBench b;
        c.fault(b);
        const size_t shown = b.h.dialogs.shown.size();
        c.run(b);
        EXPECT_EQ((b.w.*c.label)->text(), c.text);
        EXPECT_EQ(back(b.w.*c.label), c.colour);
        if (c.message) {
            ASSERT_GT(b.h.dialogs.shown.size(), shown);
            EXPECT_EQ(b.lastMessage().text, c.message);
            EXPECT_EQ(b.lastMessage().icon, MsgIcon::Critical);
        }
        EXPECT_TRUE(b.w.Timer1->isActive());
    }
}

TEST_F(G3Bluetooth, FailureAtGetConfigLeavesTheAddressUnknown)
{
    bench.module->radio.goSilentAt("SS,C0");
    w.cmdBTConfigTest_Click();
    EXPECT_EQ(w.lblBTConfig->text(), "Get Config");
    EXPECT_TRUE(w.lblBTA->text().isEmpty());
    EXPECT_TRUE(w.BTAddress.isEmpty());
}

TEST_F(G3Bluetooth, BlankAddressStopsTheLinkTestBeforeAnyPortIsTouched)
{
    w.lblBTTestRsp->setText("old");
    const size_t mark = h.site.written.size();
    const bool dtr = h.port().dtr();
    w.cmdBTTest_Click();
    EXPECT_EQ(lastMessage().text, "Bluetooth BTA is blank.");
    EXPECT_EQ(lastMessage().title, "Test Stopped");
    EXPECT_EQ(lastMessage().icon, MsgIcon::Information);
    EXPECT_TRUE(w.lblBTTestRsp->text().isEmpty());
    EXPECT_EQ(h.site.written.size(), mark);
    EXPECT_EQ(h.port().dtr(), dtr);
    EXPECT_FALSE(w.comBT->isOpen());
    EXPECT_EQ(bench.adapter->radio.baud(), 115200);
    EXPECT_FALSE(bench.adapter->radio.commandMode());
    EXPECT_TRUE(w.Timer1->isActive());
}

TEST_F(G3Bluetooth, ReadBtaFillsAddressAndNameOfAConfiguredModule)
{
    w.cmdBTConfigTest_Click();
    w.lblBTA->clear();
    w.BTAddress.clear();
    w.cmdReadBTA_Click();
    EXPECT_EQ(w.lblBTA->text(), "0012F3A4B5C6");
    EXPECT_EQ(w.lblID->text(), "Tarvik-000000100");
    EXPECT_TRUE(w.cmdReadBTA->isEnabled());
    // Its last restart has no carriage return; the module still takes it and leaves command mode.
    h.clock.advanceMs(200);
    EXPECT_FALSE(bench.module->radio.commandMode());
}

TEST_F(G3Bluetooth, ConfigPassthroughAnsweredNoSendsNothing)
{
    h.dialogs.queueAnswer(MsgAnswer::No);
    w.cmdCnfPT_Click();
    EXPECT_EQ(lastMessage().text, "Config Cancelled");
    EXPECT_EQ(lastMessage().title, "Config Passthrough");
    EXPECT_EQ(lastMessage().icon, MsgIcon::Information);
    EXPECT_FALSE(w.comBT->isOpen());
    EXPECT_FALSE(bench.adapter->radio.commandMode());
}

TEST_F(G3Bluetooth, NameFieldKeepsThePrefixAndManualEnablesIt)
{
    EXPECT_EQ(w.txtBTName->text(), "Tarvik");
    EXPECT_FALSE(w.txtBTName->isEnabled());
    w.chkManName->click();
    EXPECT_TRUE(w.txtBTName->isEnabled());
    w.txtBTName->setFocus();
    w.txtBTName->end(false);
    QTest::keyClicks(w.txtBTName, "-7");
    EXPECT_EQ(w.txtBTName->text(), "Tarvik-7");
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(w.txtBTName, Qt::Key_Backspace);
    EXPECT_EQ(w.txtBTName->text(), "Tarvik");
    w.txtBTName->setText("Tarvi");
    EXPECT_EQ(w.txtBTName->text(), "Tarvik");
    w.txtBTName->setText("Tarvik-MANUAL");

    // A manual name is used as typed.
    w.cmdBTConfigTest_Click();
    EXPECT_EQ(bench.module->radio.name(), "Tarvik-MANUAL");
    w.chkManName->click();
    EXPECT_EQ(w.txtBTName->text(), "Tarvik");
    EXPECT_FALSE(w.txtBTName->isEnabled());
}

TEST_F(G3Bluetooth, TesterPortChoiceSetsTheSettingAndTheLabel)
{
    h.dialogs.queueDriver([](Form& f) { static_cast<frmComSel&>(f).lblSel_Click(11); });
    w.lblBTComPort_Click();
    EXPECT_EQ(w.lblBTComPort->text(), "BT Tester: COM12");
    EXPECT_EQ(h.host.settings.BTComPort, 12);
    EXPECT_EQ(h.host.settings.DTComPort, 1);
}

TEST_F(G3Bluetooth, WindowStaysOpenWhileTheLinkTestRuns)
{
    w.cmdBTConfigTest_Click();
    h.dialogs.queueAnswer(MsgAnswer::Yes);
    w.cmdCnfPT_Click();
    w.markShownModal();
    bool refused = false, othersDisabled = false;
    h.host.setYieldHandler([&] {
        othersDisabled =
            !w.cmdBTConfigTest->isEnabled() && !w.cmdWSPrg->isEnabled() && !w.cmdBTTest->isEnabled();
        refused = !w.requestClose();
    });
    w.cmdBTTest_Click();
    EXPECT_TRUE(refused);
    EXPECT_TRUE(othersDisabled);
    EXPECT_EQ(w.lblBTTest->text(), "Pass");
}

TEST(G3BluetoothPorts, ATesterOnTheInterfacePortIsRefusedBeforeAnythingIsSent)
{
    struct Case {
        const char* what;
        int tester;
        std::vector<std::pair<const char*, const char*>> ports; // [Ports] lines; "@" is the test folder
    } cases[] = {
        {"the same number", 1, {}},
        {"two numbers mapped to one device", 3, {{"COM1", "/dev/ttyS7"}, {"COM3", "/dev/ttyS7"}}},
        {"two links to one device", 3, {{"COM1", "@/by-id/a"}, {"COM3", "@/by-path/b"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        G3BtBench b;
        const QString dir = b.h.dir.path();
        QDir().mkpath(dir + "/by-id");
        QDir().mkpath(dir + "/by-path");
        QFile(dir + "/ttyUSB9").open(QIODevice::WriteOnly);
        QFile::link(dir + "/ttyUSB9", dir + "/by-id/a");
        QFile::link(dir + "/ttyUSB9", dir + "/by-path/b");
        QDir().mkpath(b.h.host.paths().dataFolder());
        for (const auto& [key, value] : c.ports)
            WritePrivateProfileStringA("Ports", key, QString(value).replace("@", dir),
                                       b.h.host.paths().settingsFile());
        b.h.host.settings.BTComPort = qint16(c.tester);
        b.w.BTAddress = "0012F3A4B5C6";
        using Command = void (frmQVDTWSG3TestCnf::*)();
        for (Command command : {&frmQVDTWSG3TestCnf::cmdCnfPT_Click, &frmQVDTWSG3TestCnf::cmdBTTest_Click}) {
            b.h.dialogs.shown.clear();
            const size_t mark = b.h.site.written.size();
            b.h.dialogs.queueAnswer(MsgAnswer::Yes);
            (b.w.*command)();
            ASSERT_EQ(b.h.dialogs.shown.size(), 1u);
            EXPECT_EQ(b.lastMessage().text, "The Tester Port Must Not Be The Interface Port");
            EXPECT_EQ(b.lastMessage().title, "Port Error");
            EXPECT_EQ(b.h.site.written.size(), mark) << "nothing sent";
            EXPECT_FALSE(b.w.comBT->isOpen());
        }
    }
}

TEST_F(G3Bluetooth, ANameTheModuleCannotHoldIsRefusedBeforeTheReset)
{
    w.chkManName->click();
    w.txtBTName->setText(QString::fromUtf8("Tarvik-Ω1"));
    const size_t mark = h.site.written.size();
    w.cmdBTConfigTest_Click();
    ASSERT_EQ(h.dialogs.shown.size(), 1u);
    EXPECT_EQ(lastMessage().title, "BT Config");
    EXPECT_EQ(h.site.written.size(), mark) << "the module is not reset";
    EXPECT_NE(w.lblBTRsp->text(), "Config Fail");
    EXPECT_EQ(w.txtBTName->text(), QString::fromUtf8("Tarvik-Ω1")) << "kept for the technician to mend";
}
