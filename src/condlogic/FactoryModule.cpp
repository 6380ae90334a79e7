#include "condlogic/FactoryModule.h"

#include "bus/BusLink.h"
#include "host/Host.h"

namespace tqdt::cnd {

namespace {
// The module's frames carry "--" where a checksum would be; it accepts them so.
QByteArray moduleFrame(int node, const QByteArray& command)
{
    return "[2" + Hex2(qint16(node)) + command + "--]";
}
} // namespace

FactoryModule::FactoryModule(Host& host) : m_host(host) {}

bool FactoryModule::command(int row, const QByteArray& frame)
{
    return BusLink(m_host).exchange(BusFrameShape(row), frame, ExchangeOptions{.emptyAgain = false});
}

bool FactoryModule::poll(int node) { return command(shape::ModulePoll, moduleFrame(node, "0")); }

int FactoryModule::find(const std::function<void(int node)>& polling)
{
    for (int n = 0; n < kNodes; ++n) {
        if (polling)
            polling(n);
        if (poll(n))
            return n;
    }
    return -1;
}

std::optional<quint8> FactoryModule::readInputs(int node)
{
    if (node < 0 || node >= kNodes || !command(shape::ModuleInputs, moduleFrame(node, "2")))
        return std::nullopt;
    return quint8(HexVal2(Mid(m_host.reply.ReplyText, 2, 2)));
}

FactoryModule::DefaultResult FactoryModule::applyDefault()
{
    if (!command(shape::ModuleFactoryDefault, moduleFrame(0, "D2D")))
        return DefaultResult::NoAnswer;
    if (Mid(m_host.reply.ReplyText, 2, 2) != "D5")
        return DefaultResult::Refused;
    // The whole reply, "[" + 16 digits + "]", is awaited: its first six characters alone would
    // never hold the checksum.
    const std::optional<QByteArray> checksum = readChecksum();
    if (!checksum)
        return DefaultResult::NoChecksum;
    return *checksum == kDefaultChecksum ? DefaultResult::Verified : DefaultResult::ChecksumDiffers;
}

std::optional<QByteArray> FactoryModule::readChecksum()
{
    if (!command(shape::ModuleChecksum, moduleFrame(0, "C00")))
        return std::nullopt;
    return Mid(m_host.reply.ReplyText, 2, 16);
}

} // namespace tqdt::cnd
