#include "support/DiagramGen.h"

#include <random>

namespace tqdt::cnd {

namespace {
// std::mt19937's raw output is the same everywhere; the library distributions are not.
struct Rng {
    explicit Rng(quint32 start) : gen(start) {}
    int below(int n) { return int(gen() % quint32(n)); }
    std::mt19937 gen;
};
} // namespace

CndDocument RandomDocument(quint32 start)
{
    Rng rng(start);
    CndDocument doc;
    for (int o = 0; o < kOutputs; ++o) {
        const int rungs = 1 + rng.below(6);
        for (int k = 0; k < rungs; ++k) {
            const int row = rng.below(16);
            const int from = rng.below(3) == 0 ? rng.below(8) : 0;
            const int to = rng.below(4) == 0 ? from + rng.below(16 - from) : 15;
            for (int col = from; col <= to; ++col) {
                const int c = row * kColumns + col;
                int code = rng.below(3) == 0 ? SegWire : (rng.below(3) == 0 ? SegClosed : SegOpen);
                // Branch points: links down to the next row, and up from it.
                if (rng.below(5) == 0)
                    code |= SegDown;
                if (rng.below(5) == 0)
                    code |= SegUp;
                doc.setCode(o, c, code);
                doc.setInput(o, c, rng.below(16));
            }
        }
        const int strays = rng.below(12);
        for (int k = 0; k < strays; ++k) {
            const int c = rng.below(kCells);
            doc.setCode(o, c, rng.below(16));
            doc.setInput(o, c, rng.below(16));
        }
    }
    return doc;
}

CndDocument WorstCaseDocument()
{
    CndDocument doc;
    for (int o = 0; o < kOutputs; ++o) {
        // Eight rungs on the even rows. Three cells in four are contacts, taking the inputs in turn
        // and every fourth of them normally closed; the rest are wires. Links at shifting columns
        // drop from a rung through the row below (a code 3 cell) into the next rung.
        int contact = 0;
        for (int rung = 0; rung < 8; ++rung) {
            const int row = rung * 2;
            for (int col = 0; col < kColumns; ++col) {
                const int c = row * kColumns + col;
                int code = SegWire;
                if ((col + rung) % 4 != 3) {
                    code = contact % 4 == 1 ? SegClosed : SegOpen;
                    doc.setInput(o, c, (contact * 7 + o) % kInputs);
                    ++contact;
                }
                if (rung < 7 && (col + rung + o) % 5 == 2) {
                    code |= SegDown;
                    doc.setCode(o, c + kColumns, SegUpDown);
                }
                if (rung > 0 && doc.code(o, c - kColumns) == SegUpDown)
                    code |= SegUp;
                doc.setCode(o, c, code);
            }
        }
    }
    return doc;
}

} // namespace tqdt::cnd
