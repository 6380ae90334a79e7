#include "dmx/DmxTransfer.h"
#include "ports/OpenPort.h"

#include "bus/BlockTransfer.h"
#include "bus/BusLink.h"
#include "bus/FrameShapes.h"
#include "documents/Settings.h"
#include "host/Host.h"

namespace tqdt::dmx {

namespace {
constexpr ExchangeOptions kOnce{.emptyAgain = false};
} // namespace

DmxTransfer::DmxTransfer(Host& host, TransferView view) : m_host(host), m_view(std::move(view)) {}

QByteArray DmxTransfer::BlockFrame(const DmxMap& map, int block)
{
    QByteArray f = "[01" + Hex4(64 * block);
    for (int i = 64 * block; i < 64 * block + 64; ++i)
        f += Hex2(map.channel(i));
    return f + ']';
}

bool DmxTransfer::ChecksumMatches(const QByteArray& reply, const QByteArray& checksum)
{
    return Mid(reply, 2, 16) == checksum;
}

QString DmxTransfer::FirmwareText(const QByteArray& reply) { return QString::fromLatin1(Mid(reply, 2, 18)); }

bool DmxTransfer::WSComPrg(int shapeIndex, const QByteArray& frame)
{
    BusLink link(m_host);
    CommFault = !link.exchange(BusFrameShape(shapeIndex), frame, kOnce);
    if (!CommFault)
        LastReply = link.reply();
    return !CommFault;
}

bool DmxTransfer::PreparePort()
{
    if (!OpenPort(m_host))
        return false;
    SerialPort& port = m_host.comQV();
    if (port.isOpen())
        port.close();
    if (!port.open()) {
        m_host.dialogs().message(QStringLiteral("Invalid COM Port."), QStringLiteral("COM Error"),
                                 MsgIcon::Exclamation);
        return false;
    }
    BusLink(m_host).select(Channel::Brown);
    return true;
}

void DmxTransfer::commFault()
{
    m_host.dialogs().message(QStringLiteral("Comm Fault"), QStringLiteral("Fault"), MsgIcon::Critical);
    m_view.hideAll();
    ClosePort(m_host);
}

TransferResult DmxTransfer::Download(const DmxMap& map)
{
    bool prepared = false;
    BlockTransfer::Plan plan;
    plan.blocks = kBlocks;
    plan.prepare = [&] {
        prepared = PreparePort();
        return prepared ? Step::done() : Step::portFailed();
    };
    plan.progress = [&](int b) { m_view.setBar(b, kBlocks); };
    // The acknowledgement's content is not examined; only that four characters came in time.
    plan.block = [&](int b) {
        return WSComPrg(shape::DmxBlockWrite, BlockFrame(map, b)) ? Step::done() : Step::failed(kCommFault);
    };
    plan.verify = [&] {
        const QByteArray checksum = DmxChecksum(map);
        if (!WSComPrg(shape::DmxChecksum, "[03]"))
            return Step::failed(kCommFault);
        if (!ChecksumMatches(LastReply, checksum))
            return Step::failed(kChecksumFault);
        // The port is free before the technician reads that all went well.
        ClosePort(m_host);
        return Step::done();
    };
    plan.messages.verified = {QStringLiteral("Download Complete"), QStringLiteral("Downlaod"), MsgIcon::None};
    plan.messages.failed = [](int code) -> BlockTransfer::Message {
        switch (code) {
        case kCommFault: return {QStringLiteral("Comm Fault"), QStringLiteral("Fault"), MsgIcon::Critical};
        case kChecksumFault:
            return {
                QStringLiteral("Download Failed.\r\nChecksum Fault.\r\nDevice Will NOT Function Properly."),
                QStringLiteral("Download Failure"), MsgIcon::Critical};
        default: return {};
        }
    };
    plan.finish = [&] {
        if (!prepared)
            return;
        m_view.hideAll();
        ClosePort(m_host);
    };
    return BlockTransfer(m_host).run(plan);
}

TransferResult DmxTransfer::FirmwareRev()
{
    if (!PreparePort())
        return {TransferOutcome::PortError};
    if (!WSComPrg(shape::DmxFirmware, "[04]")) {
        commFault();
        return {TransferOutcome::Failed, kCommFault};
    }
    ClosePort(m_host);
    m_host.dialogs().message(FirmwareText(LastReply), QStringLiteral("Device Firmware Revision"),
                             MsgIcon::Information);
    return {};
}

} // namespace tqdt::dmx
