#pragma once

#include "network/ScanModel.h"
#include "ui/shell/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QScrollBar>

#include <array>
#include <functional>
#include <vector>

namespace tqdt::net {

// The scan windows' colours.
namespace scancolour {
inline const QColor Probe(0, 255, 255);
inline const QColor Present(255, 255, 255);
inline const QColor Absent(128, 128, 128);
inline const QColor Connected(128, 255, 128);
inline const QColor NoResponse(255, 128, 128);
inline const QColor Black(0, 0, 0);
inline const QColor White(255, 255, 255);
inline const QColor Green(0, 255, 0);
inline const QColor Yellow(255, 255, 0);
inline const QColor Red(255, 0, 0);
} // namespace scancolour

QColor errorColour(ErrorColour c);
// Fills a label's background and sets its text colour.
void paintLabel(QWidget* w, const QColor& background, const QColor& text = scancolour::Black);
QColor backgroundOf(const QWidget* w);
// A titled frame at a twip position.
QGroupBox* placeFrame(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                      int width, int height);
QComboBox* placeCombo(QWidget* parent, const QString& name, int left, int top, int width);
// A scroll bar with the range and large step the forms give.
QScrollBar* placeScroll(QWidget* parent, const QString& name, Qt::Orientation o, int max, int pageStep,
                        int left, int top, int width, int height);
// "Connected" on light green, or "No Response" on light red.
void showConnection(QLabel* label, bool connected);

// The node and error labels of one device family.
struct NodeGrid {
    std::vector<ClickLabel*> node;
    std::vector<QLabel*> error;

    // Slot s gets its node label at nodeLeft(s), top(s) and its error label at errorLeft(s), top(s).
    void build(QWidget* frame, const QString& nodeName, const QString& errorName, int count,
               const std::function<int(int)>& nodeLeft, const std::function<int(int)>& errorLeft,
               const std::function<int(int)>& top, int height);
    bool contains(int s) const { return s >= 0 && s < int(node.size()); }

    void showProbe(int s);
    void showFound(int s, bool found);
    void showError(int s, ErrorColour c, const QString& caption);
    // A found flag switched by hand: white or grey, black text.
    void showToggled(int s, bool found);
};

// A click on a node label: while scanning a found device is selected in its list; while stopped
// its found flag is switched by hand.
void NodeClick(bool scanning, NodeGrid& grid, NodeFamily& family, QComboBox* list, int slot);

// For unattended screenshots: an environment variable set to 1 asks a window to show more than it
// does on opening (TQDT_SCANNING: running with the first found devices selected).
bool ScreenshotAsks(const char* variable);
void SelectFirstFound(QComboBox* list, const NodeFamily& family);

// The wall-station status frame both scans show: the station list, its connection, the kind of
// inputs it has and, per kind, its inputs and pilots or its photocell levels.
class WsStatusControls {
public:
    QGroupBox* frmWSStatus = nullptr;
    QComboBox* cboWSNode = nullptr;
    QLabel* lblWSConnection = nullptr;
    std::array<QRadioButton*, 3> optWSType{};
    QGroupBox* frmOn = nullptr;
    QScrollBar* vsPilot = nullptr;
    std::array<QCheckBox*, 8> chkOnPilot{};
    std::array<QLabel*, 8> lblOnInput{};
    QGroupBox* frmOnOff = nullptr;
    std::array<QCheckBox*, 4> chkOnOffPilot{};
    std::array<QLabel*, 8> lblOnOffInput{};
    QGroupBox* frmPC = nullptr;
    QLabel* lbl02Sec = nullptr;
    QLabel* lbl30Sec = nullptr;
    QLabel* lbl02SecLevel = nullptr;
    QLabel* lbl30SecLevel = nullptr;

    // The frame is 2520 x 4860 twips.
    void build(QWidget* parent, const QString& title, int left, int top);
    // "Select Node", then prefix + each address in hex.
    void fillList(const QString& prefix, int count);

    PilotChoice pilots() const;
    int type() const;
    // optWSType_Click: the page of the chosen kind, the others hidden.
    void showPage(int index);
    // cboWSNode_Click: the details only for a found station.
    void showDetails(bool foundSelected);
    // vsPilot_Change / vsPilot_Scroll.
    void pilotsFromSlider(int value);
    void showReading(const WsReading& r);

    // Hands the frame's events to a window's handlers; changed() runs whenever the pilot mask may
    // have changed.
    template <typename W>
    void connectTo(W* w, void (W::*cboClick)(), void (W::*optClick)(int), void (W::*sliderChange)(),
                   void (W::*changed)())
    {
        QObject::connect(cboWSNode, &QComboBox::currentIndexChanged, w, cboClick);
        for (int i = 0; i < 3; ++i)
            QObject::connect(optWSType[size_t(i)], &QRadioButton::clicked, w, [w, i, optClick, changed] {
                (w->*optClick)(i);
                (w->*changed)();
            });
        QObject::connect(vsPilot, &QScrollBar::valueChanged, w, sliderChange);
        for (QCheckBox* c : chkOnPilot)
            QObject::connect(c, &QCheckBox::toggled, w, changed);
        for (QCheckBox* c : chkOnOffPilot)
            QObject::connect(c, &QCheckBox::toggled, w, changed);
    }
};

} // namespace tqdt::net
