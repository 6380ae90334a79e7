#include "documents/DocumentSession.h"
#include "support/Files.h"
#include "support/SimHost.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace tqdt;

namespace {

// A one-line text document in the test's folder.
struct Session : ::testing::Test {
    test::SimHost sim;
    QString text = "first";
    QString path(const char* name) const { return sim.dir.filePath(QString::fromLatin1(name)); }

    DocumentSession make(DocumentSession::Config c = {})
    {
        c.folder = sim.dir.path();
        c.pattern = "*.TXT";
        c.filter = "Text (*.TXT)|*.TXT";
        c.read = [this](const QString& p) {
            QFile f(p);
            if (!f.open(QIODevice::ReadOnly))
                return FileResult::failed(p, "The file cannot be opened.");
            text = QString::fromLatin1(f.readAll());
            return FileResult::done(p);
        };
        c.write = [this](const QString& p) {
            QFile f(p);
            if (!f.open(QIODevice::WriteOnly))
                return FileResult::failed(p, "The file cannot be written.");
            f.write(text.toLatin1());
            return FileResult::done(p);
        };
        DocumentSession s(sim.host, c);
        s.start();
        return s;
    }
};

} // namespace

TEST_F(Session, OnlyYesLetsUnsavedChangesGo)
{
    DocumentSession s = make();
    for (MsgAnswer a : {MsgAnswer::No, MsgAnswer::Cancel, MsgAnswer::Ok}) {
        sim.host.markModified();
        sim.dialogs.queueAnswer(a);
        EXPECT_FALSE(s.newDocument()) << int(a);
        sim.dialogs.queueAnswer(a);
        EXPECT_EQ(s.open(), DocumentSession::Outcome::Declined) << int(a);
        sim.dialogs.queueAnswer(a);
        EXPECT_FALSE(s.exit()) << int(a);
        EXPECT_TRUE(sim.host.isModified());
    }
    EXPECT_TRUE(sim.dialogs.fileRequests.empty());
}

TEST_F(Session, AFileThatCannotBeReadKeepsNameFlagAndDocument)
{
    DocumentSession s = make();
    sim.dialogs.queueFile(path("A.TXT"));
    ASSERT_EQ(s.saveAs(), DocumentSession::Outcome::Done);
    text = "edited";
    sim.host.markModified();
    sim.dialogs.queueAnswer(MsgAnswer::Yes);
    sim.dialogs.queueFile(path("MISSING.TXT"));
    EXPECT_EQ(s.open(), DocumentSession::Outcome::Failed);
    EXPECT_EQ(s.path(), path("A.TXT"));
    EXPECT_EQ(text, "edited");
    EXPECT_TRUE(sim.host.isModified());
    const auto& box = sim.dialogs.shown.back();
    EXPECT_EQ(box.title, "Open");
    EXPECT_EQ(box.text, QDir::toNativeSeparators(path("MISSING.TXT")) + "\r\nThe file cannot be opened.");
}

TEST_F(Session, DialogStartNamesAndTheCloseAfterExitFollowTheEditorsChoice)
{
    DocumentSession::Config c;
    c.saveAsStartsFromLastName = true;
    c.askAgainOnCloseAfterExit = false;
    DocumentSession s = make(c);
    const QString placeholder = s.placeholder();
    sim.dialogs.queueFile(path("A.TXT"));
    ASSERT_EQ(s.saveAs(), DocumentSession::Outcome::Done);
    sim.dialogs.queueFile(placeholder); // the start pattern coming back means nothing was chosen
    EXPECT_EQ(s.saveAs(), DocumentSession::Outcome::Cancelled);
    EXPECT_EQ(s.open(), DocumentSession::Outcome::Cancelled);
    ASSERT_EQ(sim.dialogs.fileRequests.size(), 3u);
    EXPECT_EQ(sim.dialogs.fileRequests[0].fileName, placeholder);
    EXPECT_EQ(sim.dialogs.fileRequests[1].fileName, path("A.TXT"));
    EXPECT_EQ(sim.dialogs.fileRequests[2].fileName, QString()); // Open after the first dialog: empty

    sim.host.markModified();
    EXPECT_TRUE(s.exit());
    EXPECT_TRUE(s.mayClose());
    EXPECT_EQ(sim.dialogs.shown.size(), 1u); // Exit asked; the close that follows does not
}

// A bare name typed into Save As gets the document's extension, so that Open lists the file; a name
// with an extension of its own is left as typed.
TEST_F(Session, SaveAsAddsTheDocumentsExtensionToABareName)
{
    DocumentSession s = make();
    struct Case {
        const char* typed;
        const char* written;
    } cases[] = {{"SITE1", "SITE1.TXT"}, {"SITE1.TXT", "SITE1.TXT"}, {"NOTES.OLD", "NOTES.OLD"}};
    for (const Case& c : cases) {
        sim.dialogs.queueFile(path(c.typed));
        EXPECT_EQ(s.saveAs(), DocumentSession::Outcome::Done) << c.typed;
        EXPECT_EQ(sim.dialogs.fileRequests.back().defaultSuffix, "TXT");
        EXPECT_EQ(s.path(), path(c.written)) << c.typed;
        EXPECT_TRUE(QFile::exists(path(c.written))) << c.typed;
    }
    EXPECT_FALSE(QFile::exists(path("SITE1")));
}

// Ended with nobody to answer, the close keeps unsaved changes in a recovery copy instead of asking;
// the next Open of the file offers them, No (the default) opening the file and keeping the copy.
TEST_F(Session, AnUnattendedEndKeepsTheChangesAndTheNextOpenOffersThem)
{
    test::writeFile(path("SITE.TXT"), "on disk");
    const QString copy = path(".SITE.TXT.recovered");
    EXPECT_EQ(RecoveryCopyPath(path("SITE.TXT")), copy);
    {
        DocumentSession s = make();
        sim.dialogs.queueFile(path("SITE.TXT"));
        ASSERT_EQ(s.open(), DocumentSession::Outcome::Done);
        text = "edited";
        s.markModified();
        sim.host.endingUnattended = true;
        const size_t asked = sim.dialogs.shown.size();
        EXPECT_TRUE(s.mayClose());
        EXPECT_EQ(sim.dialogs.shown.size(), asked);
        EXPECT_EQ(test::readAll(copy), "edited");
        EXPECT_EQ(test::readAll(path("SITE.TXT")), "on disk");
        sim.host.endingUnattended = false;
    }
    DocumentSession s = make();
    sim.dialogs.queueFile(path("SITE.TXT")); // unanswered: No
    ASSERT_EQ(s.open(), DocumentSession::Outcome::Done);
    ASSERT_FALSE(sim.dialogs.shown.empty());
    EXPECT_EQ(sim.dialogs.shown.back().buttons, MsgButtons::YesNoDefaultNo);
    EXPECT_TRUE(sim.dialogs.shown.back().text.contains("SITE.TXT"));
    EXPECT_EQ(text, "on disk");
    EXPECT_FALSE(s.isModified());
    EXPECT_TRUE(QFile::exists(copy));

    sim.dialogs.queueFile(path("SITE.TXT"));
    sim.dialogs.queueAnswer(MsgAnswer::Yes);
    ASSERT_EQ(s.open(), DocumentSession::Outcome::Done);
    EXPECT_EQ(text, "edited");
    EXPECT_EQ(s.path(), path("SITE.TXT"));
    EXPECT_TRUE(s.isModified());
    EXPECT_EQ(test::readAll(path("SITE.TXT")), "on disk");
    EXPECT_EQ(s.save(), DocumentSession::Outcome::Done);
    EXPECT_EQ(test::readAll(path("SITE.TXT")), "edited");
    EXPECT_FALSE(QFile::exists(copy)); // the kept changes are in the file now
}

// A document that never had a file is kept where its Open dialog starts, under a name it lists,
// never over an earlier one; a document without changes leaves nothing.
TEST_F(Session, AnUnattendedEndKeepsAnUntitledDocumentBesideTheOthers)
{
    DocumentSession s = make();
    sim.host.endingUnattended = true;
    EXPECT_TRUE(s.mayClose());
    EXPECT_FALSE(QFile::exists(path("Untitled Recovered.TXT")));
    test::writeFile(path("Untitled Recovered.TXT"), "earlier");
    text = "untitled";
    s.markModified();
    EXPECT_TRUE(s.mayClose());
    EXPECT_EQ(test::readAll(path("Untitled Recovered.TXT")), "earlier");
    EXPECT_EQ(test::readAll(path("Untitled Recovered 2.TXT")), "untitled");
}
