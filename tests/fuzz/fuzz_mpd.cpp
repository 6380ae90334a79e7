// Any file offered as an MP device data file, read from disk as the editor reads it.
#include "Reached.h"
#include "condlogic/MpdFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static tqdt::fuzz::Reached<1> reached("fuzz_mpd", {"read whole"});
    reached.input();
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("FUZZ.MPD"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    tqdt::cnd::ProfileTable profiles{};
    profiles.fill(0x5A);
    const bool read = tqdt::cnd::MpdRead(path, profiles).ok();
    if (read != (size == size_t(tqdt::cnd::kMpdSize)))
        std::abort();
    if (!read && profiles[0] != 0x5A)
        std::abort(); // a refused file leaves the table as it was
    if (read) {
        reached.stage(0);
        (void)tqdt::cnd::ProfileControlArray(profiles);
        (void)tqdt::cnd::ProfilesCsv(profiles);
    }
    return 0;
}
