#include "ui/condlogic/frmExpCndNotes.h"

#include "condlogic/Win1252.h"
#include "host/Host.h"

#include <QSignalBlocker>
#include <QTextCursor>

namespace tqdt::cnd {

using namespace cnd;

frmExpCndNotes::frmExpCndNotes(Host& host, CndDocument& doc, std::function<void()> edited, QWidget* parent)
    : Form(host, parent), m_doc(doc), m_edited(std::move(edited))
{
    setObjectName(QStringLiteral("frmExpCndNotes"));
    setWindowTitle(QStringLiteral("Notes"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    txtNotes = new QPlainTextEdit(this);
    txtNotes->setObjectName(QStringLiteral("txtNotes"));
    txtNotes->setGeometry(tw(120), tw(120), tw(7200), tw(5400));
    lblUnusedChars = new QLabel(this);
    lblUnusedChars->setObjectName(QStringLiteral("lblUnusedChars"));
    lblUnusedChars->setGeometry(tw(120), tw(5640), tw(7200), tw(300));
    setFixedSize(tw(7440), tw(6060));
    connect(txtNotes, &QPlainTextEdit::textChanged, this, &frmExpCndNotes::txtNotes_Change);
}

void frmExpCndNotes::Form_Activate()
{
    // Showing the notes is not an edit: the change handler would mark the document changed and
    // take back a finished compile.
    {
        const QSignalBlocker quiet(txtNotes);
        txtNotes->setPlainText(NotesText(m_doc));
    }
    // Notes from a file or a module can run past the limit: they are cut as typing would cut them,
    // and that cut is a change of the document, unlike merely looking at them.
    if (NotesBytesOf(txtNotes->toPlainText()).size() > kNoteChars) {
        txtNotes_Change();
        return;
    }
    ShowRem();
}

void frmExpCndNotes::txtNotes_Change()
{
    if (m_inChange)
        return;
    m_inChange = true;
    QByteArray bytes = NotesBytesOf(txtNotes->toPlainText());
    if (bytes.size() > kNoteChars) {
        bytes.truncate(kNoteChars);
        if (bytes.endsWith('\r'))
            bytes.chop(1); // half a line break
        txtNotes->setPlainText(fromWin1252(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        txtNotes->moveCursor(QTextCursor::End);
        host().dialogs().message(QStringLiteral("Out Of Note Space"), QStringLiteral("Error"),
                                 MsgIcon::Critical);
    }
    m_doc.NoteBytes.fill(0);
    std::copy(bytes.begin(), bytes.end(), m_doc.NoteBytes.begin());
    ShowRem();
    host().markModified();
    if (m_edited)
        m_edited();
    m_inChange = false;
}

void frmExpCndNotes::ShowRem()
{
    const qsizetype used = std::min<qsizetype>(NotesBytesOf(txtNotes->toPlainText()).size(), kNoteChars);
    lblUnusedChars->setText(QStringLiteral("%1 of 4000 Characters Used").arg(used));
}

} // namespace tqdt::cnd
