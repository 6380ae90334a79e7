#include "condlogic/LogicCompiler.h"
#include "condlogic/LogicMap.h"
#include "support/DiagramGen.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

using namespace tqdt::cnd;

namespace {

// The literal flood takes seconds for a whole document; a few thousand patterns per output,
// spread over the range and including both ends, catch a wrong edge or a wrong input bit.
int literalMismatches(const CndDocument& doc, const ControlArrayT& compiled, int step)
{
    LogicMap map;
    int faults = 0;
    std::vector<int> patterns;
    for (int p = 0; p < kPatterns; p += step)
        patterns.push_back(p);
    patterns.push_back(kPatterns - 1);
    for (int o = 0; o < kOutputs; ++o)
        for (int p : patterns)
            faults += evaluateLiteral(map, doc, o, quint16(p)) != bool((compiled[size_t(p)] >> o) & 1);
    return faults;
}

} // namespace

TEST(LogicCompiler, FactoryDefaultPassesInputsOneToEightThrough)
{
    auto doc = std::make_unique<CndDocument>();
    doc->factoryDefault();
    auto out = std::make_unique<ControlArrayT>();
    int steps = 0;
    CompileFast(*doc, *out, [&] { ++steps; });
    EXPECT_EQ(steps, kCompileSteps);
    for (int p = 0; p < kPatterns; ++p)
        ASSERT_EQ((*out)[size_t(p)], p & 255) << p;
    EXPECT_EQ(literalMismatches(*doc, *out, 23), 0);
}

TEST(LogicCompiler, EmptyDocumentCompilesToZeros)
{
    auto doc = std::make_unique<CndDocument>();
    auto out = std::make_unique<ControlArrayT>();
    out->fill(0xFF); // a compile starts from a cleared array
    CompileFast(*doc, *out);
    EXPECT_TRUE(std::all_of(out->begin(), out->end(), [](quint16 v) { return v == 0; }));
}

TEST(LogicCompiler, FastCompileMatchesTheFloodOnRandomDiagrams)
{
    auto out = std::make_unique<ControlArrayT>();
    for (quint32 start : {1u, 2u, 3u, 42u, 1234u, 99991u}) {
        SCOPED_TRACE(start);
        const auto doc = std::make_unique<CndDocument>(RandomDocument(start));
        CompileFast(*doc, *out);
        EXPECT_EQ(literalMismatches(*doc, *out, 97), 0);
    }
}

TEST(LogicCompiler, FastCompileMatchesTheFloodOnTheWorstCase)
{
    const auto doc = std::make_unique<CndDocument>(WorstCaseDocument());
    // The worst case really is that: 64 contacts or more per output, all 16 inputs, closed
    // contacts and vertical links in every output.
    for (int o = 0; o < kOutputs; ++o) {
        int contacts = 0, closed = 0, links = 0;
        std::set<int> inputs;
        for (int c = 0; c < kCells; ++c) {
            const int code = doc->code(o, c);
            contacts += isContact(code);
            closed += isClosedContact(code);
            links += (code & SegDown) != 0;
            if (isContact(code))
                inputs.insert(doc->input(o, c));
        }
        EXPECT_GE(contacts, 64) << o;
        EXPECT_GT(closed, 0) << o;
        EXPECT_GT(links, 0) << o;
        EXPECT_EQ(inputs.size(), 16u) << o;
        EXPECT_GE(reduceDiagram(*doc, o).edges.size(), 32u) << o;
    }
    auto out = std::make_unique<ControlArrayT>();
    CompileFast(*doc, *out);
    // Neither constant: the diagrams do depend on their inputs.
    EXPECT_NE(std::count(out->begin(), out->end(), 0), kPatterns);
    EXPECT_NE(std::count(out->begin(), out->end(), 255), kPatterns);
    EXPECT_EQ(literalMismatches(*doc, *out, 29), 0);
}

TEST(LogicCompiler, LiteralCompileMatchesOnAFewOutputs)
{
    // The reference compile itself, end to end, on a document small enough to stay quick: only
    // output 0 holds a diagram, so the other outputs test the progress and the clearing.
    auto doc = std::make_unique<CndDocument>();
    doc->setCode(0, 0, SegClosed);
    doc->setInput(0, 0, 15);
    for (int c = 1; c < kColumns; ++c)
        doc->setCode(0, c, SegWire);
    auto out = std::make_unique<ControlArrayT>();
    out->fill(0xAA);
    LogicMap map;
    int steps = 0;
    CompileLiteral(*doc, *out, map, [&] { ++steps; });
    EXPECT_EQ(steps, kCompileSteps);
    for (int p = 0; p < kPatterns; ++p)
        ASSERT_EQ((*out)[size_t(p)], p < 32768 ? 1 : 0) << p;
}

TEST(LogicCompiler, ReducedNetDropsContactsThatJoinNothing)
{
    auto doc = std::make_unique<CndDocument>();
    // A contact after an empty cell touches only its own junction.
    doc->setCode(0, 5, SegOpen);
    EXPECT_TRUE(reduceDiagram(*doc, 0).edges.empty());
    // Row 1 joins the rails for good; row 2's contact then lies between two points of one conductor.
    for (int c = 0; c < kColumns; ++c) {
        doc->setCode(0, 16 + c, SegWire);
        doc->setCode(0, 32 + c, c == 0 ? SegOpen : SegWire);
    }
    const ContactNet net = reduceDiagram(*doc, 0);
    EXPECT_TRUE(net.edges.empty());
    EXPECT_EQ(net.source, net.sink);
}
