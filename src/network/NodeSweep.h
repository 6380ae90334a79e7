#pragma once

#include <QByteArray>

#include <array>
#include <functional>

namespace tqdt {
class Host;
} // namespace tqdt

namespace tqdt::net {

// One pass over the panel network addresses 01 to FE with the node probe. FF is the broadcast
// address and is never probed. What each address did is kept until the next pass reaches it.
class NodeSweep {
public:
    static constexpr int kNodes = 254;
    enum class State { NotReached, Probing, Answered, Silent };
    // Runs whenever an address changes state, so the window can repaint that one label at once.
    using Observer = std::function<void(int index, State state)>;

    // Probes every address once, in order, without yielding.
    void FindNodes(Host& host, const Observer& changed = {});

    State state(int index) const { return m_states[size_t(index)]; }
    // Index i stands for address i + 1.
    static qint16 address(int index) { return qint16(index + 1); }
    // "Node: 01" ... "Node: FE"
    static QByteArray caption(int index);

private:
    std::array<State, kNodes> m_states{};
};

} // namespace tqdt::net
