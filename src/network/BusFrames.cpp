#include "network/BusFrames.h"

#include "network/LocalScan.h"

#include <QLocale>

#include <cstring>

namespace tqdt::net {

namespace {

using Kind = BusFrame::Kind;
using Mark = BusFrame::Mark;

constexpr qint8 kDevice = qint8(FrameFamily::Device);

QString hex2(int v) { return QString::fromLatin1(Hex2(qint16(v))); }

int byteAt(const QByteArray& raw, int index0) { return HexVal2(raw.mid(index0, 2)); }

// Where a request's address and data stand (0-based), by family; a bare frame names no address.
int addressAt(FrameFamily family)
{
    switch (family) {
    case FrameFamily::Network: return 3;
    case FrameFamily::Device: return 2;
    case FrameFamily::Bare: break;
    }
    return -1;
}
int dataAt(const FrameShape& s)
{
    return (s.family == FrameFamily::Bare ? 1 : addressAt(s.family) + 2) + int(std::strlen(s.command));
}
// Where a reply's data start: behind the checksum of a network reply, behind "[" otherwise.
int replyDataAt(FrameFamily family) { return family == FrameFamily::Network ? 3 : 1; }
// The data digits of a reply: all but "[", "]" and, where there is one, the checksum.
int replyDataDigits(const QByteArray& raw, FrameFamily family)
{
    return int(raw.size()) - (family == FrameFamily::Bare ? 2 : 4);
}

// The named row of a request in this family, or -1. Rows that only wait differently for the frame of
// an earlier row come later, so the first that fits is the named one.
int requestShape(const QByteArray& raw, FrameFamily family)
{
    const auto shapes = BusFrameShapes();
    for (int i = 0; i < int(shapes.size()); ++i)
        if (shapes[size_t(i)].family == family && FrameHasShape(shapes[size_t(i)], raw))
            return NamedShape(i);
    return -1;
}

// What a reply's checksum column says. The module checks none of its replies' checksums, and its
// programming replies carry none.
Mark replyMark(const FrameShape& s, const QByteArray& raw)
{
    if (s.family == FrameFamily::Bare || s.dashes)
        return Mark::None;
    return FrameChecksumValid(s.family, raw) ? Mark::Ok : Mark::Bad;
}

// The request a reply of this length answers when it stands alone: -1 when no request of the family
// waits for that many characters, -2 when several do and they read it differently.
int replyShapeByLength(qsizetype length, FrameFamily family)
{
    const auto isDimmer = [](int i) { return i == shape::Dimmer || i == shape::DimmerWli; };
    int found = -1;
    const auto shapes = BusFrameShapes();
    for (int i = 0; i < int(shapes.size()); ++i) {
        const FrameShape& s = shapes[size_t(i)];
        if (s.family != family || !s.replyIsFrame || s.replyLength != length || NamedShape(i) != i)
            continue;
        if (found >= 0 && !(isDimmer(found) && isDimmer(i)))
            return -2;
        if (found < 0)
            found = i;
    }
    return found;
}

bool hasNoChecksum(const QByteArray& raw)
{
    const qsizetype n = raw.size();
    return n >= 5 && raw[n - 3] == '-' && raw[n - 2] == '-';
}

} // namespace

void FrameDecoder::feed(const char* data, qsizetype n, qint64 timeMs, std::optional<Channel> channel,
                        std::vector<BusFrame>& out)
{
    const qint8 ch = channel ? qint8(*channel == Channel::Blue ? 0 : 1) : qint8(-1);
    qsizetype i = 0;
    while (i < n) {
        const char c = data[i];
        if (c == '[') {
            if (!m_pending.isEmpty())
                emitPending(m_inFrame ? Kind::Cut : Kind::Between, out);
            m_pending.append('[');
            m_inFrame = true;
            m_pendingTime = timeMs;
            m_pendingChannel = ch;
            ++i;
            continue;
        }
        if (m_pending.isEmpty()) {
            m_pendingTime = timeMs;
            m_pendingChannel = ch;
        }
        // Take the run up to the next bracket that matters in one append.
        qsizetype j = i;
        const qsizetype room = kMaxFrame - m_pending.size();
        const qsizetype end = std::min(n, i + room);
        while (j < end && data[j] != '[' && !(m_inFrame && data[j] == ']'))
            ++j;
        if (j < end && data[j] == ']') {
            m_pending.append(data + i, j + 1 - i);
            i = j + 1;
            emitPending(Kind::Request, out); // classified on the way out
            continue;
        }
        m_pending.append(data + i, j - i);
        i = j;
        if (m_pending.size() >= kMaxFrame)
            emitPending(m_inFrame ? Kind::Cut : Kind::Between, out);
    }
}

void FrameDecoder::finish(std::vector<BusFrame>& out)
{
    if (!m_pending.isEmpty())
        emitPending(m_inFrame ? Kind::Cut : Kind::Between, out);
}

void FrameDecoder::emitPending(Kind kind, std::vector<BusFrame>& out)
{
    BusFrame& f = out.emplace_back();
    f.index = ++m_next;
    f.timeMs = m_pendingTime;
    f.channel = m_pendingChannel;
    f.raw = std::move(m_pending);
    m_pending = QByteArray();
    m_pending.reserve(32);
    m_inFrame = false;
    f.kind = kind;
    if (kind == Kind::Request)
        classify(f); // a whole frame: request, reply or unknown
    else if (kind == Kind::Cut)
        f.checksum = Mark::Bad;
    else if (m_lastWasRequest && !BusFrameShape(m_lastShape).replyIsFrame &&
             f.raw.size() == BusFrameShape(m_lastShape).replyLength && f.channel == m_lastChannel) {
        // The presence test's answer is one bare character.
        f.kind = Kind::Reply;
        f.shape = m_lastShape;
        f.address = m_lastAddress;
        f.requestIndex = qint64(m_lastIndex);
    }
    m_lastWasRequest = f.kind == Kind::Request;
    if (m_lastWasRequest) {
        m_lastShape = f.shape;
        m_lastAddress = f.address;
        m_lastTime = f.timeMs;
        m_lastChannel = f.channel;
        m_lastIndex = f.index;
    }
}

void FrameDecoder::classify(BusFrame& f)
{
    const QByteArray& raw = f.raw;
    f.kind = Kind::Unknown;

    // A reply to the request just before, when it is as long as the request waits for and came in
    // time: within the sender's limit, plus the request's own wire time (a millisecond a character)
    // and what the PC may take to hand over a receive event when it is busy.
    if (m_lastWasRequest && f.channel == m_lastChannel) {
        const FrameShape& s = BusFrameShape(m_lastShape);
        const bool inTime =
            f.timeMs < 0 || m_lastTime < 0 ||
            f.timeMs - m_lastTime <= ReplyWindowMs(m_lastShape) + RequestLength(s) + kEventLatencyMs;
        if (s.replyIsFrame && raw.size() == s.replyLength && inTime) {
            f.kind = Kind::Reply;
            f.family = qint8(s.family);
            f.shape = m_lastShape;
            f.address = m_lastAddress;
            f.requestIndex = qint64(m_lastIndex);
            f.checksum = replyMark(s, raw);
            return;
        }
    }

    if (hasNoChecksum(raw)) {
        f.family = kDevice;
        f.checksum = Mark::None;
        if (const int req = requestShape(raw, FrameFamily::Device); req >= 0) {
            f.kind = Kind::Request;
            f.shape = qint16(req);
            f.address = qint16(byteAt(raw, addressAt(FrameFamily::Device)));
        }
        return;
    }

    FrameFamily family;
    if (f.channel >= 0) {
        family = f.channel == 0 ? FrameFamily::Device : FrameFamily::Network;
    } else if (FrameChecksumValid(FrameFamily::Network, raw)) {
        family = FrameFamily::Network;
    } else if (FrameChecksumValid(FrameFamily::Device, raw)) {
        family = FrameFamily::Device;
    } else {
        // Neither checksum holds: the shape is all that is left to go by.
        family = requestShape(raw, FrameFamily::Device) >= 0 ? FrameFamily::Device : FrameFamily::Network;
    }
    f.family = qint8(family);
    f.checksum = FrameChecksumValid(family, raw) ? Mark::Ok : Mark::Bad;

    // The gateway takes network frames on whichever channel the port is on, the bench cable's Blue
    // one included.
    if (f.checksum == Mark::Bad && family == FrameFamily::Device &&
        FrameChecksumValid(FrameFamily::Network, raw)) {
        if (const int req = requestShape(raw, FrameFamily::Network);
            req >= 0 && !BusFrameShape(req).channel) {
            f.kind = Kind::Request;
            f.family = qint8(FrameFamily::Network);
            f.checksum = Mark::Ok;
            f.shape = qint16(req);
            f.address = qint16(byteAt(raw, addressAt(FrameFamily::Network)));
            return;
        }
    }
    // The module's programming frames carry no checksum at all.
    if (f.checksum == Mark::Bad) {
        if (const int bare = requestShape(raw, FrameFamily::Bare); bare >= 0) {
            f.kind = Kind::Request;
            f.family = qint8(FrameFamily::Bare);
            f.checksum = Mark::None;
            f.shape = qint16(bare);
            return;
        }
    }

    const int req = requestShape(raw, family);
    if (req >= 0) {
        f.kind = Kind::Request;
        f.shape = qint16(req);
        f.address = qint16(byteAt(raw, addressAt(family)));
        return;
    }
    const int reply = replyShapeByLength(raw.size(), family);
    if (reply != -1) {
        f.kind = Kind::Reply;
        f.shape = qint16(std::max(reply, -1));
    }
}

namespace {

QString bitList(quint64 bits, int count, const QString& none)
{
    // Runs of three or more as "1–8", shorter runs one by one.
    QStringList parts;
    for (int k = 0; k < count;) {
        if (!(bits >> k & 1)) {
            ++k;
            continue;
        }
        int e = k;
        while (e + 1 < count && (bits >> (e + 1) & 1))
            ++e;
        if (e - k >= 2) {
            parts << QStringLiteral("%1\u2013%2").arg(k + 1).arg(e + 1);
        } else {
            for (int j = k; j <= e; ++j)
                parts << QString::number(j + 1);
        }
        k = e + 1;
    }
    return parts.isEmpty() ? none : parts.join(QLatin1Char(' '));
}

QString relaysOn(quint64 bits, int count)
{
    const QString list = bitList(bits, count, QString());
    if (list.isEmpty())
        return QStringLiteral("all relays off");
    return (list.contains(QLatin1Char(' ')) || list.contains(QChar(0x2013)) ? QStringLiteral("relays ")
                                                                            : QStringLiteral("relay ")) +
           list + QStringLiteral(" on");
}

QString seconds(qint64 tenths)
{
    return QString::number(tenths / 10) + QLatin1Char('.') + QString::number(tenths % 10) +
           QStringLiteral(" s");
}

QString dataBytes(const QByteArray& raw, int at, int digits)
{
    QStringList parts;
    for (int k = 0; k + 1 < digits; k += 2)
        parts << FrameText(raw.mid(at + k, 2));
    return parts.join(QLatin1Char(' '));
}

QString requestMeaning(const BusFrame& f, const FrameShape& s)
{
    const QByteArray& raw = f.raw;
    const QString a = hex2(f.address);
    const int d = dataAt(s);
    switch (f.shape) {
    case shape::PanelRelayRead: return QStringLiteral("Panel %1 relays read").arg(a);
    case shape::PanelRelayWrite: {
        const char state = raw[d + 2];
        const QString what = state == '1'   ? QStringLiteral("on")
                             : state == '0' ? QStringLiteral("off")
                                            : QStringLiteral("state ") + FrameText(QByteArray(1, state));
        return QStringLiteral("Panel %1 relay %2 %3")
            .arg(a)
            .arg(byteAt(raw, d) + 1, 2, 10, QLatin1Char('0'))
            .arg(what);
    }
    case shape::PanelPresent: return QStringLiteral("Panel %1 presence").arg(a);
    case shape::NodeProbe: return QStringLiteral("Node %1 probe").arg(a);
    case shape::WsStatus:
        return QStringLiteral("Wall station %1 status, pilots %2")
            .arg(a, bitList(quint64(byteAt(raw, d)), 8, QStringLiteral("none")));
    case shape::WsSensorLevels:
        return QStringLiteral("Wall station %1 sensor levels, selector %2").arg(a, hex2(byteAt(raw, d)));
    case shape::WsConfigEnable: return QStringLiteral("Wall station %1 configuration enable").arg(a);
    case shape::WsConfigWrite:
        return QStringLiteral("Wall station %1 configuration write %2").arg(a, hex2(byteAt(raw, d)));
    case shape::WsReadConfig: return QStringLiteral("Wall station %1 configuration read").arg(a);
    case shape::Dimmer:
    case shape::DimmerWli: {
        const bool wli = f.shape == shape::DimmerWli;
        const int fadeDigits = wli ? 6 : 2;
        const int step = 2 + fadeDigits;
        QList<int> levels;
        for (int k = 0; k < 4; ++k)
            levels << byteAt(raw, d + k * step);
        const QByteArray fadeText = raw.mid(d + 2, fadeDigits);
        const int fade = fadeText.toInt(nullptr, 16);
        QString text = QStringLiteral("Dimmer %1 ").arg(a);
        if (levels.count(levels[0]) == 4) {
            text += QStringLiteral("level %1").arg(levels[0]);
        } else {
            text += QStringLiteral("levels %1 %2 %3 %4")
                        .arg(levels[0])
                        .arg(levels[1])
                        .arg(levels[2])
                        .arg(levels[3]);
        }
        text += QStringLiteral(" fade ") + seconds(FadeTenths(fade, wli));
        return wli ? text + QStringLiteral(" (WLI)") : text;
    }
    case shape::RelayDevice: {
        const int command = byteAt(raw, d);
        if (command == 0)
            return QStringLiteral("Relay device %1 status read").arg(a);
        return QStringLiteral("Relay device %1 command %2").arg(a, hex2(command));
    }
    case shape::TouchScreenProfile:
        return QStringLiteral("Touch screens profile %1").arg(hex2(byteAt(raw, d)));
    case shape::TouchScreenClock: {
        int v[6];
        for (int k = 0; k < 6; ++k)
            v[k] = byteAt(raw, d + 2 * k);
        return QStringLiteral("Touch screens clock 20%1-%2-%3 %4:%5:%6")
            .arg(v[0], 2, 10, QLatin1Char('0'))
            .arg(v[1] & 0x0F, 2, 10, QLatin1Char('0'))
            .arg(v[2], 2, 10, QLatin1Char('0'))
            .arg(v[3], 2, 10, QLatin1Char('0'))
            .arg(v[4], 2, 10, QLatin1Char('0'))
            .arg(v[5], 2, 10, QLatin1Char('0'));
    }
    case shape::WsTypeQuery: return QStringLiteral("Wall station %1 type query").arg(a);
    case shape::WsLegacyType: return QStringLiteral("Legacy station %1 type query").arg(a);
    case shape::WsLegacyConfigure:
        return QStringLiteral("Legacy station %1 configure, code %2").arg(a).arg(HexVal1(raw.mid(d, 1)));
    case shape::ModuleConnect: return QStringLiteral("Module %1 connection check").arg(a);
    case shape::ModuleProgramSwitch: return QStringLiteral("Module %1 programming switch").arg(a);
    case shape::ModulePoll: return QStringLiteral("Module %1 poll").arg(a);
    case shape::ModuleInputs: return QStringLiteral("Module %1 inputs read").arg(a);
    case shape::ModuleFactoryDefault: return QStringLiteral("Module %1 factory default").arg(a);
    case shape::ModuleChecksum: return QStringLiteral("Module %1 checksum read").arg(a);
    case shape::ModuleData1:
    case shape::ModuleData2:
    case shape::ModuleData3:
    case shape::ModuleData4:
        return QString::fromLatin1(s.name) + QStringLiteral(": ") + dataBytes(raw, d, s.dataDigits);
    case shape::ModuleRead: {
        const qulonglong at = raw.mid(d, s.dataDigits).toULongLong(nullptr, 16);
        return QStringLiteral("Module block read at ") +
               QString::number(at, 16).toUpper().rightJustified(4, QLatin1Char('0'));
    }
    case shape::GatewayReset: return QStringLiteral("Gateway memory reset ") + FrameText(raw.mid(d, 2));
    case shape::GatewayWriteBlock:
    case shape::GatewayReadBlock:
        return QStringLiteral("Gateway block %1, bank %2 address %3")
            .arg(f.shape == shape::GatewayWriteBlock ? QStringLiteral("write") : QStringLiteral("read"))
            .arg(HexVal1(raw.mid(d, 1)))
            .arg(FrameText(raw.mid(d + 1, 4)));
    case shape::GatewayChecksum:
        return QStringLiteral("Gateway bank %1 checksum").arg(HexVal1(raw.mid(d, 1)));
    default: return QString::fromLatin1(s.name);
    }
}

QString replyMeaning(const BusFrame& f)
{
    const QByteArray& raw = f.raw;
    const QString prefix = QStringLiteral("Reply: ");
    if (f.shape < 0) {
        const FrameFamily family = FrameFamily(f.family);
        const int at = replyDataAt(family);
        const int digits = replyDataDigits(raw, family);
        return digits > 0 ? prefix + QStringLiteral("data ") + dataBytes(raw, at, digits)
                          : QStringLiteral("unknown");
    }
    const FrameShape& s = BusFrameShape(f.shape);
    const int d = replyDataAt(s.family);
    switch (f.shape) {
    case shape::PanelRelayRead: {
        quint64 bits = 0;
        for (int k = 0; k < 8; ++k)
            bits |= quint64(byteAt(raw, d + 2 * k)) << (8 * k);
        return prefix + relaysOn(bits, 64);
    }
    case shape::PanelRelayWrite: return prefix + QStringLiteral("acknowledged");
    case shape::PanelPresent: return prefix + QStringLiteral("present");
    case shape::NodeProbe:
        return prefix + QStringLiteral("node data ") + dataBytes(raw, d, replyDataDigits(raw, s.family));
    case shape::WsStatus: return prefix + QStringLiteral("status ") + dataBytes(raw, d, 4);
    case shape::WsSensorLevels:
        return prefix + QStringLiteral("status ") + dataBytes(raw, d, 4) + QStringLiteral(", sensor words ") +
               FrameText(raw.mid(d + 4, 4) + ' ' + raw.mid(d + 8, 4) + ' ' + raw.mid(d + 12, 4) + ' ' +
                         raw.mid(d + 16, 4));
    case shape::WsConfigEnable:
    case shape::WsConfigWrite: return prefix + QStringLiteral("acknowledged ") + dataBytes(raw, d, 2);
    case shape::WsReadConfig: return prefix + QStringLiteral("configuration ") + dataBytes(raw, d, 4);
    case shape::Dimmer:
    case shape::DimmerWli:
        return prefix + QStringLiteral("levels %1 %2 %3 %4")
                            .arg(byteAt(raw, d))
                            .arg(byteAt(raw, d + 2))
                            .arg(byteAt(raw, d + 4))
                            .arg(byteAt(raw, d + 6));
    case shape::RelayDevice: return prefix + relaysOn(quint64(byteAt(raw, d)), 8);
    case shape::WsTypeQuery:
        return prefix +
               QStringLiteral("type %1 revision %2").arg(hex2(byteAt(raw, d)), hex2(byteAt(raw, d + 2)));
    case shape::WsLegacyType: return prefix + QStringLiteral("type ") + hex2(byteAt(raw, d));
    case shape::GatewayReset:
    case shape::GatewayWriteBlock: return prefix + QStringLiteral("acknowledged");
    case shape::GatewayChecksum: return prefix + QStringLiteral("checksum ") + FrameText(raw.mid(d, 8));
    default: break;
    }
    // The module's answers and the gateway's block: their bytes as they stand.
    const int digits = replyDataDigits(raw, s.family);
    return digits > 0 ? prefix + QStringLiteral("data ") + dataBytes(raw, d, digits)
                      : prefix + QStringLiteral("acknowledged");
}

QByteArray csvField(const QByteArray& text)
{
    if (!text.contains(',') && !text.contains('"'))
        return text;
    QByteArray q = text;
    q.replace('"', "\"\"");
    return '"' + q + '"';
}

} // namespace

QString FrameMeaning(const BusFrame& f)
{
    switch (f.kind) {
    case Kind::Request: return requestMeaning(f, BusFrameShape(f.shape));
    case Kind::Reply: return replyMeaning(f);
    case Kind::Cut: return QStringLiteral("unknown (cut short)");
    case Kind::Between: return QStringLiteral("unknown (between frames)");
    case Kind::Unknown:
        return hasNoChecksum(f.raw) ? QStringLiteral("unknown (no checksum)") : QStringLiteral("unknown");
    }
    return QStringLiteral("unknown");
}

QString FrameText(const QByteArray& raw)
{
    QString out;
    out.reserve(raw.size());
    for (char ch : raw) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c < 0x7F && c != '\\')
            out += QLatin1Char(ch);
        else
            out += QStringLiteral("\\x") + QString::fromLatin1(Hex2(qint16(c)));
    }
    return out;
}

QString FrameHex(const QByteArray& raw) { return QString::fromLatin1(raw.toHex(' ').toUpper()); }

QString ChecksumWord(BusFrame::Mark m)
{
    switch (m) {
    case Mark::Ok: return QStringLiteral("ok");
    case Mark::Bad: return QStringLiteral("bad");
    case Mark::None: break;
    }
    return QStringLiteral("none");
}

QString ChannelWord(qint8 channel)
{
    if (channel == 0)
        return QStringLiteral("blue");
    if (channel == 1)
        return QStringLiteral("brown");
    return {};
}

QByteArray CaptureHeader(CaptureLayout layout)
{
    return layout == CaptureLayout::Csv
               ? QByteArray("index,time_ms,delta_ms,channel,raw,checksum,meaning\r\n")
               : QByteArray("index\ttime_ms\tdelta_ms\tchannel\traw\tchecksum\tmeaning\r\n");
}

QByteArray CaptureLine(const BusFrame& f, qint64 deltaMs, CaptureLayout layout)
{
    const QByteArray fields[7] = {
        QByteArray::number(f.index),
        f.timeMs >= 0 ? QByteArray::number(f.timeMs) : QByteArray(),
        deltaMs >= 0 ? QByteArray::number(deltaMs) : QByteArray(),
        ChannelWord(f.channel).toLatin1(),
        FrameText(f.raw).toLatin1(),
        ChecksumWord(f.checksum).toLatin1(),
        FrameMeaning(f).toUtf8(),
    };
    QByteArray line;
    for (int i = 0; i < 7; ++i) {
        if (i)
            line += layout == CaptureLayout::Csv ? ',' : '\t';
        line += layout == CaptureLayout::Csv ? csvField(fields[i]) : fields[i];
    }
    return line + "\r\n";
}

} // namespace tqdt::net
