#include "devices/WsCatalog.h"

#include <algorithm>
#include <map>

namespace tqdt::ws {

namespace {

QString twoDigits(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

// The shown text of each legacy model before its revision. The slider's DB value is
// (code - 7) x 2 and the MZD zone count code - 9; the station firmware spells "Slidder".
const std::array<LegacyModel, 16> kLegacyModels = {{
    {0, " Type: 0 Button  Rev: "},
    {1, " Type: 1 Button  Rev: "},
    {2, " Type: 2 Button  Rev: "},
    {3, " Type: 3 Button  Rev: "},
    {4, " Type: 4 Button  Rev: "},
    {5, " Type: 5 Button  Rev: "},
    {6, " Type: 6 Button  Rev: "},
    {7, " Type: Slidder DB=0  Rev: "},
    {8, " Type: Slidder DB=2  Rev: "},
    {9, " Type: Slidder DB=4  Rev: "},
    {10, " Type: Slidder DB=6  Rev: "},
    {11, " Type: MZD-2  Rev: "},
    {12, " Type: MZD-3  Rev: "},
    {13, " Type: MZD-4  Rev: "},
    {14, " Type: 8 Button  Rev: "},
    {15, nullptr},
}};

const FamilyCatalog kG3{0xBF,
                        64,
                        0xFF,
                        {{1, " 1-MZD"},     {2, " 1-Scene R"},   {3, " 2-Scene R"},  {4, " 3-Scene R"},
                         {5, " 4-Scene R"}, {6, " 5-Scene R"},   {7, " Test Mode"},  {8, " 2-Zone ND"},
                         {9, " 3-Zone ND"}, {10, " 4-Zone ND"},  {11, " 5-Zone ND"}, {12, " 6/7-Zone ND"},
                         {16, " 2-MZD"},    {17, " 3-MZD"},      {18, " 4-MZD"},     {19, " 5-MZD"},
                         {20, " 6-MZD"},    {21, " 4/2 SMZD"},   {22, " 3/3 SMZD"},  {23, " 2/4 SMZD"},
                         {24, " 1 Scene"},  {25, " 2 Scene"},    {26, " 3 Scene"},   {27, " 4 Scene"},
                         {28, " 5 Scene"},  {29, " 2-MZD 2 Btn"}},
                        " Rev: ",
                        " Invalid Type. Configure Device.",
                        false,
                        false};

const FamilyCatalog kDualTechWall{0xDF,
                                  32,
                                  0xFF,
                                  {{64, " 1 Zone MZD"},
                                   {65, " 2 Zone MZD"},
                                   {66, " 3 Zone MZD"},
                                   {67, " 1 Zone w/Off"},
                                   {68, " 2 Zone w/Off"},
                                   {69, " 3 Zone w/Off"},
                                   {70, " 1 Scene"},
                                   {71, " 2 Scene"},
                                   {72, " 3 Scene"},
                                   {73, " 1 Scene/3 Zone"},
                                   {74, " 2 Scene/2 Zone"},
                                   {75, " 3 Scene/1 Zone"},
                                   {76, " 4 Zone MZD"},
                                   {77, " 4 Zone w/Off"},
                                   {78, " 4 Scene"},
                                   {79, " Test Mode"},
                                   {80, " 1 Button"}},
                                  "   Rev: ",
                                  " Invalid Type",
                                  true,
                                  false};

// The Kestrix type byte carries audible touch (bit 7) and the wipe-down bits (3, 4) beside the model.
const FamilyCatalog kKestrix{0x67,
                             64,
                             0x67,
                             {{32, " 6 Button"},
                              {33, " 3 Scene"},
                              {34, " 4 Scene"},
                              {35, " MZD-3 Zone"},
                              {36, " MZD-4 Zone"},
                              {37, " 2 Zone/2 Scene"}},
                             " Rev: ",
                             " Invalid Type: ",
                             false,
                             true};

// The faceplate of each legacy model: the tops of its visible button markers.
const std::map<int, std::vector<int>> kLegacyFaceplates = {
    {1, {164}},
    {2, {104, 224}},
    {3, {64, 164, 264}},
    {4, {104, 144, 184, 224}},
    {11, {104, 144, 184, 224}},
    {5, {64, 104, 144, 184, 224}},
    {12, {64, 104, 144, 184, 224}},
    {6, {64, 104, 144, 184, 224, 264}},
    {13, {64, 104, 144, 184, 224, 264}},
    {14, {64, 104, 144, 184, 224, 264}},
};

// Extra rows by type byte range, first match wins.
struct RowRange {
    int from, to;
    ExtraRows rows;
};

ExtraRows second() { return ExtraRows{true, false, -1, 0, -1}; }
ExtraRows secondAndThird() { return ExtraRows{true, true, -1, 0, -1}; }
ExtraRows zones(int count, int bit, int scenes = -1) { return ExtraRows{false, false, count, bit, scenes}; }
ExtraRows scenes(int count) { return ExtraRows{false, false, -1, 0, count}; }

const std::vector<RowRange> kG3Rows = {
    {16, 18, second()},    {24, 29, second()},       {19, 23, secondAndThird()}, {80, 80, zones(2, 3)},
    {81, 81, zones(3, 4)}, {82, 82, zones(4, 5)},    {83, 83, zones(5, 6)},      {84, 84, zones(6, 6)},
    {93, 93, zones(2, 2)}, {85, 85, zones(2, 6, 4)}, {86, 86, zones(3, 6, 3)},   {87, 87, zones(4, 6, 2)},
    {88, 88, scenes(1)},   {89, 89, scenes(2)},      {90, 90, scenes(3)},        {91, 91, scenes(4)},
    {92, 92, scenes(5)},
};

// Zone rows "w/Off" have no zone count of their own: both rows stay grey.
const std::vector<RowRange> kDualTechWallRows = {
    {64, 80, second()},         {96, 96, zones(1, 4)},      {97, 97, zones(2, 5)},
    {98, 98, zones(3, 6)},      {99, 101, zones(0, 6)},     {102, 102, scenes(1)},
    {103, 103, scenes(2)},      {104, 104, scenes(3)},      {105, 105, zones(3, 6, 0)},
    {106, 106, zones(2, 6, 0)}, {107, 107, zones(1, 6, 0)}, {108, 109, zones(4, 6)},
    {110, 110, scenes(4)},
};

const std::vector<RowRange> kKestrixRows = {
    {33, 37, second()},    {97, 97, scenes(3)},     {98, 98, scenes(4)},
    {99, 99, zones(3, 4)}, {100, 100, zones(4, 4)}, {101, 101, zones(2, 4, 2)},
};

std::vector<G3Key> singles(int count)
{
    std::vector<G3Key> keys;
    for (int b = 0; b < count; ++b)
        keys.push_back({b, 1, b});
    return keys;
}
std::vector<G3Key> withRocker(std::vector<G3Key> keys)
{
    const int n = int(keys.size());
    keys.push_back({n, 1, 6, true, false});
    keys.push_back({n + 1, 1, 6, false, true});
    return keys;
}

} // namespace

std::optional<QString> legacyText(int typeByte)
{
    const LegacyModel& m = kLegacyModels[size_t((typeByte / 16) & 15)];
    if (!m.text)
        return std::nullopt;
    return QString::fromLatin1(m.text) + twoDigits(typeByte % 16);
}

const std::array<ConfigEntry, 13> kLegacyConfigList = {{
    {"Configure 1 Button", 1},
    {"Configure 2 Button", 2},
    {"Configure 3 Button", 3},
    {"Configure 4 Button", 4},
    {"Configure 5 Button", 5},
    {"Configure 6 Button", 6},
    {"Configure MZD-2 Zone", 11},
    {"Configure MZD-3 Zone", 12},
    {"Configure MZD-4 Zone", 13},
    {"Configure Slider DB=0", 7},
    {"Configure Slider DB=2", 8},
    {"Configure Slider DB=4", 9},
    {"Configure Slider DB=6", 10},
}};

const std::vector<int>& legacyFaceplate(int code)
{
    static const std::vector<int> none;
    auto it = kLegacyFaceplates.find(code);
    return it == kLegacyFaceplates.end() ? none : it->second;
}

bool legacyIsSlider(int code) { return code >= 7 && code <= 10; }

const FamilyCatalog& catalog(Family family)
{
    switch (family) {
    case Family::DualTechWall: return kDualTechWall;
    case Family::Kestrix: return kKestrix;
    case Family::G3:
    case Family::Legacy: break;
    }
    return kG3;
}

std::optional<QString> modelName(Family family, int typeByte)
{
    const FamilyCatalog& c = catalog(family);
    const int key = typeByte & c.lookupMask;
    for (const NamedCode& n : c.plain)
        if (n.code == key)
            return QString::fromLatin1(n.name);
    for (const NamedCode& n : c.plain)
        if (n.code + c.saBit == key)
            return QStringLiteral(" SA - ") + QString::fromLatin1(n.name + 1);
    return std::nullopt;
}

QString ceilingTypeText(int statusByte, int revision)
{
    static const char* const kNames[4] = {" Unknown", " DT Only", " PC Only", " DT/PC"};
    return QString::fromLatin1(kNames[statusByte & 3]) + QStringLiteral(" - Rev: ") + twoDigits(revision);
}

QString typeText(Family family, int typeByte, int revision)
{
    const FamilyCatalog& c = catalog(family);
    const QString rev = QString::fromLatin1(c.revisionSeparator) + twoDigits(revision);
    if (auto name = modelName(family, typeByte))
        return *name + rev;
    QString text = QString::fromLatin1(c.invalidText);
    if (c.invalidShowsByte)
        text += QString::number(typeByte & 0x7F);
    if (c.invalidShowsRevision)
        text += rev;
    return text;
}

QString kestrixOptionsText(int typeByte)
{
    QString text = (typeByte & 128) ? QStringLiteral(" Audio: On") : QStringLiteral(" Audio: Off");
    if (!(typeByte & 8))
        text += QStringLiteral("     Wipe Down: Disabled");
    else if (typeByte & 16)
        text += QStringLiteral("     Wipe Down: 12 Sec");
    else
        text += QStringLiteral("     Wipe Down: 6 Sec");
    return text;
}

const std::array<ConfigEntry, 26> kG3ConfigList = {{
    {"1-MZD", 1},        {"1-Scene R", 2}, {"2-Scene R", 3},    {"3-Scene R", 4},  {"4-Scene R", 5},
    {"5-Scene R", 6},    {"2-Zone ND", 8}, {"3-Zone ND", 9},    {"4-Zone ND", 10}, {"5-Zone ND", 11},
    {"6/7-Zone ND", 12}, {"2-MZD", 16},    {"2-MZD 2 Btn", 29}, {"3-MZD", 17},     {"4-MZD", 18},
    {"5-MZD", 19},       {"6-MZD", 20},    {"4/2 SMZD", 21},    {"3/3 SMZD", 22},  {"2/4 SMZD", 23},
    {"1 Scene", 24},     {"2 Scene", 25},  {"3 Scene", 26},     {"4 Scene", 27},   {"5 Scene", 28},
    {"Test Mode", 7},
}};

const std::array<ConfigEntry, 6> kKestrixConfigList = {{
    {"6 Button", 32},
    {"3 Scene", 33},
    {"4 Scene", 34},
    {"3 Zone MZD", 35},
    {"4 Zone MZD", 36},
    {"2 Scene / 2 Zone", 37},
}};

const std::array<const char*, 17> kDualTechWallConfigList = {
    " 1 Zone MZD", " 2 Zone MZD",   " 3 Zone MZD", " 1 Zone w/Off",   " 2 Zone w/Off",   " 3 Zone w/Off",
    " 1 Scene",    " 2 Scene",      " 3 Scene",    " 1 Scene/3 Zone", " 2 Scene/2 Zone", " 3 Scene/1 Zone",
    " 4 Zone MZD", " 4 Zone w/Off", " 4 Scene",    " Test Mode",      " 1 Button",
};

ExtraRows extraRows(Family family, int typeByte)
{
    const std::vector<RowRange>* table = nullptr;
    int key = typeByte;
    switch (family) {
    case Family::G3: table = &kG3Rows; break;
    case Family::DualTechWall: table = &kDualTechWallRows; break;
    case Family::Kestrix:
        table = &kKestrixRows;
        key = typeByte & kKestrix.modelMask;
        break;
    case Family::Legacy: return {};
    }
    for (const RowRange& r : *table)
        if (key >= r.from && key <= r.to)
            return r.rows;
    return {};
}

std::array<bool, 8> zoneRow(const ExtraRows& rows, int statusB, int statusC, bool upper)
{
    std::array<bool, 8> lit{};
    const int bit = rows.zoneBit + (upper ? 0 : 1);
    for (int i = 0; i < 8 && i < rows.zones; ++i)
        lit[size_t(i)] = ((statusB >> i) & 1) && ((statusC >> bit) & 1);
    return lit;
}

std::array<bool, 8> sceneRow(const ExtraRows& rows, int statusB)
{
    std::array<bool, 8> lit{};
    // Scene i is reported in bit 5 - i; there are never more than six.
    for (int i = 0; i < 8 && i < rows.scenes && i <= 5; ++i)
        lit[size_t(i)] = (statusB >> (5 - i)) & 1;
    return lit;
}

const std::vector<G3Key>& g3Faceplate(int modelCode)
{
    static const std::map<int, std::vector<G3Key>> plates = [] {
        std::map<int, std::vector<G3Key>> m;
        const auto set = [&m](std::initializer_list<int> codes, const std::vector<G3Key>& keys) {
            for (int c : codes)
                m[c] = keys;
        };
        set({1}, withRocker({{0, 6, 0}}));
        set({2, 24, 29}, withRocker({{0, 3, 0}, {1, 3, 3}}));
        set({3, 16, 25}, withRocker({{0, 2, 0}, {1, 2, 2}, {2, 2, 4}}));
        set({4, 17, 26}, withRocker({{0, 1, 0}, {1, 1, 1}, {2, 1, 2}, {3, 3, 3}}));
        set({5, 18, 27}, withRocker({{0, 1, 0}, {1, 1, 1}, {2, 1, 2}, {3, 1, 3}, {4, 2, 4}}));
        set({6, 7, 19, 20, 21, 22, 23, 28}, withRocker(singles(6)));
        set({8}, {{0, 3, 0}, {1, 3, 3}, {2, 1, 6}});
        set({9}, {{0, 2, 0}, {1, 2, 2}, {2, 2, 4}, {3, 1, 6}});
        set({10}, {{0, 1, 0}, {1, 1, 1}, {2, 1, 2}, {3, 1, 3}, {4, 3, 4}});
        std::vector<G3Key> eleven = singles(5);
        eleven.push_back({5, 2, 5});
        set({11}, eleven);
        set({12}, singles(7));
        return m;
    }();
    static const std::vector<G3Key> none;
    auto it = plates.find(modelCode);
    return it == plates.end() ? none : it->second;
}

std::array<int, 5> dualTechWallEchoPilots(int wsType)
{
    switch (wsType) {
    case 64:
    case 67:
    case 70: return {2, -1, 3, -1, -1};
    case 65:
    case 71: return {2, 3, 4, -1, -1};
    case 66:
    case 69:
    case 72:
    case 73:
    case 74:
    case 75:
    case 76:
    case 78: return {2, 3, 4, 5, -1};
    case 68: return {2, -1, 3, -1, 4};
    case 80: return {2, -1, -1, -1, -1};
    default: return {2, 3, 4, 5, 6};
    }
}

} // namespace tqdt::ws
