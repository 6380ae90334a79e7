#include "ui/shell/frmPorts.h"
#include "ports/DevicePort.h"

#include "documents/PrivateProfile.h"
#include "documents/Settings.h"
#include "host/Host.h"
#include "ports/Rfc2217Protocol.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace tqdt {

namespace {
const QString kSection = QStringLiteral("Ports");
constexpr int kComPorts = 16;

QTableWidgetItem* cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}
} // namespace

frmPorts::frmPorts(Host& host, QWidget* parent, QString serialDir)
    : Form(host, parent), m_serialDir(std::move(serialDir))
{
    setObjectName(QStringLiteral("frmPorts"));
    setWindowTitle(QStringLiteral("Ports"));
    resize(tw(13500), tw(8400));

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Serial ports of this computer"), this), 0, 0, 1, 4);
    lstPorts = new QTableWidget(0, 6, this);
    lstPorts->setObjectName(QStringLiteral("lstPorts"));
    lstPorts->setHorizontalHeaderLabels({QStringLiteral("Device"), QStringLiteral("Description"),
                                         QStringLiteral("Maker"), QStringLiteral("VID:PID"),
                                         QStringLiteral("Serial Number"), QStringLiteral("By-Id Path")});
    lstPorts->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstPorts->setSelectionMode(QAbstractItemView::SingleSelection);
    lstPorts->verticalHeader()->setVisible(false);
    lstPorts->horizontalHeader()->setStretchLastSection(true);
    grid->addWidget(lstPorts, 1, 0, 1, 4);
    connect(lstPorts, &QTableWidget::cellClicked, this, [this](int row, int) { lstPorts_Click(row); });

    grid->addWidget(new QLabel(QStringLiteral("Port names and what they open"), this), 2, 0, 1, 4);
    lstMap = new QTableWidget(kComPorts, 2, this);
    lstMap->setObjectName(QStringLiteral("lstMap"));
    lstMap->setHorizontalHeaderLabels({QStringLiteral("Port"), QStringLiteral("Opens")});
    lstMap->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstMap->setSelectionMode(QAbstractItemView::SingleSelection);
    lstMap->verticalHeader()->setVisible(false);
    lstMap->horizontalHeader()->setStretchLastSection(true);
    grid->addWidget(lstMap, 3, 0, 1, 4);
    connect(lstMap, &QTableWidget::cellClicked, this, [this](int row, int) { cboCom->setCurrentIndex(row); });

    cboCom = new QComboBox(this);
    cboCom->setObjectName(QStringLiteral("cboCom"));
    for (int i = 1; i <= kComPorts; ++i)
        cboCom->addItem(QStringLiteral("COM%1").arg(i));
    grid->addWidget(cboCom, 4, 0);
    txtTarget = new QLineEdit(this);
    txtTarget->setObjectName(QStringLiteral("txtTarget"));
    txtTarget->setPlaceholderText(QStringLiteral("a port above, a device path or rfc2217://HOST:PORT"));
    grid->addWidget(txtTarget, 4, 1, 1, 3);
    lblNote = new QLabel(this);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setWordWrap(true);
    lblNote->setStyleSheet(QStringLiteral("QLabel { color: #C00000; }"));
    grid->addWidget(lblNote, 5, 0, 1, 4);

    cmdMap = new QPushButton(QStringLiteral("Map"), this);
    cmdMap->setObjectName(QStringLiteral("cmdMap"));
    cmdUnmap = new QPushButton(QStringLiteral("Remove Mapping"), this);
    cmdUnmap->setObjectName(QStringLiteral("cmdUnmap"));
    cmdRefresh = new QPushButton(QStringLiteral("Refresh"), this);
    cmdRefresh->setObjectName(QStringLiteral("cmdRefresh"));
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdMap);
    buttons->addWidget(cmdUnmap);
    buttons->addStretch(1);
    buttons->addWidget(cmdRefresh);
    buttons->addWidget(cmdClose);
    grid->addLayout(buttons, 6, 0, 1, 4);
    grid->setRowStretch(1, 2);
    grid->setRowStretch(3, 3);
    grid->setColumnStretch(1, 1);
    connect(cmdMap, &QPushButton::clicked, this, &frmPorts::cmdMap_Click);
    connect(cmdUnmap, &QPushButton::clicked, this, &frmPorts::cmdUnmap_Click);
    connect(cmdRefresh, &QPushButton::clicked, this, &frmPorts::Refresh);
    connect(cmdClose, &QPushButton::clicked, this, &frmPorts::requestClose);
}

void frmPorts::Refresh()
{
    ports = MachinePorts(m_serialDir);
    lstPorts->setRowCount(int(ports.size()));
    for (int r = 0; r < int(ports.size()); ++r) {
        const MachinePort& p = ports[size_t(r)];
        const QStringList texts = {p.device,      p.description,  p.manufacturer,
                                   VidPidText(p), p.serialNumber, p.byId.isEmpty() ? p.byPath : p.byId};
        for (int c = 0; c < texts.size(); ++c)
            lstPorts->setItem(r, c, cell(texts[c]));
    }
    lstPorts->resizeColumnsToContents();

    const QString file = host().paths().settingsFile();
    for (int i = 0; i < kComPorts; ++i) {
        const QString name = QStringLiteral("COM%1").arg(i + 1);
        const QString mapped = GetPrivateProfileStringA(kSection, name, QString(), file);
        lstMap->setItem(i, 0, cell(name));
        auto* opens = cell(mapped.isEmpty() ? ComDevice(host().paths(), i + 1) + QStringLiteral("  (default)")
                                            : mapped);
        if (mapped.isEmpty())
            opens->setForeground(Qt::gray);
        lstMap->setItem(i, 1, opens);
    }
    lstMap->resizeColumnToContents(0);
}

void frmPorts::lstPorts_Click(int row)
{
    if (row < 0 || row >= int(ports.size()))
        return;
    const PortMapping m = MappingFor(ports[size_t(row)]);
    txtTarget->setText(m.target);
    lblNote->setText(m.note);
}

bool frmPorts::write(const QString& value)
{
    const QString name = cboCom->currentText();
    if (!WritePrivateProfileStringA(kSection, name, value, host().paths().settingsFile())) {
        host().dialogs().message(QStringLiteral("Unable To Write The Settings File"), QStringLiteral("Ports"),
                                 MsgIcon::Critical);
        return false;
    }
    Refresh();
    return true;
}

void frmPorts::cmdMap_Click()
{
    const QString target = txtTarget->text().trimmed();
    if (target.isEmpty()) {
        host().dialogs().message(QStringLiteral("Choose A Port Or Enter An Address"), QStringLiteral("Ports"),
                                 MsgIcon::Exclamation);
        return;
    }
    if (rfc2217::isAddress(target)) {
        QString why;
        if (!rfc2217::parseAddress(target, &why)) {
            host().dialogs().message(QStringLiteral("Not A Usable Address: ") + why, QStringLiteral("Ports"),
                                     MsgIcon::Exclamation);
            return;
        }
    }
    write(target);
}

void frmPorts::cmdUnmap_Click() { write(QString()); }

} // namespace tqdt
