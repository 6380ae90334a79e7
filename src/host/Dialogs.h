#pragma once

#include <QString>
#include <QStringList>

#include <algorithm>
#include <functional>

class QPrinter;

namespace tqdt {

class Form;

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
// YesNoDefaultNo: Yes and No with No the default button, for a question whose Yes gives something up
// (Enter alone must not).
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, YesNoDefaultNo };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry };

// What a common file dialog is asked: the proposed name, the filter text in the
// "Description (*.ext)|*.ext" form, and the title.
struct FileDialogRequest {
    QString fileName;
    QString filter;
    QString title;
    // The extension a save dialog adds, while the document's own (first) filter is chosen, to a
    // typed name that has none ("SITE1" -> "SITE1.MGW"): without it the file is written under a name
    // the Open dialog does not list, and the overwrite question would ask about the wrong name.
    QString defaultSuffix;
    bool overwritePrompt = true; // save dialogs ask before replacing a file
    bool fileMustExist = true;   // open dialogs accept existing files only
};

// The name a save dialog returns for the typed one: with ".suffix" added when the file name has no
// dot at all and a suffix is given.
inline QString WithDefaultSuffix(const QString& chosen, const QString& suffix)
{
    if (chosen.isEmpty() || suffix.isEmpty())
        return chosen;
    const qsizetype slash =
        std::max(chosen.lastIndexOf(QLatin1Char('/')), chosen.lastIndexOf(QLatin1Char('\\')));
    if (slash + 1 >= chosen.size() || chosen.indexOf(QLatin1Char('.'), slash + 1) >= 0)
        return chosen;
    return chosen + QLatin1Char('.') + suffix;
}

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

} // namespace tqdt
