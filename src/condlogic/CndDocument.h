#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

namespace tqdt::cnd {

constexpr int kOutputs = 8;
constexpr int kCells = 256; // 16 columns x 16 rows
constexpr int kColumns = 16;
constexpr int kInputs = 16; // 0..7 Input 1..8, 8..15 Pilot 1..8
constexpr int kNoteBytes = 4096;
constexpr int kNoteChars = 4000;
constexpr int kPatterns = 65536;

// Segment codes: bit 0 joins the junction to the cell above, bit 1 to the cell below; codes 4..7
// bring a plain wire in from the left; bit 3 makes the left connection a contact, normally closed
// when bit 2 is also set.
enum SegCode : qint16 {
    SegEmpty = 0,
    SegUp = 1,
    SegDown = 2,
    SegUpDown = 3,
    SegWire = 4,
    SegWireUp = 5,
    SegWireDown = 6,
    SegWireUpDown = 7,
    SegOpen = 8,
    SegOpenUp = 9,
    SegOpenDown = 10,
    SegOpenUpDown = 11,
    SegClosed = 12,
    SegClosedUp = 13,
    SegClosedDown = 14,
    SegClosedUpDown = 15,
};

constexpr bool isContact(int code) { return code >= 8 && code <= 15; }
constexpr bool isClosedContact(int code) { return code >= 12 && code <= 15; }

// A cell that no diagram drawn here can hold, as an upload may bring back from a module: a code or
// an input outside 0..15. Such a cell is drawn marked as foreign and evaluates as the build reads
// it: a code outside 0..15 joins nothing, and a contact on an input that does not exist sees that
// input off, so a normally closed one always conducts. No file is written while one remains.
constexpr bool isForeignCell(int code, int input)
{
    return code < 0 || code > 15 || input < 0 || input >= kInputs;
}

// Element (output o, cell c) of the cell arrays; the outputs of one cell lie side by side, the order
// the file and the module's copy rely on.
constexpr int segIndex(int output, int cell) { return cell * kOutputs + output; }

// The conditional input module's document and its compiled control array. One per program run,
// kept by the Host so that it survives the editor window.
struct CndDocument {
    using CellArray = std::array<qint16, kOutputs * kCells>;
    CellArray SegType{};
    CellArray SegInput{};
    std::array<quint8, kNoteBytes> NoteBytes{};
    // One output byte per input pattern; 16-bit because the profile editor fills it with profile numbers.
    std::array<quint16, kPatterns> ControlArray{};

    qint16 code(int output, int cell) const { return SegType[size_t(segIndex(output, cell))]; }
    qint16 input(int output, int cell) const { return SegInput[size_t(segIndex(output, cell))]; }
    void setCode(int output, int cell, int v) { SegType[size_t(segIndex(output, cell))] = qint16(v); }
    void setInput(int output, int cell, int v) { SegInput[size_t(segIndex(output, cell))] = qint16(v); }

    // Places a palette picture in a cell. A foreign input becomes Input 1 at the same time, so that
    // drawing over a foreign cell mends it.
    void placeCode(int output, int cell, int v)
    {
        setCode(output, cell, v);
        if (isForeignCell(v, input(output, cell)))
            setInput(output, cell, 0);
    }

    // Every cell empty, every note byte zero (the compiled array is left alone).
    void clear();
    // Output o follows Input o + 1: a normally open contact in cell 0, wires to the right rail.
    void factoryDefault();
};

// "I 1".."I 8" for inputs 0..7, "P 1".."P 8" for the pilots 8..15, "? n" for an input that does not
// exist.
QString inputLabel(int input);

} // namespace tqdt::cnd
