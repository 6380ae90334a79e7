#pragma once

#include "condlogic/CndDocument.h"

#include <QtGlobal>

#include <array>

namespace tqdt::cnd {

constexpr int kMapWidth = 36;  // x = 0..35
constexpr int kMapHeight = 50; // y = 0..49
constexpr int kMapPoints = kMapWidth * kMapHeight;
constexpr int kLeftRailX = 1;
constexpr int kRightRailX = 34;

// Point states of the conductor map.
enum PixState : quint8 { PixNone = 0, PixConductor = 1, PixEnergised = 2 };

// Picture colours as red, green, blue in one number.
constexpr quint32 kWhite = 0xFFFFFF;
constexpr quint32 kBlack = 0x000000;
constexpr quint32 kPureRed = 0xFF0000;

// The visible form of the conductor map: a 36 x 50 picture whose pixels are read and written one
// at a time. The window paints it; a colour other than black or pure red reads as no conductor.
class LogicPicture {
public:
    LogicPicture() { pixels.fill(kWhite); }
    // White outside the picture, as an empty surface reads.
    quint32 GetPixel(int x, int y) const;
    void SetPixelV(int x, int y, quint32 rgb);

    std::array<quint32, kMapPoints> pixels;
};

// The four points a cell puts on the map for one input pattern.
struct CellPoints {
    bool up = false, left = false, junction = false, down = false;
};
// Codes outside 0..15 draw nothing and inputs outside 0..15 read as off, so a damaged document can
// never reach outside the pattern.
CellPoints cellPoints(int code, int input, quint16 mask);

// The conductor map with its list of conductor points and the build and flood that evaluate one
// diagram for one input pattern. The map lives in memory (the compiler's form) or on the picture
// (the Test button's form); usePicture chooses which one the point operations work on.
class LogicMap {
public:
    struct Pix {
        qint16 x = 0, y = 0;
    };

    bool usePicture = false;
    std::array<quint8, kMapPoints> mem{};
    LogicPicture picTest;
    // Points in the order the build set them; an entry with x = 0 ends the list.
    std::array<Pix, kMapPoints> PixList{};
    int PixCount = 0;

    // Point operations on the form usePicture selects. Points off the map read 0 and ignore writes.
    int LogicPixGet(int x, int y) const;
    void LogicPixSet(int x, int y, int state);
    void LogicPixAdd(int x, int y, int state);
    // The memory form only, whatever usePicture says.
    void SetImagePix(int x, int y, int state);
    // Energises a conductor point; false (and nothing changed) for any other point.
    bool TPix(int x, int y);
    bool TPixMem(int x, int y);

    // Build the map for one output and pattern: on the picture (usePicture set), and in memory.
    void LogicLoad(const CndDocument& doc, int output, quint16 mask);
    void LogicLoadMem(const CndDocument& doc, int output, quint16 mask);
    // Flood energy from the left rail at (1, 1): on the picture (usePicture set), and in memory.
    void LogicTest();
    void LogicTestMem();

    // After a flood: the output point (34, 1) is energised on the form in use.
    bool outputOn() const { return LogicPixGet(kRightRailX, 1) == PixEnergised; }

    // Clears the memory map and the list.
    void clearMem();

private:
    template <bool Picture> int get(int x, int y) const;
    template <bool Picture> void set(int x, int y, int state);
    template <bool Picture> void add(int x, int y, int state);
    template <bool Picture> bool energise(int x, int y);
    template <bool Picture> void put(int x, int y, int state);
    template <bool Picture> bool flow(int x, int y);
    template <bool Picture> void load(const CndDocument& doc, int output, quint16 mask);
    template <bool Picture> void flood();

    bool m_passChanged = false;
    std::array<bool, kMapPoints> m_done{};
};

// The literal evaluation: build the memory map and flood it; true when the output is on.
bool evaluateLiteral(LogicMap& map, const CndDocument& doc, int output, quint16 mask);

} // namespace tqdt::cnd
