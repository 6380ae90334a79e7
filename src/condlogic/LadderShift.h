#pragma once

#include "condlogic/CndDocument.h"

#include <QString>

namespace tqdt::cnd {

// Inserting and deleting a row or a column of one output's ladder, the rules of the editor's "Insert
// Row", "Delete Row", "Insert Column" and "Delete Column".
enum class LadderLine { Row, Column };

// Why an insert cannot go ahead: "Row 16 Is Not Empty" or "Column 16 Is Not Empty" when the last row
// or column holds something the insert would push off the ladder; empty when it can. A plain wire in
// the last column only carries its rung to the rail, which the cell pushed into that column then
// touches itself, so it does not stop a column insert.
QString InsertRefusal(const CndDocument& doc, int output, LadderLine line);

// Moves the cells of output beyond the row or column of cell `at` one line on (insert) or back
// (delete). The freed line is empty, except that an inserted row keeps a vertical link that ran
// across it, an inserted column keeps a rung that ran through it, and a deleted column leaves a rung
// that reached the rail still reaching it. An insert the refusal stops must not be asked for.
void ShiftLadder(CndDocument& doc, int output, int at, LadderLine line, bool insert);

} // namespace tqdt::cnd
