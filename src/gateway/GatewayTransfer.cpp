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
    return request(row, text).has_value();
}

std::optional<QByteArray> GatewayTransfer::request(int row, const QByteArray& text)
{
    // The gateway's rows name no channel: the transfer never moves the DTR line.
    const FrameShape& s = BusFrameShape(row);
    BusLink link(m_host);
    if (!link.exchange(s, GatewayFrame(text)) || link.reply().size() < s.replyLength ||
        !CheckNetReply(link.reply()))
        return std::nullopt;
    return link.reply();
}

void GatewayTransfer::progress(int n, const char* verb)
{
    if (n % 16 != 0)
        return;
    m_view.setBar(n, kBlocks);
    m_view.setLabel(QStringLiteral("%1 Block %2 Of %3").arg(QLatin1String(verb)).arg(n).arg(kBlocks));
}

int GatewayTransfer::verify(int bank)
{
    m_view.setLabel(QStringLiteral("Verify Checksum For Memory Bank: %1").arg(bank));
    const std::optional<QByteArray> reply = request(shape::GatewayChecksum, ChecksumCommand(bank));
    if (!reply)
        return 52;
    const quint32 device = ChecksumReplyValue(*reply);
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

BlockTransfer::Plan GatewayTransfer::plan(const QString& caption)
{
    BlockTransfer::Plan plan;
    plan.blocks = kBlocks;
    plan.cancel = m_cancel;
    plan.prepare = [this, caption]() -> Step {
        m_view.showCaption(caption);
        SerialPort& port = m_host.comQV();
        if (!ReopenPort(m_host, port, kLine))
            return Step::portFailed();
        port.setRts(true);
        return Step::done();
    };
    plan.verify = [this]() -> Step {
        for (int bank = 0; bank < kBanks; ++bank)
            if (const int code = verify(bank))
                return Step::failed(code);
        return Step::done();
    };
    plan.finish = [this] {
        if (m_host.comQV().isOpen())
            m_host.comQV().close();
        m_view.hideAll();
    };
    return plan;
}

TransferResult GatewayTransfer::run(const BlockTransfer::Plan& plan)
{
    if (!m_host.comQV().isOpen() && !OpenPort(m_host))
        return {TransferOutcome::PortError};
    return BlockTransfer(m_host).run(plan);
}

TransferResult GatewayTransfer::DownloadGateway()
{
    using Message = BlockTransfer::Message;
    BlockTransfer::Plan plan = this->plan(QStringLiteral("Download To Gateway"));
    plan.prepare = [this, open = plan.prepare]() -> Step {
        const Step s = open();
        if (!s.ok)
            return s;
        m_view.setLabel(QStringLiteral("Reset Device Memory"));
        for (int i = 0; i < 4; ++i)
            if (!SendGatewayCommand(shape::GatewayReset, ResetCommand(i)))
                return Step::failed(21 + i);
        m_view.setBar(0, kBlocks);
        return Step::done();
    };
    plan.block = [this](int n) -> Step {
        const int bank = n / kBlocksPerBank, address = (n % kBlocksPerBank) * kBlockCells;
        // The resets left the gateway's memory zero, so a block of zeros need not travel.
        const qint16* cells = m_image.cells(bank, address);
        if (!allZero(cells) &&
            !SendGatewayCommand(shape::GatewayWriteBlock, WriteBlockCommand(bank, address, cells)))
            return Step::failed(4);
        progress(n + 1, "Downloading");
        return Step::done();
    };
    plan.messages.verified = {QStringLiteral("Download Complete"), QStringLiteral("Download"), MsgIcon::None};
    plan.messages.cancelled = {QStringLiteral("Manual Download Cancel.\r\n") + kMayNotFunction,
                               QStringLiteral("Download"), MsgIcon::Exclamation};
    plan.messages.failed = [](int code) {
        return Message{QStringLiteral("Download Error: %1\r\n").arg(code) + kMayNotFunction,
                       QStringLiteral("Error"), MsgIcon::Critical};
    };
    return run(plan);
}

TransferResult GatewayTransfer::UploadGateway()
{
    using Message = BlockTransfer::Message;
    BlockTransfer::Plan plan = this->plan(QStringLiteral("Upload From Gateway"));
    plan.prepare = [this, open = plan.prepare]() -> Step {
        const Step s = open();
        if (s.ok)
            m_view.setBar(0, kBlocks);
        return s;
    };
    plan.block = [this](int n) -> Step {
        const int bank = n / kBlocksPerBank, address = (n % kBlocksPerBank) * kBlockCells;
        const std::optional<QByteArray> reply =
            request(shape::GatewayReadBlock, ReadBlockCommand(bank, address));
        if (!reply)
            return Step::failed(71);
        // Stored as they come, which is no edit of the user's.
        const auto cells = ReadReplyCells(*reply);
        for (int i = 0; i < kBlockCells; ++i)
            m_image.load(bank, address + i, cells[size_t(i)]);
        progress(n + 1, "Uploading");
        return Step::done();
    };
    plan.messages.verified = {QStringLiteral("Upload Complete"), QStringLiteral("Upload"), MsgIcon::None};
    plan.messages.cancelled = {QStringLiteral("Manual Upload Cancel.\r\n") + kCleared,
                               QStringLiteral("Upload"), MsgIcon::Exclamation};
    plan.messages.failed = [](int code) {
        return Message{QStringLiteral("Upload Error: %1\r\n").arg(code) + kCleared, QStringLiteral("Error"),
                       MsgIcon::Critical};
    };
    // The editor never keeps a partly uploaded map.
    m_cleared = false;
    plan.afterFailure = [this](const BlockTransfer::Result&) {
        m_image.ClearImage();
        m_cleared = true;
    };
    return run(plan);
}

} // namespace tqdt::gw
