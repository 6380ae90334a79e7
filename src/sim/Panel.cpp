#include "sim/Site.h"

namespace tqdt::sim {

// A Quorvel panel on the network: 64 relays, answering the presence test, the node probe, the relay
// image read and single relay writes.
std::optional<Reply> panelHandle(Panel& panel, int address, const QByteArray& command)
{
    constexpr qint64 turnaround = 1500;
    if (command == "A")
        return Reply{"P", turnaround};
    if (command == "00")
        // Node, firmware revision and relay count: the twelve characters the node probe waits for.
        return Reply{netReply(Hex2(qint16(address)) + "0167" + Hex2(64)), turnaround};
    if (command == "25") {
        QByteArray data;
        for (int k = 0; k < 8; ++k)
            data += Hex2(panel.relayImageByte(k));
        data += QByteArray(16, '0'); // the second half of the image carries nothing the tool reads
        return Reply{netReply(data), turnaround};
    }
    // "10" + relay + state + "1"
    if (command.size() == 6 && command.startsWith("10") && command[5] == '1') {
        const int relay = HexVal2(command.mid(2, 2));
        if (relay < 64 && (command[4] == '0' || command[4] == '1')) {
            panel.relays[size_t(relay)] = command[4] == '1';
            return Reply{netReply({}), turnaround};
        }
    }
    return std::nullopt;
}

} // namespace tqdt::sim
