// Any bytes offered as a gateway map file: as they come, and laid over a file of the right size so
// that the cells (and the values a bank-0 cell cannot hold) are reached too.
#include "Reached.h"
#include "gateway/GatewayCsv.h"
#include "gateway/GatewayImage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tqdt::gw;
    static tqdt::fuzz::Reached<1> reached("fuzz_mgw", {"read whole as they came"});
    reached.input();
    const QByteArray raw(reinterpret_cast<const char*>(data), qsizetype(size));
    static GatewayImage image;
    image.WriteImageByte(0, 0, 0x5A);
    if (MgwParse(raw, image).isEmpty() != (raw.size() == kMgwSize))
        std::abort();
    if (raw.size() != kMgwSize && image.ReadImageByte(0, 0) != 0x5A)
        std::abort(); // a refused file leaves the image as it was
    if (raw.size() == kMgwSize)
        reached.stage(0);

    QByteArray whole(kMgwSize, '\0');
    whole.replace(0, qMin(raw.size(), whole.size()), raw.left(whole.size()));
    if (!MgwParse(whole, image).isEmpty())
        std::abort();
    if (MgwBytes(image) != whole)
        std::abort(); // what was read is written back byte for byte
    (void)GatewayCsv(image, QStringLiteral("FUZZ.MGW"), 750);
    return 0;
}
