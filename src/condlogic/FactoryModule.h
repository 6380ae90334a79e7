#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <functional>
#include <optional>

namespace tqdt {
class Host;
}

namespace tqdt::cnd {

// A conditional input module on the bench cable (the Blue channel), as the factory tool talks to
// it: find its node, read its eight inputs, have the module at node 00 reload its factory default
// program and check the result by checksum. The window calls these and shows what they return; the
// frames, reply checks and the expected checksum live only here.
//
//     FactoryModule module(host);
//     const int node = module.find([&](int n) { showPolling(n); });
//     if (auto inputs = module.readInputs(node)) light(*inputs);
//     switch (module.applyDefault()) { ... }
class FactoryModule {
public:
    // The checksum of the factory default image: every output follows its own input, no notes.
    static constexpr const char* kDefaultChecksum = "2712A28D262BF736";
    static constexpr int kNodes = 256;

    enum class DefaultResult {
        Verified,        // the module's checksum is the factory default's
        NoAnswer,        // the reload command went unanswered
        Refused,         // the module answered something other than "D5"
        NoChecksum,      // the checksum request went unanswered
        ChecksumDiffers, // the module holds something else
    };

    explicit FactoryModule(Host& host);

    // One poll of node n; true when a module answered there.
    [[nodiscard]] bool poll(int node);
    // Polls nodes 00 to FF in turn and stops at the first that answers; -1 when none did.
    // polling(n) runs before each poll, so the window can show the node being tried.
    int find(const std::function<void(int node)>& polling = {});
    // The inputs of the module at node, bit b for input b + 1; nothing when it did not answer.
    std::optional<quint8> readInputs(int node);
    // The sixteen checksum digits of the program the module at node 00 holds; nothing when it did
    // not answer.
    std::optional<QByteArray> readChecksum();
    // Has the module at node 00 reload its default program and compares its checksum.
    DefaultResult applyDefault();

private:
    // Empties the receive buffer once, sends, and waits as the frame's row of BusFrameShapes() says;
    // the reply, or nothing when it did not come in time.
    std::optional<QByteArray> command(int row, const QByteArray& frame);

    Host& m_host;
};

} // namespace tqdt::cnd
