#pragma once

#include "bus/BlockTransfer.h"
#include "condlogic/CndDocument.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace tqdt {
class Host;
}

namespace tqdt::cnd {

// The block transfer to and from a conditional input module over the host's main port, a
// BlockTransfer with the module's frames. The connection check runs at 38400 baud, the blocks at
// 115200, and the port is left closed at 38400. Every message goes through the host's dialogs; the
// caller asks its questions before.
class ModuleTransfer {
public:
    static constexpr int kSwitchWaitMs = 500;
    static constexpr int kUploadBlocks = 32;
    static constexpr int kArrayReadBlocks = 256;
    // A download ends after this many consecutive frames without a reply: the module is gone.
    static constexpr int kUnansweredLimit = 3;

    // The codes of a failed transfer: the checksum was missing or different (or a block went
    // unanswered), or the module did not answer the connection check.
    static constexpr int kFailed = 1;
    static constexpr int kNoConnection = 2;

    // The block counter is the view's label ("Block 16 of 2304", "Host Checksum", "Device Checksum"),
    // hidden at the end.
    explicit ModuleTransfer(Host& host, TransferView view = {});

    // The senders. WSCom07 and WSComPrg leave the reply in ReplyText; WSComPrg's result only says
    // whether the reply came (a missing one leaves the older text there). WSComPrg waits as the
    // frame's row of BusFrameShapes() says, found by its command digit.
    bool WSCom07();
    bool WSCom04();
    bool WSComPrg(const QByteArray& frame);
    // WSComPrg with the reply it got, or nothing when none came in time.
    std::optional<QByteArray> request(const QByteArray& frame);

    // Closes and reopens the port at 38400 on the Blue channel, checks the connection, switches the
    // module to programming and reopens at 115200; fails with kNoConnection.
    Step OpenForProgramming();
    void CloseAfterProgramming();

    // Writes a 73,728-byte program image block by block and compares the whole-image checksums.
    // A single lost reply is passed over; three in a row end the download as failed.
    TransferResult Download(const QByteArray& image);
    // Reads the configuration area into doc, each block as it arrives, and compares the
    // configuration checksums; a block without a reply ends the upload as failed. onFailure runs after the
    // failure message, before the port closes.
    TransferResult Upload(CndDocument& doc, const std::function<void()>& onFailure = {});

    // "[2".."[5" with the eight bytes of one quarter of a block.
    static QByteArray DataFrame(int quarter, const char* bytes);
    // The read frame of upload block m, and of the 256 bytes from any address.
    static QByteArray ReadFrame(int block);
    static QByteArray ReadFrameAt(int address);

    // Reads the control array with the upload's read frames: 256 blocks of 256 bytes from 0x0000 to
    // 0xFF00 at the programming speed. A read without a whole reply ends it with failureText (its %1
    // is the block); *failedBlock then names the block. There is no checksum to compare.
    TransferResult ReadControlArray(QByteArray& bytes, const QString& failureText,
                                    const QString& failureTitle, int* failedBlock = nullptr);

private:
    void show(const QString& text);
    // The steps both directions share: the counter's first text and the connection, the checksum
    // question, and the close that ends every run.
    BlockTransfer::Plan plan(int blocks);
    TransferResult run(const BlockTransfer::Plan& plan);
    // Shows "Host Checksum" while the host's checksum is made, then asks the module; reports the
    // verdict with the direction's messages (a connection failure has its own).
    void verifyAndReport(BlockTransfer::Plan& p, std::function<QByteArray()> hostChecksum,
                         const QByteArray& request, const BlockTransfer::Message& verified,
                         const BlockTransfer::Message& failed);
    // Shows "Device Checksum" and asks the module; nothing when it did not answer this very request.
    std::optional<QByteArray> deviceChecksum(const QByteArray& request);
    bool reopen(const QString& settings);

    Host& m_host;
    TransferView m_view;
};

} // namespace tqdt::cnd
