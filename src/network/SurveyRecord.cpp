#include "network/SurveyRecord.h"

#include "documents/SafeFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <tuple>

namespace tqdt::net {

namespace {

// A survey of the largest site is a few hundred kilobytes; anything far beyond is not one.
constexpr qsizetype kMaxSurveyBytes = 16 * 1024 * 1024;

int channelOrder(Channel c) { return c == Channel::Brown ? 0 : 1; }

// ISO 8601 with the offset written out ("+01:00", "+00:00" rather than "Z"), so a reader sees the
// local time the technician saw.
QString isoTime(const QDateTime& t)
{
    if (!t.isValid())
        return {};
    const int offset = t.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return t.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + (offset < 0 ? u'-' : u'+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QJsonValue optionalInt(const std::optional<int>& v)
{
    return v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null);
}

QString hex2(int v) { return QString::fromLatin1(Hex2(qint16(v))); }

QJsonObject deviceJson(const SurveyDevice& d)
{
    QJsonObject o;
    o[QStringLiteral("channel")] = ChannelName(d.channel).toLower();
    o[QStringLiteral("address")] = hex2(d.address);
    o[QStringLiteral("kind")] = d.kind;
    o[QStringLiteral("family")] = d.family ? QJsonValue(*d.family) : QJsonValue(QJsonValue::Null);
    if (!d.candidates.empty()) {
        QJsonObject c;
        for (const auto& [family, text] : d.candidates)
            c[family] = text;
        o[QStringLiteral("candidates")] = c;
    }
    o[QStringLiteral("type")] = d.type;
    o[QStringLiteral("typeByte")] = d.typeByte ? QJsonValue(hex2(*d.typeByte)) : QJsonValue(QJsonValue::Null);
    o[QStringLiteral("revision")] = optionalInt(d.revision);
    if (d.relays) {
        QJsonArray a;
        for (bool on : *d.relays)
            a.append(on);
        o[QStringLiteral("relays")] = a;
    } else {
        o[QStringLiteral("relays")] = QJsonValue(QJsonValue::Null);
    }
    o[QStringLiteral("config")] =
        d.config ? QJsonValue(QString::fromLatin1(*d.config)) : QJsonValue(QJsonValue::Null);
    o[QStringLiteral("firmware")] = d.firmware;
    o[QStringLiteral("readAt")] = isoTime(d.readAt);
    return o;
}

bool isHex(const QString& s)
{
    return std::all_of(s.begin(), s.end(),
                       [](QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'); });
}

bool readDevice(const QJsonObject& o, SurveyDevice& d, QString& why)
{
    const QString channel = o.value(QStringLiteral("channel")).toString();
    if (channel != QLatin1String("blue") && channel != QLatin1String("brown")) {
        why = QStringLiteral("a device's \"channel\" is neither \"blue\" nor \"brown\"");
        return false;
    }
    d.channel = channel == QLatin1String("blue") ? Channel::Blue : Channel::Brown;
    const QString address = o.value(QStringLiteral("address")).toString();
    if (address.size() != 2 || !isHex(address)) {
        why = QStringLiteral("a device's \"address\" is not two hex digits");
        return false;
    }
    d.address = address.toInt(nullptr, 16);
    d.kind = o.value(QStringLiteral("kind")).toString();
    if (d.kind.isEmpty()) {
        why = QStringLiteral("the device at %1 has no \"kind\"").arg(address);
        return false;
    }
    const QJsonValue family = o.value(QStringLiteral("family"));
    d.family = family.isString() ? std::optional<QString>(family.toString()) : std::nullopt;
    const QJsonObject candidates = o.value(QStringLiteral("candidates")).toObject();
    for (auto it = candidates.begin(); it != candidates.end(); ++it)
        d.candidates.emplace_back(it.key(), it.value().toString());
    d.type = o.value(QStringLiteral("type")).toString();
    const QJsonValue typeByte = o.value(QStringLiteral("typeByte"));
    if (typeByte.isString()) {
        const QString t = typeByte.toString();
        if (t.size() != 2 || !isHex(t)) {
            why =
                QStringLiteral("the device at %1 has a \"typeByte\" that is not two hex digits").arg(address);
            return false;
        }
        d.typeByte = t.toInt(nullptr, 16);
    }
    const QJsonValue revision = o.value(QStringLiteral("revision"));
    if (revision.isDouble()) {
        const int r = revision.toInt(-1);
        if (r < 0 || r > 255) {
            why = QStringLiteral("the device at %1 has a \"revision\" outside 0 to 255").arg(address);
            return false;
        }
        d.revision = r;
    }
    const QJsonValue relays = o.value(QStringLiteral("relays"));
    if (relays.isArray()) {
        const QJsonArray a = relays.toArray();
        if (a.size() != 64) {
            why = QStringLiteral("the panel at %1 has %2 relays, not 64").arg(address).arg(a.size());
            return false;
        }
        std::array<bool, 64> image{};
        for (int i = 0; i < 64; ++i)
            image[size_t(i)] = a[i].toBool();
        d.relays = image;
    }
    const QJsonValue config = o.value(QStringLiteral("config"));
    if (config.isString())
        d.config = config.toString().toLatin1();
    d.firmware = o.value(QStringLiteral("firmware")).toString();
    d.readAt = QDateTime::fromString(o.value(QStringLiteral("readAt")).toString(), Qt::ISODate);
    return true;
}

QString csvField(const QString& s)
{
    if (!s.contains(QLatin1Char(',')) && !s.contains(QLatin1Char('"')) && !s.contains(QLatin1Char('\n')) &&
        !s.contains(QLatin1Char('\r')))
        return s;
    QString q = s;
    q.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString revisionText(const std::optional<int>& r)
{
    return r ? QStringLiteral("%1").arg(*r, 2, 10, QLatin1Char('0')) : QString();
}

QString relayList(const std::vector<int>& relays)
{
    QStringList parts;
    for (int r : relays)
        parts << QString::number(r);
    return parts.join(QLatin1Char(','));
}

} // namespace

bool SurveyDevice::operator<(const SurveyDevice& o) const
{
    return std::tuple(channelOrder(channel), address, kind) <
           std::tuple(channelOrder(o.channel), o.address, o.kind);
}

void SurveyRecord::sortDevices() { std::stable_sort(devices.begin(), devices.end()); }

QString ChannelName(Channel c)
{
    return c == Channel::Blue ? QStringLiteral("Blue") : QStringLiteral("Brown");
}

QByteArray SurveyJson(const SurveyRecord& r)
{
    QJsonObject top;
    top[QStringLiteral("format")] = SurveyRecord::kFormat;
    top[QStringLiteral("tool")] = r.tool;
    top[QStringLiteral("started")] = isoTime(r.started);
    top[QStringLiteral("finished")] = isoTime(r.finished);
    top[QStringLiteral("port")] = r.port;
    top[QStringLiteral("site")] = r.site;
    top[QStringLiteral("technician")] = r.technician;
    top[QStringLiteral("complete")] = r.complete;
    top[QStringLiteral("reason")] = r.reason;
    top[QStringLiteral("notes")] = QJsonArray::fromStringList(r.notes);
    QJsonArray devices;
    for (const SurveyDevice& d : r.devices)
        devices.append(deviceJson(d));
    top[QStringLiteral("devices")] = devices;
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

bool ParseSurveyJson(const QByteArray& json, SurveyRecord& out, QString& why)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        why = QStringLiteral("The file is not JSON (%1 at character %2).")
                  .arg(error.errorString())
                  .arg(error.offset);
        return false;
    }
    if (!doc.isObject()) {
        why = QStringLiteral("The file holds no survey record.");
        return false;
    }
    const QJsonObject top = doc.object();
    const QJsonValue format = top.value(QStringLiteral("format"));
    if (!format.isDouble()) {
        why = QStringLiteral("The file has no \"format\"; it is not a survey record.");
        return false;
    }
    if (format.toDouble() != SurveyRecord::kFormat) {
        why = QStringLiteral("The survey is of format %1; this program reads format %2.")
                  .arg(format.toDouble())
                  .arg(SurveyRecord::kFormat);
        return false;
    }
    if (!top.value(QStringLiteral("devices")).isArray()) {
        why = QStringLiteral("The survey has no \"devices\" list.");
        return false;
    }
    SurveyRecord r;
    r.tool = top.value(QStringLiteral("tool")).toString();
    r.started = QDateTime::fromString(top.value(QStringLiteral("started")).toString(), Qt::ISODate);
    r.finished = QDateTime::fromString(top.value(QStringLiteral("finished")).toString(), Qt::ISODate);
    r.port = top.value(QStringLiteral("port")).toString();
    r.site = top.value(QStringLiteral("site")).toString();
    r.technician = top.value(QStringLiteral("technician")).toString();
    r.complete = top.value(QStringLiteral("complete")).toBool();
    r.reason = top.value(QStringLiteral("reason")).toString();
    for (const QJsonValue& n : top.value(QStringLiteral("notes")).toArray())
        r.notes << n.toString();
    for (const QJsonValue& v : top.value(QStringLiteral("devices")).toArray()) {
        if (!v.isObject()) {
            why = QStringLiteral("An entry of \"devices\" is not a device.");
            return false;
        }
        SurveyDevice d;
        QString problem;
        if (!readDevice(v.toObject(), d, problem)) {
            why = QStringLiteral("The survey is damaged: %1.").arg(problem);
            return false;
        }
        r.devices.push_back(std::move(d));
    }
    out = std::move(r);
    return true;
}

FileResult ReadSurveyFile(const QString& path, SurveyRecord& r)
{
    QByteArray bytes;
    if (const FileResult read = ReadDocumentFile(path, kMaxSurveyBytes, QStringLiteral("a survey"), bytes);
        !read)
        return read;
    QString why;
    if (!ParseSurveyJson(bytes, r, why))
        return FileResult::failed(path, why);
    return FileResult::done(path);
}

QString IncompleteLine(const SurveyRecord& r) { return QStringLiteral("Survey incomplete: ") + r.reason; }

QByteArray SurveyCsv(const SurveyRecord& r)
{
    QString out = QStringLiteral("Channel,Address,Kind,Family,Type,Revision,Firmware,Read At\r\n");
    for (const SurveyDevice& d : r.devices) {
        const QStringList fields = {
            ChannelName(d.channel),   hex2(d.address), d.kind,           d.family.value_or(QString()), d.type,
            revisionText(d.revision), d.firmware,      isoTime(d.readAt)};
        QStringList quoted;
        for (const QString& f : fields)
            quoted << csvField(f);
        out += quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    if (!r.complete)
        out += csvField(IncompleteLine(r)) + QStringLiteral("\r\n");
    return out.toUtf8();
}

QStringList DiffSurveys(const SurveyRecord& before, const SurveyRecord& after)
{
    using Key = std::tuple<int, int, QString>;
    std::map<Key, std::pair<const SurveyDevice*, const SurveyDevice*>> both;
    for (const SurveyDevice& d : before.devices)
        both[Key(channelOrder(d.channel), d.address, d.kind)].first = &d;
    for (const SurveyDevice& d : after.devices)
        both[Key(channelOrder(d.channel), d.address, d.kind)].second = &d;
    QStringList lines;
    for (const auto& [key, pair] : both) {
        const auto [old, now] = pair;
        const SurveyDevice& any = now ? *now : *old;
        const QString at =
            ChannelName(any.channel) + QLatin1Char(' ') + hex2(any.address) + QStringLiteral(": ");
        auto line = [&](const QString& what) { lines << at + what; };
        auto described = [](const SurveyDevice& d) {
            const QString type = d.type.trimmed();
            return type.isEmpty() ? d.kind : d.kind + QLatin1Char(' ') + type;
        };
        if (!old) {
            line(QStringLiteral("added ") + described(*now));
            continue;
        }
        if (!now) {
            line(QStringLiteral("gone ") + described(*old));
            continue;
        }
        if (old->typeByte != now->typeByte || (old->type != now->type && old->revision == now->revision))
            line(QStringLiteral("type %1 -> %2").arg(old->type.trimmed(), now->type.trimmed()));
        else if (old->revision != now->revision)
            line(QStringLiteral("revision %1 -> %2")
                     .arg(revisionText(old->revision), revisionText(now->revision)));
        if (old->relays && now->relays && *old->relays != *now->relays) {
            std::vector<int> on, off;
            for (int i = 0; i < 64; ++i) {
                const bool was = (*old->relays)[size_t(i)], is = (*now->relays)[size_t(i)];
                if (is && !was)
                    on.push_back(i + 1);
                if (was && !is)
                    off.push_back(i + 1);
            }
            QStringList parts;
            if (!on.empty())
                parts << QLatin1Char('+') + relayList(on);
            if (!off.empty())
                parts << QLatin1Char('-') + relayList(off);
            line(QStringLiteral("relays ") + parts.join(QLatin1Char(' ')));
        }
        if (old->config != now->config)
            line(QStringLiteral("config %1 -> %2")
                     .arg(QString::fromLatin1(old->config.value_or("-")),
                          QString::fromLatin1(now->config.value_or("-"))));
    }
    return lines;
}

} // namespace tqdt::net
