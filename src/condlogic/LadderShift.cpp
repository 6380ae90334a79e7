#include "condlogic/LadderShift.h"

namespace tqdt::cnd {

namespace {
// Cell `other` of line l: a row's cells run along it, a column's down it.
int cellOf(LadderLine line, int l, int other)
{
    return line == LadderLine::Row ? l * kColumns + other : other * kColumns + l;
}
// A drawn segment, as opposed to an empty cell or a contact.
bool drawn(int code) { return code > 0 && code <= 15; }
} // namespace

QString InsertRefusal(const CndDocument& doc, int output, LadderLine line)
{
    const bool rows = line == LadderLine::Row;
    for (int other = 0; other < kColumns; ++other) {
        const int last = doc.code(output, cellOf(line, kColumns - 1, other));
        if (last != SegEmpty && (rows || last != SegWire))
            return rows ? QStringLiteral("Row 16 Is Not Empty") : QStringLiteral("Column 16 Is Not Empty");
    }
    return {};
}

void ShiftLadder(CndDocument& doc, int output, int at, LadderLine line, bool insert)
{
    const bool rows = line == LadderLine::Row;
    const int o = output;
    const int from = rows ? at / kColumns : at % kColumns;
    auto cell = [line](int l, int other) { return cellOf(line, l, other); };
    auto move = [&](int src, int dst, int other) {
        doc.setCode(o, cell(dst, other), doc.code(o, cell(src, other)));
        doc.setInput(o, cell(dst, other), doc.input(o, cell(src, other)));
    };
    for (int other = 0; other < kColumns; ++other) {
        const int lastBefore = doc.code(o, cell(kColumns - 1, other));
        if (insert) {
            for (int l = kColumns - 1; l > from; --l)
                move(l - 1, l, other);
        } else {
            for (int l = from; l < kColumns - 1; ++l)
                move(l + 1, l, other);
        }
        const int fresh = insert ? from : kColumns - 1;
        int code = SegEmpty;
        // An inserted line keeps what ran across it: a vertical link, or a wire on a rung.
        if (insert && rows && from > 0 && (doc.code(o, cell(from - 1, other)) & SegDown) &&
            (doc.code(o, cell(from + 1, other)) & SegUp) && doc.code(o, cell(from - 1, other)) <= 15)
            code = SegUpDown;
        if (insert && !rows) {
            const int right = doc.code(o, cell(from + 1, other));
            const bool fed = from == 0 || drawn(doc.code(o, cell(from - 1, other)));
            if (fed && right >= SegWire && right <= 15)
                code = SegWire;
        }
        // A deleted column leaves a rung that reached the rail still reaching it.
        if (!insert && !rows && drawn(lastBefore) && drawn(doc.code(o, cell(kColumns - 2, other))))
            code = SegWire;
        doc.setCode(o, cell(fresh, other), code);
        doc.setInput(o, cell(fresh, other), 0);
    }
}

} // namespace tqdt::cnd
