#include "ui/devices/SensorOptions.h"

#include <QPainter>

#include <array>

namespace tqdt::ws {

namespace {

// An empty ring for the other options, a filled one for the chosen.
QPixmap optionPicture(bool chosen)
{
    QPixmap pm(13, 13);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(64, 64, 64), 1.2));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(1, 1, 11, 11));
    if (chosen) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 128, 0));
        p.drawEllipse(QRectF(3.5, 3.5, 6, 6));
    }
    return pm;
}

} // namespace

OptionGroup::OptionGroup(QWidget* parent, const QString& key, const QString& headingText,
                         const QStringList& captions, int left, int top, int width, bool skipFirst)
    : QObject(parent), m_pictures{optionPicture(false), optionPicture(true)}
{
    heading = placeLabel(parent, QStringLiteral("lblHead%1").arg(key), headingText, left, top, width, 240);
    QFont f = heading->font();
    f.setBold(true);
    heading->setFont(f);
    int row = 0;
    for (int i = 0; i < captions.size(); ++i) {
        const bool inColumn = !(skipFirst && i == 0);
        const int y = top + 240 + 240 * (inColumn ? row++ : 0);
        auto* picture = placeClickLabel(parent, QStringLiteral("img%1(%2)").arg(key).arg(i), QString(), left,
                                        y, 240, 240);
        picture->setPixmap(imgOpt(0));
        picture->setAlignment(Qt::AlignCenter);
        auto* caption = placeClickLabel(parent, QStringLiteral("lbl%1(%2)").arg(key).arg(i), captions[i],
                                        left + 270, y, width - 270, 240);
        img.push_back(picture);
        lbl.push_back(caption);
        connect(picture, &ClickLabel::clicked, this, [this, i] {
            if (onClick)
                onClick(i);
        });
        connect(caption, &ClickLabel::clicked, this, [this, i] {
            if (onClick)
                onClick(i);
        });
        if (!inColumn)
            setOptionVisible(i, false);
    }
}

void OptionGroup::paint(int value)
{
    m_selected = value;
    for (size_t i = 0; i < img.size(); ++i)
        img[i]->setPixmap(imgOpt(int(i) == value ? 1 : 0));
}

void OptionGroup::setOptionVisible(int i, bool visible)
{
    img[size_t(i)]->setVisible(visible);
    lbl[size_t(i)]->setVisible(visible);
}

void SensorGroups::create(QWidget* parent, ws::SensorSettings& s, const Places& at,
                          const std::function<void()>& changed)
{
    auto group = [&](const QString& key, const QString& heading, const QStringList& captions, const QRect& r,
                     int ws::SensorSettings::*value, bool skipFirst = false) {
        auto* g = new OptionGroup(parent, key, heading, captions, r.left(), r.top(), r.width(), skipFirst);
        g->onClick = [&s, value, changed](int i) {
            s.*value = i;
            changed();
        };
        return g;
    };
    const QStringList sensitivity = {"Disabled", "Low", "High", "Mid"};
    PIR = group(QStringLiteral("PIR"), QStringLiteral("PIR Sensitivity"), sensitivity, at.pir,
                &ws::SensorSettings::PirSens, true);
    ACS = group(QStringLiteral("ACS"), QStringLiteral("Acoustic Sensitivity"), sensitivity, at.acs,
                &ws::SensorSettings::AcsSens);
    Vac = group(QStringLiteral("Vac"), QStringLiteral("Vacancy Timer"),
                {"5 Min PIR / 5 Min Acoustic", "10 Min PIR / 5 Min Acoustic", "15 Min PIR / 5 Min Acoustic",
                 "20 Min PIR / 10 Min Acoustic", "30 Min PIR / 10 Min Acoustic",
                 "60 Min PIR / 20 Min Acoustic", "120 Min PIR / 20 Min Acoustic"},
                at.vac, &ws::SensorSettings::VacTimer);
    LED = group(QStringLiteral("LED"), QStringLiteral("LED Indicators"), {"Disabled", "Enabled"}, at.led,
                &ws::SensorSettings::LedMode);
    OOL = group(QStringLiteral("OOL"), QStringLiteral("Settings"),
                {"Over the Wire (OTW)", "DT Sensor Internal"}, at.ool, &ws::SensorSettings::OolSource);
}

void SensorGroups::paint(const ws::SensorSettings& s) const
{
    PIR->paint(s.PirSens);
    ACS->paint(s.AcsSens);
    Vac->paint(s.VacTimer);
    LED->paint(s.LedMode);
    OOL->paint(s.OolSource);
}

} // namespace tqdt::ws
