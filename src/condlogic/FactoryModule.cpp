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

std::optional<QByteArray> FactoryModule::command(int row, const QByteArray& frame)
{
    BusLink link(m_host);
    if (!link.exchange(BusFrameShape(row), frame, ExchangeOptions{.emptyAgain = false}))
        return std::nullopt;
    return link.reply();
}

bool FactoryModule::poll(int node) { return command(shape::ModulePoll, moduleFrame(node, "0")).has_value(); }

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
    if (node < 0 || node >= kNodes)
        return std::nullopt;
    const std::optional<QByteArray> reply = command(shape::ModuleInputs, moduleFrame(node, "2"));
    if (!reply)
        return std::nullopt;
    return quint8(HexVal2(Mid(*reply, 2, 2)));
}

FactoryModule::DefaultResult FactoryModule::applyDefault()
{
    const std::optional<QByteArray> reloaded = command(shape::ModuleFactoryDefault, moduleFrame(0, "D2D"));
    if (!reloaded)
        return DefaultResult::NoAnswer;
    if (Mid(*reloaded, 2, 2) != "D5")
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
    const std::optional<QByteArray> reply = command(shape::ModuleChecksum, moduleFrame(0, "C00"));
    if (!reply)
        return std::nullopt;
    return Mid(*reply, 2, 16);
}

} // namespace tqdt::cnd
