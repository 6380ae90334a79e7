#include "ui/condlogic/frmExpCndCustom.h"
#include "condlogic/CdfFile.h"
#include "support/DiagramGen.h"
#include "support/SimHost.h"
#include "ui/condlogic/frmASelect01.h"
#include "ui/condlogic/frmExpCndNotes.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace tqdt;
using namespace tqdt::cnd;

namespace {

class CustomWindow : public ::testing::Test {
protected:
    CustomWindow() : w(sh.host) { w.ensureLoaded(); }

    CndDocument& doc() { return sh.host.document<CndDocument>(); }
    bool compileOn() const { return w.mnuCompile->isEnabled(); }
    bool downloadOn() const { return w.mnuDownload->isEnabled(); }
    // Everything the dialogs showed since the last call, as "title: text".
    std::vector<std::string> takeShown()
    {
        std::vector<std::string> out;
        for (const auto& s : sh.dialogs.shown)
            out.push_back((s.title + QStringLiteral(": ") + s.text).toStdString());
        sh.dialogs.shown.clear();
        return out;
    }
    QString path(const char* name) const { return sh.dir.filePath(QString::fromLatin1(name)); }
    void writeFile(const QString& p, const QByteArray& bytes)
    {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void compile()
    {
        w.mnuCompile_Click();
        takeShown();
    }

    test::SimHost sh;
    frmExpCndCustom w;
};

} // namespace

TEST_F(CustomWindow, LoadsWithTheFirstOutputAndCompileEnabled)
{
    EXPECT_EQ(w.windowTitle(), "Conditional Input Module Configuration");
    ASSERT_EQ(w.cboOutput->count(), 8);
    EXPECT_EQ(w.cboOutput->itemText(0), "QV Input 1");
    EXPECT_EQ(w.cboOutput->itemText(7), "QV Input 8");
    EXPECT_EQ(w.cboOutput->currentIndex(), 0);
    EXPECT_EQ(w.lblFile->text(), "File: None");
    EXPECT_TRUE(compileOn());
    EXPECT_FALSE(downloadOn());
    EXPECT_TRUE(w.mnuUpload->isEnabled());
    EXPECT_TRUE(QDir(sh.host.paths().dataFolder()).exists());
    // Cell 17 is row 1, column 1; its label sits 7 and 4 pixels into it.
    EXPECT_EQ(w.imgSegment[17]->geometry().topLeft(), QPoint(160, 48));
    EXPECT_EQ(w.lblSeg[17]->geometry().topLeft(), QPoint(167, 52));
    EXPECT_EQ(w.imgSelect[0]->frameShape(), QFrame::Box);
    EXPECT_EQ(w.imgSelect[1]->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(w.chkIn[0]->text(), "I1");
    EXPECT_EQ(w.chkIn[15]->text(), "P8");
}

TEST_F(CustomWindow, CellClickDrawsTheToolAndTakesBackTheCompile)
{
    w.imgSelect_MouseDown(12);
    EXPECT_EQ(w.imgSelect[12]->frameShape(), QFrame::Box);
    EXPECT_EQ(w.imgSelect[0]->frameShape(), QFrame::NoFrame);
    w.cboOutput->setCurrentIndex(3);
    w.cboOutput_Click();
    compile();
    ASSERT_TRUE(downloadOn());
    doc().setInput(3, 40, 15);
    w.imgSegment_Click(40);
    EXPECT_EQ(doc().code(3, 40), 12);
    EXPECT_EQ(doc().code(0, 40), 0);
    EXPECT_TRUE(sh.host.isModified());
    EXPECT_TRUE(compileOn());
    EXPECT_FALSE(downloadOn());
    EXPECT_FALSE(w.lblSeg[40]->isHidden());
    EXPECT_EQ(w.lblSeg[40]->text(), "P 8");
    // A wire has no input to show.
    w.imgSelect_MouseDown(4);
    w.imgSegment_Click(40);
    EXPECT_TRUE(w.lblSeg[40]->isHidden());
    // The other outputs keep their own cells.
    w.cboOutput->setCurrentIndex(0);
    w.cboOutput_Click();
    EXPECT_TRUE(w.lblSeg[40]->isHidden());
}

TEST_F(CustomWindow, DropOnALabelSetsTheDraggedCodeAndPaletteClickStartsNoDrag)
{
    doc().setCode(0, 5, SegOpen);
    w.ShowConfig();
    w.imgSelect_MouseDown(2); // the tool stays what it was chosen as
    compile();
    // A dropped palette picture, and payloads that are no palette picture at all.
    struct Case {
        QByteArray payload;
        int want;
    } cases[] = {{"14", 14}, {"99", 14}, {"x", 14}, {"-1", 14}, {"9", 9}};
    for (const Case& c : cases) {
        QMimeData mime;
        mime.setData(QString::fromLatin1(SegLabel::kMime), c.payload);
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        // Straight to the label: outside a real drag the application does not route drops.
        static_cast<QObject*>(w.lblSeg[5])->event(&drop);
        EXPECT_EQ(doc().code(0, 5), c.want) << c.payload.toStdString();
    }
    w.lblSeg_DragDrop(5, 14);
    EXPECT_EQ(doc().code(0, 5), 14);
    EXPECT_EQ(w.CurTool, 2);
    EXPECT_TRUE(sh.host.isModified());
    EXPECT_FALSE(downloadOn());
    EXPECT_EQ(w.lblSeg[5]->text(), "I 1");
}

TEST_F(CustomWindow, InputSelectorSetsTheContactInputOnlyWhenChosen)
{
    doc().setCode(0, 33, SegOpen);
    w.ShowConfig();
    compile();
    sh.host.markSaved();
    QPoint placed;
    sh.dialogs.queueDriver([&](Form& f) {
        auto& sel = static_cast<frmASelect01&>(f);
        EXPECT_EQ(sel.lblSel[0]->text(), "Input 1");
        EXPECT_EQ(sel.lblSel[8]->text(), "Pilot 1");
        EXPECT_EQ(sel.lblCancel->text(), "X");
        placed = sel.pos();
        sel.lblSel_Click(9);
    });
    w.lblSeg_Click(33);
    EXPECT_EQ(w.CurCell, 33);
    EXPECT_EQ(doc().input(0, 33), 9);
    EXPECT_EQ(w.lblSeg[33]->text(), "P 2");
    EXPECT_TRUE(sh.host.isModified());
    // The menus are not touched by an input choice.
    EXPECT_TRUE(downloadOn());
    EXPECT_EQ(sh.dialogs.modalShown.back(), "frmASelect01");
    const QPoint label = w.lblSeg[33]->mapTo(&w, QPoint(0, 0));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(placed.x(), std::min(w.x() + label.x() + 11, screen.width() - 160));

    // "X" and Escape leave the input as it was.
    sh.host.markSaved();
    sh.dialogs.queueDriver([](Form& f) { static_cast<frmASelect01&>(f).lblCancel_Click(); });
    w.lblSeg_Click(33);
    sh.dialogs.queueDriver([](Form& f) { f.reject(); });
    w.lblSeg_Click(33);
    EXPECT_EQ(doc().input(0, 33), 9);
    EXPECT_FALSE(sh.host.isModified());
}

TEST(InputSelector, KeepsItselfOnScreen)
{
    test::SimHost sh;
    frmASelect01 sel(sh.host);
    sel.ensureLoaded();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    struct Case {
        QPoint at, want;
    } cases[] = {
        {{10, 10}, {10, 10}},
        {{screen.width() - 5, 10}, {screen.width() - sel.width(), 10}},
        {{10, screen.height() - 10}, {10, screen.height() - sel.height() - 40}},
    };
    for (const Case& c : cases) {
        sel.move(c.at);
        sel.activate();
        EXPECT_EQ(sel.pos(), c.want);
    }
}

TEST_F(CustomWindow, CopyAndPasteAnOutputLeaveTheMenusAloneAndMarkTheChange)
{
    // Pasting before any copy empties the current output; a paste that changes the document marks
    // it changed, so that closing asks before the pasted output is lost.
    doc().factoryDefault();
    w.ShowConfig();
    w.imgPasteInput_Click();
    for (int c = 0; c < 16; ++c)
        EXPECT_EQ(doc().code(0, c), 0) << c;
    EXPECT_EQ(doc().code(1, 0), SegOpen);
    EXPECT_TRUE(sh.host.isModified());
    sh.host.markSaved();

    w.cboOutput->setCurrentIndex(2);
    w.cboOutput_Click();
    w.imgCopyInput_Click();
    compile();
    w.cboOutput->setCurrentIndex(6);
    w.cboOutput_Click();
    w.imgPasteInput_Click();
    EXPECT_EQ(doc().code(6, 0), SegOpen);
    EXPECT_EQ(doc().input(6, 0), 2);
    EXPECT_EQ(w.lblSeg[0]->text(), "I 3");
    EXPECT_TRUE(downloadOn());
    EXPECT_TRUE(sh.host.isModified());
}

TEST_F(CustomWindow, CopyButtonsShowPressedPictureWhileHeld)
{
    const QImage up = w.imgCopyInput->pixmap().toImage();
    emit w.imgCopyInput->pressed();
    EXPECT_NE(w.imgCopyInput->pixmap().toImage(), up);
    emit w.imgCopyInput->released();
    EXPECT_EQ(w.imgCopyInput->pixmap().toImage(), up);
}

TEST_F(CustomWindow, TestButtonReportsTheOutputFromThePicture)
{
    doc().factoryDefault();
    w.cboOutput->setCurrentIndex(2);
    w.cboOutput_Click();
    struct Case {
        std::vector<int> checked;
        const char* want;
    } cases[] = {
        {{2}, "Quorvel Input 3 On"},
        {{0, 1, 3, 8, 15}, "Quorvel Input 3 Off"},
        {{}, "Quorvel Input 3 Off"},
    };
    for (const Case& c : cases) {
        for (auto* chk : w.chkIn)
            chk->setChecked(false);
        for (int b : c.checked)
            w.chkIn[size_t(b)]->setChecked(true);
        w.cmdTest_Click();
        ASSERT_EQ(sh.dialogs.shown.size(), 1u);
        EXPECT_EQ(sh.dialogs.shown[0].text, c.want);
        EXPECT_EQ(sh.dialogs.shown[0].buttons, MsgButtons::Ok);
        sh.dialogs.shown.clear();
        EXPECT_TRUE(w.picTest->isHidden());
    }
    // The test reads the picture, which now holds the flood in colour.
    EXPECT_EQ(w.map.picTest.GetPixel(kLeftRailX, 1), kPureRed);
    EXPECT_FALSE(sh.host.isModified());
}

TEST_F(CustomWindow, CompileFillsTheArrayAndSwitchesTheMenus)
{
    doc().factoryDefault();
    w.cboOutput->setCurrentIndex(5);
    w.cboOutput_Click();
    QSignalSpy progress(w.prgCompile, &QProgressBar::valueChanged);
    sh.clock.setLocalDateTime(QDateTime(QDate(2026, 12, 6), QTime(17, 53, 39)));
    w.mnuCompile_Click();
    EXPECT_EQ(w.prgCompile->value(), 256);
    EXPECT_GE(progress.count(), 256);
    EXPECT_TRUE(w.prgCompile->isHidden());
    EXPECT_EQ(w.CurOutput, 5);
    EXPECT_FALSE(compileOn());
    EXPECT_TRUE(downloadOn());
    ASSERT_EQ(sh.dialogs.shown.size(), 1u);
    EXPECT_EQ(sh.dialogs.shown[0].title, "Compile");
    EXPECT_EQ(sh.dialogs.shown[0].text, "Complete\r\n12/6/26 5:53:39 PM\r\n12/6/26 5:53:39 PM");
    for (int p = 0; p < kPatterns; p += 97)
        ASSERT_EQ(doc().ControlArray[size_t(p)], p & 255);
    // A second compile starts from a cleared array.
    doc().clear();
    compile();
    EXPECT_TRUE(
        std::all_of(doc().ControlArray.begin(), doc().ControlArray.end(), [](quint16 v) { return v == 0; }));
}

TEST_F(CustomWindow, NewAsksBeforeDiscardingAndKeepsTheChangedFlag)
{
    doc().factoryDefault();
    sh.host.markModified();
    sh.dialogs.queueAnswer(MsgAnswer::No);
    w.mnuNew_Click();
    EXPECT_EQ(takeShown(), std::vector<std::string>{"New: Discard Changes?"});
    EXPECT_EQ(doc().code(0, 0), SegOpen);

    w.cboOutput->setCurrentIndex(4);
    w.cboOutput_Click();
    compile();
    w.mnuNew_Click();
    EXPECT_EQ(takeShown(), std::vector<std::string>{"New: Discard Changes?"});
    EXPECT_EQ(doc().code(0, 0), 0);
    EXPECT_EQ(w.CurOutput, 0);
    EXPECT_EQ(w.cboOutput->currentIndex(), 0);
    EXPECT_TRUE(sh.host.isModified());
    EXPECT_FALSE(downloadOn());
    EXPECT_EQ(w.fileName(), "None");
}

TEST_F(CustomWindow, FactoryDefaultMarksChangedAndKeepsTheFileName)
{
    doc().NoteBytes[0] = 'x';
    w.mnuFactoryDefault_Click();
    EXPECT_TRUE(takeShown().empty());
    EXPECT_TRUE(sh.host.isModified());
    EXPECT_EQ(doc().NoteBytes[0], 0);
    for (int o = 0; o < kOutputs; ++o) {
        EXPECT_EQ(doc().code(o, 0), SegOpen);
        EXPECT_EQ(doc().input(o, 0), o);
        EXPECT_EQ(doc().code(o, 15), SegWire);
        EXPECT_EQ(doc().code(o, 16), 0);
    }
    EXPECT_EQ(w.lblSeg[0]->text(), "I 1");
    sh.dialogs.queueAnswer(MsgAnswer::No);
    doc().setCode(0, 0, 0);
    w.mnuFactoryDefault_Click();
    EXPECT_EQ(takeShown(), std::vector<std::string>{"New: Discard Changes?"});
    EXPECT_EQ(doc().code(0, 0), 0);
}

TEST_F(CustomWindow, SaveOfAnUnnamedDocumentAsksForANameAndRoundTrips)
{
    doc() = RandomDocument(21);
    doc().NoteBytes[0] = 'n';
    sh.host.markModified();
    const QString file = path("ROUND.CDF");
    sh.dialogs.queueFile(file);
    w.mnuSave_Click();
    ASSERT_EQ(sh.dialogs.fileRequests.size(), 1u);
    const FileDialogRequest& r = sh.dialogs.fileRequests[0];
    EXPECT_EQ(r.filter, "Quorvel Conditional Data Files (*.CDF)|*.CDF|All Files (*.*)|*.*");
    EXPECT_EQ(r.fileName, QDir::toNativeSeparators(sh.host.paths().dataFolder() + "/*.CDF"));
    EXPECT_TRUE(r.overwritePrompt);
    EXPECT_TRUE(r.fileMustExist);
    EXPECT_FALSE(sh.host.isModified());
    EXPECT_EQ(w.lblFile->text(), "File: " + file);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray saved = f.readAll();
    EXPECT_EQ(saved, CdfBytes(doc()));

    // Save with a name writes straight away; Open brings the same bytes back.
    const auto before = doc();
    w.mnuNew_Click();
    sh.dialogs.queueFile(file);
    w.mnuOpen_Click();
    EXPECT_EQ(CdfBytes(doc()), saved);
    EXPECT_EQ(doc().SegType, before.SegType);
    EXPECT_FALSE(sh.host.isModified());
    EXPECT_EQ(w.fileName(), file);
    sh.host.markModified();
    w.mnuSave_Click();
    EXPECT_EQ(sh.dialogs.fileRequests.size(), 2u); // no third dialog
    EXPECT_FALSE(sh.host.isModified());
}

TEST_F(CustomWindow, CancelledDialogsLoadAndSaveNothing)
{
    doc().factoryDefault();
    w.cboOutput->setCurrentIndex(3);
    w.cboOutput_Click();
    compile();
    sh.host.markSaved();
    // Cancelled, and the placeholder coming back: both mean no file.
    for (const QString& answer : {QString(), w.placeholderName()}) {
        if (!answer.isEmpty())
            sh.dialogs.queueFile(answer);
        w.mnuOpen_Click();
        EXPECT_EQ(w.CurOutput, 0);
        EXPECT_EQ(w.cboOutput->currentIndex(), 0);
        EXPECT_FALSE(downloadOn());
        EXPECT_TRUE(compileOn());
        EXPECT_EQ(doc().code(0, 0), SegOpen);
        EXPECT_EQ(w.fileName(), "None");
    }
    // The placeholder is offered the first time only.
    ASSERT_EQ(sh.dialogs.fileRequests.size(), 2u);
    EXPECT_EQ(sh.dialogs.fileRequests[0].fileName, w.placeholderName());
    EXPECT_EQ(sh.dialogs.fileRequests[1].fileName, QString());

    sh.host.markModified();
    sh.dialogs.queueFile(w.placeholderName());
    w.mnuSaveAs_Click();
    EXPECT_TRUE(sh.host.isModified());
    EXPECT_EQ(w.fileName(), "None");
    // Open with unsaved changes asks first; No stops before the dialog.
    sh.dialogs.queueAnswer(MsgAnswer::No);
    w.mnuOpen_Click();
    EXPECT_EQ(sh.dialogs.fileRequests.size(), 3u);
    EXPECT_EQ(takeShown(), std::vector<std::string>{"Open: Discard Any Changes?"});
}

TEST_F(CustomWindow, BadFilesAreRefusedWithTheirNameAndTheDocumentStays)
{
    doc().factoryDefault();
    sh.host.markModified();
    QByteArray badCode = CdfBytes(doc());
    badCode[0] = 99;
    struct Case {
        const char* file;
        QByteArray bytes;
        const char* problem;
    } cases[] = {
        {"SHORT.CDF", QByteArray(500, '\0'), "500 bytes"},
        {"CODE.CDF", badCode, "segment code 99"},
    };
    for (const Case& c : cases) {
        writeFile(path(c.file), c.bytes);
        sh.dialogs.queueAnswer(MsgAnswer::Yes); // discard the changes
        sh.dialogs.queueFile(path(c.file));
        w.mnuOpen_Click();
        ASSERT_EQ(sh.dialogs.shown.size(), 2u);
        const auto& m = sh.dialogs.shown[1];
        EXPECT_EQ(m.title, "Open");
        EXPECT_EQ(m.icon, MsgIcon::Critical);
        EXPECT_TRUE(m.text.contains(QDir::toNativeSeparators(path(c.file)))) << m.text.toStdString();
        EXPECT_TRUE(m.text.contains(QLatin1String(c.problem))) << m.text.toStdString();
        sh.dialogs.shown.clear();
        EXPECT_EQ(doc().code(0, 0), SegOpen);
        EXPECT_EQ(w.fileName(), "None");
        EXPECT_TRUE(sh.host.isModified());
    }
    // A save that cannot be written keeps the document unsaved.
    sh.dialogs.queueFile(path("missing/folder/X.CDF"));
    w.mnuSaveAs_Click();
    ASSERT_EQ(sh.dialogs.shown.size(), 1u);
    EXPECT_EQ(sh.dialogs.shown[0].title, "Save");
    EXPECT_TRUE(sh.host.isModified());
    EXPECT_EQ(w.fileName(), "None");
}

TEST_F(CustomWindow, ExitAndCloseAskWhileChangesAreUnsaved)
{
    w.markShownModal();
    sh.host.markModified();
    sh.dialogs.queueAnswer(MsgAnswer::No);
    w.mnuExit_Click();
    EXPECT_EQ(takeShown(), std::vector<std::string>{"Exit Program: Discard Changes?"});
    EXPECT_TRUE(w.isShownModal());

    sh.dialogs.queueAnswer(MsgAnswer::No);
    EXPECT_FALSE(w.requestClose());
    EXPECT_EQ(takeShown(), std::vector<std::string>{"Exit Config: Discard Changes?"});

    // Exit's own question, then the close's.
    sh.dialogs.queueAnswer(MsgAnswer::Yes);
    sh.dialogs.queueAnswer(MsgAnswer::Yes);
    w.mnuExit_Click();
    EXPECT_EQ(takeShown(),
              (std::vector<std::string>{"Exit Program: Discard Changes?", "Exit Config: Discard Changes?"}));
    EXPECT_FALSE(w.isShownModal());

    w.markShownModal();
    sh.host.markSaved();
    w.mnuExit_Click();
    EXPECT_TRUE(takeShown().empty());
    EXPECT_FALSE(w.isShownModal());
}

TEST_F(CustomWindow, DocumentOutlivesTheWindow)
{
    w.imgSelect_MouseDown(SegOpen);
    w.imgSegment_Click(0);
    frmExpCndCustom again(sh.host);
    again.ensureLoaded();
    EXPECT_EQ(again.lblSeg[0]->text(), "I 1");
    EXPECT_FALSE(again.lblSeg[0]->isHidden());
    EXPECT_EQ(again.fileName(), "None");
}

TEST_F(CustomWindow, NotesWindowCountsLimitsAndMarksChanges)
{
    compile();
    sh.host.markSaved();
    doc().NoteBytes[0] = 'H';
    doc().NoteBytes[1] = 'i';
    sh.dialogs.queueDriver([&](Form& f) {
        auto& n = static_cast<frmExpCndNotes&>(f);
        EXPECT_EQ(n.windowTitle(), "Notes");
        EXPECT_EQ(n.txtNotes->toPlainText(), "Hi");
        EXPECT_EQ(n.lblUnusedChars->text(), "2 of 4000 Characters Used");
        // Opening alone changes nothing.
        EXPECT_FALSE(sh.host.isModified());
        EXPECT_TRUE(downloadOn());

        n.txtNotes->setPlainText(QString(4000, QLatin1Char('a')));
        EXPECT_EQ(n.lblUnusedChars->text(), "4000 of 4000 Characters Used");
        EXPECT_TRUE(sh.host.isModified());
        EXPECT_FALSE(downloadOn());
        EXPECT_TRUE(takeShown().empty());

        // A 4001st character is taken away again.
        n.txtNotes->moveCursor(QTextCursor::End);
        n.txtNotes->insertPlainText(QStringLiteral("b"));
        EXPECT_EQ(takeShown(), std::vector<std::string>{"Error: Out Of Note Space"});
        EXPECT_EQ(n.txtNotes->toPlainText(), QString(4000, QLatin1Char('a')));

        // A longer paste keeps its first 4000 characters.
        n.txtNotes->setPlainText(QString(3000, QLatin1Char('c')) + QString(2000, QLatin1Char('d')));
        EXPECT_EQ(takeShown(), std::vector<std::string>{"Error: Out Of Note Space"});
        EXPECT_EQ(n.txtNotes->toPlainText(),
                  QString(3000, QLatin1Char('c')) + QString(1000, QLatin1Char('d')));
    });
    w.mnuNotes_Click();
    EXPECT_EQ(sh.dialogs.modalShown.back(), "frmExpCndNotes");
    EXPECT_EQ(doc().NoteBytes[3999], 'd');
    for (int i = 4000; i < 4096; ++i)
        ASSERT_EQ(doc().NoteBytes[size_t(i)], 0) << i;
}

TEST_F(CustomWindow, NotesPastTheLimitFromAFileAreCutWhenShown)
{
    // A file or a module can hold 4095 characters of notes, more than the box may.
    const QString file = path("LONG.CDF");
    auto longNotes = std::make_unique<CndDocument>();
    longNotes->factoryDefault();
    std::fill(longNotes->NoteBytes.begin(), longNotes->NoteBytes.end() - 1, quint8('n'));
    writeFile(file, CdfBytes(*longNotes));
    sh.dialogs.queueFile(file);
    w.mnuOpen_Click();
    compile();
    ASSERT_FALSE(sh.host.isModified());
    sh.dialogs.queueDriver([&](Form& f) {
        auto& n = static_cast<frmExpCndNotes&>(f);
        EXPECT_EQ(takeShown(), std::vector<std::string>{"Error: Out Of Note Space"});
        EXPECT_EQ(n.txtNotes->toPlainText(), QString(4000, QLatin1Char('n')));
        EXPECT_EQ(n.lblUnusedChars->text(), "4000 of 4000 Characters Used");
    });
    w.mnuNotes_Click();
    EXPECT_EQ(doc().NoteBytes[3999], 'n');
    for (int i = 4000; i < 4096; ++i)
        ASSERT_EQ(doc().NoteBytes[size_t(i)], 0) << i;
    // The cut changed the document: leaving now asks, and the image to download is stale.
    EXPECT_TRUE(sh.host.isModified());
    EXPECT_FALSE(downloadOn());
}

TEST(Notes, LineBreaksAndCodePageSurviveTheTextBox)
{
    CndDocument doc;
    const QByteArray bytes("Caf\xE9 \x80"
                           "5\r\nline two");
    std::copy(bytes.begin(), bytes.end(), doc.NoteBytes.begin());
    const QString text = NotesText(doc);
    EXPECT_EQ(text, QString::fromUtf8("Café €5\nline two"));
    EXPECT_EQ(NotesBytesOf(text), bytes);
    EXPECT_EQ(NotesText(CndDocument{}), QString());
}
