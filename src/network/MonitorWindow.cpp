#include "network/MonitorWindow.h"

#include "network/MonitorText.h"
#include "shell/Host.h"
#include "shell/Settings.h"
#include "shell/Widgets.h"

#include <QLabel>
#include <QPainter>
#include <QTimer>

namespace tqdt {

namespace {
constexpr int kDataWidth = 15255;
constexpr int kDataHeight = 9855;
constexpr int kLines = 50;

// The monitor's text: all 50 lines must fit, and a font's own line spacing would leave only a tiny
// font for that. The lines are drawn at a pitch of one fiftieth of the label, in the largest font
// whose letters fit that pitch.
class MonitorData final : public QLabel {
public:
    explicit MonitorData(QWidget* parent) : QLabel(parent) {}

    // The largest font whose lines fit the pitch; called whenever the label's size is set.
    void fitFont()
    {
        QFont f = font();
        f.setHintingPreference(QFont::PreferFullHinting);
        const int pitch = std::max(1, height() / kLines);
        for (int px = pitch; px > 6; --px) {
            f.setPixelSize(px);
            if (QFontMetrics(f).height() <= pitch + 1)
                break;
        }
        setFont(f);
    }

protected:
    void resizeEvent(QResizeEvent* e) override
    {
        QLabel::resizeEvent(e);
        fitFont();
    }
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Window));
        p.setPen(palette().color(QPalette::WindowText));
        p.setFont(font());
        const int pitch = std::max(1, height() / kLines);
        const QFontMetrics fm(font());
        const QStringList lines = text().split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size() && i < kLines; ++i)
            p.drawText(2, i * pitch + (pitch - fm.height()) / 2 + fm.ascent(), lines[i]);
    }
};
} // namespace

MonitorWindow::MonitorWindow(Host& host, const QString& formName, const QString& caption, QWidget* parent)
    : Form(host, parent)
{
    setObjectName(formName);
    setWindowTitle(caption);
    setFixedSize(tw(15495), tw(10815));

    cmdStart = placeButton(this, QStringLiteral("cmdStart"), QStringLiteral("Start"), 120, 240, 1215, 375);
    cmdStop = placeButton(this, QStringLiteral("cmdStop"), QStringLiteral("Stop"), 1455, 240, 1215, 375);
    connect(cmdStart, &QPushButton::clicked, this, &MonitorWindow::cmdStart_Click);
    connect(cmdStop, &QPushButton::clicked, this, &MonitorWindow::cmdStop_Click);

    auto* data = new MonitorData(this);
    data->setObjectName(QStringLiteral("lblData"));
    data->setGeometry(tw(120), tw(840), tw(kDataWidth), tw(kDataHeight));
    data->fitFont();
    lblData = data;
    // Received text is never taken for markup.
    lblData->setTextFormat(Qt::PlainText);
    lblData->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblData->setAutoFillBackground(true);
    QPalette p = lblData->palette();
    p.setColor(QPalette::Window, Qt::white);
    lblData->setPalette(p);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &MonitorWindow::Timer1_Timer);
}

void MonitorWindow::Form_Load()
{
    SelectBlueChannel(host());
    Timer1->start();
}

void MonitorWindow::cmdStart_Click() { Timer1->start(); }

void MonitorWindow::cmdStop_Click() { Timer1->stop(); }

void MonitorWindow::Timer1_Timer() { ShowData(); }

void MonitorWindow::ShowData()
{
    // Bytes are shown one for one; the line ends become the label's own.
    QString text = QString::fromLatin1(MonitorText(host().mon));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lblData->setText(text);
}

} // namespace tqdt
