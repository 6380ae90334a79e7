#pragma once

#include "devices/WsModels.h"
#include "ui/shell/Widgets.h"

#include <QObject>
#include <QPixmap>
#include <QRect>
#include <QStringList>

#include <functional>
#include <vector>

namespace tqdt::ws {

// One settings group of the sensor windows: a heading and a column of option pictures with their
// captions. Clicking the picture or the caption of option i reports i; the selected option shows
// the picture of imgOpt(1), every other option that of imgOpt(0).
class OptionGroup : public QObject {
    Q_OBJECT
public:
    // key names the controls: "PIR" gives imgPIR(i) and lblPIR(i). Options are 240 twips apart
    // below the heading; skipFirst leaves option 0 out of the column (it is never shown).
    OptionGroup(QWidget* parent, const QString& key, const QString& heading, const QStringList& captions,
                int left, int top, int width, bool skipFirst = false);

    QLabel* heading = nullptr;
    std::vector<ClickLabel*> img;
    std::vector<ClickLabel*> lbl;
    std::function<void(int)> onClick;

    void paint(int value);
    void setOptionVisible(int i, bool visible);
    void setHeadingVisible(bool visible) { heading->setVisible(visible); }
    // True when option i shows the selected picture.
    bool selected(int i) const { return m_selected == i; }

    const QPixmap& imgOpt(int which) const { return m_pictures[which != 0]; }

private:
    QPixmap m_pictures[2];
    int m_selected = -1;
};

// The five settings groups both sensor windows offer, bound to one set of sensor settings: a click
// sets the value and runs changed. Each group is placed at its rectangle's left, top and width.
struct SensorGroups {
    OptionGroup* PIR = nullptr;
    OptionGroup* ACS = nullptr;
    OptionGroup* Vac = nullptr;
    OptionGroup* LED = nullptr;
    OptionGroup* OOL = nullptr;

    struct Places {
        QRect pir, acs, vac, led, ool;
    };
    void create(QWidget* parent, ws::SensorSettings& s, const Places& at,
                const std::function<void()>& changed);
    void paint(const ws::SensorSettings& s) const;
};

} // namespace tqdt::ws
