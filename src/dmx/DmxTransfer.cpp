#include "dmx/DmxTransfer.h"

#include "shell/BusLink.h"
#include "shell/Host.h"
#include "shell/Settings.h"

namespace tqdt::dmx {

namespace {
constexpr ExchangeOptions kOnce{.emptyAgain = false};
} // namespace

DmxTransfer::DmxTransfer(Host& host, Progress progress) : m_host(host), m_progress(std::move(progress)) {}

void DmxTransfer::show(int value)
{
    if (m_progress)
        m_progress(value);
}

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

bool DmxTransfer::WSComPrg(const QByteArray& frame, int count)
{
    BusLink link(m_host);
    CommFault = !link.exchange(Channel::Brown, frame, count, kLimitMs, kOnce);
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
    SelectBrownChannel(m_host);
    return true;
}

DmxResult DmxTransfer::commFault()
{
    m_host.dialogs().message(QStringLiteral("Comm Fault"), QStringLiteral("Fault"), MsgIcon::Critical);
    show(-1);
    ClosePort(m_host);
    return DmxResult::CommFault;
}

DmxResult DmxTransfer::Download(const DmxMap& map)
{
    if (!PreparePort())
        return DmxResult::PortError;
    show(0);
    for (int b = 0; b < kBlocks; ++b) {
        show(b);
        // The acknowledgement's content is not examined; only that four characters came in time.
        if (!WSComPrg(BlockFrame(map, b), kBlockReplyLen))
            return commFault();
    }
    const QByteArray checksum = DmxChecksum(map);
    if (!WSComPrg("[03]", kChecksumReplyLen))
        return commFault();
    if (!ChecksumMatches(LastReply, checksum)) {
        m_host.dialogs().message(
            QStringLiteral("Download Failed.\r\nChecksum Fault.\r\nDevice Will NOT Function Properly."),
            QStringLiteral("Download Failure"), MsgIcon::Critical);
        show(-1);
        ClosePort(m_host);
        return DmxResult::ChecksumFault;
    }
    ClosePort(m_host);
    m_host.dialogs().message(QStringLiteral("Download Complete"), QStringLiteral("Downlaod"), MsgIcon::None);
    show(-1);
    return DmxResult::Done;
}

DmxResult DmxTransfer::FirmwareRev()
{
    if (!PreparePort())
        return DmxResult::PortError;
    if (!WSComPrg("[04]", kFirmwareReplyLen))
        return commFault();
    ClosePort(m_host);
    m_host.dialogs().message(FirmwareText(LastReply), QStringLiteral("Device Firmware Revision"),
                             MsgIcon::Information);
    return DmxResult::Done;
}

} // namespace tqdt::dmx
