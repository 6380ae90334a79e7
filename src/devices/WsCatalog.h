#pragma once

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace tqdt::ws {

// The four wall-station families and what their type bytes mean. Everything here is data the
// windows and the command line read; nothing talks to a port.

enum class Family { Legacy, G3, DualTechWall, Kestrix };

// --- Legacy stations: model code in the high four bits, revision in the low four. ---

struct LegacyModel {
    int code;
    const char* text; // the part before the revision; nullptr: the station shows nothing
};
// The shown text of a legacy type byte, or nothing for code 15 (the previous text stays).
std::optional<QString> legacyText(int typeByte);

struct ConfigEntry {
    const char* text;
    int code;
};
// The target models of the legacy window's configuration list, in list order.
extern const std::array<ConfigEntry, 13> kLegacyConfigList;
// The top of each visible button marker of a legacy faceplate (markers 0 up); empty when none.
const std::vector<int>& legacyFaceplate(int code);
// Only the slider models show the input image as a number.
bool legacyIsSlider(int code);

// --- G3, dual-technology wall sensor and Kestrix: a type byte and a revision byte. ---

struct NamedCode {
    int code;
    const char* name;
};

struct FamilyCatalog {
    int modelMask; // clears the flag bits that are not part of the model code
    int saBit;     // set in the "SA - " variant of a plain model
    int lookupMask;
    std::vector<NamedCode> plain;
    const char* revisionSeparator;
    const char* invalidText;
    bool invalidShowsRevision;
    bool invalidShowsByte; // the byte AND 0x7F follows the invalid text
};
const FamilyCatalog& catalog(Family family);

// The catalogue name of a type byte: plain names first, then the "SA - " variants; nothing when
// the byte names no model.
std::optional<QString> modelName(Family family, int typeByte);
// The whole status text: name, separator and revision as two digits, or the family's invalid text.
QString typeText(Family family, int typeByte, int revision);
// The dual-technology ceiling sensor names itself by the low two bits of its status byte (1 DT only,
// 2 photocell only, 3 both, 0 unknown); the text its window shows, with the revision.
QString ceilingTypeText(int statusByte, int revision);
// Kestrix audible-touch and wipe-down bits as the switch window shows them.
QString kestrixOptionsText(int typeByte);

// The G3 and Kestrix windows' configuration lists (G3: code sent; Kestrix: model code before the
// option bits are added).
extern const std::array<ConfigEntry, 26> kG3ConfigList;
extern const std::array<ConfigEntry, 6> kKestrixConfigList;
// The dual-technology wall sensor's list: entry j is model code 64 + j.
extern const std::array<const char*, 17> kDualTechWallConfigList;

// --- Extra indication rows of the multi-address, zone and scene models. ---

struct ExtraRows {
    bool secondDevice = false;
    bool thirdDevice = false;
    int zones = -1; // zone count; -1: no zone rows
    int zoneBit = 0;
    int scenes = -1; // scene count; -1: no scene row
    bool hasZones() const { return zones >= 0; }
    bool hasScenes() const { return scenes >= 0; }
    bool any() const { return secondDevice || thirdDevice || hasZones() || hasScenes(); }
};
// By the full type byte (G3, dual-technology wall) or the model code (Kestrix).
ExtraRows extraRows(Family family, int typeByte);

// Row bits: zone i is lit up (upper) or down when its bit of the first status byte and the row's
// status bit of the second are both set; scene i follows bit 5 - i of the first status byte.
std::array<bool, 8> zoneRow(const ExtraRows& rows, int statusB, int statusC, bool upper);
std::array<bool, 8> sceneRow(const ExtraRows& rows, int statusB);

// --- Faceplates. ---

// One G3 button: size in rows (1, 2, 3 or 6), the row it starts in, or a rocker half in row 6.
struct G3Key {
    int button;
    int size;
    int row;
    bool up = false;
    bool down = false;
};
const std::vector<G3Key>& g3Faceplate(int modelCode);

// Which pilot each lamp 3 to 7 of an echoing dual-technology wall sensor shows: the index into
// PilotOn, or -1 for dark.
std::array<int, 5> dualTechWallEchoPilots(int wsType);

} // namespace tqdt::ws
