#pragma once

#include "gateway/GatewayImage.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace tqdt {
class Host;
}

namespace tqdt::gw {

// Why a transfer ended, with the number the error message shows.
enum class Outcome { Complete, Failed, Cancelled, PortError };
struct TransferResult {
    Outcome outcome = Outcome::Complete;
    int code = 0; // 4, 21-24, 52, 61-64 or 71 when Failed
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
// message goes through the host's dialogs. A Cancel is looked at before each block, after the
// pending events have run (yield).
class GatewayTransfer {
public:
    GatewayTransfer(Host& host, GatewayImage& image, TransferView view = {});

    // Lets the user interface run between blocks; a Cancel click lands in requestCancel().
    void setYield(std::function<void()> yield) { m_yield = std::move(yield); }
    void requestCancel() { m_cancel = true; }
    bool cancelRequested() const { return m_cancel; }

    // One frame to node 00 and its reply: true when at least replyLen characters came within
    // 15,000 ms and the reply's checksum agrees. The reply is left in ReplyText.
    bool SendGatewayCommand(const QByteArray& text, int replyLen);

    // The whole procedures, port and messages included. The download never changes the image; the
    // upload replaces it, and clears it when anything fails or is cancelled.
    TransferResult DownloadGateway();
    TransferResult UploadGateway();

private:
    bool begin(const QString& caption);
    void end();
    bool yieldAndCheckCancel();
    void progress(int n, const char* verb);
    // Asks the gateway for a bank's checksum and compares it with the image's: 0 or the failure code.
    int verify(int bank);
    TransferResult downloadFailed(int code);
    TransferResult uploadFailed(int code);

    Host& m_host;
    GatewayImage& m_image;
    TransferView m_view;
    std::function<void()> m_yield;
    bool m_cancel = false;
};

} // namespace tqdt::gw
