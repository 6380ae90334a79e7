#pragma once

#include "condlogic/CndDocument.h"
#include "condlogic/Win1252.h"
#include "ui/shell/Form.h"

#include <QLabel>
#include <QPlainTextEdit>

#include <functional>

namespace tqdt::cnd {

using cnd::NotesBytesOf;
using cnd::NotesText;

// The document's free notes: at most 4000 single-byte characters, kept in NoteBytes as they are typed.
class frmExpCndNotes : public Form {
    Q_OBJECT
public:
    // edited runs after every change of the text (the editor window re-enables "Compile").
    frmExpCndNotes(Host& host, cnd::CndDocument& doc, std::function<void()> edited,
                   QWidget* parent = nullptr);

    void txtNotes_Change();
    void ShowRem();

    QPlainTextEdit* txtNotes = nullptr;
    QLabel* lblUnusedChars = nullptr;

protected:
    void Form_Activate() override;

private:
    cnd::CndDocument& m_doc;
    std::function<void()> m_edited;
    bool m_inChange = false;
};

} // namespace tqdt::cnd
