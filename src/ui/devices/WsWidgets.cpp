#include "ui/devices/WsWidgets.h"

#include "bus/FrameCodec.h"
#include "host/Host.h"
#include "ui/shell/Form.h"
#include "ui/shell/Widgets.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace tqdt::ws {

void setBack(QLabel* label, const QColor& colour)
{
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, colour);
    // Captions stay readable on the dark "off" colours.
    p.setColor(QPalette::WindowText, colour.lightness() < 110 ? QColor(224, 224, 224) : QColor(Qt::black));
    label->setPalette(p);
}

QColor backOf(const QLabel* label) { return label->palette().color(QPalette::Window); }

QComboBox* placeList(QWidget* parent, const QString& name, int left, int top, int width)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setGeometry(tw(left), tw(top), tw(width), tw(330));
    return list;
}

QTimer* makePollTimer(QObject* parent)
{
    auto* t = new QTimer(parent);
    t->setObjectName(QStringLiteral("Timer1"));
    t->setInterval(50);
    return t;
}

void ConfigLine::create(QWidget* parent, int left, int top, int width)
{
    lblConfig =
        placeLabel(parent, QStringLiteral("lblConfig"), QStringLiteral("Config Done"), left, top, width, 285);
    lblConfig->setAlignment(Qt::AlignCenter);
    lblConfig->setVisible(false);
}

void ConfigLine::configuring()
{
    lblConfig->setText(QStringLiteral("Configuring"));
    setBack(lblConfig, wscolour::kYellow);
    lblConfig->setVisible(true);
    lblConfig->repaint();
}

namespace {
void showOutcome(QLabel* l, bool answered, const QString& done, const QString& failed)
{
    l->setText(answered ? done : failed);
    setBack(l, answered ? wscolour::kGreen : wscolour::kLightRed);
    l->setVisible(true);
}
} // namespace

void ConfigLine::finished(bool answered, std::optional<int> model)
{
    showOutcome(lblConfig, answered, QStringLiteral("Config Done"),
                QStringLiteral("Config Failed - No Response"));
    expected = answered ? model : std::nullopt;
}

void SensorResultLine::create(QWidget* parent, int left, int top, int width)
{
    lblResult = placeLabel(parent, QStringLiteral("lblResult"), QString(), left, top, width, 285);
    lblResult->setAlignment(Qt::AlignCenter);
    lblResult->setFrameShape(QFrame::Box);
    lblResult->setVisible(false);
}

void SensorResultLine::read(bool answered)
{
    showOutcome(lblResult, answered, QStringLiteral("Read Done"), QStringLiteral("No Response"));
}

void SensorResultLine::configured(bool answered)
{
    showOutcome(lblResult, answered, QStringLiteral("Config Done"),
                QStringLiteral("Config Failed - No Response"));
}

void SensorResultLine::clear()
{
    lblResult->clear();
    lblResult->setVisible(false);
}

bool ConfigLine::identified(int reportedModel, const QString& text)
{
    if (!expected)
        return false;
    const bool other = *expected != reportedModel;
    expected.reset();
    if (other) {
        lblConfig->setText(QStringLiteral("Config Failed - Device Reports") + text);
        setBack(lblConfig, wscolour::kLightRed);
        lblConfig->setVisible(true);
    }
    return other;
}

void fillAddressList(QComboBox* list, int count)
{
    list->clear();
    for (int i = 0; i < count; ++i)
        list->addItem(QStringLiteral("Node: ") + QString::fromLatin1(Hex2(qint16(i))));
    list->setCurrentIndex(0);
}

bool FindIntoList(Host& host, QPushButton* button, QComboBox* list)
{
    const std::optional<int> found = ws::FindStation(host, [button](int a) {
        button->setText(QStringLiteral("Node:") + QString::fromLatin1(Hex2(qint16(a))));
        button->repaint();
    });
    button->setText(QStringLiteral("Find WS"));
    if (!found) {
        host.dialogs().message(QStringLiteral("No WS Devices Found"), QStringLiteral("Find WS"),
                               MsgIcon::None);
        return false;
    }
    // An address past the end of a shorter list is added, so that the station found can be worked on.
    while (list->count() <= *found)
        list->addItem(QStringLiteral("Node: ") + QString::fromLatin1(Hex2(qint16(list->count()))));
    list->setCurrentIndex(*found);
    return true;
}

void ExtraRowLabels::create(QWidget* parent, int left, int top)
{
    auto row = [&](QLabel*& head, std::array<QLabel*, 8>& bits, const QString& name, const QString& caption,
                   int y) {
        head = placeLabel(parent, QStringLiteral("lbl%1Add").arg(name), caption, left, y, 540, 255);
        head->setAlignment(Qt::AlignCenter);
        head->setFrameShape(QFrame::Box);
        for (int i = 0; i < 8; ++i) {
            bits[size_t(i)] = placeLabel(parent, QStringLiteral("lbl%1(%2)").arg(name).arg(i),
                                         QString::number(i + 1), left + 600 + 300 * i, y, 270, 255);
            bits[size_t(i)]->setAlignment(Qt::AlignCenter);
            bits[size_t(i)]->setFrameShape(QFrame::Box);
            setBack(bits[size_t(i)], wscolour::kGrey96);
            bits[size_t(i)]->setVisible(false);
        }
        head->setVisible(false);
    };
    row(lblDev2Add, lblDev2, QStringLiteral("Dev2"), QStringLiteral("00"), top);
    row(lblDev3Add, lblDev3, QStringLiteral("Dev3"), QStringLiteral("00"), top + 300);
    row(lblCapScn, lblCap, QStringLiteral("CapScn"), QStringLiteral("Cap"), top + 600);
    lblCapScn->setObjectName(QStringLiteral("lblCapScn"));
    for (int i = 0; i < 8; ++i)
        lblCap[size_t(i)]->setObjectName(QStringLiteral("lblCap(%1)").arg(i));
}

void ExtraRowLabels::show(const ws::RowsPoll& poll, int address, bool colourAddress)
{
    const ws::ExtraRows& r = poll.rows;
    const bool dev2 = r.hasZones() || r.secondDevice;
    const bool dev3 = r.hasZones() || r.thirdDevice;
    lblDev2Add->setVisible(dev2);
    lblDev3Add->setVisible(dev3);
    lblCapScn->setVisible(r.hasScenes());
    for (size_t i = 0; i < 8; ++i) {
        lblDev2[i]->setVisible(dev2);
        lblDev3[i]->setVisible(dev3);
        lblCap[i]->setVisible(r.hasScenes());
    }
    auto device = [&](const ws::DeviceRow& d, QLabel* head, std::array<QLabel*, 8>& bits, int at) {
        if (!d.polled)
            return;
        if (d.answered) {
            for (size_t i = 0; i < 8; ++i)
                setBack(bits[i], (d.bits >> i) & 1 ? wscolour::kWhite : wscolour::kGrey96);
        }
        if (colourAddress)
            setBack(head, d.answered ? wscolour::kCyan : wscolour::kRed);
        head->setText(QString::fromLatin1(Hex2(qint16(at))));
    };
    device(poll.dev2, lblDev2Add, lblDev2, address + 1);
    device(poll.dev3, lblDev3Add, lblDev3, address + 2);
    if (r.hasZones()) {
        for (size_t i = 0; i < 8; ++i) {
            setBack(lblDev2[i], poll.zoneUp[i] ? wscolour::kWhite : wscolour::kGrey96);
            setBack(lblDev3[i], poll.zoneDown[i] ? wscolour::kWhite : wscolour::kGrey96);
        }
        lblDev2Add->setText(QStringLiteral("Up"));
        lblDev3Add->setText(QStringLiteral("Down"));
    }
    if (r.hasScenes())
        for (size_t i = 0; i < 8; ++i)
            setBack(lblCap[i], poll.scenes[i] ? wscolour::kWhite : wscolour::kGrey96);
}

} // namespace tqdt::ws
