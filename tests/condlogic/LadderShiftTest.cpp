#include "condlogic/LadderShift.h"
#include "condlogic/LogicExpression.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

using namespace tqdt::cnd;

namespace {

// Output 0: row 0 is I1 with a link down at column 1 and a wire on to the rail; row 1 is I2 joining
// it from below. Its expression is "I1 + I2".
std::unique_ptr<CndDocument> twoRungs()
{
    auto doc = std::make_unique<CndDocument>();
    doc->setCode(0, 0, SegOpen);
    doc->setCode(0, 1, SegWireDown);
    for (int c = 2; c < 16; ++c)
        doc->setCode(0, c, SegWire);
    doc->setCode(0, 16, SegOpen);
    doc->setInput(0, 16, 1);
    doc->setCode(0, 17, SegWireUp);
    return doc;
}

QString expression(const CndDocument& doc) { return ExpressionText(OutputProducts(doc, 0)); }

} // namespace

// Each shift keeps the logic the drawing had: what ran across the new line is carried over it.
TEST(LadderShift, InsertsAndDeletesKeepLinksAndRungsThatCrossTheLine)
{
    auto doc = twoRungs();
    ASSERT_EQ(expression(*doc), "I1 + I2");
    ShiftLadder(*doc, 0, 16, LadderLine::Row, true);
    EXPECT_EQ(doc->code(0, 17), SegUpDown);
    EXPECT_EQ(doc->code(0, 33), SegWireUp);
    EXPECT_EQ(expression(*doc), "I1 + I2");
    ShiftLadder(*doc, 0, 3, LadderLine::Column, true);
    EXPECT_EQ(doc->code(0, 3), SegWire);
    EXPECT_EQ(expression(*doc), "I1 + I2");
    // Taking the column out again keeps the rung on the right rail.
    ShiftLadder(*doc, 0, 3, LadderLine::Column, false);
    EXPECT_EQ(doc->code(0, 15), SegWire);
    EXPECT_EQ(expression(*doc), "I1 + I2");
    ShiftLadder(*doc, 0, 3, LadderLine::Row, false); // row 0 goes: the rung of I1
    EXPECT_EQ(doc->code(0, 0), SegEmpty);
}

TEST(LadderShift, AnInsertIsRefusedOnlyWhenTheLastLineWouldLoseSomething)
{
    struct Case {
        const char* what;
        int cell, code;
        LadderLine line;
        const char* refusal;
    } cases[] = {
        {"empty ladder, row", -1, SegEmpty, LadderLine::Row, ""},
        {"empty ladder, column", -1, SegEmpty, LadderLine::Column, ""},
        {"wire in the last row", 240, SegWire, LadderLine::Row, "Row 16 Is Not Empty"},
        {"wire in the last column", 15, SegWire, LadderLine::Column, ""},
        {"contact in the last column", 31, SegOpen, LadderLine::Column, "Column 16 Is Not Empty"},
        {"link in the last column", 15, SegWireDown, LadderLine::Column, "Column 16 Is Not Empty"},
        {"contact in the last row of another output", -2, SegOpen, LadderLine::Row, ""},
    };
    for (const Case& c : cases) {
        auto doc = std::make_unique<CndDocument>();
        if (c.cell >= 0)
            doc->setCode(0, c.cell, c.code);
        if (c.cell == -2)
            doc->setCode(1, 250, c.code);
        EXPECT_EQ(InsertRefusal(*doc, 0, c.line), QString::fromLatin1(c.refusal)) << c.what;
    }
}

// The other outputs are not touched, and a delete empties the line it frees.
TEST(LadderShift, OnlyTheOutputShiftedChangesAndTheFreedLineIsEmpty)
{
    auto doc = twoRungs();
    for (int c = 0; c < kCells; ++c)
        doc->setCode(3, c, SegWire);
    std::array<int, kCells> output3{};
    for (int c = 0; c < kCells; ++c)
        output3[size_t(c)] = doc->code(3, c);
    ShiftLadder(*doc, 0, 0, LadderLine::Row, false);
    for (int c = 0; c < kCells; ++c)
        ASSERT_EQ(doc->code(3, c), output3[size_t(c)]) << c;
    for (int c = 240; c < 256; ++c) {
        EXPECT_EQ(doc->code(0, c), SegEmpty) << c;
        EXPECT_EQ(doc->input(0, c), 0) << c;
    }
}
