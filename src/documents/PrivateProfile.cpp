#include "documents/PrivateProfile.h"

#include "documents/SafeFile.h"

#include <QFile>

#include <optional>

namespace tqdt {

namespace {

struct Line {
    qsizetype start; // offset of the line's first byte
    qsizetype end;   // offset just past its text (before CR LF / LF)
};

QList<Line> splitLines(const QByteArray& data)
{
    QList<Line> lines;
    qsizetype pos = 0;
    while (pos < data.size()) {
        qsizetype nl = data.indexOf('\n', pos);
        qsizetype next = nl < 0 ? data.size() : nl + 1;
        qsizetype end = nl < 0 ? data.size() : nl;
        if (end > pos && data[end - 1] == '\r')
            --end;
        lines.append({pos, end});
        pos = next;
    }
    return lines;
}

// "[Name]" -> "Name", otherwise nothing.
std::optional<QByteArray> sectionName(const QByteArray& text)
{
    const QByteArray t = text.trimmed();
    if (t.startsWith('[')) {
        const qsizetype close = t.indexOf(']');
        if (close > 0)
            return t.mid(1, close - 1).trimmed();
    }
    return std::nullopt;
}

struct KeyHit {
    qsizetype valueStart, valueEnd; // the value's bytes within the file
    qsizetype lineStart, lineEnd;
};

struct Lookup {
    bool sectionFound = false;
    qsizetype sectionEnd = -1; // offset just past the last non-blank line of the section
    std::optional<KeyHit> key;
};

Lookup find(const QByteArray& data, const QByteArray& section, const QByteArray& key)
{
    Lookup r;
    bool inSection = false;
    for (const Line& l : splitLines(data)) {
        const QByteArray text = data.mid(l.start, l.end - l.start);
        if (auto name = sectionName(text)) {
            if (inSection)
                break;
            inSection = name->compare(section, Qt::CaseInsensitive) == 0;
            if (inSection) {
                r.sectionFound = true;
                r.sectionEnd = l.end;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!text.trimmed().isEmpty())
            r.sectionEnd = l.end;
        const qsizetype eq = text.indexOf('=');
        if (eq < 0 || r.key)
            continue;
        if (text.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0)
            continue;
        qsizetype vs = l.start + eq + 1;
        qsizetype ve = l.end;
        while (vs < ve && (data[vs] == ' ' || data[vs] == '\t'))
            ++vs;
        while (ve > vs && (data[ve - 1] == ' ' || data[ve - 1] == '\t'))
            --ve;
        r.key = KeyHit{vs, ve, l.start, l.end};
    }
    return r;
}

QByteArray readAll(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QByteArray lineEnding(const QByteArray& data)
{
    const qsizetype nl = data.indexOf('\n');
    if (nl > 0 && data[nl - 1] == '\r')
        return "\r\n";
    if (nl >= 0)
        return "\n";
#ifdef Q_OS_WIN
    return "\r\n";
#else
    return "\n";
#endif
}

} // namespace

QString GetPrivateProfileStringA(const QString& section, const QString& key, const QString& def,
                                 const QString& file)
{
    const QByteArray data = readAll(file);
    const Lookup r = find(data, section.toLocal8Bit(), key.toLocal8Bit());
    if (!r.key)
        return def;
    QByteArray v = data.mid(r.key->valueStart, r.key->valueEnd - r.key->valueStart);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return QString::fromLocal8Bit(v);
}

int GetPrivateProfileIntA(const QString& section, const QString& key, int def, const QString& file)
{
    const QByteArray data = readAll(file);
    const Lookup r = find(data, section.toLocal8Bit(), key.toLocal8Bit());
    if (!r.key)
        return def;
    const QByteArray v = data.mid(r.key->valueStart, r.key->valueEnd - r.key->valueStart);
    qsizetype i = 0;
    bool negative = false;
    if (i < v.size() && (v[i] == '-' || v[i] == '+')) {
        negative = v[i] == '-';
        ++i;
    }
    qint64 n = 0;
    for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i) {
        n = n * 10 + (v[i] - '0');
        if (n > INT_MAX)
            n = INT_MAX; // an absurd value saturates instead of overflowing
    }
    return int(negative ? -n : n);
}

bool WritePrivateProfileStringA(const QString& section, const QString& key, const QString& value,
                                const QString& file)
{
    QByteArray data = readAll(file);
    const QByteArray sec = section.toLocal8Bit();
    const QByteArray k = key.toLocal8Bit();
    const QByteArray v = value.toLocal8Bit();
    const QByteArray eol = lineEnding(data);
    const Lookup r = find(data, sec, k);
    if (r.key) {
        data.replace(r.key->valueStart, r.key->valueEnd - r.key->valueStart, v);
    } else if (r.sectionFound) {
        data.insert(r.sectionEnd, eol + k + '=' + v);
        if (r.sectionEnd == data.size() - (eol.size() + k.size() + 1 + v.size()))
            data.append(eol); // the section was the file's last text: end the new line too
    } else {
        if (!data.isEmpty() && !data.endsWith('\n'))
            data.append(eol);
        data.append('[' + sec + ']' + eol + k + '=' + v + eol);
    }
    return SaveFileAtomically(file, data).isEmpty();
}

} // namespace tqdt
