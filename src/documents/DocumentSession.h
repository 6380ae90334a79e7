#pragma once

#include "documents/FileResult.h"

#include <QString>

#include <functional>

namespace tqdt {

class Host;

// The File menu of a document editor, once: the document's path ("None" while it has no file),
// New / Open / Save / Save As / Exit and the window's close, the discard question before changes
// are lost, the start name of the first file dialog, and the rule that a dialog returning nothing
// or the start pattern itself was cancelled. Messages and dialogs go through the host's Dialogs;
// the unsaved-changes flag through Host::markModified / markSaved.
//
// The editor supplies its texts, filter, folder and read/write functions and keeps its document
// and its display:
//
//     DocumentSession::Config c;
//     c.folder = host.paths().sibling("Tarvik Quorvel DMX Map");
//     c.pattern = "*.QDM";
//     c.filter = "Tarvik Quorvel DMX Map Files (*.QDM)|*.QDM|All Files (*.*)|*.*";
//     c.discardOnNew = c.discardOnOpen = c.discardOnExit = c.discardOnClose =
//         {"Discard Any Changes?", "Tarvik Quorvel DMX Map"};
//     c.askAgainOnCloseAfterExit = false;
//     c.saveAsStartsFromLastName = true;
//     c.read = [this](const QString& p) { return QdmRead(p, m_map); };
//     c.write = [this](const QString& p) { return QdmWrite(p, m_map); };
//     m_session = std::make_unique<DocumentSession>(host, c);
//
//     void Form_Load()           { m_session->start(); ... }
//     void mnuFileNew_Click()    { if (m_session->newDocument()) { m_map.reset(); ShowScreen(); } }
//     void mnuFileOpen_Click()   { m_session->open(); ShowScreen(); }
//     void mnuFileSave_Click()   { m_session->save(); }
//     void mnuFileSaveAs_Click() { m_session->saveAs(); ShowScreen(); }
//     void mnuExit_Click()       { if (m_session->exit()) requestClose(); }
//     void Form_Unload(bool& cancel) { cancel = !m_session->mayClose(); }
//     an edit:                   m_session->markModified();
//
// When the program is ended with nobody to answer (Host::endingUnattended), the window's close does
// not ask: unsaved changes go to a recovery copy, and the next Open of the file offers them (No, the
// default, opens the file and keeps the copy for a later Open).
//
// A file that cannot be read or written changes nothing: not the document (the reader leaves it as
// it was), not its name and not the unsaved-changes flag; the box names the file and the problem.
class DocumentSession {
public:
    struct Question {
        QString text;
        QString title;
    };
    struct Config {
        QString folder;  // the documents' folder, made when missing
        QString pattern; // "*.CDF": with the folder, the first dialog's start name
        QString filter;  // "Description (*.CDF)|*.CDF|All Files (*.*)|*.*"
        Question discardOnNew{QStringLiteral("Discard Changes?"), QStringLiteral("New")};
        Question discardOnOpen{QStringLiteral("Discard Any Changes?"), QStringLiteral("Open")};
        Question discardOnExit{QStringLiteral("Discard Changes?"), QStringLiteral("Exit Program")};
        Question discardOnClose{QStringLiteral("Discard Changes?"), QStringLiteral("Exit Config")};
        // Whether the window's close asks again after Exit has asked.
        bool askAgainOnCloseAfterExit = true;
        // Save As dialogs after the first start from the document's name instead of the pattern.
        bool saveAsStartsFromLastName = false;
        // The "file must exist" flag of the Save As dialog.
        bool saveMustExist = true;
        QString openProblemTitle = QStringLiteral("Open");
        QString saveProblemTitle = QStringLiteral("Save");
        std::function<FileResult(const QString& path)> read;
        std::function<FileResult(const QString& path)> write;
    };

    enum class Outcome {
        Declined,  // the user kept the unsaved changes
        Cancelled, // the file dialog came back without a file
        Failed,    // the file could not be read or written; the box has said why
        Done,
    };

    DocumentSession(Host& host, Config config);

    // The window's load: the folder is made when missing, the document is unnamed.
    void start();

    const QString& path() const { return m_path; }
    bool isNamed() const { return m_path != QLatin1String("None"); }
    // The folder and pattern in the platform's spelling: what the first dialog proposes and what
    // means "nothing chosen" when it comes back.
    QString placeholder() const;

    // True when there are no unsaved changes or the user answers Yes to let them go.
    bool mayDiscard(const Question& question);
    // New: the discard question, then the document is unnamed. False when the user kept his
    // changes; the window clears its document only on true.
    bool newDocument();
    Outcome open();
    // Save to the document's file, or Save As while it has none.
    Outcome save();
    Outcome saveAs();
    // Exit: the discard question; true when the window may close.
    bool exit();
    // The window's close (Form_Unload): false keeps the window open.
    bool mayClose();

    void markModified();
    void markSaved();
    bool isModified() const;

private:
    // Takes the file the dialog returned, unless it means "nothing chosen", and reads or writes it;
    // the name is taken only when that succeeded.
    Outcome useChosen(const QString& chosen, const std::function<FileResult(const QString&)>& transfer,
                      const QString& problemTitle);
    bool report(const FileResult& r, const QString& title);
    // Writes the unsaved document to its recovery copy (see RecoveryCopyPath), or, without a file,
    // to "Untitled Recovered.EXT" (then " 2", " 3"...) in the documents' folder.
    void keepForRecovery();
    void dropTakenCopy();

    Host& m_host;
    Config m_config;
    QString m_path = QStringLiteral("None");
    bool m_dialogUsed = false;
    bool m_exitAsked = false;
    // The recovery copy whose changes were opened, removed once they are saved.
    QString m_takenCopy;
};

// Where a document's unsaved changes are kept when the program is ended with nobody to answer:
// ".NAME.recovered" beside it. The next Open of NAME offers them.
QString RecoveryCopyPath(const QString& documentPath);

} // namespace tqdt
