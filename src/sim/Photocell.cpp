#include "sim/Site.h"

namespace tqdt::sim {

// A photocell controller answers the status query like a wall station: first byte the 2-second
// level, second byte the 30-second level. The pilot mask it is sent means nothing to it.
std::optional<Reply> photocellHandle(Photocell& p, char command, const QByteArray& data)
{
    if (command != '7' || data.size() != 2)
        return std::nullopt;
    return Reply{devReply(Hex2(p.level02) + Hex2(p.level30))};
}

} // namespace tqdt::sim
