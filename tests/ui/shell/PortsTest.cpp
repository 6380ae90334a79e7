#include "documents/Settings.h"
#include "ports/DevicePort.h"
#include "ports/PortCatalog.h"
#include "support/Files.h"
#include "support/SimHost.h"
#include "ui/shell/frmPorts.h"
#include "ui/shell/frmQVDTMain.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tqdt;
using tqdt::test::readAll;
using tqdt::test::SimHost;
using tqdt::test::writeFile;

TEST(PortCatalog, MappingFollowsTheAdapterWhenItHasASerialNumberAndTheSocketOtherwise)
{
    struct Case {
        const char* what;
        MachinePort port;
        const char* target;
        const char* noteHas;
    };
    const std::vector<Case> cases = {
        {"serial number and by-id",
         {"/dev/ttyUSB0",
          "",
          "",
          {},
          {},
          "A10K2",
          "/dev/serial/by-id/usb-X_A10K2-if00",
          "/dev/serial/by-path/p-1.2"},
         "/dev/serial/by-id/usb-X_A10K2-if00",
         ""},
        // Two such adapters share their by-id name; only the socket tells them apart.
        {"no serial number",
         {"/dev/ttyUSB1", "", "", {}, {}, "", "/dev/serial/by-id/usb-Y-if00", "/dev/serial/by-path/p-1.3"},
         "/dev/serial/by-path/p-1.3",
         "USB socket"},
        {"a built-in port", {"/dev/ttyS0", "", "", {}, {}, "", "", ""}, "/dev/ttyS0", ""},
        {"a USB adapter without links",
         {"/dev/ttyACM0", "", "", 0x2341, 0x0043, "", "", ""},
         "/dev/ttyACM0",
         "numbered otherwise"},
    };
    for (const Case& c : cases) {
        const PortMapping m = MappingFor(c.port);
        EXPECT_EQ(m.target, c.target) << c.what;
        if (*c.noteHas)
            EXPECT_TRUE(m.note.contains(QLatin1String(c.noteHas))) << c.what << ": " << m.note.toStdString();
        else
            EXPECT_TRUE(m.note.isEmpty()) << c.what;
    }
    MachinePort usb;
    usb.vendorId = 0x0403;
    usb.productId = 0x6001;
    EXPECT_EQ(VidPidText(usb), "0403:6001");
    EXPECT_EQ(VidPidText(MachinePort{}), "");
}

TEST(PortCatalog, StableNamesAreTheLinksThatPointAtThePort)
{
    QTemporaryDir dir;
    const QString dev = dir.filePath("dev");
    QDir().mkpath(dev);
    for (const char* name : {"ttyUSB0", "ttyUSB1"})
        writeFile(dev + "/" + name, {});
    QDir().mkpath(dir.filePath("serial/by-id"));
    QDir().mkpath(dir.filePath("serial/by-path"));
    // udev's links are relative; one adapter with two interfaces has two.
    ASSERT_TRUE(QFile::link("../../dev/ttyUSB0", dir.filePath("serial/by-id/usb-X_A10K2-if00")));
    ASSERT_TRUE(QFile::link("../../dev/ttyUSB0", dir.filePath("serial/by-id/usb-X_A10K2-if01")));
    ASSERT_TRUE(
        QFile::link("../../dev/ttyUSB1", dir.filePath("serial/by-path/pci-0000:00:14.0-usb-0:3:1.0")));
    std::vector<MachinePort> ports(3);
    ports[0].device = dev + "/ttyUSB0";
    ports[1].device = dev + "/ttyUSB1";
    ports[2].device = dev + "/ttyS0"; // no such file, no links
    AttachStableNames(ports, dir.filePath("serial"));
    EXPECT_EQ(ports[0].byId, dir.filePath("serial/by-id/usb-X_A10K2-if00"));
    EXPECT_EQ(ports[0].byPath, "");
    EXPECT_EQ(ports[1].byId, "");
    EXPECT_EQ(ports[1].byPath, dir.filePath("serial/by-path/pci-0000:00:14.0-usb-0:3:1.0"));
    EXPECT_EQ(ports[2].byId + ports[2].byPath, "");
}

TEST(PortsWindow, MappingsAreWrittenIntoPortsAndLeaveTheRestOfTheFile)
{
    SimHost t;
    const QString ini = t.host.paths().settingsFile();
    const QByteArray before = "; bench PC 4\r\n[Settings]\r\nDT Com Port=5\r\nBT Com "
                              "Port=1\r\n\r\n[Ports]\r\nCOM3=/dev/ttyACM0\r\n";
    writeFile(ini, before);
    frmPorts w(t.host, nullptr, QStringLiteral("/nonexistent"));
    w.ensureLoaded();
    EXPECT_EQ(w.windowTitle(), "Ports");
    EXPECT_EQ(w.lstMap->item(2, 1)->text(), "/dev/ttyACM0");

    w.cboCom->setCurrentIndex(4);
    w.txtTarget->setText("rfc2217://10.0.0.5:3001?ign_set_control");
    w.cmdMap_Click();
    EXPECT_EQ(readAll(ini), before + "COM5=rfc2217://10.0.0.5:3001?ign_set_control\r\n");
    EXPECT_EQ(ComDevice(t.host.paths(), 5), "rfc2217://10.0.0.5:3001?ign_set_control");
    EXPECT_EQ(w.lstMap->item(4, 1)->text(), "rfc2217://10.0.0.5:3001?ign_set_control");

    // A mistyped address is refused before it reaches the file.
    w.txtTarget->setText("rfc2217://10.0.0.5?ign_set_control");
    w.cmdMap_Click();
    ASSERT_EQ(t.dialogs.shown.size(), 1u);
    EXPECT_TRUE(t.dialogs.shown[0].text.contains("no TCP port")) << t.dialogs.shown[0].text.toStdString();
    EXPECT_EQ(ComDevice(t.host.paths(), 5), "rfc2217://10.0.0.5:3001?ign_set_control");

    // Taking a mapping away gives the port its default again.
    w.cboCom->setCurrentIndex(2);
    w.cmdUnmap_Click();
    EXPECT_EQ(ComDevice(t.host.paths(), 3), QStringLiteral("/dev/ttyUSB2"));
    EXPECT_TRUE(readAll(ini).startsWith("; bench PC 4\r\n[Settings]\r\nDT Com Port=5\r\n"));
}

TEST(PortsWindow, TheMainWindowsPortLabelOpensItFromItsContextMenu)
{
    SimHost t;
    frmQVDTMain main(t.host, {});
    ASSERT_NE(main.mnuPorts, nullptr);
    EXPECT_EQ(main.mnuPorts->text(), "Ports...");
    main.mnuPorts->trigger();
    EXPECT_EQ(t.dialogs.modalShown, std::vector<QString>{"frmPorts"});
    // The port label's caption and the chosen port are untouched.
    EXPECT_EQ(main.lblComPort->text(), "COM1");
}
