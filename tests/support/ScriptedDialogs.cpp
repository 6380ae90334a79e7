#include "support/ScriptedDialogs.h"

#ifndef TQDT_TEST_NO_WINDOWS
#include "ui/shell/Form.h"
#endif

namespace tqdt {

namespace {
MsgAnswer firstAnswer(MsgButtons b)
{
    switch (b) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel: return MsgAnswer::Yes;
    case MsgButtons::RetryCancel: return MsgAnswer::Retry;
    case MsgButtons::YesNoDefaultNo: return MsgAnswer::No;
    default: return MsgAnswer::Ok;
    }
}

} // namespace

MsgAnswer ScriptedDialogs::message(const QString& text, const QString& title, MsgIcon icon,
                                   MsgButtons buttons)
{
    shown.push_back({text, title, icon, buttons});
    if (answers.empty())
        return firstAnswer(buttons);
    const MsgAnswer a = answers.front();
    answers.pop_front();
    return a;
}

QString ScriptedDialogs::openFile(const FileDialogRequest& request)
{
    fileRequests.push_back(request);
    if (files.empty())
        return {};
    QString f = files.front();
    files.pop_front();
    return f;
}

// As the real dialog does with the document's filter chosen: a typed name without an extension gets
// the default one.
QString ScriptedDialogs::saveFile(const FileDialogRequest& request)
{
    return WithDefaultSuffix(openFile(request), request.defaultSuffix);
}

void ScriptedDialogs::showModal(Form& form)
{
#ifdef TQDT_TEST_NO_WINDOWS
    (void)form;
    modalShown.push_back(QString());
#else
    modalShown.push_back(form.objectName());
    form.ensureLoaded();
    form.markShownModal();
    form.activate();
    if (!drivers.empty()) {
        Driver d = std::move(drivers.front());
        drivers.pop_front();
        d(form);
    }
    if (form.isShownModal())
        form.requestClose();
#endif
}

} // namespace tqdt
