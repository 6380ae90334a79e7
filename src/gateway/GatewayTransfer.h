#pragma once

#include "gateway/GatewayImage.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace tqdt {
class CancelToken;
class Host;
} // namespace tqdt

namespace tqdt::gw {

// Why a transfer ended, with the number the error message shows.
enum class Outcome { Complete, Failed, Cancelled, PortError };
struct TransferResult {
    Outcome outcome = Outcome::Complete;
    int code = 0;         // 4, 21-24, 52, 61-64 or 71 when Failed
    bool cleared = false; // an upload that did not verify emptied the image ("All Host Data Cleared.")
};

// What the progress frame shows during a transfer; any part may be left empty.
struct TransferView {
    std::function<void(const QString& caption)> show; // the frame appears, label empty, bar at 0
    std::function<void(const QString& text)> label;
    std::function<void(int value, int maximum)> bar;
    std::function<void()> hide;
};

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

    // The whole procedures, port and messages included. The download never changes the image; the
    // upload replaces it, and clears it when anything fails or is cancelled.
    TransferResult DownloadGateway();
    TransferResult UploadGateway();

private:
    TransferResult run(bool upload);
    void progress(int n, const char* verb);
    // Asks the gateway for a bank's checksum and compares it with the image's: 0 or the failure code.
    int verify(int bank);

    Host& m_host;
    GatewayImage& m_image;
    TransferView m_view;
    CancelToken* m_cancel;
};

} // namespace tqdt::gw
