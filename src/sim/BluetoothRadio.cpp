#include "sim/BluetoothRadio.h"

#include <array>
#include <utility>

namespace tqdt::sim {

namespace {

constexpr int kFactoryBaud = 115200;
// What the module needs to act on a command, and how long it waits for more before it takes text
// without a carriage return as a whole command.
constexpr qint64 kThinkUs = 2'000;
constexpr qint64 kPauseUs = 100'000;
constexpr qsizetype kNameMax = 20;

const QByteArray kPrompt = "CMD> ";

int baudForCode(const QByteArray& code)
{
    static const std::array<std::pair<const char*, int>, 5> codes = {
        {{"03", 9600}, {"04", 19200}, {"05", 38400}, {"06", 57600}, {"07", 115200}}};
    for (const auto& [c, baud] : codes)
        if (code == c)
            return baud;
    return 0;
}

} // namespace

BtRadioModule::BtRadioModule(QByteArray address, QByteArray factoryName, int baud)
    : m_address(std::move(address)), m_factoryName(std::move(factoryName)), m_name(m_factoryName),
      m_baud(baud), m_nextBaud(baud)
{
}

void BtRadioModule::pair(BtRadioModule& a, BtRadioModule& b)
{
    a.m_peer = &b;
    b.m_peer = &a;
}

std::optional<Reply> BtRadioModule::uart(const QByteArray& data, const LineSettings& line, qint64 atUs)
{
    // At another rate or framing the module hears only noise.
    if (m_silent || line.baud != m_baud || line.parity != 'n' || line.dataBits != 8 || data.isEmpty())
        return std::nullopt;
    if (data == "$$$") {
        if (m_silentAt == "$$$") {
            m_silent = true;
            return std::nullopt;
        }
        m_commandMode = true;
        return Reply{kPrompt, kThinkUs};
    }
    if (!m_commandMode) {
        if (linkedAt(atUs) && m_peer && m_peer->m_out) {
            LineSettings air = line;
            air.baud = m_peer->m_baud;
            m_peer->m_out->put(atUs + kAirUs, data, air);
        }
        return std::nullopt;
    }
    QByteArray reply;
    qint64 turnaround = kThinkUs;
    const QList<QByteArray> parts = data.split('\r');
    for (qsizetype i = 0; i < parts.size() && m_commandMode && !m_silent; ++i) {
        const bool ended = i + 1 < parts.size();
        if (parts[i].isEmpty())
            continue;
        // Our senders write each command in one piece, so a text without its carriage return is a
        // whole command once the pause has passed.
        if (!ended)
            turnaround = kPauseUs + kThinkUs;
        reply += command(parts[i], atUs);
    }
    if (reply.isEmpty())
        return std::nullopt;
    return Reply{reply, turnaround};
}

QByteArray BtRadioModule::command(const QByteArray& cmd, qint64 atUs)
{
    if (!m_silentAt.isEmpty() && cmd.startsWith(m_silentAt)) {
        m_silent = true;
        return {};
    }
    if (cmd == "SF,1") {
        restart(true);
        return "AOK\r\n";
    }
    if (cmd.startsWith("SB,")) {
        const int baud = baudForCode(cmd.mid(3));
        if (!baud)
            return "ERR\r\n" + kPrompt;
        m_nextBaud = baud;
        return "AOK\r\n" + kPrompt;
    }
    if (cmd.startsWith("SN,")) {
        m_name = cmd.mid(3, kNameMax);
        return "AOK\r\n" + kPrompt;
    }
    if (cmd == "SS,C0")
        return "AOK\r\n" + kPrompt;
    if (cmd == "D") {
        const QByteArray name = m_readBack.isEmpty() ? m_name : m_readBack;
        return "***Settings***\r\nBTA=" + m_address + "\r\nName=" + name +
               "\r\nConnected=" + (linkedAt(atUs) ? "yes" : "no") +
               "\r\nBaudrt=" + QByteArray::number(m_baud) + "\r\n" + kPrompt;
    }
    if (cmd == "R,1") {
        restart(false);
        return "Rebooting\r\n";
    }
    if (cmd == "K,1") {
        if (m_linkUpUs < 0)
            return "ERR\r\n" + kPrompt;
        dropLink();
        return "KILL\r\n" + kPrompt;
    }
    if (cmd.startsWith("C,0,")) {
        // The call goes out; the link comes up when the far module answers it.
        m_commandMode = false;
        if (m_peer && !m_neverConnects && !m_peer->m_silent && cmd.mid(4) == m_peer->m_address)
            m_linkUpUs = m_peer->m_linkUpUs = atUs + kConnectUs;
        return "TRYING\r\n";
    }
    return "?\r\n" + kPrompt;
}

void BtRadioModule::restart(bool factory)
{
    if (factory) {
        m_name = m_factoryName;
        m_nextBaud = kFactoryBaud;
    }
    m_baud = m_nextBaud;
    m_commandMode = false;
    dropLink();
}

void BtRadioModule::dropLink()
{
    if (m_peer && m_linkUpUs >= 0)
        m_peer->m_linkUpUs = -1;
    m_linkUpUs = -1;
}

BtStationModule::BtStationModule(Site& site, QByteArray address)
    : radio(address, "WSG3-" + address.right(4), kFactoryBaud), m_site(site)
{
    radio.setUartOut(&site.outbox(Channel::Brown));
}

std::optional<Reply> BtStationModule::handle(Channel channel, const QByteArray& frame,
                                             const LineSettings& line)
{
    // Its UART is wired to the Brown channel on the bench cable.
    if (channel != Channel::Brown)
        return std::nullopt;
    return radio.uart(frame, line, m_site.receivedUs());
}

BtPassthrough::BtPassthrough(QByteArray address) : radio(address, "PT-" + address.right(4), kFactoryBaud)
{
    radio.setUartOut(&outbox);
}

std::optional<Reply> BtPassthrough::handle(const QByteArray& data, const LineSettings& line, qint64 atUs)
{
    return radio.uart(data, line, atUs);
}

BtBench PlugInBtBench(Site& site, std::function<int()> adapterPort)
{
    BtBench bench{std::make_shared<BtStationModule>(site), std::make_shared<BtPassthrough>()};
    BtRadioModule::pair(bench.module->radio, bench.adapter->radio);
    site.addDevice(bench.module);
    site.plugged = bench.adapter;
    if (adapterPort)
        site.pluggedPort = std::move(adapterPort);
    return bench;
}

} // namespace tqdt::sim
