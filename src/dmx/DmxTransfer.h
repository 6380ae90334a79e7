#pragma once

#include "bus/BlockTransfer.h"
#include "dmx/DmxMap.h"

#include <QByteArray>

#include <functional>

namespace tqdt {
class Host;
}

namespace tqdt::dmx {

// The download of the channel cells into the DMX gateway and its firmware query, over the host's
// main port on the Brown channel at the standing line settings. Every message goes through the
// host's dialogs; the port is closed at the end of every path that got it open.
class DmxTransfer {
public:
    static constexpr int kBlocks = 8;
    // The codes of a failed transfer: a frame got no reply in time, or the gateway's checksum differs
    // from the map's.
    static constexpr int kCommFault = 1;
    static constexpr int kChecksumFault = 2;

    // The progress bar is the view's bar, at the block about to go (0-7 of kBlocks), hidden at the end.
    explicit DmxTransfer(Host& host, TransferView view = {});

    // "[01" + the block's first channel index (four digits) + its 64 cells, two digits each, + "]".
    static QByteArray BlockFrame(const DmxMap& map, int block);
    // Characters 2-17 of a checksum reply equal the map's checksum.
    static bool ChecksumMatches(const QByteArray& reply, const QByteArray& checksum);
    // Characters 2-19 of a firmware reply: a longer reply is cut, a shorter one is what there is.
    static QString FirmwareText(const QByteArray& reply);

    // Sends the frame and waits as its row of the frame-shape table says (two seconds for the
    // reply); sets CommFault and, when the reply came, LastReply.
    bool WSComPrg(int shapeIndex, const QByteArray& frame);

    // Opens the port, then closes and reopens it on the Brown channel; a failure has been reported.
    bool PreparePort();
    // Verified when the gateway's checksum matched, or the revision was read.
    TransferResult Download(const DmxMap& map);
    TransferResult FirmwareRev();

    bool CommFault = false;
    QByteArray LastReply;

private:
    // Reports a missing reply, hides the bar and closes the port.
    void commFault();

    Host& m_host;
    TransferView m_view;
};

} // namespace tqdt::dmx
