#pragma once

#include <QByteArray>

#include <array>

namespace tqdt {

// The last 50 frames seen by a monitor, assembled character by character: every "[" completes the
// frame before it. Lives for the whole run, so a monitor opened later first shows older frames.
struct MonitorRing {
    static constexpr int kFrames = 50;
    std::array<QByteArray, 51> MonFrames; // entry 50 is never used
    qint16 MonIndex = 0;
    QByteArray MonCurrent;

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
    }
};

} // namespace tqdt
