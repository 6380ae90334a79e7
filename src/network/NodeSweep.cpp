#include "network/NodeSweep.h"

#include "bus/FrameCodec.h"
#include "bus/modQVDT.h"

namespace tqdt::net {

QByteArray NodeSweep::caption(int index) { return "Node: " + Hex2(address(index)); }

void NodeSweep::FindNodes(Host& host, const Observer& changed)
{
    auto set = [&](int i, State s) {
        m_states[size_t(i)] = s;
        if (changed)
            changed(i, s);
    };
    for (int i = 0; i < kNodes; ++i) {
        set(i, State::Probing);
        set(i, NodeProbe(host, address(i)) ? State::Answered : State::Silent);
    }
}

} // namespace tqdt::net
