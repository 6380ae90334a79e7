// Any diagram: the fast compile must give what the literal flood gives, pattern for pattern. The
// flood is slow, so it checks a handful of patterns chosen by the input as well.
#include "condlogic/LogicCompiler.h"
#include "condlogic/LogicMap.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tqdt::cnd;
    if (size < 2)
        return 0;
    auto doc = std::make_unique<CndDocument>();
    // One output's diagram from the input: a code and an input per cell, 0..15 each.
    const int output = data[0] % kOutputs;
    size_t at = 1;
    for (int c = 0; c < kCells && at < size; ++c, ++at) {
        doc->setCode(output, c, qint16(data[at] & 0x0F));
        doc->setInput(output, c, qint16(data[at] >> 4));
    }
    auto compiled = std::make_unique<ControlArrayT>();
    CompileFast(*doc, *compiled);
    auto map = std::make_unique<LogicMap>();
    const quint16 samples[] = {
        0x0000, 0xFFFF, 0x5555, 0xAAAA, quint16(data[0] * 257u), quint16(size * 40503u)};
    for (quint16 p : samples)
        if (evaluateLiteral(*map, *doc, output, p) != bool(((*compiled)[p] >> output) & 1))
            std::abort();
    return 0;
}
