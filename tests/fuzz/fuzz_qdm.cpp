// Any bytes offered as a DMX map file: a file is taken whole or not at all, and what is taken can be
// shown, listed and written back byte for byte.
#include "Reached.h"
#include "dmx/DmxMap.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tqdt::dmx;
    static tqdt::fuzz::Reached<2> reached("fuzz_qdm", {"of the file's size", "read whole"});
    reached.input();
    if (size == size_t(kQdmSize))
        reached.stage(0);
    const QByteArray raw(reinterpret_cast<const char*>(data), qsizetype(size));
    DmxMap map;
    map.channel(0) = 7;
    const DmxMap before = map;
    if (!QdmParse(raw, map).isEmpty()) {
        if (map.cells != before.cells)
            std::abort(); // a refused file leaves the map as it was
        return 0;
    }
    if (raw.size() != kQdmSize || QdmBytes(map) != raw)
        std::abort();
    reached.stage(1);
    for (int i = 0; i < kChannels; ++i)
        (void)map.channelText(i);
    (void)PatchCsv(map);
    (void)DmxChecksum(map);
    return 0;
}
