#include "sim/Site.h"

namespace tqdt::sim {

// A four-channel dimmer: takes four levels with their fade (two fade digits, or six in WLI mode) and
// answers with the levels it now holds. It jumps to the level it was sent; the fade is kept but not
// played out, since nothing the tool reads depends on it.
std::optional<Reply> dimmerHandle(Dimmer& d, char command, const QByteArray& data)
{
    const bool wli = command == '8';
    if (command != '5' && !wli)
        return std::nullopt;
    const int fadeDigits = wli ? 6 : 2;
    if (data.size() != 4 * (2 + fadeDigits))
        return std::nullopt;
    for (int i = 0; i < 4; ++i) {
        const QByteArray field = data.mid(i * (2 + fadeDigits), 2 + fadeDigits);
        d.levels[size_t(i)] = quint8(HexVal2(field));
        d.fade = wli ? (HexVal4(field.mid(2)) << 8) + HexVal2(field.mid(6)) : HexVal2(field.mid(2));
    }
    d.wliMode = wli;
    QByteArray levels;
    for (quint8 l : d.levels)
        levels += Hex2(l);
    return Reply{devReply(levels)};
}

} // namespace tqdt::sim
