#include "ui/gateway/frmMGW.h"
#include "gateway/GatewayImage.h"
#include "sim/MappedGateway.h"
#include "support/Files.h"
#include "support/Neighbours.h"
#include "support/SimHost.h"
#include "ui/shell/Launcher.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QMenuBar>
#include <QProgressBar>

#include <gtest/gtest.h>

using namespace tqdt;
using namespace tqdt::gw;
using tqdt::test::readAll;
using tqdt::test::writeFile;

namespace {

class GatewayWindow : public ::testing::Test {
protected:
    GatewayWindow() : w(sh.host)
    {
        sh.site.addDevice(gateway);
        w.ensureLoaded();
    }

    GatewayImage& image() { return w.image(); }
    bool changed() const { return sh.host.isModified(); }
    QStringList takeShown()
    {
        QStringList out;
        for (const auto& s : sh.dialogs.shown)
            out << s.title + QStringLiteral(": ") + s.text;
        sh.dialogs.shown.clear();
        return out;
    }
    QString path(const char* name) const { return sh.dir.filePath(QString::fromLatin1(name)); }
    void selectPoint(int p) { w.cboPoint->setCurrentIndex(p); }
    void selectType(int t) { w.cboType->setCurrentIndex(t); }
    // Saves the map under name through Save As.
    void saveAs(const char* name)
    {
        sh.dialogs.queueFile(path(name));
        w.mnuFileSaveAs_Click();
    }
    QString visibleFrame() const
    {
        QString out;
        for (QGroupBox* f : {w.frmSMap, w.frmMMap, w.frmGMap, w.frmPMap, w.frmIMap})
            if (f->isVisibleTo(&w))
                out += f->objectName();
        return out;
    }

    test::SimHost sh;
    std::shared_ptr<sim::MappedGateway> gateway = std::make_shared<sim::MappedGateway>();
    frmMGW w;
};

} // namespace

TEST_F(GatewayWindow, OpensOnAClearedMapAtTheFirstPoint)
{
    EXPECT_EQ(w.windowTitle(), "Tarvik Quorvel Brimlock Mapped Gateway");
    ASSERT_EQ(w.cboPoint->count(), 750);
    EXPECT_EQ(w.cboPoint->itemText(0), "Point: 001");
    EXPECT_EQ(w.cboPoint->itemText(749), "Point: 750");
    EXPECT_EQ(w.cboPoint->currentIndex(), 0);
    ASSERT_EQ(w.cboType->count(), 10);
    EXPECT_EQ(w.cboType->itemText(3), "Multi Relay On/Off (Points 001-050 Only)");
    EXPECT_EQ(w.cboSNode->count(), 254);
    EXPECT_EQ(w.cboSNode->itemText(253), "Node: FE");
    EXPECT_EQ(w.cboIDev->itemText(63), "Device: 40");
    EXPECT_EQ(w.cboQVPrs->itemText(255), "Quorvel Preset: 256");
    EXPECT_EQ(w.cboAMRly->itemText(0), "2");
    EXPECT_EQ(w.cboAMGrp->itemText(254), "256");
    EXPECT_EQ(w.lblFileName->text(), "None");
    EXPECT_EQ(visibleFrame(), "");
    EXPECT_FALSE(w.optProtocol[0]->isChecked());
    EXPECT_FALSE(w.optProtocol[1]->isChecked());
    EXPECT_FALSE(w.frmUpDown->isVisibleTo(&w));
    EXPECT_FALSE(changed());
    EXPECT_TRUE(QDir(sh.host.paths().sibling("Tarvik Quorvel Mapped Gateway")).exists());
}

TEST_F(GatewayWindow, TheTypeChoosesTheOneFrameShown)
{
    const char* frames[10] = {"",        "frmSMap", "frmSMap", "frmMMap", "frmMMap",
                              "frmGMap", "frmGMap", "frmPMap", "frmIMap", "frmIMap"};
    for (int t = 0; t < 10; ++t) {
        selectType(t);
        EXPECT_EQ(visibleFrame(), frames[t]) << t;
        EXPECT_EQ(image().GetPointType(0), t);
    }
    // A type the gateway does not know leaves the frames as they were.
    image().SetPointType(1, 12);
    selectPoint(1);
    EXPECT_EQ(visibleFrame(), "frmIMap");
}

TEST_F(GatewayWindow, MultiRelayIsRefusedFromPoint51On)
{
    selectPoint(49);
    selectType(3);
    EXPECT_EQ(image().GetPointType(49), 3);
    EXPECT_TRUE(takeShown().isEmpty());
    selectPoint(50);
    selectType(4);
    EXPECT_EQ(takeShown(),
              QStringList{"Out Of Range: Multi Relay Mapping Is Only Allowed On Points 001 - 0050"});
    EXPECT_EQ(image().GetPointType(50), 0);
    EXPECT_EQ(w.cboType->currentIndex(), 0);
}

TEST_F(GatewayWindow, TheRelayGridTogglesTheBitsOfTheSelectedNode)
{
    selectPoint(32);
    selectType(3);
    w.cboMNode->setCurrentIndex(253); // node FE
    ASSERT_EQ(w.lblMRelay[63]->text(), "Relay 64");
    w.lblMInc_Click(63);
    EXPECT_TRUE(image().GetMultiRelay(32, 253, 63));
    EXPECT_EQ(w.lblMInc[63]->text(), "Yes");
    EXPECT_TRUE(w.lblMInc[63]->styleSheet().contains("#FFFFFF"));
    EXPECT_EQ(w.lblMInc[62]->text(), "No");
    EXPECT_TRUE(w.lblMInc[62]->styleSheet().contains("#808080"));
    // The grid shows the selected node only; relay 17 sits in the second column.
    w.cboMNode->setCurrentIndex(0);
    EXPECT_EQ(w.lblMInc[63]->text(), "No");
    EXPECT_GT(w.lblMInc[16]->x(), w.lblMInc[15]->x());
    EXPECT_EQ(w.lblMInc[16]->y(), w.lblMInc[0]->y());
    w.lblMInc_Click(63);
    w.lblMInc_Click(63);
    EXPECT_FALSE(image().GetMultiRelay(32, 0, 63));
}

TEST_F(GatewayWindow, AutoMapWritesRunsUpToItsLimitsAndRefusesBeyond)
{
    struct Case {
        const char* what;
        int point, type;
        QComboBox* first;
        int firstAt;
        QComboBox* count;
        int countAt;
        void (frmMGW::*click)();
        const char* refusal; // nullptr: written
    } cases[] = {
        {"relay 63, two", 0, 1, w.cboSRelay, 62, w.cboAMRly, 0, &frmMGW::cmdAMRly_Click, nullptr},
        {"relay 64", 0, 1, w.cboSRelay, 63, w.cboAMRly, 0, &frmMGW::cmdAMRly_Click,
         "First Relay Plus Auto Map Count Exceeds 64"},
        {"group 255, two", 10, 5, w.cboQVGrp, 254, w.cboAMGrp, 0, &frmMGW::cmdAMGrp_Click, nullptr},
        {"group 256", 10, 5, w.cboQVGrp, 255, w.cboAMGrp, 0, &frmMGW::cmdAMGrp_Click,
         "First Group Plus Auto Map Count Exceeds 256"},
        {"preset 256", 20, 7, w.cboQVPrs, 255, w.cboAMPrs, 0, &frmMGW::cmdAMPrs_Click,
         "First Preset Plus Auto Map Count Exceeds 256"},
        {"point 749, two", 748, 5, w.cboQVGrp, 0, w.cboAMGrp, 0, &frmMGW::cmdAMGrp_Click, nullptr},
        {"point 750", 749, 1, w.cboSRelay, 0, w.cboAMRly, 0, &frmMGW::cmdAMRly_Click,
         "Auto Map Goes Beyond 750 Points"},
        {"point 700, 60 relays", 699, 2, w.cboSRelay, 0, w.cboAMRly, 58, &frmMGW::cmdAMRly_Click,
         "Auto Map Goes Beyond 750 Points"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        image().ClearImage();
        selectPoint(c.point);
        selectType(c.type);
        if (c.first == w.cboSRelay)
            w.cboSNode->setCurrentIndex(4);
        c.first->setCurrentIndex(c.firstAt);
        c.count->setCurrentIndex(c.countAt);
        const QByteArray before = MgwBytes(image());
        takeShown();
        (w.*c.click)();
        if (c.refusal) {
            ASSERT_EQ(sh.dialogs.shown.size(), 1u);
            EXPECT_EQ(sh.dialogs.shown[0].text, c.refusal);
            EXPECT_EQ(sh.dialogs.shown[0].title, "Auto Map Error");
            EXPECT_EQ(MgwBytes(image()), before);
            continue;
        }
        EXPECT_TRUE(takeShown().isEmpty());
        const int n = c.countAt + 2;
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(image().GetPointType(c.point + i), c.type);
            if (c.first == w.cboSRelay) {
                EXPECT_EQ(image().GetPointNode(c.point + i), 4);
                EXPECT_EQ(image().GetPointUnit(c.point + i), c.firstAt + i);
            } else {
                EXPECT_EQ(image().GetPointNumber(c.point + i), c.firstAt + i);
            }
        }
        EXPECT_EQ(image().GetPointType(c.point + n), 0);
    }
}

TEST_F(GatewayWindow, DisplayWritesBackWithoutChangingAnyByte)
{
    // A group point becomes a preset point with the same number.
    selectType(5);
    w.cboQVGrp->setCurrentIndex(4);
    selectType(7);
    EXPECT_EQ(w.cboQVPrs->currentIndex(), 4);
    EXPECT_EQ(image().GetPointNumber(0), 4);

    // An input point whose byte 3 is 12 shows input 5 and keeps 12.
    image().SetPointType(1, 8);
    image().SetPointNumber(1, 12);
    selectPoint(1);
    EXPECT_EQ(w.cboIInp->currentText(), "Input: 5");
    EXPECT_EQ(image().GetPointNumber(1), 12);
    // A group point's number is not cut to an input by the input list.
    image().SetPointType(2, 5);
    image().SetPointNumber(2, 200);
    selectPoint(2);
    EXPECT_EQ(image().GetPointNumber(2), 200);
}

TEST_F(GatewayWindow, StoredValuesNoListHoldsShowEmptyAndStayInTheMap)
{
    image().SetPointType(3, 12);
    image().SetPointNode(3, 254);
    image().SetPointUnit(3, 64);
    image().SetPointNumber(3, 300);
    image().SetTimeoutMode(3);
    image().SetPointType(60, 3); // a multi-relay type where no bitmap exists
    const QByteArray before = MgwBytes(image());
    selectPoint(3);
    for (QComboBox* cb :
         {w.cboType, w.cboSNode, w.cboSRelay, w.cboQVGrp, w.cboINode, w.cboIDev, w.cboTimeout})
        EXPECT_EQ(cb->currentIndex(), -1) << cb->objectName().toStdString();
    selectPoint(60);
    EXPECT_EQ(visibleFrame(), "frmMMap");
    EXPECT_EQ(w.lblMInc[0]->text(), "No");
    EXPECT_TRUE(takeShown().isEmpty());
    EXPECT_EQ(MgwBytes(image()), before);
}

TEST_F(GatewayWindow, ProtocolChoosesTheListAndTheExportFollowsTheBACnetOption)
{
    image().SetPointType(400, 7);
    saveAs("SITE.MGW");
    w.optProtocol[1]->click();
    EXPECT_EQ(w.cboPoint->count(), 350);
    takeShown();
    w.mnuExport_Click();
    QList<QByteArray> lines = readAll(path("SITE.CSV")).split('\n');
    EXPECT_EQ(lines.size(), 352); // the file line, 350 points, nothing after the last line end
    EXPECT_EQ(lines[0],
              "Mapped Gateway File: " + QDir::toNativeSeparators(path("SITE.MGW")).toLocal8Bit() + "\r");
    EXPECT_EQ(takeShown(),
              QStringList{": Settings Exported To: " + QDir::toNativeSeparators(path("SITE.CSV"))});
    w.optProtocol[0]->click();
    EXPECT_EQ(w.cboPoint->count(), 750);
    w.mnuExport_Click();
    lines = readAll(path("SITE.CSV")).split('\n');
    EXPECT_EQ(lines.size(), 752);
    EXPECT_EQ(lines[401], "Point,401,Preset Activate,Preset,1\r");
}

TEST_F(GatewayWindow, AnUnsavedMapIsNotExported)
{
    w.mnuExport_Click();
    ASSERT_EQ(sh.dialogs.shown.size(), 1u);
    EXPECT_EQ(sh.dialogs.shown[0].text, "File Must Be Saved Prior To Exporting");
    EXPECT_EQ(sh.dialogs.shown[0].title, "Export CSV");
    EXPECT_EQ(sh.dialogs.shown[0].icon, MsgIcon::Information);
    EXPECT_TRUE(QDir(sh.dir.path()).entryList({"*.CSV"}).isEmpty());
}

TEST_F(GatewayWindow, SaveAndOpenRoundTripAndAWrongFileIsRefusedByName)
{
    selectType(1);
    w.cboSNode->setCurrentIndex(10);
    ASSERT_TRUE(changed());
    w.mnuFileSave_Click(); // unnamed: Save As
    ASSERT_EQ(sh.dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(sh.dialogs.fileRequests[0].fileName,
              QDir(sh.host.paths().sibling("Tarvik Quorvel Mapped Gateway")).filePath("*.MGW"));
    EXPECT_EQ(sh.dialogs.fileRequests[0].filter, "Quorvel Data Files (*.MGW)|*.MGW|All Files (*.*)|*.*");
    sh.dialogs.queueFile(path("A.MGW"));
    w.mnuFileSave_Click();
    EXPECT_FALSE(changed());
    EXPECT_EQ(w.lblFileName->text(), QDir::toNativeSeparators(path("A.MGW")));
    EXPECT_EQ(readAll(path("A.MGW")).size(), 262144);

    w.mnuFileNew_Click();
    EXPECT_EQ(image().GetPointType(0), 0);
    EXPECT_EQ(w.mapFileName(), "None");

    writeFile(path("SHORT.MGW"), QByteArray(1000, '\0'));
    selectType(5);
    sh.dialogs.queueAnswer(MsgAnswer::Yes); // discard
    sh.dialogs.queueFile(path("SHORT.MGW"));
    takeShown();
    w.mnuFileOpen_Click();
    const QStringList said = takeShown();
    ASSERT_EQ(said.size(), 2);
    EXPECT_TRUE(said[1].contains(path("SHORT.MGW"))) << said[1].toStdString();
    EXPECT_EQ(image().GetPointType(0), 5); // the map stays
    EXPECT_TRUE(changed());
    EXPECT_EQ(w.mapFileName(), "None");

    sh.dialogs.queueAnswer(MsgAnswer::Yes);
    sh.dialogs.queueFile(path("A.MGW"));
    w.mnuFileOpen_Click();
    EXPECT_EQ(image().GetPointType(0), 1);
    EXPECT_EQ(image().GetPointNode(0), 10);
    EXPECT_EQ(visibleFrame(), "frmSMap");
    EXPECT_FALSE(changed());
}

TEST_F(GatewayWindow, CancelledDialogsKeepTheUnsavedFlag)
{
    selectType(7);
    ASSERT_TRUE(changed());
    w.mnuFileSave_Click(); // unnamed: Save As, cancelled
    EXPECT_TRUE(changed());
    w.mnuFileSaveAs_Click();
    EXPECT_TRUE(changed());
    sh.dialogs.queueAnswer(MsgAnswer::Yes); // discard, then cancel the dialog
    w.mnuFileOpen_Click();
    EXPECT_TRUE(changed());
    EXPECT_EQ(image().GetPointType(0), 7);
    // So closing still asks.
    takeShown();
    sh.dialogs.queueAnswer(MsgAnswer::No);
    w.mnuExit_Click();
    EXPECT_EQ(takeShown(), QStringList{"Tarvik Quorvel: Discard Any Changes?"});
}

TEST_F(GatewayWindow, ClosingWithEditsAsksOnceAndNoKeepsTheWindow)
{
    w.markShownModal();
    selectType(2);
    sh.dialogs.queueAnswer(MsgAnswer::No);
    EXPECT_FALSE(w.requestClose());
    EXPECT_TRUE(w.isShownModal());
    sh.dialogs.queueAnswer(MsgAnswer::Yes);
    w.mnuExit_Click();
    EXPECT_FALSE(w.isShownModal());
    EXPECT_EQ(takeShown().size(), 2); // Exit asked once, the close did not ask again
}

TEST_F(GatewayWindow, DownloadShowsTheProgressFrameAndCancelStopsIt)
{
    for (int p = 0; p < 750; ++p)
        image().SetPointType(p, 5);
    int yields = 0;
    bool frameShown = false;
    sh.host.setYieldHandler([&] {
        frameShown = frameShown || w.frmUpDown->isVisibleTo(&w);
        if (++yields == 30) {
            EXPECT_EQ(w.frmUpDown->title(), "Download To Gateway");
            EXPECT_EQ(w.lblProgress->text(), "Downloading Block 16 Of 2048");
            EXPECT_EQ(w.prgUpDown->maximum(), 2048);
            EXPECT_FALSE(w.menuBar->isEnabled());
            w.cmdCancel->click();
        }
    });
    w.mnuDownload_Click();
    EXPECT_TRUE(frameShown);
    EXPECT_EQ(yields, 30);
    EXPECT_EQ(takeShown().value(0).left(33), "Download: Manual Download Cancel.");
    EXPECT_FALSE(w.frmUpDown->isVisibleTo(&w));
    EXPECT_TRUE(w.menuBar->isEnabled());

    sh.host.setYieldHandler([] {});
    w.mnuDownload_Click();
    EXPECT_EQ(takeShown(), QStringList{"Download: Download Complete"});
    EXPECT_EQ(gateway->cell(0, 4 * 749), 5);
}

TEST_F(GatewayWindow, AnUploadOverUnsavedEditsAsksFirst)
{
    gateway->setCell(0, 0, 7); // the gateway holds a preset point 1
    selectType(2);
    sh.dialogs.queueAnswer(MsgAnswer::No);
    w.mnuUpload_Click();
    EXPECT_EQ(takeShown(), QStringList{"Tarvik Quorvel: Discard Any Changes?"});
    EXPECT_TRUE(sh.takeWritten().empty());
    EXPECT_EQ(image().GetPointType(0), 2);

    sh.dialogs.queueAnswer(MsgAnswer::Yes);
    w.mnuUpload_Click();
    EXPECT_EQ(takeShown(), (QStringList{"Tarvik Quorvel: Discard Any Changes?", "Upload: Upload Complete"}));
    EXPECT_EQ(image().GetPointType(0), 7);
    EXPECT_EQ(visibleFrame(), "frmPMap");
}

TEST(GatewayLaunch, TheGatewayAnswersWhereTheMainWindowLeavesThePort)
{
    // Launched as the main window launches it, on a port no tool has used yet: the port is not
    // opened for the window, and the transfer leaves DTR as it is (off, the Blue channel).
    test::SimHost sh;
    auto gateway = std::make_shared<sim::MappedGateway>();
    sh.site.addDevice(gateway);
    sh.host.document<GatewayImage>();
    sh.dialogs.queueDriver([&](Form& f) {
        auto& w = static_cast<frmMGW&>(f);
        EXPECT_FALSE(sh.port().isOpen());
        w.image().SetPointType(0, 5);
        w.mnuDownload_Click();
    });
    LaunchTool(sh.host, LaunchKind::SelfManaged, [&] { return std::make_unique<frmMGW>(sh.host); });
    ASSERT_FALSE(sh.dialogs.shown.empty());
    EXPECT_EQ(sh.dialogs.shown[0].text, "Download Complete");
    EXPECT_EQ(gateway->cell(0, 0), 5);
    EXPECT_EQ(sh.site.written.front().channel, Channel::Blue);
}

// File > Save replaces the map and nothing beside it; Save As with a bare name writes the name the
// Open dialog lists.
TEST_F(GatewayWindow, SaveLeavesTheTechniciansCopiesAndABareNameGetsItsExtension)
{
    selectType(1);
    saveAs("SITE1");
    EXPECT_EQ(w.mapFileName(), path("SITE1.MGW"));
    EXPECT_EQ(readAll(path("SITE1.MGW")).size(), 262144);
    EXPECT_FALSE(QFile::exists(path("SITE1")));

    const test::Neighbours neighbours(path("SITE1.MGW"));
    w.cboSNode->setCurrentIndex(10);
    w.mnuFileSave_Click();
    EXPECT_FALSE(changed());
    neighbours.expectIntact("File > Save");
}

// Ended with nobody to answer, the window closes without a question and keeps the edit beside the
// map; the next Open of the map offers it.
TEST_F(GatewayWindow, AnUnattendedCloseKeepsTheEditAndTheNextOpenOffersIt)
{
    saveAs("SITE.MGW");
    const QByteArray saved = readAll(path("SITE.MGW"));
    selectType(1);
    w.cboSNode->setCurrentIndex(10);
    ASSERT_TRUE(changed());
    sh.host.endingUnattended = true;
    takeShown();
    EXPECT_TRUE(w.requestClose());
    EXPECT_EQ(takeShown(), QStringList());
    EXPECT_EQ(readAll(path("SITE.MGW")), saved);
    ASSERT_EQ(readAll(path(".SITE.MGW.recovered")).size(), 262144);
    sh.host.endingUnattended = false;

    frmMGW again(sh.host);
    again.ensureLoaded();
    again.image().ClearImage(); // the map is the program's: only the copy may bring the edit back
    sh.dialogs.queueFile(path("SITE.MGW"));
    sh.dialogs.queueAnswer(MsgAnswer::Yes);
    again.mnuFileOpen_Click();
    const QStringList said = takeShown();
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].startsWith("Open: ") && said[0].contains("SITE.MGW")) << said[0].toStdString();
    EXPECT_EQ(again.image().GetPointType(0), 1);
    EXPECT_EQ(again.image().GetPointNode(0), 10);
    EXPECT_EQ(again.mapFileName(), path("SITE.MGW"));
}
