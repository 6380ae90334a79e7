#pragma once

#include "condlogic/CndDocument.h"

#include <QtGlobal>

#include <array>
#include <functional>
#include <vector>

namespace tqdt::cnd {

class LogicMap;

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
};
ContactNet reduceDiagram(const CndDocument& doc, int output);

// The same array as CompileLiteral. Each output's net is evaluated only over the inputs its
// contacts read, 64 patterns at a time (one bit per pattern), and the result spread over all
// 65,536 patterns.
void CompileFast(const CndDocument& doc, ControlArrayT& out, const CompileStep& step = {});

} // namespace tqdt::cnd
