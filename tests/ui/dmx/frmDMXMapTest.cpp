#include "ui/dmx/frmDMXMap.h"
#include "sim/DmxGateway.h"
#include "support/Files.h"
#include "support/SimHost.h"
#include "ui/dmx/frmDMXDimSel.h"

#include <QComboBox>
#include <QDir>
#include <QProgressBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace tqdt;
using namespace tqdt::dmx;

namespace {

struct MapWindow : ::testing::Test {
    MapWindow() : w(sh.host)
    {
        w.ensureLoaded();
        w.activate();
    }

    DmxMap& map() { return sh.host.document<DmxMap>(); }
    QString path(const char* name) const { return sh.dir.filePath(QString::fromLatin1(name)); }
    QColor colour(int i) const { return w.lblDimChan[size_t(i)]->palette().color(QPalette::Window); }
    // The next dimmer selection clicks this label (a point, 64 for "Not Mapped", -1 for "X").
    void willChoose(int label)
    {
        sh.dialogs.queueDriver([label](Form& f) {
            auto& sel = static_cast<frmDMXDimSel&>(f);
            if (label < 0)
                sel.lblCancel_Click();
            else
                sel.lblSel_Click(label);
        });
    }
    void rightClick(int i, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mouseClick(w.lblDimChan[size_t(i)], Qt::RightButton, mods);
    }
    void setLists(int address, int range)
    {
        w.cboDevAdd->setCurrentIndex(address);
        w.cboDevRange->setCurrentIndex(range);
    }

    test::SimHost sh;
    frmDMXMap w;
};

TEST_F(MapWindow, OpensUnnamedWithEveryChannelUnmapped)
{
    EXPECT_EQ(w.windowTitle(), "Tarvik Wistra DMX Output Map   (None)");
    EXPECT_EQ(w.lblDMXChan[0]->text(), "001");
    EXPECT_EQ(w.lblDMXChan[511]->text(), "512");
    EXPECT_EQ(w.lblDimChan[300]->text(), "-");
    EXPECT_EQ(w.cboDevAdd->itemText(15), "Device Address: 10");
    EXPECT_EQ(w.cboDevRange->itemText(0), "Device Range: 4 / Switch Setting: 0");
    EXPECT_EQ(w.cboDevRange->itemText(15), "Device Range: 64 / Switch Setting: F");
    // Channel i stands in column i div 32.
    EXPECT_EQ(w.lblDimChan[32]->x(), w.lblDimChan[63]->x());
    EXPECT_GT(w.lblDimChan[32]->x(), w.lblDimChan[31]->x());
    EXPECT_EQ(w.lblDimChan[32]->y(), w.lblDimChan[0]->y());
    EXPECT_TRUE(QDir(sh.host.paths().sibling("Tarvik Quorvel DMX Map")).exists());
    EXPECT_FALSE(w.cmdMSClear->isVisible());
}

TEST(DimmerSelection, OffersOnlyTheGatewaysPoints)
{
    test::SimHost sh;
    const struct {
        int base, end, firstWhite, lastWhite;
    } cases[] = {{0, 64, 0, 63}, {60, 124, 60, 63}, {4, 12, 4, 11}};
    for (const auto& c : cases) {
        frmDMXDimSel sel(sh.host, c.base, c.end);
        EXPECT_EQ(sel.lblSel[9]->text(), "D:03.2");
        EXPECT_EQ(sel.lblSel[63]->text(), "D:10.4");
        EXPECT_EQ(sel.lblSel[64]->text(), "Not Mapped");
        EXPECT_EQ(sel.lblCancel->text(), "X");
        for (int i = 0; i < 64; ++i)
            EXPECT_EQ(sel.selectable(i), i >= c.firstWhite && i <= c.lastWhite) << c.base << " point " << i;
        // Point i stands in column i div 8, row i mod 8.
        EXPECT_EQ(sel.lblSel[8]->y(), sel.lblSel[0]->y());
        EXPECT_GT(sel.lblSel[8]->x(), sel.lblSel[7]->x());
        EXPECT_TRUE(sel.rect().contains(sel.lblSel[64]->geometry()));
    }
}

TEST(DimmerSelection, GreyPointsIgnoreClicksAndEscapeCancels)
{
    test::SimHost sh;
    frmDMXDimSel sel(sh.host, 60, 124);
    sel.markShownModal();
    sel.lblSel_Click(59);
    EXPECT_TRUE(sel.isShownModal());
    EXPECT_EQ(sel.DimSelResult, -1);
    sel.lblSel_Click(64);
    EXPECT_FALSE(sel.isShownModal());
    EXPECT_EQ(sel.DimSelResult, 64);

    frmDMXDimSel esc(sh.host, 0, 64);
    esc.markShownModal();
    esc.DimSelResult = 12;
    QTest::keyClick(&esc, Qt::Key_Escape);
    EXPECT_EQ(esc.DimSelResult, -1);
    EXPECT_FALSE(esc.isShownModal());
}

TEST_F(MapWindow, ChoosingAPointStoresItsOffsetFromTheDeviceAddress)
{
    setLists(1, 1);      // address 02 (first point 4), range 8
    sh.host.markSaved(); // the lists are an edit of their own
    willChoose(9);       // D:03.2
    QTest::mouseClick(w.lblDimChan[20], Qt::LeftButton);
    EXPECT_EQ(map().channel(20), 5);
    EXPECT_EQ(w.lblDimChan[20]->text(), "D:03.2");
    EXPECT_TRUE(sh.host.isModified());
    w.cboDevAdd->setCurrentIndex(0);
    EXPECT_EQ(w.lblDimChan[20]->text(), "D:02.2");
    EXPECT_EQ(map().GetDeviceAddress(), 0);

    willChoose(-1);
    QTest::mouseClick(w.lblDMXChan[20], Qt::LeftButton);
    EXPECT_EQ(map().channel(20), 5);
    willChoose(64);
    QTest::mouseClick(w.lblDMXChan[20], Qt::LeftButton);
    EXPECT_EQ(map().channel(20), 255);
    EXPECT_EQ(w.lblDimChan[20]->text(), "-");
}

TEST_F(MapWindow, DeviceListsChangeTheViewAndAChoiceInEitherIsAnEdit)
{
    EXPECT_FALSE(sh.host.isModified()) << "filling the lists at the start is no edit";
    map().channel(0) = 4;
    setLists(15, 15);
    EXPECT_EQ(map().GetDeviceAddress(), 15);
    EXPECT_EQ(map().GetDeviceRange(), 15);
    EXPECT_EQ(w.lblDimChan[0]->text(), "-"); // point 64 does not exist; the offset stays
    EXPECT_EQ(map().channel(0), 4);

    struct Case {
        const char* what;
        QComboBox* list;
    } cases[] = {{"address", w.cboDevAdd}, {"range", w.cboDevRange}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sh.host.markSaved();
        c.list->setCurrentIndex(3);
        EXPECT_TRUE(sh.host.isModified());
        // Closing now asks, and No keeps the window and the change.
        w.markShownModal();
        sh.dialogs.queueAnswer(MsgAnswer::No);
        EXPECT_FALSE(w.requestClose());
        EXPECT_EQ(sh.dialogs.shown.back().text, "Discard Any Changes?");
    }
}

TEST_F(MapWindow, RightClicksMarkARunInEitherDirection)
{
    rightClick(40, Qt::ShiftModifier); // no selection yet: nothing happens
    EXPECT_FALSE(w.multiSelect());
    EXPECT_EQ(colour(40), frmDMXMap::kLightYellow);

    rightClick(40);
    rightClick(35, Qt::ShiftModifier);
    EXPECT_TRUE(w.multiSelect());
    EXPECT_TRUE(w.cmdMSCopy->isVisibleTo(&w));
    EXPECT_EQ(colour(35), frmDMXMap::kWhite);
    EXPECT_EQ(colour(36), frmDMXMap::kLightYellow);
    EXPECT_EQ(colour(40), frmDMXMap::kLightYellow);
    EXPECT_EQ(colour(34), frmDMXMap::kGrey);
    EXPECT_EQ(colour(41), frmDMXMap::kGrey);

    // A left click ends it before choosing.
    willChoose(-1);
    QTest::mouseClick(w.lblDimChan[100], Qt::LeftButton);
    EXPECT_FALSE(w.multiSelect());
    EXPECT_FALSE(w.cmdMSCopy->isVisibleTo(&w));
    EXPECT_EQ(colour(34), frmDMXMap::kLightYellow);
}

TEST_F(MapWindow, ClearCopyAndSequenceWorkOnTheSelectedRun)
{
    auto select = [&](int first, int last) {
        rightClick(first);
        rightClick(last, Qt::ShiftModifier);
    };
    for (int i = 0; i < 512; ++i)
        map().channel(i) = qint16(i % 50);
    const DmxMap before = map();

    // Copy from a selection made right to left takes the lower channel's value.
    select(20, 10);
    w.cmdMSCopy_Click();
    for (int i = 10; i <= 20; ++i)
        EXPECT_EQ(map().channel(i), 10);
    EXPECT_EQ(map().channel(21), before.channel(21));
    EXPECT_EQ(map().channel(9), before.channel(9));
    EXPECT_TRUE(sh.host.isModified());
    EXPECT_FALSE(w.multiSelect());

    select(30, 32);
    w.cmdMSClear_Click();
    for (int i = 30; i <= 32; ++i)
        EXPECT_EQ(map().channel(i), 255);
    EXPECT_EQ(map().channel(33), before.channel(33));

    // Sequence from an unmapped channel starts at 0 and stops at the end of range 8.
    w.cboDevRange->setCurrentIndex(1);
    map().channel(100) = 255;
    select(100, 119);
    w.cmdMSSeq_Click();
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(map().channel(100 + i), i);
    for (int i = 108; i <= 119; ++i)
        EXPECT_EQ(map().channel(i), before.channel(i)) << i;

    // From a mapped channel it continues from its value.
    map().channel(200) = 5;
    select(200, 210);
    w.cmdMSSeq_Click();
    EXPECT_EQ(map().channel(201), 6);
    EXPECT_EQ(map().channel(202), 7);
    EXPECT_EQ(map().channel(203), before.channel(203));
}

struct MapDocument : MapWindow {};

TEST_F(MapDocument, NewAndOpenRestoreTheDeviceListsWithoutAnEdit)
{
    setLists(2, 3);
    sh.dialogs.queueFile(path("lists.qdm"));
    w.mnuFileSaveAs_Click();
    ASSERT_FALSE(sh.host.isModified());
    w.mnuFileNew_Click();
    EXPECT_EQ(w.cboDevAdd->currentIndex(), 0);
    EXPECT_FALSE(sh.host.isModified());
    sh.dialogs.queueFile(path("lists.qdm"));
    w.mnuFileOpen_Click();
    EXPECT_EQ(w.cboDevAdd->currentIndex(), 2);
    EXPECT_EQ(w.cboDevRange->currentIndex(), 3);
    EXPECT_FALSE(sh.host.isModified());
}

TEST_F(MapDocument, SaveAsNamesTheMapAndOpenBringsItBack)
{
    const QString pattern = QDir(sh.host.paths().sibling("Tarvik Quorvel DMX Map")).filePath("*.QDM");
    setLists(2, 3);
    willChoose(9);
    w.lblDMXChan_Click(7);
    sh.dialogs.queueFile(path("stage.qdm"));
    w.mnuFileSave_Click(); // unnamed: runs Save As
    ASSERT_EQ(sh.dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(sh.dialogs.fileRequests[0].fileName, pattern);
    EXPECT_EQ(sh.dialogs.fileRequests[0].filter,
              "Tarvik Quorvel DMX Map Files (*.QDM)|*.QDM|All Files (*.*)|*.*");
    EXPECT_EQ(test::readAll(path("stage.qdm")).size(), 1028);
    EXPECT_EQ(w.windowTitle(), "Tarvik Wistra DMX Output Map   " + path("stage.qdm"));
    EXPECT_FALSE(sh.host.isModified());

    w.mnuFileNew_Click();
    EXPECT_EQ(map().channel(7), 255);
    EXPECT_EQ(w.cboDevAdd->currentIndex(), 0);

    sh.dialogs.queueFile(path("stage.qdm"));
    w.mnuFileOpen_Click();
    EXPECT_EQ(sh.dialogs.fileRequests[1].fileName, ""); // Open starts empty after the first dialog
    EXPECT_EQ(map().channel(7), 1);
    EXPECT_EQ(w.cboDevAdd->currentIndex(), 2);
    EXPECT_EQ(w.cboDevRange->currentIndex(), 3);
    EXPECT_EQ(w.lblDimChan[7]->text(), "D:03.2");

    w.mnuFileSaveAs_Click(); // cancelled; it offered the last name
    EXPECT_EQ(sh.dialogs.fileRequests[2].fileName, path("stage.qdm"));
}

TEST_F(MapDocument, CancelledSaveAsKeepsTheNameAndTheChanges)
{
    willChoose(3);
    w.lblDMXChan_Click(0);
    w.mnuFileSaveAs_Click();
    EXPECT_EQ(w.fileName(), "None");
    EXPECT_TRUE(sh.host.isModified());
    // The placeholder pattern coming back counts as cancelled too.
    sh.dialogs.queueFile(QDir(sh.host.paths().sibling("Tarvik Quorvel DMX Map")).filePath("*.QDM"));
    w.mnuFileSave_Click();
    EXPECT_EQ(w.fileName(), "None");
    EXPECT_TRUE(sh.host.isModified());
}

TEST_F(MapDocument, AFileOfTheWrongSizeIsRefusedAndTheMapKept)
{
    test::writeFile(path("short.qdm"), QByteArray(1000, '\0'));
    willChoose(3);
    w.lblDMXChan_Click(0);
    sh.dialogs.queueAnswer(MsgAnswer::Yes); // discard the change
    sh.dialogs.queueFile(path("short.qdm"));
    w.mnuFileOpen_Click();
    ASSERT_EQ(sh.dialogs.shown.size(), 2u);
    EXPECT_EQ(sh.dialogs.shown[0].text, "Discard Any Changes?");
    EXPECT_EQ(sh.dialogs.shown[0].title, "Tarvik Quorvel DMX Map");
    EXPECT_TRUE(sh.dialogs.shown[1].text.contains(path("short.qdm")));
    EXPECT_EQ(sh.dialogs.shown[1].icon, MsgIcon::Critical);
    EXPECT_EQ(map().channel(0), 3);
    EXPECT_EQ(w.fileName(), "None");
    EXPECT_TRUE(sh.host.isModified());
}

TEST_F(MapDocument, UnsavedChangesAreAskedAboutOnceOnExit)
{
    willChoose(3);
    w.lblDMXChan_Click(0);
    w.markShownModal();

    sh.dialogs.queueAnswer(MsgAnswer::No);
    w.mnuFileNew_Click();
    EXPECT_EQ(map().channel(0), 3);

    // The close box asks.
    sh.dialogs.shown.clear();
    sh.dialogs.queueAnswer(MsgAnswer::No);
    EXPECT_FALSE(w.requestClose());
    EXPECT_EQ(sh.dialogs.shown.size(), 1u);

    sh.dialogs.queueAnswer(MsgAnswer::No);
    w.mnuExit_Click();
    EXPECT_TRUE(w.isShownModal());

    // Exit asks, and the close that follows does not ask again.
    sh.dialogs.shown.clear();
    sh.dialogs.queueAnswer(MsgAnswer::Yes);
    w.mnuExit_Click();
    EXPECT_FALSE(w.isShownModal());
    EXPECT_EQ(sh.dialogs.shown.size(), 1u);
}

TEST_F(MapWindow, DownloadEndsTheSelectionAndLeavesTheMapAlone)
{
    auto gateway = std::make_shared<sim::DmxGateway>();
    sh.site.setBench(gateway);
    sh.host.settings.DTComPort = 1;
    map().channel(3) = 7;
    rightClick(1);
    rightClick(5, Qt::ShiftModifier);
    sh.dialogs.queueAnswer(MsgAnswer::No);
    w.mnuDownload_Click();
    ASSERT_EQ(sh.dialogs.shown.size(), 1u);
    const auto& q = sh.dialogs.shown[0];
    EXPECT_EQ(q.text, "Download Channel Map To The DMX Gateway? Its Present Map Will Be Replaced.");
    EXPECT_EQ(q.title, "Download");
    EXPECT_EQ(q.icon, MsgIcon::Question);
    EXPECT_EQ(q.buttons, MsgButtons::YesNo);
    EXPECT_EQ(q.defaultButton, MsgDefault::No);
    EXPECT_TRUE(sh.site.written.empty()) << "No sends nothing";
    EXPECT_NE(gateway->channels()[3], 7);

    sh.dialogs.queueAnswer(MsgAnswer::Yes);
    w.mnuDownload_Click();
    EXPECT_FALSE(w.multiSelect());
    EXPECT_EQ(gateway->channels()[3], 7);
    EXPECT_EQ(sh.dialogs.shown.back().text, "Download Complete");
    EXPECT_FALSE(w.pbDL->isVisibleTo(&w));
    EXPECT_FALSE(sh.host.isModified());

    w.mnuGWFW_Click();
    EXPECT_EQ(sh.dialogs.shown.back().title, "Device Firmware Revision");
}

} // namespace
