// Any settings file found on disk, and any section, key and value the tool may write into it: the
// value written is the value read back, a write touches one line of the file and no other key's
// value, and writing the same value again changes nothing.
#include "Reached.h"
#include "documents/PrivateProfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace tqdt;

void require(bool ok)
{
    if (!ok)
        std::abort();
}

// The next NUL-ended field of the input, kept to what the tool's own section and key names look like:
// printable, no brackets or "=", no blanks at either end.
QString field(const uint8_t*& data, const uint8_t* end, bool isValue)
{
    QByteArray text;
    for (; data < end && *data != 0; ++data) {
        const char c = char(*data);
        if (*data < 0x20 || *data >= 0x7F)
            continue;
        if (isValue ? (c == '"' || c == '\'') : (c == '[' || c == ']' || c == '='))
            continue;
        text += c;
    }
    if (data < end)
        ++data;
    return QString::fromLatin1(text.trimmed());
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QString kMissing = QStringLiteral("\x01missing");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::Reached<2> reached("fuzz_profile",
                                    {"with the other key found", "with the key rewritten in place"});
    reached.input();
    // "section\0key\0other section\0other key\0value\0" and the file.
    const uint8_t* at = data;
    const uint8_t* end = data + size;
    const QString section = field(at, end, false), key = field(at, end, false);
    const QString section2 = field(at, end, false), key2 = field(at, end, false);
    const QString value = field(at, end, true);
    if (section.isEmpty() || key.isEmpty() || section2.isEmpty() || key2.isEmpty())
        return 0;
    const QByteArray file(reinterpret_cast<const char*>(at), qsizetype(end - at));

    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("DiagnosticTool.ini"));
    {
        QFile f(path);
        require(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(file);
    }
    const bool sameKey =
        section.compare(section2, Qt::CaseInsensitive) == 0 && key.compare(key2, Qt::CaseInsensitive) == 0;
    const QString other = GetPrivateProfileStringA(section2, key2, kMissing, path);
    const bool existed = GetPrivateProfileStringA(section, key, kMissing, path) != kMissing;
    (void)GetPrivateProfileIntA(section, key, -1, path);

    require(WritePrivateProfileStringA(section, key, value, path));
    const QByteArray written = contents(path);
    require(GetPrivateProfileStringA(section, key, kMissing, path) == value);
    if (!sameKey)
        require(GetPrivateProfileStringA(section2, key2, kMissing, path) == other);
    bool digits = !value.isEmpty() && value.size() <= 9;
    for (QChar c : value)
        digits &= c.isDigit();
    if (digits)
        require(GetPrivateProfileIntA(section, key, -1, path) == value.toInt());

    // What changed of the old file lies within one line: the key's, or the place the key went.
    qsizetype same = 0;
    while (same < file.size() && same < written.size() && file[same] == written[same])
        ++same;
    qsizetype tail = 0;
    while (tail < file.size() - same && tail < written.size() - same &&
           file[file.size() - 1 - tail] == written[written.size() - 1 - tail])
        ++tail;
    require(!file.mid(same, file.size() - same - tail).contains('\n'));

    require(WritePrivateProfileStringA(section, key, value, path));
    require(contents(path) == written);

    if (other != kMissing)
        reached.stage(0);
    if (existed)
        reached.stage(1);
    return 0;
}
