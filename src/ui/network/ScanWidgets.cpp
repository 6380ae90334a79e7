#include "ui/network/ScanWidgets.h"

#include "bus/FrameCodec.h"
#include "ui/shell/Form.h"

#include <QFontMetrics>

namespace tqdt::net {

QColor errorColour(ErrorColour c)
{
    switch (c) {
    case ErrorColour::Green: return scancolour::Green;
    case ErrorColour::Yellow: return scancolour::Yellow;
    case ErrorColour::Red: return scancolour::Red;
    case ErrorColour::Grey: break;
    }
    return scancolour::Absent;
}

void paintLabel(QWidget* w, const QColor& background, const QColor& text)
{
    QPalette p = w->palette();
    if (p.color(QPalette::Window) == background && p.color(QPalette::WindowText) == text &&
        w->autoFillBackground())
        return;
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, text);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QColor backgroundOf(const QWidget* w) { return w->palette().color(QPalette::Window); }

QGroupBox* placeFrame(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                      int width, int height)
{
    auto* g = new QGroupBox(caption, parent);
    g->setObjectName(name);
    g->setGeometry(tw(left), tw(top), tw(width), tw(height));
    return g;
}

QComboBox* placeCombo(QWidget* parent, const QString& name, int left, int top, int width)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setGeometry(tw(left), tw(top), tw(width), tw(330));
    return c;
}

QScrollBar* placeScroll(QWidget* parent, const QString& name, Qt::Orientation o, int max, int pageStep,
                        int left, int top, int width, int height)
{
    auto* s = new QScrollBar(o, parent);
    s->setObjectName(name);
    s->setRange(0, max);
    s->setPageStep(pageStep);
    s->setGeometry(tw(left), tw(top), tw(width), tw(height));
    return s;
}

void showConnection(QLabel* label, bool connected)
{
    label->setText(connected ? QStringLiteral("Connected") : QStringLiteral("No Response"));
    paintLabel(label, connected ? scancolour::Connected : scancolour::NoResponse);
}

void NodeGrid::build(QWidget* frame, const QString& nodeName, const QString& errorName, int count,
                     const std::function<int(int)>& nodeLeft, const std::function<int(int)>& errorLeft,
                     const std::function<int(int)>& top, int height)
{
    // The grids are dense, but their digits must stay readable at 96 dpi: the largest font whose
    // widest captions ("FE", ">99") still fit their labels, fully hinted so the strokes stay crisp.
    auto fitting = [&](const QStringList& captions, int width, int spare) {
        QFont f = frame->font();
        f.setHintingPreference(QFont::PreferFullHinting);
        for (int px = tw(height); px > 8; --px) {
            f.setPixelSize(px);
            const QFontMetrics m(f);
            int widest = 0;
            for (const QString& c : captions)
                widest = std::max(widest, m.horizontalAdvance(c));
            if (widest <= width - spare)
                break;
        }
        return f;
    };
    // A node address keeps a pixel to spare, so that no digit loses its edge to the label's border.
    const int nodeWidth = tw(errorLeft(0) - nodeLeft(0) - 15);
    const int errorWidth = tw(errorLeft(0) - nodeLeft(0) + 45);
    const QFont nodeFont = fitting({QStringLiteral("0D"), QStringLiteral("88"), QStringLiteral("DB"),
                                    QStringLiteral("FE"), QStringLiteral("0A")},
                                   nodeWidth, 1);
    const QFont errorFont =
        fitting({QStringLiteral(">99"), QStringLiteral("---"), QStringLiteral("88")}, errorWidth, 0);
    for (int s = 0; s < count; ++s) {
        auto* n = placeClickLabel(frame, QStringLiteral("%1(%2)").arg(nodeName).arg(s),
                                  QString::fromLatin1(Hex2(qint16(s + 1))), nodeLeft(s), top(s),
                                  errorLeft(s) - nodeLeft(s) - 15, height);
        auto* e = placeLabel(frame, QStringLiteral("%1(%2)").arg(errorName).arg(s), QStringLiteral("---"),
                             errorLeft(s), top(s), errorLeft(s) - nodeLeft(s) + 45, height);
        n->setFont(nodeFont);
        e->setFont(errorFont);
        for (QLabel* l : {static_cast<QLabel*>(n), e}) {
            l->setAlignment(Qt::AlignCenter);
            // Black on the frame's light grey until the first sweep colours it.
            paintLabel(l, backgroundOf(frame), scancolour::Black);
            l->setAutoFillBackground(false);
        }
        node.push_back(n);
        error.push_back(e);
    }
}

void NodeGrid::showProbe(int s)
{
    if (!contains(s))
        return;
    paintLabel(node[size_t(s)], scancolour::Probe);
    repaintNow(*node[size_t(s)]);
}

void NodeGrid::showFound(int s, bool found)
{
    if (!contains(s))
        return;
    paintLabel(node[size_t(s)], found ? scancolour::Present : scancolour::Absent);
    if (!found)
        paintLabel(error[size_t(s)], scancolour::Absent);
    repaintNow(*node[size_t(s)]);
}

void NodeGrid::showError(int s, ErrorColour c, const QString& caption)
{
    if (!contains(s))
        return;
    paintLabel(error[size_t(s)], errorColour(c));
    if (error[size_t(s)]->text() != caption)
        error[size_t(s)]->setText(caption);
}

void NodeGrid::showToggled(int s, bool found)
{
    if (contains(s))
        paintLabel(node[size_t(s)], found ? scancolour::Present : scancolour::Absent, scancolour::Black);
}

void NodeClick(bool scanning, NodeGrid& grid, NodeFamily& family, QComboBox* list, int slot)
{
    if (!family.contains(slot))
        return;
    if (scanning) {
        if (family.found(slot))
            list->setCurrentIndex(EntryOfSlot(slot));
    } else {
        // Lets the technician add an address that missed discovery, or drop one, before starting.
        grid.showToggled(slot, family.toggleFound(slot));
    }
}

bool ScreenshotAsks(const char* variable) { return qEnvironmentVariableIntValue(variable) == 1; }

void SelectFirstFound(QComboBox* list, const NodeFamily& family)
{
    for (int s = 0; s < family.size(); ++s) {
        if (family.found(s)) {
            list->setCurrentIndex(EntryOfSlot(s));
            return;
        }
    }
}

void WsStatusControls::build(QWidget* parent, const QString& title, int left, int top)
{
    frmWSStatus = placeFrame(parent, QStringLiteral("frmWSStatus"), title, left, top, 2520, 4860);
    cboWSNode = placeCombo(frmWSStatus, QStringLiteral("cboWSNode"), 120, 300, 2280);
    lblWSConnection =
        placeLabel(frmWSStatus, QStringLiteral("lblWSConnection"), QString(), 120, 690, 2280, 285);
    lblWSConnection->setAlignment(Qt::AlignCenter);
    const QString kinds[3] = {QStringLiteral("1 - 8 Inputs"), QStringLiteral("On / Off Inputs"),
                              QStringLiteral("Photocell")};
    for (int i = 0; i < 3; ++i) {
        optWSType[size_t(i)] = placeOption(frmWSStatus, QStringLiteral("optWSType(%1)").arg(i), kinds[i], 120,
                                           1050 + 285 * i, 2280);
    }
    optWSType[0]->setChecked(true);

    // The three pages share one place; only the chosen one is shown.
    frmOn =
        placeFrame(frmWSStatus, QStringLiteral("frmOn"), QStringLiteral("1-8 Inputs"), 120, 1980, 2280, 2760);
    vsPilot = placeScroll(frmOn, QStringLiteral("vsPilot"), Qt::Vertical, 255, 16, 120, 300, 255, 2370);
    for (int i = 0; i < 8; ++i) {
        chkOnPilot[size_t(i)] = placeCheck(frmOn, QStringLiteral("chkOnPilot(%1)").arg(i),
                                           QStringLiteral("Pilot %1").arg(i + 1), 480, 300 + 300 * i, 1080);
        auto* l = placeLabel(frmOn, QStringLiteral("lblOnInput(%1)").arg(i), QString::number(i + 1), 1680,
                             300 + 300 * i, 420, 255);
        l->setAlignment(Qt::AlignCenter);
        paintLabel(l, scancolour::Absent);
        lblOnInput[size_t(i)] = l;
    }
    frmOnOff = placeFrame(frmWSStatus, QStringLiteral("frmOnOff"), QStringLiteral("On/Off Inputs"), 120, 1980,
                          2280, 2760);
    const char* onOff[8] = {"1 On", "1 Off", "2 On", "2 Off", "3 On", "3 Off", "4 On", "4 Off"};
    for (int i = 0; i < 8; ++i) {
        if (i < 4)
            chkOnOffPilot[size_t(i)] =
                placeCheck(frmOnOff, QStringLiteral("chkOnOffPilot(%1)").arg(i),
                           QStringLiteral("Pilot %1").arg(i + 1), 120, 300 + 600 * i, 1080);
        auto* l = placeLabel(frmOnOff, QStringLiteral("lblOnOffInput(%1)").arg(i),
                             QString::fromLatin1(onOff[i]), 1320, 300 + 300 * i, 780, 255);
        l->setAlignment(Qt::AlignCenter);
        paintLabel(l, scancolour::Absent);
        lblOnOffInput[size_t(i)] = l;
    }
    frmPC = placeFrame(frmWSStatus, QStringLiteral("frmPC"), QStringLiteral("Photocell Levels"), 120, 1980,
                       2280, 2760);
    lbl02Sec =
        placeLabel(frmPC, QStringLiteral("lbl02Sec"), QStringLiteral("02 Second"), 120, 420, 1020, 285);
    lbl02SecLevel = placeLabel(frmPC, QStringLiteral("lbl02SecLevel"), QString(), 1200, 420, 960, 285);
    lbl30Sec =
        placeLabel(frmPC, QStringLiteral("lbl30Sec"), QStringLiteral("30 Second"), 120, 900, 1020, 285);
    lbl30SecLevel = placeLabel(frmPC, QStringLiteral("lbl30SecLevel"), QString(), 1200, 900, 960, 285);
    showDetails(false);
}

void WsStatusControls::fillList(const QString& prefix, int count)
{
    cboWSNode->clear();
    cboWSNode->addItem(QStringLiteral("Select Node"));
    for (int a = 1; a <= count; ++a)
        cboWSNode->addItem(prefix + QString::fromLatin1(Hex2(qint16(a))));
    cboWSNode->setCurrentIndex(0);
}

int WsStatusControls::type() const
{
    for (int i = 0; i < 3; ++i)
        if (optWSType[size_t(i)]->isChecked())
            return i;
    return 0;
}

PilotChoice WsStatusControls::pilots() const
{
    PilotChoice p;
    p.type = WsType(type());
    for (size_t i = 0; i < chkOnPilot.size(); ++i)
        p.onPilot[i] = chkOnPilot[i]->isChecked();
    for (size_t i = 0; i < chkOnOffPilot.size(); ++i)
        p.onOffPilot[i] = chkOnOffPilot[i]->isChecked();
    return p;
}

void WsStatusControls::showPage(int index)
{
    frmOn->setVisible(index == 0);
    frmOnOff->setVisible(index == 1);
    frmPC->setVisible(index == 2);
}

void WsStatusControls::showDetails(bool foundSelected)
{
    lblWSConnection->setVisible(foundSelected);
    for (QRadioButton* o : optWSType)
        o->setVisible(foundSelected);
    if (foundSelected) {
        showPage(type());
    } else {
        frmOn->setVisible(false);
        frmOnOff->setVisible(false);
        frmPC->setVisible(false);
    }
}

void WsStatusControls::pilotsFromSlider(int value)
{
    const std::array<bool, 8> p = PilotsFromSlider(value);
    for (size_t i = 0; i < p.size(); ++i)
        chkOnPilot[i]->setChecked(p[i]);
}

void WsStatusControls::showReading(const WsReading& r)
{
    for (size_t i = 0; i < 8; ++i) {
        const QColor c = (r.inputs >> i) & 1 ? scancolour::Present : scancolour::Absent;
        paintLabel(lblOnInput[i], c);
        paintLabel(lblOnOffInput[i], c);
    }
    lbl02SecLevel->setText(QString::number(r.level02) + QStringLiteral("/255"));
    lbl30SecLevel->setText(QString::number(r.level30) + QStringLiteral("/255"));
}

} // namespace tqdt::net
