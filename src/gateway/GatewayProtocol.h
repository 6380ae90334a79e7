#pragma once

#include "gateway/GatewayImage.h"

#include <QByteArray>

#include <array>
#include <functional>

namespace tqdt::gw {

// The gateway's memory moves in blocks of 64 cells: banks 0 and 1, 1,024 blocks each.
constexpr int kBlockCells = 64;
constexpr int kBlocksPerBank = kBankSize / kBlockCells;
constexpr int kBlocks = kBanks * kBlocksPerBank;

// What the gateway answers, in characters, and how long the tool waits for it.
constexpr int kAckLen = 6;
constexpr int kReadReplyLen = 132;
constexpr int kChecksumReplyLen = 12;
constexpr int kReplyLimitMs = 15000;

// The command texts (the frame's body after the node): the four memory resets in the order they are
// sent, block write and read, and the bank checksum query.
QByteArray ResetCommand(int i);
QByteArray WriteBlockCommand(int bank, int address, const qint16* cells);
QByteArray ReadBlockCommand(int bank, int address);
QByteArray ChecksumCommand(int bank);
// "[" checksum "00" command "]": every command goes to node 00 as a network frame.
QByteArray GatewayFrame(const QByteArray& command);

// The cells of a read reply: characters 4 + 2i and 5 + 2i (from 1) are cell i.
std::array<qint16, kBlockCells> ReadReplyCells(const QByteArray& reply);
// The bank checksum a reply carries: the high half at characters 4-7, the low half at 8-11.
quint32 ChecksumReplyValue(const QByteArray& reply);

// The gateway's bank checksum over the image: a 32-bit register from 0xFFFFFFFF, one shift per cell.
// outsideByte, when given, hears of every cell that is not a byte value (address, value), in address
// order, without stopping the computation.
quint32 ImageChecksum(const GatewayImage& image, int bank,
                      const std::function<void(int address, qint16 value)>& outsideByte = {});
// The same register over plain bytes, as the gateway computes it over its memory.
quint32 BytesChecksum(const quint8* bytes, int count);

} // namespace tqdt::gw
