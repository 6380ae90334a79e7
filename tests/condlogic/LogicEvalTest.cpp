#include "condlogic/LogicCompiler.h"
#include "condlogic/LogicMap.h"
#include "support/DiagramGen.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace tqdt::cnd;

namespace {

// A few thousand patterns spread over the whole range, both ends included.
std::vector<quint16> samplePatterns(int step = 37)
{
    std::vector<quint16> ps;
    for (int p = 0; p < kPatterns; p += step)
        ps.push_back(quint16(p));
    ps.push_back(0xFFFF);
    return ps;
}

bool bit(int p, int n) { return (p >> n) & 1; }

// Output 0 only; a row of cells given as codes from column 0, inputs all k.
void rung(CndDocument& doc, int row, std::initializer_list<int> codes, int input = 0)
{
    int col = 0;
    for (int code : codes) {
        doc.setCode(0, row * kColumns + col, code);
        doc.setInput(0, row * kColumns + col, input);
        ++col;
    }
}
void wiresFrom(CndDocument& doc, int row, int col)
{
    for (int c = col; c < kColumns; ++c)
        doc.setCode(0, row * kColumns + c, SegWire);
}

struct EvalCase {
    const char* name;
    std::function<void(CndDocument&)> draw;
    std::function<bool(int)> expect; // output 0 for pattern p
};

const std::vector<EvalCase>& evalCases()
{
    static const std::vector<EvalCase> cases = {
        {"empty diagram is off", [](CndDocument&) {}, [](int) { return false; }},
        {"open contact on input 5 follows it",
         [](CndDocument& d) {
             rung(d, 0, {SegOpen}, 5);
             wiresFrom(d, 0, 1);
         },
         [](int p) { return bit(p, 5); }},
        {"closed contact on input 5 inverts it",
         [](CndDocument& d) {
             rung(d, 3, {SegClosed}, 5);
             wiresFrom(d, 3, 1);
         },
         [](int p) { return !bit(p, 5); }},
        {"closed contact on Pilot 8 is on below 32768",
         [](CndDocument& d) {
             rung(d, 0, {SegClosed}, 15);
             wiresFrom(d, 0, 1);
         },
         [](int p) { return p < 32768; }},
        {"contacts in series are an AND",
         [](CndDocument& d) {
             rung(d, 0, {SegOpen}, 1);
             d.setCode(0, 1, SegOpen);
             d.setInput(0, 1, 9);
             wiresFrom(d, 0, 2);
         },
         [](int p) { return bit(p, 1) && bit(p, 9); }},
        {"rung with a gap is off",
         [](CndDocument& d) {
             rung(d, 0, {SegWire, SegWire, SegEmpty});
             wiresFrom(d, 0, 3);
         },
         [](int) { return false; }},
        {"parallel branch joined by a full vertical link is an OR",
         [](CndDocument& d) {
             // Row 0: contact on 2, then a down link at column 1; row 1: contact on 3, up link.
             rung(d, 0, {SegOpen, SegWireDown}, 2);
             wiresFrom(d, 0, 2);
             rung(d, 1, {SegOpen, SegWireUp}, 3);
         },
         [](int p) { return bit(p, 2) || bit(p, 3); }},
        {"down link without the up half below does not connect",
         [](CndDocument& d) {
             rung(d, 0, {SegOpen, SegWireDown}, 2);
             wiresFrom(d, 0, 2);
             rung(d, 1, {SegOpen, SegWire}, 3);
         },
         [](int p) { return bit(p, 2); }},
        {"up link without the down half above does not connect",
         [](CndDocument& d) {
             rung(d, 0, {SegOpen, SegWire}, 2);
             wiresFrom(d, 0, 2);
             rung(d, 1, {SegOpen, SegWireUp}, 3);
         },
         [](int p) { return bit(p, 2); }},
        {"codes 1 to 3 take no energy from the left",
         [](CndDocument& d) {
             rung(d, 0, {SegWire, SegUpDown});
             wiresFrom(d, 0, 2);
             rung(d, 1, {SegWire, SegUp});
             wiresFrom(d, 1, 2);
             rung(d, 2, {SegWire, SegDown});
             wiresFrom(d, 2, 2);
         },
         [](int) { return false; }},
        {"code 3 passes energy from below to the right",
         [](CndDocument& d) {
             // Row 1 carries energy to column 4 and up through a code 3 into row 0.
             rung(d, 1, {SegOpen, SegWire, SegWire, SegWire, SegWireUp}, 6);
             d.setCode(0, 4, SegUpDown);
             wiresFrom(d, 0, 5);
         },
         [](int p) { return bit(p, 6); }},
        {"column 15 junction alone joins the right rail without any left path",
         [](CndDocument& d) { d.setCode(0, 15, SegUp); }, [](int) { return false; }},
    };
    return cases;
}

} // namespace

TEST(LogicEvaluation, LiteralFloodAndFastCompileAgreeWithTheExpectedFunction)
{
    auto doc = std::make_unique<CndDocument>();
    auto fast = std::make_unique<ControlArrayT>();
    LogicMap map;
    for (const EvalCase& c : evalCases()) {
        SCOPED_TRACE(c.name);
        *doc = CndDocument{};
        c.draw(*doc);
        CompileFast(*doc, *fast);
        int literalFaults = 0, fastFaults = 0;
        for (quint16 p : samplePatterns(13)) {
            literalFaults += evaluateLiteral(map, *doc, 0, p) != c.expect(p);
            fastFaults += bool((*fast)[p] & 1) != c.expect(p);
        }
        EXPECT_EQ(literalFaults, 0);
        EXPECT_EQ(fastFaults, 0);
    }
}

TEST(LogicEvaluation, EnergyFlowsBackThroughTheRightRailIntoOtherRows)
{
    // Row 0 reaches the rail through a contact on input 0. Row 9 has no path from the left rail:
    // its columns 12..15 are wires that touch only the right rail, and column 12 links down into
    // row 10's column 12 cell.
    auto doc = std::make_unique<CndDocument>();
    rung(*doc, 0, {SegOpen}, 0);
    wiresFrom(*doc, 0, 1);
    for (int c = 12; c < kColumns; ++c)
        doc->setCode(0, 9 * kColumns + c, c == 12 ? SegWireDown : SegWire);
    doc->setCode(0, 10 * kColumns + 12, SegUp);
    const int x = 2 * 12 + 3; // junction column of cell column 12
    const int yRow9 = 3 * 9 + 2, yRow10 = 3 * 10 + 2;
    LogicMap map;
    for (quint16 p : {quint16(0), quint16(1)}) {
        SCOPED_TRACE(p);
        EXPECT_EQ(evaluateLiteral(map, *doc, 0, p), p == 1);
        const int want = p == 1 ? PixEnergised : PixConductor;
        EXPECT_EQ(map.LogicPixGet(x, yRow9), want);
        EXPECT_EQ(map.LogicPixGet(x, yRow10), want);
        EXPECT_EQ(map.LogicPixGet(kRightRailX, 48), want);
    }
}

TEST(LogicEvaluation, PictureFormGivesTheSameMapInColours)
{
    auto doc = std::make_unique<CndDocument>(RandomDocument(7));
    LogicMap map;
    for (int o : {0, 3, 7}) {
        for (quint16 p : {quint16(0), quint16(0x5A5A), quint16(0xFFFF), quint16(0x0F0F)}) {
            map.LogicLoadMem(*doc, o, p);
            map.LogicTestMem();
            const auto mem = map.mem;
            map.usePicture = true;
            // Stale drawing in the picture must not survive the build.
            map.picTest.pixels.fill(kPureRed);
            map.LogicLoad(*doc, o, p);
            map.LogicTest();
            // Every point inside the border is drawn by the build.
            for (int y = 1; y < kMapHeight - 1; ++y)
                for (int x = 1; x < kMapWidth - 1; ++x) {
                    const int state = mem[size_t(y * kMapWidth + x)];
                    const quint32 want = state == 2 ? kPureRed : state == 1 ? kBlack : kWhite;
                    ASSERT_EQ(map.picTest.GetPixel(x, y), want) << o << " " << p << " " << x << "," << y;
                }
            EXPECT_EQ(map.outputOn(), mem[size_t(kRightRailX + kMapWidth)] == 2);
            map.usePicture = false;
        }
    }
}

TEST(LogicEvaluation, PictureReadsForeignColoursAsNoConductor)
{
    LogicMap map;
    map.usePicture = true;
    map.picTest.SetPixelV(5, 5, 0x00FF00);
    map.picTest.SetPixelV(6, 5, 0xFE0000);
    map.picTest.SetPixelV(7, 5, kBlack);
    EXPECT_EQ(map.LogicPixGet(5, 5), 0);
    EXPECT_EQ(map.LogicPixGet(6, 5), 0);
    EXPECT_FALSE(map.TPix(5, 5));
    EXPECT_TRUE(map.TPix(7, 5));
    EXPECT_EQ(map.picTest.GetPixel(7, 5), kPureRed);
    // Off the picture: nothing there, nothing written.
    EXPECT_EQ(map.LogicPixGet(-1, 0), 0);
    EXPECT_EQ(map.LogicPixGet(36, 0), 0);
    map.LogicPixSet(40, 60, 1);
}

TEST(LogicEvaluation, ConductorListHoldsOnlySetPointsAndEndsWithZero)
{
    auto doc = std::make_unique<CndDocument>();
    doc->factoryDefault();
    LogicMap map;
    map.LogicLoadMem(*doc, 2, 0);
    // 96 rail points, cell 0's junction (its contact is open), 15 wires with left point and junction.
    EXPECT_EQ(map.PixCount, 96 + 1 + 15 * 2);
    EXPECT_EQ(map.PixList[size_t(map.PixCount)].x, 0);
    map.LogicLoadMem(*doc, 2, 1 << 2);
    EXPECT_EQ(map.PixCount, 96 + 2 + 15 * 2);
}

TEST(LogicEvaluation, DamagedCellValuesStayInsideThePattern)
{
    // An upload can bring back any byte; such cells must neither crash nor read a foreign bit.
    struct Case {
        int code, input;
        bool junction, left;
    } cases[] = {
        {16, 0, false, false}, {-1, 0, false, false}, {255, 3, false, false},
        {8, 16, true, false},  {12, 16, true, true},  {8, -1, true, false},
    };
    for (const Case& c : cases) {
        const CellPoints p = cellPoints(c.code, c.input, 0xFFFF);
        EXPECT_EQ(p.junction, c.junction) << c.code << " " << c.input;
        EXPECT_EQ(p.left, c.left) << c.code << " " << c.input;
    }
}

TEST(InputLabels, InputsAndPilots)
{
    EXPECT_EQ(inputLabel(0), "I 1");
    EXPECT_EQ(inputLabel(7), "I 8");
    EXPECT_EQ(inputLabel(8), "P 1");
    EXPECT_EQ(inputLabel(15), "P 8");
}
