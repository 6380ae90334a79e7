#pragma once

#include "devices/WsModels.h"

#include <QColor>

#include <array>
#include <optional>

class QComboBox;
class QObject;
class QLabel;
class QPushButton;
class QTimer;
class QWidget;

namespace tqdt {
class Host;
} // namespace tqdt

namespace tqdt::ws {

namespace wscolour {
inline const QColor kGreen{0, 255, 0};
inline const QColor kLightRed{255, 128, 128};
inline const QColor kYellow{255, 255, 0};
inline const QColor kDarkOlive{64, 64, 0};
inline const QColor kWhite{255, 255, 255};
inline const QColor kGrey96{96, 96, 96};
inline const QColor kCyan{0, 255, 255};
inline const QColor kRed{255, 0, 0};
} // namespace wscolour

// The background colour of a label, as the windows' status lines and indicators use it.
void setBack(QLabel* label, const QColor& colour);
QColor backOf(const QLabel* label);

// A drop-down list at a twip position.
QComboBox* placeList(QWidget* parent, const QString& name, int left, int top, int width);
// The device windows' poll timer, Timer1 at 50 ms; not started.
QTimer* makePollTimer(QObject* parent);

// The configure command's progress line. A station that did not answer the enable frame was not
// reconfigured, so only an answered one gets "Config Done"; and a station that restarts as another
// model than the one written did not take it, which the line says at the next identification.
struct ConfigLine {
    QLabel* lblConfig = nullptr;
    std::optional<int> expected; // the model an accepted write asked for, until the station is identified

    void create(QWidget* parent, int left, int top, int width);
    // "Configuring" on yellow, shown and painted at once.
    void configuring();
    // "Config Done" on green when the enable frame was answered, else a failure on light red. With
    // a model, the next identification is compared with it: only the G3 station shows its new model
    // at the next poll; the others show it after a restart, so theirs is never compared.
    void finished(bool answered, std::optional<int> model = std::nullopt);
    // A poll identified the station as reportedModel; true when that contradicts the write.
    bool identified(int reportedModel, const QString& text);
};

// The sensor windows' result line beside "Read From Sensor" and "Configure Sensor": the outcome of
// the last of the two, kept until the next one or until another address is chosen. The status line
// cannot carry it, since every poll rewrites that.
struct SensorResultLine {
    QLabel* lblResult = nullptr;

    void create(QWidget* parent, int left, int top, int width);
    // "Read Done" on green, or "No Response" on light red when a read-back went unanswered.
    void read(bool answered);
    // "Config Done" on green only when every frame was answered, else "Config Failed - No Response".
    void configured(bool answered);
    void clear();
};

// "Node: 00" ... for the first count addresses, entry 00 selected.
void fillAddressList(QComboBox* list, int count);

// "Find WS": the button shows each address as it is tried; the first that answers is selected.
// When none does, "No WS Devices Found" is shown. True when a station was found.
bool FindIntoList(Host& host, QPushButton* button, QComboBox* list);

// The rows under a multi-address, zone or scene station: the second and third device (or the "Up"
// and "Down" zone rows) and the scene row, eight bit labels each.
struct ExtraRowLabels {
    QLabel* lblDev2Add = nullptr;
    std::array<QLabel*, 8> lblDev2{};
    QLabel* lblDev3Add = nullptr;
    std::array<QLabel*, 8> lblDev3{};
    QLabel* lblCapScn = nullptr;
    std::array<QLabel*, 8> lblCap{};

    // Three rows at a twip position, 300 twips apart.
    void create(QWidget* parent, int left, int top);
    // Shows the rows this poll flagged and paints them. With colourAddress the second address turns
    // cyan when it answered and red when it did not; without it its bits just keep their colours.
    void show(const ws::RowsPoll& poll, int address, bool colourAddress);
};

} // namespace tqdt::ws
