#include "gateway/GatewayTransfer.h"
#include "ports/OpenPort.h"

#include "bus/BlockTransfer.h"
#include "bus/BusLink.h"
#include "documents/Settings.h"
#include "gateway/GatewayProtocol.h"
#include "host/Host.h"

namespace tqdt::gw {

namespace {
const QString kLine = QStringLiteral("38400,N,8,1");
const QString kMayNotFunction =
    QStringLiteral("Quorvel Controller May Not Function\r\nProperly Until A Download Is Complete.");
const QString kCleared = QStringLiteral("All Host Data Cleared.");
// The port could not be opened again at the gateway's line: its box has said so.
constexpr int kPortFailed = -1;

bool allZero(const qint16* cells)
{
    return std::all_of(cells, cells + kBlockCells, [](qint16 c) { return c == 0; });
}
} // namespace

GatewayTransfer::GatewayTransfer(Host& host, GatewayImage& image, TransferView view, CancelToken* cancel)
    : m_host(host), m_image(image), m_view(std::move(view)), m_cancel(cancel)
{
}

bool GatewayTransfer::SendGatewayCommand(int row, const QByteArray& text)
{
    // The gateway's rows name no channel: the transfer never moves the DTR line.
    const FrameShape& s = BusFrameShape(row);
    BusLink link(m_host);
    return link.exchange(s, GatewayFrame(text)) && link.reply().size() >= s.replyLength &&
           CheckNetReply(link.reply());
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
    if (!SendGatewayCommand(shape::GatewayChecksum, ChecksumCommand(bank)))
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

TransferResult GatewayTransfer::run(bool upload)
{
    SerialPort& port = m_host.comQV();
    if (!port.isOpen() && !OpenPort(m_host))
        return {Outcome::PortError};
    if (m_view.show)
        m_view.show(upload ? QStringLiteral("Upload From Gateway") : QStringLiteral("Download To Gateway"));

    bool cleared = false;
    BlockTransfer::Plan plan;
    plan.blocks = kBlocks;
    plan.cancel = m_cancel;
    plan.prepare = [&]() -> Step {
        if (!ReopenPort(m_host, port, kLine))
            return Step::failed(kPortFailed);
        port.setRts(true);
        if (!upload) {
            if (m_view.label)
                m_view.label(QStringLiteral("Reset Device Memory"));
            for (int i = 0; i < 4; ++i)
                if (!SendGatewayCommand(shape::GatewayReset, ResetCommand(i)))
                    return Step::failed(21 + i);
        }
        if (m_view.bar)
            m_view.bar(0, kBlocks);
        return Step::done();
    };
    plan.block = [&](int n) -> Step {
        const int bank = n / kBlocksPerBank, address = (n % kBlocksPerBank) * kBlockCells;
        if (upload) {
            if (!SendGatewayCommand(shape::GatewayReadBlock, ReadBlockCommand(bank, address)))
                return Step::failed(71);
            // Stored as they come, which is no edit of the user's.
            const auto cells = ReadReplyCells(m_host.reply.ReplyText);
            for (int i = 0; i < kBlockCells; ++i)
                m_image.load(bank, address + i, cells[size_t(i)]);
        } else {
            // The resets left the gateway's memory zero, so a block of zeros need not travel.
            const qint16* cells = m_image.cells(bank, address);
            if (!allZero(cells) &&
                !SendGatewayCommand(shape::GatewayWriteBlock, WriteBlockCommand(bank, address, cells)))
                return Step::failed(4);
        }
        progress(n + 1, upload ? "Uploading" : "Downloading");
        return Step::done();
    };
    plan.verify = [&]() -> Step {
        for (int bank = 0; bank < kBanks; ++bank)
            if (const int code = verify(bank))
                return Step::failed(code);
        return Step::done();
    };
    using Message = BlockTransfer::Message;
    if (upload) {
        plan.messages.verified = {QStringLiteral("Upload Complete"), QStringLiteral("Upload"), MsgIcon::None};
        plan.messages.cancelled = {QStringLiteral("Manual Upload Cancel.\r\n") + kCleared,
                                   QStringLiteral("Upload"), MsgIcon::Exclamation};
        plan.messages.failed = [](int code) {
            return code == kPortFailed ? Message{}
                                       : Message{QStringLiteral("Upload Error: %1\r\n").arg(code) + kCleared,
                                                 QStringLiteral("Error"), MsgIcon::Critical};
        };
        // The editor never keeps a partly uploaded map.
        plan.afterFailure = [this, &cleared](const BlockTransfer::Result&) {
            m_image.ClearImage();
            cleared = true;
        };
    } else {
        plan.messages.verified = {QStringLiteral("Download Complete"), QStringLiteral("Download"),
                                  MsgIcon::None};
        plan.messages.cancelled = {QStringLiteral("Manual Download Cancel.\r\n") + kMayNotFunction,
                                   QStringLiteral("Download"), MsgIcon::Exclamation};
        plan.messages.failed = [](int code) {
            return code == kPortFailed
                       ? Message{}
                       : Message{QStringLiteral("Download Error: %1\r\n").arg(code) + kMayNotFunction,
                                 QStringLiteral("Error"), MsgIcon::Critical};
        };
    }
    plan.finish = [&] {
        if (port.isOpen())
            port.close();
        if (m_view.hide)
            m_view.hide();
    };
    const BlockTransfer::Result r = BlockTransfer(m_host).run(plan);
    switch (r.outcome) {
    case BlockTransfer::Outcome::Verified: return {Outcome::Complete};
    case BlockTransfer::Outcome::Cancelled: return {Outcome::Cancelled, 0, cleared};
    case BlockTransfer::Outcome::Failed: break;
    }
    return r.code == kPortFailed ? TransferResult{Outcome::PortError, 0, cleared}
                                 : TransferResult{Outcome::Failed, r.code, cleared};
}

TransferResult GatewayTransfer::DownloadGateway() { return run(false); }
TransferResult GatewayTransfer::UploadGateway() { return run(true); }

} // namespace tqdt::gw
