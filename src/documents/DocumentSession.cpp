#include "documents/DocumentSession.h"

#include "host/Host.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    // Only a Yes lets the changes go; a box closed any other way keeps them.
    return !m_host.isModified() ||
           m_host.dialogs().message(q.text, q.title, MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes;
}

bool DocumentSession::newDocument()
{
    if (!mayDiscard(m_config.discardOnNew))
        return false;
    m_path = QStringLiteral("None");
    m_takenCopy.clear();
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

void DocumentSession::dropTakenCopy()
{
    // The kept changes are in a file the technician chose now; the copy has served.
    if (!m_takenCopy.isEmpty())
        QFile::remove(m_takenCopy);
    m_takenCopy.clear();
}

void DocumentSession::keepForRecovery()
{
    QString target;
    if (isNamed()) {
        target = RecoveryCopyPath(m_path);
    } else {
        // A document that never had a file goes where its Open dialog starts, under a name that
        // dialog lists, and never over an earlier one.
        const QString suffix =
            m_config.pattern.startsWith(QLatin1String("*.")) ? m_config.pattern.mid(1) : QString();
        const QDir folder(m_config.folder);
        target = folder.filePath(QStringLiteral("Untitled Recovered") + suffix);
        for (int n = 2; QFileInfo::exists(target); ++n)
            target = folder.filePath(QStringLiteral("Untitled Recovered %1").arg(n) + suffix);
    }
    if (const FileResult r = m_config.write(target); !r)
        qWarning().noquote() << "The unsaved changes could not be kept:" << r.line();
    else
        m_host.markSaved();
}

QString RecoveryCopyPath(const QString& documentPath)
{
    const QFileInfo doc(documentPath);
    return doc.dir().filePath(QLatin1Char('.') + doc.fileName() + QStringLiteral(".recovered"));
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
    const QString chosen = m_host.dialogs().openFile(request);
    if (chosen.isEmpty() || chosen == placeholder())
        return Outcome::Cancelled;
    const QString copy = RecoveryCopyPath(chosen);
    if (QFileInfo(copy).isFile() &&
        m_host.dialogs().message(
            QStringLiteral("Unsaved Changes To %1 Were Kept When The Program Was Ended.\r\n"
                           "Open The Kept Changes Instead Of The File?")
                .arg(QFileInfo(chosen).fileName()),
            QStringLiteral("Open"), MsgIcon::Question, MsgButtons::YesNoDefaultNo) == MsgAnswer::Yes) {
        // The kept changes become the document under its own name, still unsaved: the file on disk
        // stays as it is until the technician saves them over it.
        if (!report(m_config.read(copy), m_config.openProblemTitle))
            return Outcome::Failed;
        m_path = chosen;
        m_takenCopy = copy;
        m_host.markModified();
        return Outcome::Done;
    }
    m_takenCopy.clear();
    return useChosen(chosen, m_config.read, m_config.openProblemTitle);
}

DocumentSession::Outcome DocumentSession::save()
{
    if (!isNamed())
        return saveAs();
    if (!report(m_config.write(m_path), m_config.saveProblemTitle))
        return Outcome::Failed;
    m_host.markSaved();
    dropTakenCopy();
    return Outcome::Done;
}

DocumentSession::Outcome DocumentSession::saveAs()
{
    FileDialogRequest request;
    request.filter = m_config.filter;
    request.title = QStringLiteral("Save As");
    // "*.CDF" -> "CDF": a bare name typed into Save As becomes a file the Open dialog lists.
    if (m_config.pattern.startsWith(QLatin1String("*.")))
        request.defaultSuffix = m_config.pattern.mid(2);
    request.fileMustExist = m_config.saveMustExist;
    request.fileName =
        m_config.saveAsStartsFromLastName && m_dialogUsed && isNamed() ? m_path : placeholder();
    m_dialogUsed = true;
    const Outcome saved =
        useChosen(m_host.dialogs().saveFile(request), m_config.write, m_config.saveProblemTitle);
    if (saved == Outcome::Done)
        dropTakenCopy();
    return saved;
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
    // Nobody is there to answer: the changes are kept instead of asked about.
    if (m_host.endingUnattended) {
        if (m_host.isModified())
            keepForRecovery();
        return true;
    }
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
