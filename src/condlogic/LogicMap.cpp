#include "condlogic/LogicMap.h"

namespace tqdt::cnd {

namespace {

constexpr bool onMap(int x, int y) { return x >= 0 && x < kMapWidth && y >= 0 && y < kMapHeight; }
constexpr int pointIndex(int x, int y) { return y * kMapWidth + x; }

constexpr quint32 stateColour(int state)
{
    return state == PixEnergised ? kPureRed : state == PixConductor ? kBlack : kWhite;
}

} // namespace

quint32 LogicPicture::GetPixel(int x, int y) const
{
    return onMap(x, y) ? pixels[size_t(pointIndex(x, y))] : kWhite;
}

void LogicPicture::SetPixelV(int x, int y, quint32 rgb)
{
    if (onMap(x, y))
        pixels[size_t(pointIndex(x, y))] = rgb & 0xFFFFFF;
}

CellPoints cellPoints(int code, int input, quint16 mask)
{
    CellPoints p;
    if (code <= 0 || code > 15)
        return p;
    p.junction = true;
    p.up = (code & 1) != 0;
    p.down = (code & 2) != 0;
    if (code >= 4 && code <= 7) {
        p.left = true;
    } else if (code >= 8) {
        const bool on = input >= 0 && input < kInputs && ((mask >> input) & 1) != 0;
        p.left = isClosedContact(code) ? !on : on;
    }
    return p;
}

template <bool Picture> int LogicMap::get(int x, int y) const
{
    if constexpr (Picture) {
        const quint32 c = picTest.GetPixel(x, y);
        return c == kPureRed ? PixEnergised : c == kBlack ? PixConductor : PixNone;
    } else {
        return onMap(x, y) ? int(mem[size_t(pointIndex(x, y))]) : int(PixNone);
    }
}

template <bool Picture> void LogicMap::set(int x, int y, int state)
{
    if constexpr (Picture) {
        picTest.SetPixelV(x, y, stateColour(state));
    } else {
        if (onMap(x, y))
            mem[size_t(pointIndex(x, y))] = quint8(state);
    }
}

template <bool Picture> void LogicMap::add(int x, int y, int state)
{
    set<Picture>(x, y, state);
    if (state > 0 && PixCount < kMapPoints)
        PixList[size_t(PixCount++)] = {qint16(x), qint16(y)};
}

template <bool Picture> bool LogicMap::energise(int x, int y)
{
    if (get<Picture>(x, y) != PixConductor)
        return false;
    set<Picture>(x, y, PixEnergised);
    m_passChanged = true;
    return true;
}

int LogicMap::LogicPixGet(int x, int y) const { return usePicture ? get<true>(x, y) : get<false>(x, y); }
void LogicMap::LogicPixSet(int x, int y, int state)
{
    usePicture ? set<true>(x, y, state) : set<false>(x, y, state);
}
void LogicMap::LogicPixAdd(int x, int y, int state)
{
    usePicture ? add<true>(x, y, state) : add<false>(x, y, state);
}
void LogicMap::SetImagePix(int x, int y, int state) { add<false>(x, y, state); }
bool LogicMap::TPix(int x, int y) { return usePicture ? energise<true>(x, y) : energise<false>(x, y); }
bool LogicMap::TPixMem(int x, int y) { return energise<false>(x, y); }

// The builds and floods go through the named point operations: the picture's through the ones
// usePicture steers (the Test button sets it), memory's through the ones that ignore it.
template <bool Picture> void LogicMap::put(int x, int y, int state)
{
    if constexpr (Picture)
        LogicPixAdd(x, y, state);
    else
        SetImagePix(x, y, state);
}

template <bool Picture> bool LogicMap::flow(int x, int y)
{
    if constexpr (Picture)
        return TPix(x, y);
    else
        return TPixMem(x, y);
}

template <bool Picture> void LogicMap::load(const CndDocument& doc, int output, quint16 mask)
{
    PixList.fill(Pix{});
    PixCount = 0;
    for (int y = 1; y <= 48; ++y) {
        put<Picture>(kLeftRailX, y, PixConductor);
        put<Picture>(kRightRailX, y, PixConductor);
    }
    for (int c = 0; c < kCells; ++c) {
        const int x0 = 2 * (c % kColumns) + 2, x1 = x0 + 1;
        const int y0 = 3 * (c / kColumns) + 1, y1 = y0 + 1, y2 = y0 + 2;
        if constexpr (Picture) {
            // The picture keeps whatever was drawn before, so the whole cell is wiped first.
            for (int x : {x0, x1})
                for (int y : {y0, y1, y2})
                    set<true>(x, y, PixNone);
        }
        const CellPoints p = cellPoints(doc.code(output, c), doc.input(output, c), mask);
        put<Picture>(x1, y0, p.up ? PixConductor : PixNone);
        put<Picture>(x0, y1, p.left ? PixConductor : PixNone);
        put<Picture>(x1, y1, p.junction ? PixConductor : PixNone);
        put<Picture>(x1, y2, p.down ? PixConductor : PixNone);
    }
}

template <bool Picture> void LogicMap::flood()
{
    m_done.fill(false);
    set<Picture>(kLeftRailX, 1, PixEnergised);
    do {
        m_passChanged = false;
        for (int i = 0; i < kMapPoints && PixList[size_t(i)].x != 0; ++i) {
            const int x = PixList[size_t(i)].x, y = PixList[size_t(i)].y;
            if (m_done[size_t(i)] || get<Picture>(x, y) != PixEnergised)
                continue;
            m_done[size_t(i)] = true;
            for (int k = 1; flow<Picture>(x - k, y); ++k) {
            }
            for (int k = 1; flow<Picture>(x + k, y); ++k) {
            }
            for (int k = 1; flow<Picture>(x, y - k); ++k) {
            }
            for (int k = 1; flow<Picture>(x, y + k); ++k) {
            }
        }
    } while (m_passChanged);
}

void LogicMap::LogicLoad(const CndDocument& doc, int output, quint16 mask)
{
    Q_ASSERT(usePicture);
    load<true>(doc, output, mask);
}
void LogicMap::LogicLoadMem(const CndDocument& doc, int output, quint16 mask)
{
    load<false>(doc, output, mask);
}
void LogicMap::LogicTest()
{
    Q_ASSERT(usePicture);
    flood<true>();
}
void LogicMap::LogicTestMem() { flood<false>(); }

void LogicMap::clearMem()
{
    mem.fill(PixNone);
    PixList.fill(Pix{});
    PixCount = 0;
}

bool evaluateLiteral(LogicMap& map, const CndDocument& doc, int output, quint16 mask)
{
    map.usePicture = false;
    map.LogicLoadMem(doc, output, mask);
    map.LogicTestMem();
    return map.mem[size_t(pointIndex(kRightRailX, 1))] == PixEnergised;
}

} // namespace tqdt::cnd
