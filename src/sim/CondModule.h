#pragma once

#include "sim/Site.h"

#include <QByteArray>

namespace tqdt::sim {

// A conditional input module on the bench. At 38400 baud it answers the connection check, the
// search and input polls at its node, and the factory-default and checksum commands; after the
// programming switch it answers the block frames at 115200 baud. Its program memory starts out
// holding the factory default image, as a module leaves the factory.
class CondModule final : public SimDevice {
public:
    static constexpr int kMemorySize = 73728;
    static constexpr int kProgrammingBaud = 115200;

    explicit CondModule(int node = 0);

    std::optional<Reply> handle(Channel channel, const QByteArray& frame, const LineSettings& line) override;

    int node() const { return m_node; }
    void setNode(int node) { m_node = node; }
    quint8 inputs() const { return m_inputs; }
    void setInputs(quint8 bits) { m_inputs = bits; }

    QByteArray& memory() { return m_memory; }
    const QByteArray& memory() const { return m_memory; }
    void loadFactoryDefault();
    // The checksums it reports: of the whole memory, and of the configuration area.
    QByteArray imageChecksum() const;
    QByteArray configChecksum() const;

    // Faults, so that every failure the tools report can be shown.
    // Answers nothing at all (unplugged, or at another node after a power cycle).
    void setSilent(bool silent) { m_silent = silent; }
    // The (skip + 1)-th next frame that starts with prefix is neither stored nor answered.
    void dropFrame(const QByteArray& prefix, int skip = 0);
    // A damaged memory cell: whatever is stored at address keeps bit 0 inverted.
    void corruptByte(int address) { m_badCell = address; }
    // The answer to the factory-default command instead of "D5".
    void setDefaultReply(const QByteArray& data) { m_defaultReply = data; }

private:
    std::optional<Reply> busFrame(const QByteArray& frame);
    std::optional<Reply> programmingFrame(const QByteArray& frame);
    void store(int address, quint8 value);
    bool dropping(const QByteArray& frame);

    int m_node;
    quint8 m_inputs = 0;
    QByteArray m_memory;
    bool m_programming = false; // armed by "[2004A1--]"
    int m_block = 0;            // where the next data frames go

    bool m_silent = false;
    QByteArray m_dropPrefix;
    int m_dropSkip = -1;
    int m_badCell = -1;
    QByteArray m_defaultReply = "D5";
};

} // namespace tqdt::sim
