#pragma once

#include <QByteArray>

#include <array>
#include <functional>

namespace tqdt {

// The last 50 frames seen by a monitor, assembled character by character: every "[" completes the
// frame before it. Lives for the whole run, so a monitor opened later first shows older frames.
struct MonitorRing {
    static constexpr int kFrames = 50;
    std::array<QByteArray, 51> MonFrames; // entry 50 is never used
    qint16 MonIndex = 0;
    QByteArray MonCurrent;
    // Sees every piece of received text as it arrives, after the ring has taken it (an open
    // monitor's details table listens here).
    std::function<void(const QByteArray&)> tap;

    void receive(char c)
    {
        if (c == '[') {
            MonIndex = qint16((MonIndex + 1) % kFrames);
            MonFrames[size_t(MonIndex)] = MonCurrent;
            MonCurrent = "[";
        } else {
            MonCurrent += c;
        }
    }
    void receive(const QByteArray& text)
    {
        for (char c : text)
            receive(c);
        if (tap)
            tap(text);
    }
};

} // namespace tqdt
