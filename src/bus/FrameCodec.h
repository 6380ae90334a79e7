#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>

// The bus's text frames as pure functions: hex fields, the two checksums, frame builders and reply
// checks. Nothing here touches a port, the host or the settings; BusLink.h sends what these build.

namespace tqdt {

// The code array every checksum is computed over.
constexpr int kCodeArraySize = 401;
using CodeArray = std::array<qint16, kCodeArraySize>;

// Fills codes[i] with the code (0-255) of character i + 1 of text and returns the length of text.
// Entries past the end of the array are never written.
qint32 DxStrToArray(const QByteArray& text, CodeArray& codes);

// Fixed-width upper-case hexadecimal text; wider values keep their low digits.
QByteArray Hex1(qint16 v);
QByteArray Hex2(qint16 v);
QByteArray Hex2L(qint32 v);
QByteArray Hex4(qint32 v);
QByteArray Hex6(qint32 v);
// The value of the first 1, 2 or 4 characters read as hex digits up to the first non-digit.
qint32 HexVal1(const QByteArray& text);
qint32 HexVal2(const QByteArray& text);
qint32 HexVal4(const QByteArray& text);

// Frame checksums over the character codes of text (0-255). A text longer than the code array
// has no checksum: -1, which no two-digit field matches.
int NetChecksum(const QByteArray& text);
int DevChecksum(const QByteArray& text);

// "[" + checksum + node + command + data + "]"
QByteArray BuildNetFrame(qint16 node, const QByteArray& commandAndData);
// "[" + class + address + command + data + checksum + "]"
QByteArray BuildDevFrame(char deviceClass, qint16 address, const QByteArray& commandAndData);
// Appends the device checksum and "]" to a text that starts with "[".
QByteArray SealDevFrame(const QByteArray& textBeforeChecksum);

// The checksum at positions 2-3 against the rest of the reply.
bool CheckNetReply(const QByteArray& reply);
// The checksum at 1-based position checksumPos against the first n - 3 characters.
bool CheckDevReply(const QByteArray& reply, int checksumPos);

// The text at 1-based position pos, count characters long, or less where the text ends.
QByteArray Mid(const QByteArray& text, int pos, int count);

// The interface module's two channels, chosen by the DTR line.
enum class Channel { Blue, Brown };

} // namespace tqdt
