#include "condlogic/CndDocument.h"

namespace tqdt::cnd {

void CndDocument::clear()
{
    SegType.fill(0);
    SegInput.fill(0);
    NoteBytes.fill(0);
}

void CndDocument::factoryDefault()
{
    clear();
    for (int o = 0; o < kOutputs; ++o) {
        setCode(o, 0, SegOpen);
        setInput(o, 0, o);
        for (int c = 1; c < kColumns; ++c)
            setCode(o, c, SegWire);
    }
}

QString inputLabel(int input)
{
    if (input < 0 || input >= kInputs)
        return QStringLiteral("? %1").arg(input);
    return input < 8 ? QStringLiteral("I %1").arg(input + 1) : QStringLiteral("P %1").arg(input - 7);
}

} // namespace tqdt::cnd
