#include "condlogic/MpdFile.h"
#include "condlogic/ProgramImage.h"
#include "sim/CondModule.h"
#include "support/Files.h"
#include "support/SimHost.h"
#include "ui/condlogic/frmExpCndProfile.h"

#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QScrollBar>

#include <gtest/gtest.h>

using namespace tqdt;
using namespace tqdt::cnd;
using tqdt::test::readAll;

namespace {

struct Profile : ::testing::Test {
    Profile()
    {
        sim.site.setBench(module);
        form.ensureLoaded();
    }
    QString file(const char* name) const { return QDir(sim.dir.path()).filePath(name); }
    bool darkRed(int row) const { return form.lblProfile[size_t(row)]->styleSheet().contains("192, 0, 0"); }
    std::vector<QString> titles() const
    {
        std::vector<QString> t;
        for (const auto& s : sim.dialogs.shown)
            t.push_back(s.title + ": " + s.text);
        return t;
    }

    test::SimHost sim;
    std::shared_ptr<sim::CondModule> module = std::make_shared<sim::CondModule>(0);
    frmExpCndProfile form{sim.host};
};

} // namespace

TEST_F(Profile, DuplicatePatternIsShownDarkRedAndDownloadsAsTheFirstProfile)
{
    for (int k = 0; k < kProfiles; ++k)
        form.profiles()[size_t(k)] = quint8(k + 1);
    form.profiles()[5] = form.profiles()[2];
    form.PrfShow();
    for (int r = 0; r < frmExpCndProfile::kRows; ++r)
        EXPECT_EQ(darkRed(r), r == 5) << "row " << r;

    sim.dialogs.queueAnswer(MsgAnswer::Yes);
    form.mnuDownload_Click();
    EXPECT_EQ(sim.dialogs.shown.back().text, "Download Complete.\r\nPower Cycle Device.");
    const QByteArray& memory = module->memory();
    for (int pilot : {0, 0x5A, 0xFF}) {
        EXPECT_EQ(int(memory[pilot * 256 + 3]), 2) << "profile 3's pattern, pilot " << pilot;
        EXPECT_EQ(int(memory[pilot * 256 + 7]), 6);
        EXPECT_EQ(int(memory[pilot * 256 + 255]), 0) << "a pattern no profile has is profile 1";
    }
    EXPECT_EQ(memory.mid(kPatterns), QByteArray(kImageSize - kPatterns, '\0'));
    EXPECT_FALSE(sim.port().isOpen());
    EXPECT_EQ(sim.port().settings(), "38400,n,8,1");
}

TEST_F(Profile, NewDocumentDownloadsAllZerosAlsoAfterACancelledDownload)
{
    sim.dialogs.queueAnswer(MsgAnswer::No);
    form.mnuDownload_Click();
    EXPECT_EQ(titles(),
              (std::vector<QString>{
                  "Download: Power Cycle Device Prior To Download.\r\nDevice Node Must Be 00\r\nContinue?",
                  "Download: Download Cancelled"}));
    EXPECT_TRUE(sim.site.written.empty());
    EXPECT_TRUE(sim.port().isOpen());

    sim.dialogs.queueAnswer(MsgAnswer::Yes);
    form.mnuDownload_Click();
    EXPECT_EQ(sim.dialogs.shown.back().text, "Download Complete.\r\nPower Cycle Device.");
    EXPECT_EQ(module->memory(), QByteArray(kImageSize, '\0'));
    EXPECT_EQ(sim.host.reply.ReplyText, "[C2EEE100EABDC38F]");
    EXPECT_FALSE(form.lblComPrg->isVisible());
}

TEST_F(Profile, ClickTogglesOneInputAndDoubleClickPutsItBack)
{
    form.vsProfile->setValue(112);
    EXPECT_EQ(form.topProfile(), 112);
    EXPECT_EQ(form.lblProfile[0]->text(), "113");
    EXPECT_EQ(form.lblProfile[15]->text(), "128");

    form.imgChk_Click(15 * 8 + 7); // profile 128, input 8
    EXPECT_EQ(form.profiles()[127], 0x80);
    EXPECT_TRUE(form.imageChecked(15 * 8 + 7));
    EXPECT_TRUE(sim.host.isModified());
    form.imgChk_Click(1 * 8 + 0);
    form.imgChk_DblClick(1 * 8 + 0);
    EXPECT_EQ(form.profiles()[113], 0);
    EXPECT_FALSE(form.imageChecked(8));

    form.vsProfile->setValue(0);
    EXPECT_FALSE(form.imageChecked(15 * 8 + 7)) << "row 16 now shows profile 16";
}

TEST_F(Profile, SaveAsThenExportWritesTheCsvBesideTheDocument)
{
    EXPECT_FALSE(form.mnuExportCSV->isEnabled());
    form.imgChk_Click(0);
    sim.dialogs.queueFile(file("A.MPD"));
    form.mnuSave_Click(); // no name yet: Save As
    ASSERT_EQ(sim.dialogs.fileRequests.size(), 1u);
    EXPECT_TRUE(sim.dialogs.fileRequests[0].fileName.endsWith("*.MPD"));
    EXPECT_EQ(readAll(file("A.MPD")).size(), kMpdSize);
    EXPECT_FALSE(sim.host.isModified());
    EXPECT_EQ(form.lblFile->text(), "File: " + file("A.MPD"));
    ASSERT_TRUE(form.mnuExportCSV->isEnabled());

    form.mnuExportCSV_Click();
    EXPECT_EQ(sim.dialogs.shown.back().title, "Export CSV");
    EXPECT_EQ(sim.dialogs.shown.back().text, "CSV File: " + QDir::toNativeSeparators(file("A.CSV")));
    const QList<QByteArray> lines = readAll(file("A.CSV")).split('\n');
    ASSERT_EQ(lines.size(), 130); // 129 lines, each ended by CR LF
    EXPECT_EQ(lines[0], "Profile,In1,In2,In3,In4,In5,In6,In7,In8\r");
    EXPECT_EQ(lines[1], "1,On,,,,,,,\r");
    for (int k = 1; k <= kProfiles; ++k)
        EXPECT_EQ(lines[k].count(','), 8) << k;
    EXPECT_EQ(lines[129], "");

    form.mnuNew_Click();
    EXPECT_FALSE(form.mnuExportCSV->isEnabled());
    EXPECT_EQ(form.fileName(), "None");
}

TEST_F(Profile, OpenRefusesAFileOfTheWrongSizeAndKeepsTheTable)
{
    ProfileTable good{};
    good[0] = 0x11;
    ASSERT_TRUE(MpdWrite(file("GOOD.MPD"), good).ok());
    QFile bad(file("BAD.MPD"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray(129, '\x01'));
    bad.close();

    sim.dialogs.queueFile(file("GOOD.MPD"));
    form.mnuOpen_Click();
    EXPECT_EQ(form.profiles(), good);
    form.imgChk_Click(1);
    sim.dialogs.queueAnswer(MsgAnswer::Yes); // "Discard Any Changes?"
    sim.dialogs.queueFile(file("BAD.MPD"));
    form.mnuOpen_Click();
    EXPECT_EQ(sim.dialogs.shown[0].text, "Discard Any Changes?");
    EXPECT_EQ(sim.dialogs.shown.back().icon, MsgIcon::Critical);
    EXPECT_TRUE(sim.dialogs.shown.back().text.contains(file("BAD.MPD")))
        << sim.dialogs.shown.back().text.toStdString();
    EXPECT_EQ(form.profiles()[0], 0x13);
    EXPECT_EQ(form.fileName(), file("GOOD.MPD"));
    EXPECT_TRUE(sim.host.isModified());
}

TEST_F(Profile, UnsavedChangesAreAskedAboutBeforeTheyAreLost)
{
    form.imgChk_Click(3);
    sim.dialogs.queueAnswer(MsgAnswer::No);
    form.mnuNew_Click();
    EXPECT_EQ(form.profiles()[0], 0x08);
    sim.dialogs.queueAnswer(MsgAnswer::No);
    form.mnuExit_Click();
    // Yes to Exit, then the close itself asks once more; No there keeps the window.
    sim.dialogs.queueAnswer(MsgAnswer::Yes);
    sim.dialogs.queueAnswer(MsgAnswer::No);
    form.markShownModal();
    form.mnuExit_Click();
    EXPECT_TRUE(form.isShownModal());
    EXPECT_EQ(titles(),
              (std::vector<QString>{"New: Discard Changes?", "Exit Program: Discard Changes?",
                                    "Exit Program: Discard Changes?", "Exit Config: Discard Changes?"}));
}
