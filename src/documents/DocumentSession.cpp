#include "documents/DocumentSession.h"

#include "host/Host.h"

#include <QDebug>
#include <QDir>

namespace tqdt {

DocumentSession::DocumentSession(Host& host, Config config) : m_host(host), m_config(std::move(config)) {}

void DocumentSession::start()
{
    // A folder that cannot be made shows when a document is saved into it: that box names the file.
    if (!QDir(m_config.folder).exists() && !QDir().mkpath(m_config.folder))
        qWarning().noquote() << "Cannot create the folder" << m_config.folder;
    m_path = QStringLiteral("None");
    m_exitAsked = false;
}

QString DocumentSession::placeholder() const
{
    return QDir::toNativeSeparators(m_config.folder + QLatin1Char('/') + m_config.pattern);
}

bool DocumentSession::mayDiscard(const Question& q)
{
    // Only a Yes lets the changes go; a box closed any other way keeps them, and Enter means No.
    return !m_host.isModified() ||
           m_host.dialogs().message(q.text, q.title, MsgIcon::Question, MsgButtons::YesNo, MsgDefault::No) ==
               MsgAnswer::Yes;
}

bool DocumentSession::newDocument()
{
    if (!mayDiscard(m_config.discardOnNew))
        return false;
    m_path = QStringLiteral("None");
    return true;
}

bool DocumentSession::report(const FileResult& r, const QString& title)
{
    if (r.ok())
        return true;
    m_host.dialogs().message(r.message(), title, MsgIcon::Critical);
    return false;
}

DocumentSession::Outcome DocumentSession::useChosen(const QString& chosen,
                                                    const std::function<FileResult(const QString&)>& transfer,
                                                    const QString& problemTitle)
{
    if (chosen.isEmpty() || chosen == placeholder())
        return Outcome::Cancelled;
    if (!report(transfer(chosen), problemTitle))
        return Outcome::Failed;
    m_path = chosen;
    m_host.markSaved();
    return Outcome::Done;
}

DocumentSession::Outcome DocumentSession::open()
{
    if (!mayDiscard(m_config.discardOnOpen))
        return Outcome::Declined;
    FileDialogRequest request;
    request.filter = m_config.filter;
    request.title = QStringLiteral("Open");
    // The first dialog of the window starts in the folder; later ones start empty.
    if (!m_dialogUsed)
        request.fileName = placeholder();
    m_dialogUsed = true;
    return useChosen(m_host.dialogs().openFile(request), m_config.read, m_config.openProblemTitle);
}

DocumentSession::Outcome DocumentSession::save()
{
    if (!isNamed())
        return saveAs();
    if (!report(m_config.write(m_path), m_config.saveProblemTitle))
        return Outcome::Failed;
    m_host.markSaved();
    return Outcome::Done;
}

DocumentSession::Outcome DocumentSession::saveAs()
{
    FileDialogRequest request;
    request.filter = m_config.filter;
    request.title = QStringLiteral("Save As");
    request.fileMustExist = m_config.saveMustExist;
    request.fileName =
        m_config.saveAsStartsFromLastName && m_dialogUsed && isNamed() ? m_path : placeholder();
    m_dialogUsed = true;
    return useChosen(m_host.dialogs().saveFile(request), m_config.write, m_config.saveProblemTitle);
}

bool DocumentSession::exit()
{
    if (!mayDiscard(m_config.discardOnExit))
        return false;
    m_exitAsked = true;
    return true;
}

bool DocumentSession::mayClose()
{
    if (m_exitAsked && !m_config.askAgainOnCloseAfterExit)
        return true;
    const bool ok = mayDiscard(m_config.discardOnClose);
    m_exitAsked = false;
    return ok;
}

void DocumentSession::markModified() { m_host.markModified(); }
void DocumentSession::markSaved() { m_host.markSaved(); }
bool DocumentSession::isModified() const { return m_host.isModified(); }

} // namespace tqdt
