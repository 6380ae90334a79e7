// Any file offered as a conditional data file: refused with a reason, or read into a document that
// writes back the same bytes.
#include "Reached.h"
#include "condlogic/CdfFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static tqdt::fuzz::Reached<2> reached("fuzz_cdf", {"of the file's size", "read whole"});
    reached.input();
    if (size == size_t(tqdt::cnd::kCdfSize))
        reached.stage(0);
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    auto doc = std::make_unique<tqdt::cnd::CndDocument>();
    const auto before = tqdt::cnd::CdfBytes(*doc);
    if (!tqdt::cnd::CdfParse(bytes, *doc).isEmpty()) {
        if (tqdt::cnd::CdfBytes(*doc) != before)
            std::abort(); // a refused file must leave the document as it was
        return 0;
    }
    reached.stage(1);
    if (tqdt::cnd::CdfBytes(*doc) != bytes)
        std::abort();
    return 0;
}
