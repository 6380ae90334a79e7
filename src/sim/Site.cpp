#include "sim/Site.h"

#include "sim/BenchStations.h"
#include "sim/BuiltInSite.h"
#include "sim/DmxGateway.h"
#include "sim/MappedGateway.h"

namespace tqdt::sim {

Site::Site() = default;
Site::~Site() = default;

std::unique_ptr<Site> Site::builtIn()
{
    auto site = std::make_unique<Site>();
    site->recordWritten = false;
    AddBuiltInDevices(*site);
    return site;
}

void AddBuiltInDevices(Site& builtIn)
{
    Site* site = &builtIn;
    for (int a : {1, 2, 3, 5, 17, 32})
        site->panels[a] = Panel{};
    site->panels[1].relays[0] = site->panels[1].relays[9] = true;
    site->panels[2].relays[63] = true;
    for (int a : {1, 2, 3, 4, 8, 12, 20, 33, 64}) {
        WallStation ws;
        ws.level = quint8(0x30 + a);
        ws.inputs = quint8(a & 0x0F);
        ws.sensorWords = {quint16(100 * a), quint16(0x8000 + 10 * a), 0x7FFF, 0x0010};
        site->wallStations[a] = ws;
    }
    for (int a : {1, 2, 5})
        site->dimmers[a] = Dimmer{};
    for (int a : {1, 3, 4})
        site->relayDevices[a] = RelayDevice{};
    site->relayDevices[3].status = 0x05;
    // Network wall stations beyond the local range, and the photocell tester's four controllers
    // (the third one reads outside its window).
    for (int a : {0x41, 0x80, 0xFE}) {
        WallStation ws;
        ws.level = quint8(a / 2);
        ws.inputs = quint8(a);
        site->wallStations[a] = ws;
    }
    const std::array<quint8, 4> light = {234, 61, 150, 105};
    for (int p = 0; p < 4; ++p)
        site->photocells[0x55 + p] = Photocell{light[size_t(p)], quint8(light[size_t(p)] - 2)};
    // One of each newer wall-station family at an address of its own, each answering the type read:
    // a G3 " 3 Scene", a Kestrix " 6 Button", a ceiling sensor (DT only, reversed relay, its own
    // settings) and a wall sensor " 1 Zone MZD" taking its settings over the wire, whose occupancy
    // part answers at the next address.
    site->addDevice(std::make_shared<G3WallStation>(kSiteG3, 0x1A, 9));
    site->addDevice(std::make_shared<KestrixStation>(kSiteKestrix, 0x20, 9));
    auto ceiling = std::make_shared<CeilingSensor>(kSiteCeilingSensor, 1, 14);
    ceiling->settings.relayPol = 1;
    ceiling->settings.ool = 1;
    site->addDevice(ceiling);
    site->addDevice(std::make_shared<WallSensor>(kSiteWallSensor, 0x40, 12));
    // The mapped gateway stays for the whole session, so what one download writes an upload reads.
    site->addDevice(std::make_shared<MappedGateway>());
    // The DMX gateway hangs on the panel network for the whole session.
    site->addDevice(std::make_shared<DmxGateway>());
}

quint8 Panel::relayImageByte(int k) const
{
    quint8 b = 0;
    for (int bit = 0; bit < 8; ++bit)
        if (relays[size_t(8 * k + bit)])
            b |= quint8(1 << bit);
    return b;
}

QByteArray netReply(const QByteArray& data)
{
    const QByteArray body = data + ']';
    return '[' + Hex2(qint16(NetChecksum(body))) + body;
}

QByteArray devReply(const QByteArray& data) { return SealDevFrame('[' + data); }

bool devFrameValid(const QByteArray& frame, bool dashesAllowed)
{
    if (frame.size() < 7 || frame.front() != '[' || frame.back() != ']')
        return false;
    const QByteArray cs = frame.mid(frame.size() - 3, 2);
    if (cs == "--")
        return dashesAllowed;
    return HexVal2(cs) == DevChecksum(frame.left(frame.size() - 3));
}

std::shared_ptr<PortDevice> Site::deviceOnPort(int commPort) const
{
    if (!plugged || !pluggedPort)
        return nullptr;
    const int n = pluggedPort();
    return n > 0 && n == commPort ? plugged : nullptr;
}

void Outbox::put(qint64 atUs, const QByteArray& text, const LineSettings& line)
{
    // A port reads its outbox at least every few seconds while open; older characters are gone.
    constexpr qint64 kKeepUs = 60'000'000;
    while (!m_chars.empty() && m_chars.front().dueUs < atUs - kKeepUs)
        m_chars.pop_front();
    const qint64 charUs = wireTimeUs(1, line);
    qint64 due = std::max(atUs, m_chars.empty() ? atUs : m_chars.back().dueUs);
    for (char c : text) {
        due += charUs;
        m_chars.push_back({due, c, line.baud});
    }
}

QByteArray Outbox::due(qint64 fromUs, qint64 toUs, int baud) const
{
    QByteArray out;
    for (const Char& ch : m_chars)
        if (ch.dueUs > fromUs && ch.dueUs <= toUs && ch.baud == baud)
            out += ch.c;
    return out;
}

qint64 Outbox::next(qint64 afterUs) const
{
    for (const Char& ch : m_chars)
        if (ch.dueUs > afterUs)
            return ch.dueUs;
    return -1;
}

double Site::nextRandom()
{
    // xorshift64*: a fixed sequence, so a test with a fault rate gives the same result every run.
    m_rng ^= m_rng >> 12;
    m_rng ^= m_rng << 25;
    m_rng ^= m_rng >> 27;
    return double((m_rng * 0x2545F4914F6CDD1Dull) >> 11) / double(1ull << 53);
}

std::optional<Reply> Site::receive(Channel channel, const QByteArray& frame, const LineSettings& line,
                                   qint64 atUs)
{
    m_receivedUs = atUs;
    if (recordWritten)
        written.push_back({channel, frame, line.baud});
    if (script) {
        if (auto text = script(channel, frame))
            return text->isEmpty() ? std::nullopt : std::optional<Reply>(Reply{*text});
    }
    std::optional<Reply> reply;
    if (m_bench)
        reply = m_bench->handle(channel, frame, line);
    for (size_t i = 0; !reply && i < m_devices.size(); ++i)
        reply = m_devices[i]->handle(channel, frame, line);
    const bool busLine = line.baud == kBusBaud && line.parity == 'n' && line.dataBits == 8;
    if (!reply && busLine)
        reply = channel == Channel::Brown ? network(frame) : device(frame);
    if (!reply || reply->text.isEmpty())
        return std::nullopt;
    if (m_lossRate > 0 && nextRandom() < m_lossRate)
        return std::nullopt;
    if (m_corruptRate > 0 && nextRandom() < m_corruptRate) {
        // One data character changes; the checksum no longer fits.
        const int at = 1 + int(nextRandom() * double(std::max<qsizetype>(1, reply->text.size() - 2)));
        char& c = reply->text[std::min<qsizetype>(at, reply->text.size() - 1)];
        c = c == '0' ? '1' : '0';
    }
    return reply;
}

std::optional<Reply> Site::network(const QByteArray& frame)
{
    // "[" + checksum + node + command + "]"
    if (frame.size() < 6 || frame.front() != '[' || frame.back() != ']')
        return std::nullopt;
    const QByteArray body = frame.mid(3);
    if (HexVal2(frame.mid(1, 2)) != NetChecksum(body))
        return std::nullopt;
    const int node = HexVal2(body);
    auto it = panels.find(node);
    if (it == panels.end())
        return std::nullopt;
    return panelHandle(it->second, node, body.mid(2, body.size() - 3));
}

std::optional<Reply> Site::device(const QByteArray& frame)
{
    if (!devFrameValid(frame))
        return std::nullopt;
    const char cls = frame[1];
    const int address = HexVal2(frame.mid(2, 2));
    const char command = frame[4];
    const QByteArray data = frame.mid(5, frame.size() - 8);
    switch (cls) {
    case '2':
        if (auto it = wallStations.find(address); it != wallStations.end())
            return wallStationHandle(it->second, address, command, data);
        if (auto it = photocells.find(address); it != photocells.end())
            return photocellHandle(it->second, command, data);
        break;
    case 'A':
        if (auto it = dimmers.find(address); it != dimmers.end())
            return dimmerHandle(it->second, command, data);
        break;
    case '9':
        if (auto it = relayDevices.find(address); it != relayDevices.end())
            return relayDeviceHandle(it->second, command, data);
        break;
    case '8':
        // Touch screens listen to broadcasts and never answer.
        if (address == 0xFF)
            touchScreenBroadcasts.push_back(frame);
        break;
    default: break;
    }
    return std::nullopt;
}

QByteArray Site::foreignBytes(Channel channel, qint64 fromUs, qint64 toUs) const
{
    const ForeignTraffic& f = m_foreign[size_t(idx(channel))];
    if (f.pattern.isEmpty() || f.bytesPerSecond <= 0 || toUs <= fromUs)
        return {};
    // Byte k goes out at startUs + ceil(k * 1e6 / rate); n(t) bytes have gone out by time t.
    auto sentBy = [&](qint64 t) -> qint64 {
        if (t < f.startUs)
            return 0;
        qint64 n = (t - f.startUs) * f.bytesPerSecond / 1000000 + 1;
        return f.count >= 0 ? std::min(n, f.count) : n;
    };
    QByteArray out;
    for (qint64 k = sentBy(fromUs); k < sentBy(toUs); ++k)
        out += f.pattern[qsizetype(k % f.pattern.size())];
    return out;
}

qint64 Site::nextForeignUs(Channel channel, qint64 afterUs) const
{
    const ForeignTraffic& f = m_foreign[size_t(idx(channel))];
    if (f.pattern.isEmpty() || f.bytesPerSecond <= 0)
        return -1;
    qint64 k = afterUs < f.startUs ? 0 : (afterUs - f.startUs) * f.bytesPerSecond / 1000000 + 1;
    if (f.count >= 0 && k >= f.count)
        return -1;
    return f.startUs + (k * 1000000 + f.bytesPerSecond - 1) / f.bytesPerSecond;
}

} // namespace tqdt::sim
