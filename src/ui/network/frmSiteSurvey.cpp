#include "ui/network/frmSiteSurvey.h"

#include "bus/ActivityCheck.h"
#include "ports/OpenPort.h"
#include "print/SurveyReport.h"
#include "ui/network/ScanWidgets.h"
#include "ui/shell/Widgets.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QTableWidget>

namespace tqdt::net {

namespace {
const QStringList kColumns = {QStringLiteral("Channel"), QStringLiteral("Address"),
                              QStringLiteral("Kind"),    QStringLiteral("Family"),
                              QStringLiteral("Type"),    QStringLiteral("Revision"),
                              QStringLiteral("Details"), QStringLiteral("Read At")};
const QString kTitle = QStringLiteral("Site Survey");
} // namespace

frmSiteSurvey::frmSiteSurvey(Host& host, QWidget* parent) : Form(host, parent)
{
    setObjectName(QStringLiteral("frmSiteSurvey"));
    setWindowTitle(QStringLiteral("Tarvik Quorvel Diagnostic Tool - Site Survey"));
    setFixedSize(tw(11400), tw(8400));

    placeLabel(this, QStringLiteral("lblSite"), QStringLiteral("Site"), 120, 150, 1200, 285);
    txtSite = new QLineEdit(this);
    txtSite->setObjectName(QStringLiteral("txtSite"));
    txtSite->setGeometry(tw(1320), tw(120), tw(3600), tw(330));
    placeLabel(this, QStringLiteral("lblTechnician"), QStringLiteral("Technician"), 5160, 150, 1200, 285);
    txtTechnician = new QLineEdit(this);
    txtTechnician->setObjectName(QStringLiteral("txtTechnician"));
    txtTechnician->setGeometry(tw(6360), tw(120), tw(3000), tw(330));

    cmdStart = placeButton(this, QStringLiteral("cmdStart"), QStringLiteral("Start"), 120, 600, 1215, 375);
    cmdStop = placeButton(this, QStringLiteral("cmdStop"), QStringLiteral("Stop"), 1455, 600, 1215, 375);
    cmdSave =
        placeButton(this, QStringLiteral("cmdSave"), QStringLiteral("Save Report"), 2790, 600, 1815, 375);
    cmdCompare = placeButton(this, QStringLiteral("cmdCompare"),
                             QStringLiteral("Compare With Previous Survey…"), 4725, 600, 3015, 375);
    connect(cmdStart, &QPushButton::clicked, this, &frmSiteSurvey::cmdStart_Click);
    connect(cmdStop, &QPushButton::clicked, this, &frmSiteSurvey::cmdStop_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmSiteSurvey::cmdSave_Click);
    connect(cmdCompare, &QPushButton::clicked, this, &frmSiteSurvey::cmdCompare_Click);

    prgSurvey = new QProgressBar(this);
    prgSurvey->setObjectName(QStringLiteral("prgSurvey"));
    prgSurvey->setGeometry(tw(120), tw(1110), tw(5400), tw(285));
    prgSurvey->setRange(0, 1);
    prgSurvey->setValue(0);
    lblStage = placeLabel(this, QStringLiteral("lblStage"), QString(), 5640, 1110, 5640, 285);

    grdDevices = new QTableWidget(0, int(kColumns.size()), this);
    grdDevices->setObjectName(QStringLiteral("grdDevices"));
    grdDevices->setGeometry(tw(120), tw(1530), tw(11160), tw(5760));
    grdDevices->setHorizontalHeaderLabels(kColumns);
    grdDevices->verticalHeader()->setVisible(false);
    grdDevices->verticalHeader()->setDefaultSectionSize(tw(300));
    grdDevices->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdDevices->setSelectionBehavior(QAbstractItemView::SelectRows);
    const int widths[] = {55, 55, 75, 105, 180, 60, 140, 60};
    for (int c = 0; c < int(kColumns.size()); ++c)
        grdDevices->setColumnWidth(c, widths[c]);
    grdDevices->horizontalHeader()->setStretchLastSection(true);

    lblNotes = placeLabel(this, QStringLiteral("lblNotes"), QString(), 120, 7380, 11160, 900);
    lblNotes->setWordWrap(true);
    lblNotes->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    enableButtons();
}

void frmSiteSurvey::enableButtons()
{
    cmdStart->setEnabled(!m_running);
    cmdStop->setEnabled(m_running);
    cmdSave->setEnabled(!m_running && m_haveRecord);
    cmdCompare->setEnabled(!m_running && m_haveRecord);
    txtSite->setEnabled(!m_running);
    txtTechnician->setEnabled(!m_running);
}

void frmSiteSurvey::addRow(const net::SurveyDevice& d)
{
    const int row = grdDevices->rowCount();
    grdDevices->insertRow(row);
    QString type = d.type.trimmed();
    if (!d.family && !d.candidates.empty()) {
        QStringList c;
        for (const auto& [family, text] : d.candidates)
            c << family + QStringLiteral(": ") + text.trimmed();
        type = c.join(QStringLiteral(" / "));
    }
    QString details = d.firmware;
    if (d.config)
        details = QString::fromLatin1(*d.config);
    if (d.relays)
        details = QStringLiteral("%1 relays on").arg(std::count(d.relays->begin(), d.relays->end(), true));
    const QStringList cells = {net::ChannelName(d.channel),
                               QString::fromLatin1(Hex2(qint16(d.address))),
                               d.kind,
                               d.family.value_or(QString()),
                               type,
                               d.revision ? QStringLiteral("%1").arg(*d.revision, 2, 10, QLatin1Char('0'))
                                          : QString(),
                               details,
                               d.readAt.toString(QStringLiteral("HH:mm:ss"))};
    for (int c = 0; c < int(cells.size()); ++c)
        grdDevices->setItem(row, c, new QTableWidgetItem(cells[c]));
    grdDevices->scrollToBottom();
}

void frmSiteSurvey::showRecord()
{
    grdDevices->setRowCount(0);
    for (const net::SurveyDevice& d : m_record.devices)
        addRow(d);
    QStringList lines;
    if (!m_record.complete)
        lines << net::IncompleteLine(m_record);
    lines << m_record.notes;
    lblNotes->setText(lines.join(QLatin1Char('\n')));
}

void frmSiteSurvey::cmdStart_Click()
{
    if (m_running || !OpenPort(host()))
        return;
    host().comQV().setInputLen(0);
    host().comQV().setRThreshold(0);
    m_running = true;
    enableButtons();
    grdDevices->setRowCount(0);
    lblNotes->clear();

    net::SurveyRecord record;
    record.tool = QStringLiteral("tqdt " TQDT_VERSION);
    record.port = QStringLiteral("COM%1").arg(host().settings.DTComPort);
    record.site = txtSite->text();
    record.technician = txtTechnician->text();
    net::SiteSurvey survey(host(), m_cancel);
    survey.onProgress = [this](const net::SiteSurvey::Progress& p) {
        prgSurvey->setRange(0, p.steps);
        prgSurvey->setValue(p.step);
        lblStage->setText(p.address < 0 ? p.stage
                                        : p.stage + QStringLiteral(": ") +
                                              QString::fromLatin1(Hex2(qint16(p.address))));
    };
    survey.onDevice = [this](const net::SurveyDevice& d) { addRow(d); };
    const net::SiteSurvey::Outcome outcome = survey.run(record);
    ClosePort(host());
    m_running = false;
    if (outcome == net::SiteSurvey::Outcome::OtherMaster) {
        lblStage->clear();
        enableButtons();
        host().dialogs().message(AnotherMasterText(QStringLiteral("Scan")), QStringLiteral("Error"),
                                 MsgIcon::Critical);
        return;
    }
    m_record = std::move(record);
    m_haveRecord = true;
    lblStage->setText(m_record.complete
                          ? QStringLiteral("Survey complete: %1 devices").arg(m_record.devices.size())
                          : net::IncompleteLine(m_record));
    if (m_record.complete)
        prgSurvey->setValue(prgSurvey->maximum());
    showRecord();
    enableButtons();
}

void frmSiteSurvey::cmdStop_Click() { m_cancel.request(); }

void frmSiteSurvey::cmdSave_Click()
{
    if (!m_haveRecord)
        return;
    FileDialogRequest request;
    request.title = QStringLiteral("Save Report");
    request.fileName = QStringLiteral("survey.json");
    request.filter = QStringLiteral("Survey (survey.json)");
    const QString chosen = host().dialogs().saveFile(request);
    if (chosen.isEmpty())
        return;
    // The three files go together into the folder chosen.
    const QString dir = QFileInfo(chosen).absolutePath();
    if (const QString why = net::WriteSurveyFiles(dir, m_record, net::LocalePaper()); !why.isEmpty())
        host().dialogs().message(why, QStringLiteral("Save Report"), MsgIcon::Critical);
}

void frmSiteSurvey::cmdCompare_Click()
{
    if (!m_haveRecord)
        return;
    FileDialogRequest request;
    request.title = QStringLiteral("Compare With Previous Survey");
    request.filter = QStringLiteral("Survey (*.json)");
    const QString path = host().dialogs().openFile(request);
    if (path.isEmpty())
        return;
    net::SurveyRecord previous;
    if (const FileResult r = net::ReadSurveyFile(path, previous); !r) {
        host().dialogs().message(r.message(), QStringLiteral("Compare With Previous Survey"),
                                 MsgIcon::Critical);
        return;
    }
    const QStringList lines = net::DiffSurveys(previous, m_record);
    host().dialogs().message(lines.isEmpty() ? QStringLiteral("Nothing changed since the previous survey.")
                                             : lines.join(QStringLiteral("\r\n")),
                             QStringLiteral("Compare With Previous Survey"), MsgIcon::Information);
}

void frmSiteSurvey::Form_Activate()
{
    // For unattended screenshots: TQDT_SCANNING=1 runs a survey on opening, and TQDT_SURVEY_SAVE
    // names a folder its three files then go to.
    if (!ScreenshotAsks("TQDT_SCANNING"))
        return;
    repaintNow(*this);
    cmdStart_Click();
    const QString dir = qEnvironmentVariable("TQDT_SURVEY_SAVE");
    if (m_haveRecord && !dir.isEmpty())
        if (const QString why = WriteSurveyFiles(dir, m_record, LocalePaper()); !why.isEmpty())
            host().dialogs().message(why, QStringLiteral("Save Report"), MsgIcon::Critical);
}

void frmSiteSurvey::Form_Unload(bool& cancel)
{
    // A survey in progress ends at its next request; the window closes once it has.
    if (m_running) {
        m_cancel.request();
        cancel = true;
    }
}

} // namespace tqdt::net
