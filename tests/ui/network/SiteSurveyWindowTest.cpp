#include "network/SurveyRecord.h"
#include "sim/BenchStations.h"
#include "sim/BuiltInSite.h"
#include "sim/CondModule.h"
#include "support/Files.h"
#include "support/SimHost.h"
#include "ui/network/frmSiteSurvey.h"
#include "ui/shell/frmQVDTMain.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

using namespace tqdt;
using test::SimHost;

namespace {

struct SiteSurveyWindow : ::testing::Test {
    SimHost h;
    std::shared_ptr<sim::G3WallStation> g3 = std::make_shared<sim::G3WallStation>(0xA0, 0x18, 9);
    net::frmSiteSurvey w{h.host};

    void SetUp() override
    {
        sim::AddBuiltInDevices(h.site);
        h.site.setBench(std::make_shared<sim::CondModule>(0));
        h.site.addDevice(g3);
        w.ensureLoaded();
    }
    QString cell(int row, int column) const { return w.grdDevices->item(row, column)->text(); }
};

TEST_F(SiteSurveyWindow, StartFillsTheTableAsDevicesAnswerAndStaysResponsive)
{
    w.txtSite->setText("Plant 4");
    w.txtTechnician->setText("R. Ode");
    // Halfway through the type reads the table already shows what answered, the bar has moved, the
    // stage names the address, and Start is disabled while Stop is not.
    int rowsSeen = -1, barSeen = -1;
    QString stageSeen;
    bool startEnabled = true, stopEnabled = false;
    h.atYield(450, [&] {
        rowsSeen = w.grdDevices->rowCount();
        barSeen = w.prgSurvey->value();
        stageSeen = w.findChild<QLabel*>("lblStage")->text();
        startEnabled = w.cmdStart->isEnabled();
        stopEnabled = w.cmdStop->isEnabled();
    });
    w.cmdStart_Click();
    EXPECT_GT(rowsSeen, 6);
    EXPECT_GT(barSeen, 300);
    EXPECT_TRUE(stageSeen.startsWith("Wall stations: ")) << stageSeen.toStdString();
    EXPECT_FALSE(startEnabled);
    EXPECT_TRUE(stopEnabled);

    EXPECT_TRUE(w.record().complete);
    EXPECT_EQ(w.record().site, "Plant 4");
    EXPECT_EQ(w.record().technician, "R. Ode");
    EXPECT_EQ(w.grdDevices->rowCount(), int(w.record().devices.size()));
    // Sorted as the record is: Brown first, then by address.
    EXPECT_EQ(cell(0, 0), "Brown");
    EXPECT_EQ(cell(0, 2), "dmx-gateway");
    EXPECT_EQ(cell(1, 1), "01");
    EXPECT_EQ(cell(1, 2), "panel");
    EXPECT_TRUE(w.cmdStart->isEnabled());
    EXPECT_FALSE(w.cmdStop->isEnabled());
    EXPECT_FALSE(h.port().isOpen()) << "the window closes the port after a survey";
    EXPECT_TRUE(w.lblNotes->text().contains("pilots stay dark"));
}

TEST_F(SiteSurveyWindow, StopEndsAtTheNextRequestAndSaveMarksTheFilesIncomplete)
{
    h.atYield(100, [&] { w.cmdStop->click(); });
    w.cmdStart_Click();
    EXPECT_FALSE(w.record().complete);
    const auto written = h.site.written.size();
    EXPECT_EQ(w.findChild<QLabel*>("lblStage")->text(), "Survey incomplete: Survey stopped.");

    const QString dir = h.dir.filePath("report");
    QDir().mkpath(dir);
    h.dialogs.queueFile(QDir(dir).filePath("survey.json"));
    w.cmdSave_Click();
    EXPECT_TRUE(
        test::readAll(QDir(dir).filePath("survey.csv")).endsWith("Survey incomplete: Survey stopped.\r\n"));
    EXPECT_TRUE(test::readAll(QDir(dir).filePath("survey.json")).contains("\"complete\": false"));
    EXPECT_TRUE(QFile::exists(QDir(dir).filePath("survey.pdf")));
    EXPECT_EQ(h.site.written.size(), written) << "saving sends nothing";
}

TEST_F(SiteSurveyWindow, CompareShowsTheLinesOfSiteDiff)
{
    w.cmdStart_Click();
    const QString dir = h.dir.filePath("before");
    QDir().mkpath(dir);
    h.dialogs.queueFile(QDir(dir).filePath("survey.json"));
    w.cmdSave_Click();

    g3->setTypeByte(0x19);
    h.site.panels.erase(5);
    w.cmdStart_Click();
    h.dialogs.queueFile(QDir(dir).filePath("survey.json"));
    w.cmdCompare_Click();
    ASSERT_FALSE(h.dialogs.shown.empty());
    EXPECT_EQ(h.dialogs.shown.back().title, "Compare With Previous Survey");
    EXPECT_EQ(h.dialogs.shown.back().text,
              "Brown 05: gone panel\r\nBlue A0: type 1 Scene Rev: 09 -> 2 Scene Rev: 09");
}

TEST_F(SiteSurveyWindow, AnotherMasterIsRefusedWithTheScanModeMessage)
{
    h.site.setForeignTraffic(Channel::Blue, {"[A]", 200, h.clock.nowUs(), -1});
    w.cmdStart_Click();
    ASSERT_EQ(h.dialogs.shown.size(), 1u);
    EXPECT_EQ(h.dialogs.shown[0].text,
              "Another Device Is Scanning The Network.\r\nUnable To Enter Scan Mode.");
    EXPECT_EQ(h.dialogs.shown[0].title, "Error");
    EXPECT_EQ(h.dialogs.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(w.grdDevices->rowCount(), 0);
    EXPECT_TRUE(h.site.written.empty());
    EXPECT_FALSE(w.cmdSave->isEnabled());
    EXPECT_FALSE(h.port().isOpen());
}

TEST(SiteSurveyMenu, ThePortLabelsMenuOpensTheSurveyAsATool)
{
    SimHost h;
    ToolList tools = {{"mnuSiteSurvey", "frmSiteSurvey", LaunchKind::SelfManaged,
                       [](Host& host) { return std::make_unique<net::frmSiteSurvey>(host); }}};
    frmQVDTMain main(h.host, tools);
    ASSERT_TRUE(main.mnuSiteSurvey);
    EXPECT_EQ(main.mnuSiteSurvey->text(), "Site Survey...");
    main.mnuSiteSurvey->trigger();
    EXPECT_EQ(h.dialogs.modalShown, std::vector<QString>{"frmSiteSurvey"});
}

} // namespace
