#pragma once

#include "host/Dialogs.h"

#include <deque>
#include <functional>
#include <vector>

namespace tqdt {

// Answers from queues and records what was shown. An unanswered message box gets its default
// button (Ok, Yes or Retry; No where No is the default); an unanswered file dialog is cancelled; a
// save dialog adds the request's default suffix to a name without one, as the real one does; a modal window
// with no queued driver is loaded, activated and closed again. The model tests, which link no windows, build
// it without the modal part (TQDT_TEST_NO_WINDOWS): there a modal window is only recorded.
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
