// Any file offered as a conditional data file: refused with a reason, or read into a document that
// writes back the same bytes.
#include "condlogic/CdfFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    auto doc = std::make_unique<tqdt::cnd::CndDocument>();
    const auto before = tqdt::cnd::CdfBytes(*doc);
    if (!tqdt::cnd::CdfParse(bytes, *doc).isEmpty()) {
        if (tqdt::cnd::CdfBytes(*doc) != before)
            std::abort(); // a refused file must leave the document as it was
        return 0;
    }
    if (tqdt::cnd::CdfBytes(*doc) != bytes)
        std::abort();
    return 0;
}
