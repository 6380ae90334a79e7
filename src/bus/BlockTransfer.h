#pragma once

#include "host/Dialogs.h"

#include <QString>

#include <functional>
#include <optional>

namespace tqdt {

class CancelToken;
class Host;
class SerialPort;

// The shape every block download and upload shares: prepare the device (reopen the port at the
// transfer's line settings, connect, switch it to programming, reset its memory), move the blocks
// one by one with progress, compare the device's checksum with the host's, tell the user, and
// finish (close the port, hide the counter) whatever happened. A transfer supplies the steps; the
// order, the cancel rule and the reporting live here once.
//
//     BlockTransfer::Plan plan;
//     plan.blocks = 2048;
//     plan.prepare = [&] { return ReopenPort(host, port, "38400,n,8,1") ? Step::done()
//                                                                       : Step::portFailed(); };
//     plan.progress = [&](int n) { if (n % 16 == 0) showCount(n); };
//     plan.block = [&](int n) { return link.exchange(writeFrame(n), 6, 15000) ? Step::done()
//                                                                             : Step::failed(4); };
//     plan.verify = [&] { return BlockTransfer::compare(hostSum(), deviceSum(), 52, 61); };
//     plan.messages.verified = {"Download Complete", "Download"};
//     plan.messages.failed = [](int code) { return Message{"Download Error: " + ..., "Error", Critical}; };
//     plan.messages.cancelled = {"Manual Download Cancel. ...", "Download", MsgIcon::Exclamation};
//     plan.cancel = &m_cancel;              // a Cancel button: honoured at block boundaries
//     plan.finish = [&] { port.close(); hideProgress(); };
//     const TransferResult r = BlockTransfer(host).run(plan);
//
// Only the blocks can be cancelled: before each one the transfer yields to the user (the host's
// yield seam) and stops when the token was set. Preparation and verification run to their end.

// What a step reports: done, failed with the transfer's own code (0 where it has none), or a port
// that could not be opened (its box has already said so).
struct Step {
    bool ok = true;
    int code = 0;
    bool port = false;
    static Step done() { return {}; }
    static Step failed(int code = 0) { return {false, code}; }
    static Step portFailed() { return {false, 0, true}; }
};

// How every transfer ends: the module's, the gateway's and the DMX gateway's, in the windows and on
// the command line alike. A failure carries its transfer's own code: the number the gateway's error
// message shows, or the module's and the DMX gateway's named codes.
enum class TransferOutcome { Verified, Failed, Cancelled, PortError };
struct TransferResult {
    TransferOutcome outcome = TransferOutcome::Verified;
    int code = 0;       // the failing step's code
    int blocksDone = 0; // blocks moved before the end
    bool verified() const { return outcome == TransferOutcome::Verified; }
    bool failedWith(int c) const { return outcome == TransferOutcome::Failed && code == c; }
};

// What a transfer's progress display shows; any part may be left empty. The module windows show a
// block counter (label), the gateway window a frame with a label and a bar, the DMX map a bar; the
// command line writes one line that overwrites itself.
struct TransferView {
    std::function<void(const QString& caption)> show; // the display appears, label empty, bar at 0
    std::function<void(const QString& text)> label;   // the step, or the block count
    std::function<void(int value, int maximum)> bar;
    std::function<void()> hide;

    void showCaption(const QString& caption) const
    {
        if (show)
            show(caption);
    }
    void setLabel(const QString& text) const
    {
        if (label)
            label(text);
    }
    void setBar(int value, int maximum) const
    {
        if (bar)
            bar(value, maximum);
    }
    void hideAll() const
    {
        if (hide)
            hide();
    }
};

class BlockTransfer {
public:
    using Outcome = TransferOutcome;
    using Result = TransferResult;

    // One message box; an empty text shows nothing (a step that has already said why).
    struct Message {
        QString text;
        QString title;
        MsgIcon icon = MsgIcon::None;
    };
    struct Messages {
        Message verified;
        std::function<Message(int code)> failed;
        Message cancelled;
    };

    struct Plan {
        int blocks = 0;
        std::function<Step()> prepare;
        // Runs before block n (0-based); the transfer chooses how often it repaints.
        std::function<void(int n)> progress;
        std::function<Step(int n)> block;
        std::function<Step()> verify;
        Messages messages;
        // After the failure or cancel message (none for a port that failed), before finish (an upload
        // clears what it read).
        std::function<void(const Result&)> afterFailure;
        // Always, last.
        std::function<void()> finish;
        CancelToken* cancel = nullptr;
    };

    explicit BlockTransfer(Host& host);
    Result run(const Plan& plan);

    // The usual verification: no device answer fails with noAnswerCode, a different text with
    // differsCode.
    static Step compare(const QByteArray& hostChecksum, const std::optional<QByteArray>& deviceChecksum,
                        int noAnswerCode, int differsCode);

private:
    void show(const Message& m);

    Host& m_host;
};

// Closes the port when open, sets the line settings and opens it again; a failure shows the one
// "Unable To Open Port" box (OpenPort).
[[nodiscard]] bool ReopenPort(Host& host, SerialPort& port, const QString& lineSettings);

} // namespace tqdt
