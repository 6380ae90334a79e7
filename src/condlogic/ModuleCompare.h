#pragma once

#include "condlogic/LogicCompiler.h"
#include "condlogic/ModuleTransfer.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <vector>

namespace tqdt::cnd {

// Where a module's control array and a compiled one disagree, for one output.
struct OutputDifference {
    int patterns = 0;           // how many of the 65,536 patterns give another output state
    std::vector<quint16> first; // the lowest of them, ascending
    std::vector<bool> moduleOn; // the module's state for each of those
    bool equal() const { return patterns == 0; }
};
using ArrayComparison = std::array<OutputDifference, kOutputs>;

// Compares the 65,536 bytes read from a module with a compiled array, keeping the first few
// differing patterns of each output.
ArrayComparison CompareControlArrays(const QByteArray& module, const ControlArrayT& compiled, int keep = 3);

// One line per output ("QV Input 3: Equal", or how many patterns differ), each differing pattern
// on a line of its own with the inputs that are on in it.
QString ComparisonText(const ArrayComparison& cmp);

} // namespace tqdt::cnd
