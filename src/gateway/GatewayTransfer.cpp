#include "gateway/GatewayTransfer.h"

#include "gateway/GatewayProtocol.h"
#include "shell/FrameCodec.h"
#include "shell/Host.h"
#include "shell/Settings.h"

namespace tqdt::gw {

namespace {
const QString kLine = QStringLiteral("38400,N,8,1");
const QString kMayNotFunction =
    QStringLiteral("Quorvel Controller May Not Function\r\nProperly Until A Download Is Complete.");
const QString kCleared = QStringLiteral("All Host Data Cleared.");

bool allZero(const qint16* cells)
{
    return std::all_of(cells, cells + kBlockCells, [](qint16 c) { return c == 0; });
}
} // namespace

GatewayTransfer::GatewayTransfer(Host& host, GatewayImage& image, TransferView view)
    : m_host(host), m_image(image), m_view(std::move(view))
{
}

bool GatewayTransfer::SendGatewayCommand(const QByteArray& text, int replyLen)
{
    SerialPort& port = m_host.comQV();
    EmptyReceiveBuffer(m_host);
    const QByteArray frame = GatewayFrame(text);
    EmptyReceiveBuffer(m_host);
    port.output(frame);
    Stopwatch& sw = m_host.stopwatch();
    sw.StopwatchStart();
    port.waitForCount(replyLen, sw, kReplyLimitMs);
    if (sw.StopwatchElapsed() >= kReplyLimitMs)
        return false;
    // Everything that waits is the reply, whatever input length the port was left with.
    const int len = port.inputLen();
    port.setInputLen(0);
    m_host.reply.ReplyText = port.input();
    port.setInputLen(len);
    const QByteArray& reply = m_host.reply.ReplyText;
    return reply.size() >= replyLen && CheckNetReply(reply);
}

bool GatewayTransfer::begin(const QString& caption)
{
    if (!OpenPort(m_host))
        return false;
    if (m_view.show)
        m_view.show(caption);
    SerialPort& port = m_host.comQV();
    if (port.isOpen())
        port.close();
    port.setSettings(kLine);
    if (!port.open()) {
        m_host.dialogs().message(QStringLiteral("Unable To Open Port"), QStringLiteral("Port Error"),
                                 MsgIcon::Critical);
        end();
        return false;
    }
    port.setRts(true);
    m_cancel = false;
    return true;
}

void GatewayTransfer::end()
{
    SerialPort& port = m_host.comQV();
    if (port.isOpen())
        port.close();
    if (m_view.hide)
        m_view.hide();
}

bool GatewayTransfer::yieldAndCheckCancel()
{
    if (m_yield)
        m_yield();
    return m_cancel;
}

void GatewayTransfer::progress(int n, const char* verb)
{
    if (n % 16 != 0)
        return;
    if (m_view.bar)
        m_view.bar(n, kBlocks);
    if (m_view.label)
        m_view.label(QStringLiteral("%1 Block %2 Of %3").arg(QLatin1String(verb)).arg(n).arg(kBlocks));
}

int GatewayTransfer::verify(int bank)
{
    if (m_view.label)
        m_view.label(QStringLiteral("Verify Checksum For Memory Bank: %1").arg(bank));
    if (!SendGatewayCommand(ChecksumCommand(bank), kChecksumReplyLen))
        return 52;
    const quint32 device = ChecksumReplyValue(m_host.reply.ReplyText);
    // Bank 0 holds the point records and options; a cell there that is not a byte cannot reach the
    // gateway as it is, so each one is named while the sum goes on.
    std::function<void(int, qint16)> report;
    if (bank == 0)
        report = [this](int address, qint16 value) {
            m_host.dialogs().message(QStringLiteral("%1 A:%2").arg(value).arg(address), QString(),
                                     MsgIcon::None);
        };
    const quint32 host = ImageChecksum(m_image, bank, report);
    if ((device >> 16) != (host >> 16))
        return bank == 0 ? 61 : 63;
    if ((device & 0xFFFF) != (host & 0xFFFF))
        return bank == 0 ? 62 : 64;
    return 0;
}

TransferResult GatewayTransfer::downloadFailed(int code)
{
    m_host.dialogs().message(QStringLiteral("Download Error: %1\r\n").arg(code) + kMayNotFunction,
                             QStringLiteral("Error"), MsgIcon::Critical);
    end();
    return {Outcome::Failed, code};
}

TransferResult GatewayTransfer::uploadFailed(int code)
{
    m_image.ClearImage();
    m_host.dialogs().message(QStringLiteral("Upload Error: %1\r\n").arg(code) + kCleared,
                             QStringLiteral("Error"), MsgIcon::Critical);
    end();
    return {Outcome::Failed, code};
}

TransferResult GatewayTransfer::DownloadGateway()
{
    if (!begin(QStringLiteral("Download To Gateway")))
        return {Outcome::PortError};
    if (m_view.label)
        m_view.label(QStringLiteral("Reset Device Memory"));
    for (int i = 0; i < 4; ++i)
        if (!SendGatewayCommand(ResetCommand(i), kAckLen))
            return downloadFailed(21 + i);
    if (m_view.bar)
        m_view.bar(0, kBlocks);
    int n = 0;
    for (int bank = 0; bank < kBanks; ++bank)
        for (int k = 0; k < kBlocksPerBank; ++k) {
            if (yieldAndCheckCancel()) {
                m_host.dialogs().message(QStringLiteral("Manual Download Cancel.\r\n") + kMayNotFunction,
                                         QStringLiteral("Download"), MsgIcon::Exclamation);
                end();
                return {Outcome::Cancelled};
            }
            // The resets left the gateway's memory zero, so a block of zeros need not travel.
            const qint16* cells = m_image.cells(bank, k * kBlockCells);
            if (!allZero(cells) &&
                !SendGatewayCommand(WriteBlockCommand(bank, k * kBlockCells, cells), kAckLen))
                return downloadFailed(4);
            progress(++n, "Downloading");
        }
    for (int bank = 0; bank < kBanks; ++bank)
        if (const int code = verify(bank))
            return downloadFailed(code);
    m_host.dialogs().message(QStringLiteral("Download Complete"), QStringLiteral("Download"), MsgIcon::None);
    end();
    return {Outcome::Complete};
}

TransferResult GatewayTransfer::UploadGateway()
{
    if (!begin(QStringLiteral("Upload From Gateway")))
        return {Outcome::PortError};
    if (m_view.bar)
        m_view.bar(0, kBlocks);
    int n = 0;
    for (int bank = 0; bank < kBanks; ++bank)
        for (int k = 0; k < kBlocksPerBank; ++k) {
            if (yieldAndCheckCancel()) {
                // The editor never keeps a partly uploaded map.
                m_image.ClearImage();
                m_host.dialogs().message(QStringLiteral("Manual Upload Cancel.\r\n") + kCleared,
                                         QStringLiteral("Upload"), MsgIcon::Exclamation);
                end();
                return {Outcome::Cancelled};
            }
            if (!SendGatewayCommand(ReadBlockCommand(bank, k * kBlockCells), kReadReplyLen))
                return uploadFailed(71);
            const auto cells = ReadReplyCells(m_host.reply.ReplyText);
            for (int i = 0; i < kBlockCells; ++i)
                m_image.load(bank, k * kBlockCells + i, cells[size_t(i)]);
            progress(++n, "Uploading");
        }
    for (int bank = 0; bank < kBanks; ++bank)
        if (const int code = verify(bank))
            return uploadFailed(code);
    m_host.dialogs().message(QStringLiteral("Upload Complete"), QStringLiteral("Upload"), MsgIcon::None);
    end();
    return {Outcome::Complete};
}

} // namespace tqdt::gw
