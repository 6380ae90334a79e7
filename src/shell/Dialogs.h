#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

class QPrinter;

namespace tqdt {

class Form;

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry };

// What a common file dialog is asked: the proposed name, the filter text in the
// "Description (*.ext)|*.ext" form, and the title.
struct FileDialogRequest {
    QString fileName;
    QString filter;
    QString title;
    bool overwritePrompt = true; // save dialogs ask before replacing a file
    bool fileMustExist = true;   // open dialogs accept existing files only
};

// Every message box, file dialog and modal window goes through this seam, so a test can answer
// them without a person.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MsgAnswer message(const QString& text, const QString& title, MsgIcon icon,
                              MsgButtons buttons = MsgButtons::Ok) = 0;
    // The chosen path, or an empty text when cancelled.
    virtual QString openFile(const FileDialogRequest& request) = 0;
    virtual QString saveFile(const FileDialogRequest& request) = 0;
    // Shows the window modally and returns when it has closed.
    virtual void showModal(Form& form) = 0;
    // Lets the user set up the printer; false when cancelled (and where nobody can be asked).
    virtual bool choosePrinter(QPrinter& printer)
    {
        (void)printer;
        return false;
    }
};

// The real thing: QMessageBox, QFileDialog, QDialog::exec.
class QtDialogs final : public Dialogs {
public:
    MsgAnswer message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    void showModal(Form& form) override;
    bool choosePrinter(QPrinter& printer) override;
};

// Answers from queues and records what was shown. An unanswered message box gets its first
// button (Ok, Yes or Retry); an unanswered file dialog is cancelled; a modal window with no queued
// driver is loaded, activated and closed again.
class ScriptedDialogs final : public Dialogs {
public:
    struct Shown {
        QString text, title;
        MsgIcon icon;
        MsgButtons buttons;
    };
    using Driver = std::function<void(Form&)>;

    MsgAnswer message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    void showModal(Form& form) override;

    void queueAnswer(MsgAnswer a) { answers.push_back(a); }
    void queueFile(const QString& path) { files.push_back(path); }
    void queueDriver(Driver d) { drivers.push_back(std::move(d)); }

    std::deque<MsgAnswer> answers;
    std::deque<QString> files;
    std::deque<Driver> drivers;
    std::vector<Shown> shown;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<QString> modalShown; // object names of the windows shown modally
};

} // namespace tqdt
