#include "ui/network/MonitorWindow.h"
#include "bus/BusLink.h"

#include "documents/Settings.h"
#include "host/Host.h"
#include "network/MonitorText.h"
#include "ui/shell/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace tqdt::net {

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

    m_capture = std::make_unique<FrameCapture>();
    chkDetails = placeCheck(this, QStringLiteral("chkDetails"), QStringLiteral("Details"), 13200, 285, 1335);
    connect(chkDetails, &QCheckBox::clicked, this, &MonitorWindow::chkDetails_Click);

    fraDetails = new QWidget(this);
    fraDetails->setObjectName(QStringLiteral("fraDetails"));
    fraDetails->setGeometry(lblData->geometry());
    auto* column = new QVBoxLayout(fraDetails);
    column->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QHBoxLayout;
    chkHex = new QCheckBox(QStringLiteral("Hex"), fraDetails);
    chkHex->setObjectName(QStringLiteral("chkHex"));
    connect(chkHex, &QCheckBox::clicked, this, &MonitorWindow::chkHex_Click);
    txtAddress = new QLineEdit(fraDetails);
    txtAddress->setObjectName(QStringLiteral("txtAddress"));
    txtAddress->setMaxLength(2);
    txtAddress->setFixedWidth(tw(600));
    txtAddress->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,2}")), txtAddress));
    connect(txtAddress, &QLineEdit::textChanged, this, &MonitorWindow::applyFilter);
    cboCommand = new QComboBox(fraDetails);
    cboCommand->setObjectName(QStringLiteral("cboCommand"));
    cboCommand->addItem(QStringLiteral("All Commands"), FrameFilter::kAny);
    const auto shapes = BusFrameShapes();
    for (int i = 0; i < int(shapes.size()); ++i)
        if (NamedShape(i) == i) // a frame is always filed under the first row that looks like it
            cboCommand->addItem(QString::fromLatin1(shapes[size_t(i)].name), i);
    cboCommand->addItem(QStringLiteral("Not Named"), FrameFilter::kUnnamed);
    connect(cboCommand, &QComboBox::currentIndexChanged, this, &MonitorWindow::applyFilter);
    cmdPause = new QPushButton(QStringLiteral("Pause"), fraDetails);
    cmdPause->setObjectName(QStringLiteral("cmdPause"));
    connect(cmdPause, &QPushButton::clicked, this, &MonitorWindow::cmdPause_Click);
    cmdSaveCapture = new QPushButton(QStringLiteral("Save Capture\u2026"), fraDetails);
    cmdSaveCapture->setObjectName(QStringLiteral("cmdSaveCapture"));
    connect(cmdSaveCapture, &QPushButton::clicked, this, &MonitorWindow::cmdSaveCapture_Click);
    bar->addWidget(chkHex);
    bar->addSpacing(tw(240));
    bar->addWidget(new QLabel(QStringLiteral("Address:"), fraDetails));
    bar->addWidget(txtAddress);
    bar->addSpacing(tw(240));
    bar->addWidget(new QLabel(QStringLiteral("Command:"), fraDetails));
    bar->addWidget(cboCommand);
    bar->addStretch(1);
    bar->addWidget(cmdPause);
    bar->addWidget(cmdSaveCapture);
    column->addLayout(bar);

    m_table = new FrameTableModel(*m_capture, this);
    grdFrames = new QTableView(fraDetails);
    grdFrames->setObjectName(QStringLiteral("grdFrames"));
    grdFrames->setModel(m_table);
    grdFrames->verticalHeader()->hide();
    // Fixed row heights and column widths: the view never measures a hundred thousand rows.
    grdFrames->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdFrames->verticalHeader()->setDefaultSectionSize(grdFrames->fontMetrics().height() + 4);
    grdFrames->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grdFrames->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {1200, 900, 900, 4200, 1050};
    for (int c = 0; c < 5; ++c)
        grdFrames->setColumnWidth(c, tw(widths[c]));
    grdFrames->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdFrames->setWordWrap(false);
    column->addWidget(grdFrames, 1);
    fraDetails->setVisible(false);
}

MonitorWindow::~MonitorWindow()
{
    if (host().mon.tap)
        host().mon.tap = {};
}

void MonitorWindow::Form_Unload(bool& cancel)
{
    (void)cancel;
    host().mon.tap = {};
}

void MonitorWindow::Form_Load()
{
    BusLink(host()).select(Channel::Blue);
    Timer1->start();
    // The capture starts now; its times count from here. The channel is the line the port is on
    // when the text arrives.
    m_capture = std::make_unique<FrameCapture>(host().clock().nowMs());
    delete m_table;
    m_table = new FrameTableModel(*m_capture, this);
    grdFrames->setModel(m_table);
    applyFilter();
    host().mon.tap = [this](const QByteArray& text) {
        Host& h = host();
        m_capture->receive(text, h.clock().nowMs(), h.comQV().dtr() ? Channel::Brown : Channel::Blue);
    };
}

void MonitorWindow::cmdStart_Click() { Timer1->start(); }

void MonitorWindow::cmdStop_Click() { Timer1->stop(); }

void MonitorWindow::Timer1_Timer()
{
    ShowData();
    refreshDetails();
}

void MonitorWindow::refreshDetails()
{
    if (!chkDetails->isChecked() || m_paused)
        return;
    // Follow the newest row only while the technician has not scrolled away from it.
    QScrollBar* bar = grdFrames->verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    m_table->refresh();
    if (atEnd)
        grdFrames->scrollToBottom();
}

void MonitorWindow::chkDetails_Click()
{
    const bool on = chkDetails->isChecked();
    lblData->setVisible(!on);
    fraDetails->setVisible(on);
    if (on)
        refreshDetails();
}

void MonitorWindow::chkHex_Click() { m_table->setHex(chkHex->isChecked()); }

void MonitorWindow::cmdPause_Click()
{
    m_paused = !m_paused;
    cmdPause->setText(m_paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    if (!m_paused)
        refreshDetails();
}

void MonitorWindow::applyFilter()
{
    FrameFilter f;
    const QString a = txtAddress->text();
    if (!a.isEmpty())
        f.address = a.toInt(nullptr, 16);
    f.shape = cboCommand->currentData().toInt();
    m_table->setFilter(f);
    grdFrames->scrollToBottom();
}

void MonitorWindow::cmdSaveCapture_Click()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Save Capture");
    request.fileName = QDir(host().paths().dataFolder()).filePath(QStringLiteral("Capture.csv"));
    request.filter = QStringLiteral("CSV Files (*.csv)|*.csv|Text Log (*.txt)|*.txt");
    request.defaultSuffix = QStringLiteral("csv");
    const QString path = host().dialogs().saveFile(request);
    if (path.isEmpty())
        return;
    const CaptureLayout layout =
        path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? CaptureLayout::Csv : CaptureLayout::Tabs;
    const QString problem = SaveCapture(path, *m_capture, m_table->shownIndices(), layout);
    if (!problem.isEmpty())
        host().dialogs().message(QStringLiteral("Unable To Save The Capture\r\n%1\r\n%2")
                                     .arg(QDir::toNativeSeparators(path), problem),
                                 QStringLiteral("Error"), MsgIcon::Critical);
}

void MonitorWindow::ShowData()
{
    // Bytes are shown one for one; the line ends become the label's own.
    QString text = QString::fromLatin1(MonitorText(host().mon));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lblData->setText(text);
}

} // namespace tqdt::net
