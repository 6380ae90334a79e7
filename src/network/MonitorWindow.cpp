#include "network/MonitorWindow.h"

#include "network/MonitorText.h"
#include "shell/Host.h"
#include "shell/Settings.h"
#include "shell/Widgets.h"

#include <QTimer>

namespace tqdt {

namespace {
constexpr int kDataWidth = 15255;
constexpr int kDataHeight = 9855;
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

    lblData = placeLabel(this, QStringLiteral("lblData"), QString(), 120, 840, kDataWidth, kDataHeight);
    // Received text is never taken for markup.
    lblData->setTextFormat(Qt::PlainText);
    lblData->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblData->setAutoFillBackground(true);
    QPalette p = lblData->palette();
    p.setColor(QPalette::Window, Qt::white);
    lblData->setPalette(p);
    // All 50 lines must fit the label: shrink its font until they do.
    QFont f = lblData->font();
    while (f.pointSize() > 6 && QFontMetrics(f).lineSpacing() * 50 > lblData->height())
        f.setPointSize(f.pointSize() - 1);
    lblData->setFont(f);

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
