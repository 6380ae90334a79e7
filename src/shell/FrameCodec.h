#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace tqdt {

class Host;

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

enum class Channel { Blue, Brown };

struct ExchangeOptions {
    bool emptyAgain = true; // the bus routines empty the receive buffer a second time before writing
    bool readReply = true;  // false: the reply is waited for but left unread, ReplyText keeps its text
};

// One request/reply: select the channel, empty the receive buffer, write the frame in one write,
// restart the stopwatch and wait (blocking, not spinning) for replyLen characters or limitMs.
// When the stopwatch then shows limitMs or more the exchange has failed and nothing is read;
// otherwise the whole receive buffer is read into the reply store's ReplyText.
bool Exchange(Host& host, Channel channel, const QByteArray& frame, int replyLen, int limitMs,
              ExchangeOptions options = {});

// Empties the receive buffer of the host's port.
void EmptyReceiveBuffer(Host& host);

} // namespace tqdt
