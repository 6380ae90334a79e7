// The survey record's reader: any bytes are refused with a reason or taken, and a record taken writes
// back to JSON that reads to the same record again.
#include "network/SurveyRecord.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    tqdt::net::SurveyRecord r;
    r.site = QStringLiteral("untouched");
    QString why;
    if (!tqdt::net::ParseSurveyJson(bytes, r, why)) {
        if (why.isEmpty() || r.site != QStringLiteral("untouched"))
            std::abort();
        return 0;
    }
    const QByteArray once = tqdt::net::SurveyJson(r);
    tqdt::net::SurveyRecord again;
    if (!tqdt::net::ParseSurveyJson(once, again, why) || tqdt::net::SurveyJson(again) != once)
        std::abort();
    if (!tqdt::net::DiffSurveys(r, again).isEmpty())
        std::abort();
    return 0;
}
