#include "documents/Settings.h"
#include "ports/DevicePort.h"
#include "ports/OpenPort.h"
#include "support/Files.h"
#include "support/SimHost.h"
#include "ui/shell/frmComSel.h"
#include "ui/shell/frmQVDTMain.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

using namespace tqdt;
using tqdt::test::readAll;
using tqdt::test::SimHost;
using tqdt::test::writeFile;

TEST(Settings, FirstStartCreatesFolderAndBothKeys)
{
    SimHost t;
    ASSERT_FALSE(QFileInfo::exists(t.host.paths().dataFolder()));
    {
        frmQVDTMain main(t.host, {});
        EXPECT_TRUE(QFileInfo(t.host.paths().dataFolder()).isDir());
        const QByteArray ini = readAll(t.host.paths().settingsFile());
        EXPECT_TRUE(ini.contains("DT Com Port=1"));
        EXPECT_TRUE(ini.contains("BT Com Port=1"));
        EXPECT_EQ(main.lblComPort->text(), "COM1");
    }
}

TEST(Settings, UnreadableValueBecomesZeroAndIsWrittenBack)
{
    SimHost t;
    writeFile(t.host.paths().settingsFile(),
              "[Settings]\nDT Com Port=abc\nBT Com Port=4\n[Ports]\nCOM1=/dev/x\n");
    ASSERT_TRUE(LoadSettings(t.host));
    EXPECT_EQ(t.host.settings.DTComPort, 0);
    EXPECT_EQ(t.host.settings.BTComPort, 4);
    EXPECT_EQ(readAll(t.host.paths().settingsFile()),
              "[Settings]\nDT Com Port=0\nBT Com Port=4\n[Ports]\nCOM1=/dev/x\n");
    // COM0 cannot be opened.
    EXPECT_FALSE(OpenPort(t.host));
    ASSERT_EQ(t.dialogs.shown.size(), 1u);
    EXPECT_EQ(t.dialogs.shown[0].text, "Unable To Open Port");
    EXPECT_EQ(t.dialogs.shown[0].title, "Port Error");
    EXPECT_EQ(t.dialogs.shown[0].icon, MsgIcon::Critical);
}

TEST(Settings, PickedPortReachesFileOnlyAtClose)
{
    SimHost t;
    auto main = std::make_unique<frmQVDTMain>(t.host, ToolList{});
    t.dialogs.queueDriver([](Form& f) {
        auto& sel = static_cast<frmComSel&>(f);
        QTest::mouseClick(sel.lblSel[11], Qt::LeftButton);
    });
    main->lblComPort_Click();
    EXPECT_EQ(main->lblComPort->text(), "COM12");
    EXPECT_EQ(t.host.settings.DTComPort, 12);
    EXPECT_TRUE(readAll(t.host.paths().settingsFile()).contains("DT Com Port=1\n"));
    main->close();
    EXPECT_TRUE(readAll(t.host.paths().settingsFile()).contains("DT Com Port=12\n"));
}

TEST(Settings, EscapeOrCancelLeavesThePortAlone)
{
    SimHost t;
    frmQVDTMain main(t.host, {});
    t.dialogs.queueDriver([](Form& f) { QTest::keyClick(&f, Qt::Key_Escape); });
    main.lblComPort_Click();
    EXPECT_EQ(t.host.settings.ComSelIndex, -1);
    t.dialogs.queueDriver(
        [](Form& f) { QTest::mouseClick(static_cast<frmComSel&>(f).lblCancel, Qt::LeftButton); });
    main.lblComPort_Click();
    EXPECT_EQ(main.lblComPort->text(), "COM1");
    EXPECT_EQ(t.host.settings.DTComPort, 1);
}

TEST(Settings, ComSelArrangement)
{
    SimHost t;
    frmComSel dlg(t.host);
    for (int i = 0; i < 16; ++i) {
        const QRect g = dlg.lblSel[size_t(i)]->geometry();
        EXPECT_EQ(dlg.lblSel[size_t(i)]->text(), QStringLiteral("COM%1").arg(i + 1));
        EXPECT_EQ(g.topLeft(), QPoint(tw(120 + 840 * (i / 4)), tw(480 + 360 * (i % 4))));
    }
    EXPECT_EQ(dlg.lblCancel->text(), "X");
    EXPECT_TRUE(dlg.windowFlags() & Qt::FramelessWindowHint);
    // Frameless, it must draw its own edge, or it cannot be told from the main window beneath.
    const QImage shot = dlg.grab().toImage();
    for (const QPoint p : {QPoint(0, 0), QPoint(shot.width() - 1, shot.height() - 1),
                           QPoint(shot.width() / 2, shot.height() - 1)})
        EXPECT_EQ(shot.pixelColor(p), QColor(0x40, 0x40, 0x40)) << p.x() << "," << p.y();
}

TEST(Settings, ClosingTwiceIsSilentAndPortsMapToDevices)
{
    SimHost t;
    ClosePort(t.host);
    ClosePort(t.host);
    EXPECT_TRUE(t.dialogs.shown.empty());

#ifndef Q_OS_WIN
    EXPECT_EQ(ComDevice(t.host.paths(), 3), "/dev/ttyUSB2");
    writeFile(t.host.paths().settingsFile(), "[Ports]\nCOM3=/dev/ttyACM0\n");
    EXPECT_EQ(ComDevice(t.host.paths(), 3), "/dev/ttyACM0");
#endif
}

TEST(Settings, AdapterPulledOutBeforeOpen)
{
    SimHost t;
    t.site.setAdapterPresent(false);
    EXPECT_FALSE(OpenPort(t.host));
    ASSERT_EQ(t.dialogs.shown.size(), 1u);
    EXPECT_EQ(t.dialogs.shown[0].text, "Unable To Open Port");
}
