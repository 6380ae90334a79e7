#pragma once

#include "bus/BlockTransfer.h"
#include "gateway/GatewayImage.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace tqdt {
class CancelToken;
class Host;
} // namespace tqdt

namespace tqdt::gw {

// A failed transfer's code is the number its error message shows: 4, 21-24, 52, 61-64 or 71.

// Downloads the image into the mapped gateway at node 00 and uploads it back, over the host's port at
// "38400,N,8,1" with RTS on; the DTR line, and with it the channel, is left as the port had it. Every
// message goes through the host's dialogs. With a cancel token, the transfer yields to the user before
// each block and stops there when the token was set; without one it runs to its end.
class GatewayTransfer {
public:
    GatewayTransfer(Host& host, GatewayImage& image, TransferView view = {}, CancelToken* cancel = nullptr);

    // One frame to node 00 and its reply: true when the reply length of the command's row of
    // BusFrameShapes() came within the row's limit and the reply's checksum agrees. The reply is left
    // in ReplyText.
    bool SendGatewayCommand(int row, const QByteArray& text);
    // The same with the reply it got, or nothing when it failed.
    std::optional<QByteArray> request(int row, const QByteArray& text);

    // The whole procedures, port and messages included. The download never changes the image; the
    // upload replaces it, and clears it when anything fails or is cancelled.
    TransferResult DownloadGateway();
    TransferResult UploadGateway();
    // Whether the last upload emptied the image ("All Host Data Cleared."): the map in memory is then
    // no longer the file's.
    bool imageCleared() const { return m_cleared; }

private:
    // What both directions share: the port, the plan's frame and the close; each direction adds its
    // blocks, its messages and, for the download, the resets.
    BlockTransfer::Plan plan(const QString& caption);
    TransferResult run(const BlockTransfer::Plan& plan);
    void progress(int n, const char* verb);
    // Asks the gateway for a bank's checksum and compares it with the image's: 0 or the failure code.
    int verify(int bank);

    Host& m_host;
    GatewayImage& m_image;
    TransferView m_view;
    CancelToken* m_cancel;
    bool m_cleared = false;
};

} // namespace tqdt::gw
