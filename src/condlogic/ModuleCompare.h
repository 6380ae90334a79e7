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

// Reads the module's control array with the upload's read frames, 256 blocks of 256 bytes from
// 0x0000 to 0xFF00 at the programming speed, showing each block on the counter. A read that gets no
// full reply ends it: the result is then Failed and failedBlock says which one. The port is left
// closed at the bus speed, as after every transfer.
struct ArrayRead {
    TransferResult result = TransferResult::Failed;
    QByteArray bytes;
    int failedBlock = -1;
};
constexpr int kArrayReadBlocks = 256;
ArrayRead ReadControlArray(ModuleTransfer& transfer, Host& host);

} // namespace tqdt::cnd
