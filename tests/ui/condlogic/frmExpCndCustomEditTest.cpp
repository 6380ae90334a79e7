#include "condlogic/CdfFile.h"
#include "condlogic/LogicExpression.h"
#include "sim/CondModule.h"
#include "support/SimHost.h"
#include "ui/condlogic/frmASelect01.h"
#include "ui/condlogic/frmExpCndCustom.h"
#include "ui/condlogic/frmExpCndNotes.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using namespace tqdt;
using namespace tqdt::cnd;

namespace {

// The custom programming window with its additions, shown, against a module on the bench.
class EditWindow : public ::testing::Test {
protected:
    EditWindow()
    {
        sh.site.setBench(module);
        w = std::make_unique<frmExpCndCustom>(sh.host);
        w->ensureLoaded();
    }
    CndDocument& doc() { return sh.host.document<CndDocument>(); }
    void compile()
    {
        w->mnuCompile_Click();
        sh.dialogs.shown.clear();
    }
    // The input selector, when it next opens, answers with input i.
    void chooseInput(int i)
    {
        sh.dialogs.queueDriver([i](Form& f) { static_cast<frmASelect01&>(f).lblSel_Click(i); });
    }
    void show()
    {
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(w->body, Qt::Key(k), mods);
    }
    // The centre of a cell in the coordinates of another cell's picture.
    QPoint cellCentre(int c, int from) const
    {
        return w->imgSegment[size_t(c)]->geometry().center() -
               w->imgSegment[size_t(from)]->geometry().topLeft();
    }

    test::SimHost sh;
    std::shared_ptr<sim::CondModule> module = std::make_shared<sim::CondModule>(0);
    std::unique_ptr<frmExpCndCustom> w;
};

} // namespace

TEST_F(EditWindow, AdditionsSitBesideThePartsMenusAndStartHidden)
{
    QStringList titles;
    for (QAction* a : w->menuBar->actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"File", "Connect", "Notes", "Edit"}));
    QStringList file;
    for (QAction* a : w->menuBar->actions()[0]->menu()->actions())
        file << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(file, (QStringList{"New", "Open", "Save", "Save As", "-", "Factory Default", "-", "Exit"}));
    EXPECT_TRUE(w->dockTruthTable->isHidden());
    EXPECT_FALSE(w->chkSimulate->isChecked());
    EXPECT_TRUE(w->lblSimulate->isHidden());
    EXPECT_EQ(w->cursorCell(), -1);
    EXPECT_EQ(w->cmdTest->text(), "Test");
    EXPECT_FALSE(w->mnuUndo->isEnabled());
}

TEST_F(EditWindow, EveryKindOfChangeUndoesAndRedoesByteForByte)
{
    struct Case {
        const char* name;
        std::function<void()> change;
    } cases[] = {
        {"cell placement",
         [&] {
             w->imgSelect_MouseDown(SegClosedDown);
             w->imgSegment_Click(37);
         }},
        {"input choice",
         [&] {
             chooseInput(12);
             w->lblSeg_Click(0);
         }},
        {"paste",
         [&] {
             w->cboOutput->setCurrentIndex(4);
             w->cboOutput_Click();
             w->imgPasteInput_Click();
         }},
        {"factory default", [&] { w->mnuFactoryDefault_Click(); }},
        {"notes",
         [&] {
             sh.dialogs.queueDriver([](Form& f) {
                 static_cast<frmExpCndNotes&>(f).txtNotes->setPlainText(QStringLiteral("Panel 3"));
             });
             w->mnuNotes_Click();
         }},
        {"insert row",
         [&] {
             w->setCursorCell(0);
             w->mnuInsertRow_Click();
         }},
        {"delete column",
         [&] {
             w->setCursorCell(0);
             w->mnuDeleteColumn_Click();
         }},
        {"wire to the rail by key",
         [&] {
             w->setCursorCell(100);
             EXPECT_TRUE(w->gridKey(Qt::Key_End, {}));
         }},
        {"picture by key",
         [&] {
             w->setCursorCell(100);
             EXPECT_TRUE(w->gridKey(Qt::Key_C, {}));
             EXPECT_EQ(w->cursorCell(), 101);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        doc().factoryDefault();
        doc().setCode(3, 0, SegClosed);
        w->cboOutput->setCurrentIndex(3);
        w->cboOutput_Click();
        w->imgCopyInput_Click();
        w->cboOutput->setCurrentIndex(0);
        w->cboOutput_Click();
        sh.host.markSaved();
        w->mnuNew_Click(); // a fresh history; New keeps the flag
        doc().factoryDefault();
        doc().setCode(3, 0, SegClosed);
        w->ShowConfig();
        const QByteArray before = CdfBytes(doc());
        c.change();
        const QByteArray after = CdfBytes(doc());
        ASSERT_NE(after, before);
        EXPECT_TRUE(sh.host.isModified());
        w->mnuUndo_Click();
        EXPECT_EQ(CdfBytes(doc()), before);
        EXPECT_FALSE(sh.host.isModified()) << "back at the saved state";
        w->mnuRedo_Click();
        EXPECT_EQ(CdfBytes(doc()), after);
        EXPECT_TRUE(sh.host.isModified());
        EXPECT_TRUE(w->mnuCompile->isEnabled());
        EXPECT_FALSE(w->mnuDownload->isEnabled());
    }
}

TEST_F(EditWindow, SaveMarksTheCleanStepAndOpenStartsAFreshHistory)
{
    const QString file = sh.dir.filePath("UNDO.CDF");
    w->imgSelect_MouseDown(SegOpen);
    w->imgSegment_Click(0);
    sh.dialogs.queueFile(file);
    w->mnuSaveAs_Click();
    ASSERT_FALSE(sh.host.isModified());
    w->imgSegment_Click(1);
    EXPECT_TRUE(sh.host.isModified());
    w->mnuUndo_Click();
    EXPECT_FALSE(sh.host.isModified());
    w->mnuUndo_Click(); // before the save: changed again
    EXPECT_TRUE(sh.host.isModified());
    EXPECT_EQ(doc().code(0, 0), SegEmpty);
    sh.dialogs.queueAnswer(MsgAnswer::Yes);
    sh.dialogs.queueFile(file);
    w->mnuOpen_Click();
    EXPECT_FALSE(w->mnuUndo->isEnabled());
    EXPECT_EQ(doc().code(0, 0), SegOpen);
}

TEST_F(EditWindow, PasteAfterReopeningTheWindowUsesTheCopyAndMarksTheChange)
{
    doc().factoryDefault();
    w->ShowConfig();
    w->cboOutput->setCurrentIndex(2);
    w->cboOutput_Click();
    w->imgCopyInput_Click();
    sh.host.markSaved();
    w.reset(); // closed; the buffer lasts for the run of the program
    w = std::make_unique<frmExpCndCustom>(sh.host);
    w->ensureLoaded();
    w->cboOutput->setCurrentIndex(6);
    w->cboOutput_Click();
    w->imgPasteInput_Click();
    EXPECT_EQ(doc().code(6, 0), SegOpen);
    EXPECT_EQ(doc().input(6, 0), 2);
    EXPECT_TRUE(sh.host.isModified());
    // A paste that changes nothing leaves the flag alone.
    doc().factoryDefault();
    w->cboOutput->setCurrentIndex(2);
    w->cboOutput_Click();
    sh.host.markSaved();
    w->imgPasteInput_Click();
    EXPECT_FALSE(sh.host.isModified());
}

TEST_F(EditWindow, DownloadAfterTheDiagramChangedOffersToCompileFirst)
{
    doc().factoryDefault();
    w->ShowConfig();
    compile();
    chooseInput(5); // an input choice leaves Download enabled
    w->lblSeg_Click(0);
    ASSERT_TRUE(w->mnuDownload->isEnabled());
    sh.dialogs.queueAnswer(MsgAnswer::No);
    sh.site.written.clear();
    w->mnuDownload_Click();
    ASSERT_EQ(sh.dialogs.shown.size(), 1u);
    EXPECT_EQ(sh.dialogs.shown[0].text, "The Diagram Has Changed Since The Last Compile.\r\nCompile It Now?");
    EXPECT_TRUE(sh.site.written.empty());
    sh.dialogs.shown.clear();
    sh.dialogs.queueAnswer(MsgAnswer::Yes); // compile
    w->mnuDownload_Click();
    EXPECT_EQ(sh.dialogs.shown.back().text, "Download Complete.\r\nPower Cycle Device.");
    EXPECT_EQ(module->memory()[1], char(0x00)) << "pattern 1 (I1): output 1 now follows I6";
    EXPECT_EQ(module->memory()[0x20], char(0x21));
    // The module now holds what the drawing compiles to.
    sh.dialogs.shown.clear();
    sh.dialogs.queueAnswer(MsgAnswer::Yes);
    w->mnuCompare_Click();
    EXPECT_TRUE(sh.dialogs.shown.back().text.startsWith("QV Input 1: Equal"));
}

TEST_F(EditWindow, WorkedExampleTakesFourteenActionsWithKeysAndClicks)
{
    show();
    int actions = 0;
    auto click = [&](int c) {
        ++actions;
        QTest::mouseClick(w->imgSegment[size_t(c)], Qt::LeftButton);
    };
    auto press = [&](int k) {
        ++actions;
        key(k);
    };
    auto input = [&](int c, int i) {
        actions += 2; // the label, then the selector's entry
        chooseInput(i);
        QTest::mouseClick(w->lblSeg[size_t(c)], Qt::LeftButton);
    };
    click(0);           // the grid, at row 1, column 1
    press(Qt::Key_8);   // open contact (Input 1 is a new contact's input)
    press(Qt::Key_A);   // open contact with a link down
    press(Qt::Key_C);   // closed contact
    press(Qt::Key_End); // wire to the right rail
    input(1, 1);        // Input 2
    input(2, 3);        // Input 4
    click(16);          // row 2, column 1
    press(Qt::Key_8);   // open contact
    press(Qt::Key_5);   // wire with a link up
    input(16, 2);       // Input 3
    EXPECT_LE(actions, 16);
    EXPECT_EQ(actions, 14);
    EXPECT_EQ(ExpressionText(OutputProducts(doc(), 0)), QString::fromUtf8("I1·I2·¬I4 + I3·¬I4"));
    EXPECT_EQ(w->cursorCell(), 18);
}

TEST_F(EditWindow, DragWithAWireSelectedPaintsTheCellsItCrosses)
{
    show();
    w->imgSelect_MouseDown(SegWire);
    QTest::mousePress(w->imgSegment[32], Qt::LeftButton);
    for (int c = 33; c <= 36; ++c)
        QTest::mouseMove(w->imgSegment[32], cellCentre(c, 32));
    QTest::mouseRelease(w->imgSegment[32], Qt::LeftButton, {}, cellCentre(36, 32));
    for (int c = 32; c <= 36; ++c)
        EXPECT_EQ(doc().code(0, c), SegWire) << c;
    EXPECT_EQ(doc().code(0, 37), SegEmpty);
    // One stroke, one undo step.
    w->mnuUndo_Click();
    for (int c = 32; c <= 36; ++c)
        EXPECT_EQ(doc().code(0, c), SegEmpty) << c;
    // A contact is placed by its click only; moving on paints nothing.
    w->imgSelect_MouseDown(SegOpen);
    QTest::mousePress(w->imgSegment[48], Qt::LeftButton);
    QTest::mouseMove(w->imgSegment[48], cellCentre(50, 48));
    QTest::mouseRelease(w->imgSegment[48], Qt::LeftButton, {}, cellCentre(50, 48));
    EXPECT_EQ(doc().code(0, 48), SegOpen);
    EXPECT_EQ(doc().code(0, 49), SegEmpty);
    EXPECT_EQ(doc().code(0, 50), SegEmpty);
}

TEST_F(EditWindow, SimulateDrawsTheEnergisedPathAsTheTestBoxesChange)
{
    show();
    doc().factoryDefault();
    w->ShowConfig();
    QTest::mouseClick(w->chkSimulate, Qt::LeftButton);
    ASSERT_TRUE(w->simulating());
    EXPECT_EQ(w->lblSimulate->text(), "Quorvel Input 1 Off");
    EXPECT_FALSE(w->energised().energised[1].junction);
    // The wire after the contact, in the middle of cell 1, on the overlay.
    const QPoint wire =
        w->imgSegment[1]->geometry().center() + QPoint(0, 6) - w->overlay->geometry().topLeft();
    auto colourAt = [&](QPoint p) { return w->overlay->grab().toImage().pixelColor(p); };
    EXPECT_NE(colourAt(wire), QColor(255, 0, 0));
    QTest::mouseClick(w->chkIn[0], Qt::LeftButton, {}, QPoint(8, w->chkIn[0]->height() / 2));
    EXPECT_EQ(w->lblSimulate->text(), "Quorvel Input 1 On");
    EXPECT_TRUE(w->energised().energised[15].junction);
    EXPECT_EQ(colourAt(wire), QColor(255, 0, 0));
    // Test keeps its own way: a message, then nothing left on the screen but the diagram.
    sh.dialogs.shown.clear();
    w->cmdTest_Click();
    EXPECT_EQ(sh.dialogs.shown.back().text, "Quorvel Input 1 On");
    QTest::mouseClick(w->chkSimulate, Qt::LeftButton);
    EXPECT_TRUE(w->lblSimulate->isHidden());
    EXPECT_NE(colourAt(wire), QColor(255, 0, 0));
}

// The shifting rules themselves are the model's (LadderShiftTest); the window refuses with their
// text in a box and leaves the document as it was.
TEST_F(EditWindow, AFullLastRowIsNotPushedOffAndTheBoxSaysWhy)
{
    for (int c = 240; c < 256; ++c)
        doc().setCode(0, c, SegWire);
    w->ShowConfig();
    const QByteArray full = CdfBytes(doc());
    sh.dialogs.shown.clear();
    w->setCursorCell(16);
    w->mnuInsertRow_Click();
    EXPECT_EQ(CdfBytes(doc()), full);
    ASSERT_FALSE(sh.dialogs.shown.empty());
    EXPECT_EQ(sh.dialogs.shown.back().text, "Row 16 Is Not Empty");
    EXPECT_EQ(sh.dialogs.shown.back().title, "Insert Row");
}

TEST_F(EditWindow, TruthTablePanelFollowsTheCurrentOutputAndEachEdit)
{
    doc().factoryDefault();
    w->ShowConfig();
    w->mnuTruthTable->trigger();
    EXPECT_FALSE(w->dockTruthTable->isHidden());
    w->show();
    EXPECT_TRUE(w->txtTruthTable->toPlainText().endsWith("\nI1"))
        << w->txtTruthTable->toPlainText().toStdString();
    w->imgSelect_MouseDown(SegClosed);
    w->imgSegment_Click(0);
    EXPECT_TRUE(w->txtTruthTable->toPlainText().endsWith(QString::fromUtf8("\n¬I1")));
    w->cboOutput->setCurrentIndex(7);
    w->cboOutput_Click();
    EXPECT_TRUE(w->txtTruthTable->toPlainText().startsWith("QV Input 8"));
}

TEST_F(EditWindow, ExportWritesThePdfWhereTheUserChose)
{
    doc().factoryDefault();
    const QString pdf = sh.dir.filePath("RECORD.PDF");
    sh.dialogs.queueFile(pdf);
    w->mnuExportPdf_Click();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5) == "%PDF-");
    EXPECT_TRUE(sh.dialogs.shown.empty());
}

TEST_F(EditWindow, AClickErasesADrawnCellOnlyWithTheEmptyPictureChosen)
{
    // A diagram drawn before the window opened (a file, an upload): the palette shows the empty
    // picture, yet the first click on a drawn cell only says where to start.
    doc().placeCode(0, 5, SegClosed);
    w->ShowConfig();
    sh.host.markSaved();
    w->imgSegment_Click(5);
    EXPECT_EQ(doc().code(0, 5), SegClosed);
    EXPECT_FALSE(sh.host.isModified());
    w->imgSelect_MouseDown(SegWire);
    w->imgSelect_MouseDown(SegEmpty);
    w->imgSegment_Click(5);
    EXPECT_EQ(doc().code(0, 5), SegEmpty) << "chosen on purpose, it erases";
    EXPECT_TRUE(sh.host.isModified());
}
