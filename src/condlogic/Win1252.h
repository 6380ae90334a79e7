#pragma once

#include "condlogic/CndDocument.h"

#include <QByteArray>
#include <QString>

namespace tqdt::cnd {

// Notes are single-byte Windows-1252 text. Characters the code page lacks become "?".
QByteArray toWin1252(const QString& text);
QString fromWin1252(const QByteArray& bytes);

// The notes as the text box shows them (line breaks as "\n") and back: NoteBytes keep CR LF, so a
// line break counts two characters of the 4000.
QString NotesText(const CndDocument& doc);
QByteArray NotesBytesOf(const QString& text);

} // namespace tqdt::cnd
