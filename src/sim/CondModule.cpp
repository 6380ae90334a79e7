#include "sim/CondModule.h"

#include "condlogic/ProgramImage.h"

#include <cctype>
#include <memory>

namespace tqdt::sim {

namespace {

// The image a module is shipped with and reloads on the factory-default command: every output
// follows its own input, no notes.
const QByteArray& factoryImage()
{
    static const QByteArray image = [] {
        auto doc = std::make_unique<cnd::CndDocument>();
        doc->factoryDefault();
        for (int p = 0; p < cnd::kPatterns; ++p)
            doc->ControlArray[size_t(p)] = quint16(p & 0xFF);
        return cnd::BuildProgramImage(*doc);
    }();
    return image;
}

bool isHex(const QByteArray& text)
{
    for (char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

bool lineIs(const LineSettings& line, int baud)
{
    return line.baud == baud && line.parity == 'n' && line.dataBits == 8;
}

} // namespace

CondModule::CondModule(int node) : m_node(node) { loadFactoryDefault(); }

void CondModule::loadFactoryDefault()
{
    m_memory = factoryImage();
    if (m_badCell >= 0 && m_badCell < m_memory.size())
        store(m_badCell, quint8(m_memory[m_badCell]));
}

QByteArray CondModule::imageChecksum() const { return ProgramChecksumText(m_memory); }

QByteArray CondModule::configChecksum() const
{
    return ProgramChecksumText(m_memory.mid(cnd::kConfigAddress, cnd::kConfigSize));
}

void CondModule::dropFrame(const QByteArray& prefix, int skip)
{
    m_dropPrefix = prefix;
    m_dropSkip = skip;
}

bool CondModule::dropping(const QByteArray& frame)
{
    if (m_dropSkip < 0 || !frame.startsWith(m_dropPrefix))
        return false;
    return m_dropSkip-- == 0;
}

void CondModule::store(int address, quint8 value)
{
    if (address < 0 || address >= m_memory.size())
        return;
    m_memory[address] = char(address == m_badCell ? value ^ 0x01 : value);
}

std::optional<Reply> CondModule::handle(Channel channel, const QByteArray& frame, const LineSettings& line)
{
    // The module sits on the bench cable, which the interface module reaches on the Blue channel only.
    if (channel != Channel::Blue)
        return std::nullopt;
    if (m_silent || dropping(frame))
        return std::nullopt;
    if (lineIs(line, Site::kBusBaud))
        return busFrame(frame);
    if (lineIs(line, kProgrammingBaud))
        return programmingFrame(frame);
    return std::nullopt;
}

std::optional<Reply> CondModule::busFrame(const QByteArray& frame)
{
    // "[2" node command, two data digits or none, then "--]" (or a device checksum).
    if ((frame.size() != 8 && frame.size() != 10) || !frame.startsWith("[2") || !devFrameValid(frame, true))
        return std::nullopt;
    if (!isHex(frame.mid(2, 2)) || HexVal2(frame.mid(2, 2)) != m_node)
        return std::nullopt;
    const char command = frame[4];
    const QByteArray data = frame.mid(5, frame.size() - 8);
    switch (command) {
    case '0': // search poll
    case '2': // input status
        if (!data.isEmpty())
            return std::nullopt;
        return Reply{devReply(Hex2(m_inputs))};
    case '7': // connection check: a type byte, then the inputs
        return Reply{devReply("C1" + Hex2(m_inputs))};
    case '4':
        // Switches to programming at 115200 baud; nothing is sent back.
        if (data == "A1")
            m_programming = true;
        return std::nullopt;
    case 'D':
        if (data != "2D")
            return std::nullopt;
        loadFactoryDefault();
        // Rewriting the whole memory takes the module a while.
        return Reply{devReply(m_defaultReply), 1500 * 1000};
    case 'C':
        if (data != "00")
            return std::nullopt;
        return Reply{'[' + imageChecksum() + ']', 30 * 1000};
    default: return std::nullopt;
    }
}

std::optional<Reply> CondModule::programmingFrame(const QByteArray& frame)
{
    // "[" command 16 hex digits "]"
    if (!m_programming || frame.size() != 19 || frame.front() != '[' || frame.back() != ']' ||
        !isHex(frame.mid(2, 16)))
        return std::nullopt;
    const QByteArray ack = "[]";
    const char command = frame[1];
    switch (command) {
    case '1': m_block = 0; return Reply{ack};
    case '2':
    case '3':
    case '4':
    case '5': {
        const QByteArray bytes = QByteArray::fromHex(frame.mid(2, 16));
        const int at = m_block * 32 + (command - '2') * 8;
        for (int i = 0; i < bytes.size(); ++i)
            store(at + i, quint8(bytes[i]));
        if (command == '5')
            ++m_block;
        return Reply{ack};
    }
    case '6': return Reply{'[' + imageChecksum() + ']', 30 * 1000};
    case '7': return Reply{'[' + configChecksum() + ']', 5 * 1000};
    case '8': {
        bool ok = false;
        const quint64 address = frame.mid(2, 16).toULongLong(&ok, 16);
        if (!ok)
            return std::nullopt;
        // Past the end of memory the module reads zeros.
        QByteArray bytes(256, '\0');
        const quint64 size = quint64(m_memory.size());
        for (int i = 0; i < 256 && address < size && quint64(i) < size - address; ++i)
            bytes[i] = m_memory[qsizetype(address) + i];
        return Reply{'[' + bytes.toHex().toUpper() + ']'};
    }
    default: return std::nullopt;
    }
}

} // namespace tqdt::sim
