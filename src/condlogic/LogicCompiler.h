#pragma once

#include "condlogic/CndDocument.h"
#include "condlogic/LogicMap.h"

#include <QtGlobal>

#include <array>
#include <functional>
#include <vector>

namespace tqdt::cnd {

using ControlArrayT = std::array<quint16, kPatterns>;
// Called 256 times per compile: 32 steps per output, one per 2048 patterns.
using CompileStep = std::function<void()>;
constexpr int kCompileSteps = 256;

// The brute force: for every output and every pattern, build the memory map and flood it. Slow
// (seconds per document); kept as the reference the fast compile is checked against.
void CompileLiteral(const CndDocument& doc, ControlArrayT& out, LogicMap& map, const CompileStep& step = {});

// One output's diagram reduced to what a pattern can change: the conductor points that are always
// joined become one node, and each contact whose left side touches a conductor becomes an edge
// between two nodes that conducts while its input is on (open) or off (closed).
struct ContactNet {
    struct Edge {
        int a = 0, b = 0;
        int input = 0;
        bool closed = false;
    };
    int nodes = 0;
    int source = 0; // the left rail
    int sink = 0;   // the right rail, whose top point is the output
    std::vector<Edge> edges;
    // The node of each cell's junction, -1 for an empty cell. A cell's up and down points and, while
    // it conducts, its left point touch the junction, so they carry its energy.
    std::array<int, kCells> junction{};
};
ContactNet reduceDiagram(const CndDocument& doc, int output);

// Floods a net for up to 64 patterns at once: lit[e] has bit k set when edge e conducts in pattern
// k. energy[n] comes back with bit k set when node n is joined to the source in pattern k.
void FloodNet(const ContactNet& net, const quint64* lit, std::vector<quint64>& energy);

// A net's function over the inputs its contacts read: inputs has bit n set for each input n the net
// reads, var[n] is input n's place among them (-1 for the others), and bit q of bits (64 per word)
// tells whether compressed pattern q energises the output, compressed bit i being the i-th input
// read, lowest first.
struct NetTable {
    quint32 inputs = 0;
    int vars = 0;
    std::array<int, kInputs> var{};
    std::vector<quint64> bits;

    bool on(unsigned q) const { return (bits[q >> 6] >> (q & 63)) & 1; }
    // The compressed pattern of a full 16-bit one.
    unsigned compress(quint16 mask) const;
};
NetTable TabulateNet(const ContactNet& net);

// What the flood reaches for one output and one pattern: each cell's points that conduct and the ones
// that are energised, and whether the right rail (the output) is. Worked out on the same reduced net
// the compile evaluates, so the picture of the energy and the compiled array cannot disagree.
struct EnergisedCells {
    std::array<CellPoints, kCells> conductor{};
    std::array<CellPoints, kCells> energised{};
    bool output = false;
};
EnergisedCells EnergisedPath(const CndDocument& doc, const ContactNet& net, int output, quint16 mask);
EnergisedCells EnergisedPath(const CndDocument& doc, int output, quint16 mask);

// The same array as CompileLiteral. Each output's net is evaluated only over the inputs its
// contacts read, 64 patterns at a time (one bit per pattern), and the result spread over all
// 65,536 patterns.
void CompileFast(const CndDocument& doc, ControlArrayT& out, const CompileStep& step = {});

} // namespace tqdt::cnd
