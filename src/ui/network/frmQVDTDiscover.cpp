#include "ui/network/frmQVDTDiscover.h"

#include "ui/shell/Widgets.h"

#include <QGroupBox>

namespace tqdt::net {

const QColor frmQVDTDiscover::kProbing(0, 255, 255);
const QColor frmQVDTDiscover::kAnswered(255, 255, 255);
const QColor frmQVDTDiscover::kSilent(128, 128, 128);

namespace {
constexpr int kRows = 32;
constexpr int kRowPitch = 225;
constexpr int kColumnPitch = 990;
constexpr int kLabelWidth = 855;
constexpr int kLabelHeight = 210;
} // namespace

frmQVDTDiscover::frmQVDTDiscover(Host& host, QWidget* parent) : Form(host, parent)
{
    setObjectName(QStringLiteral("frmQVDTDiscover"));
    setWindowTitle(QStringLiteral("Tarvik Quorvel Diagnostic Tool - Discover Network Panel Addresses"));
    setFixedSize(tw(8415), tw(8280));

    frmNCPanels = new QGroupBox(QStringLiteral("Panels"), this);
    frmNCPanels->setObjectName(QStringLiteral("frmNCPanels"));
    frmNCPanels->setGeometry(tw(120), tw(60), tw(8175), tw(7560));

    // Only the first label is part of the design; the others are made as copies at load.
    lblPanelNode[0] =
        placeLabel(frmNCPanels, QStringLiteral("lblPanelNode(0)"), QString::fromLatin1(NodeSweep::caption(0)),
                   120, 240, kLabelWidth, kLabelHeight);
    lblPanelNode[0]->setAutoFillBackground(true);

    cmdFindLocal = placeButton(this, QStringLiteral("cmdFindLocal"), QStringLiteral("Rescan Addresses"), 120,
                               7740, 2175, 375);
    connect(cmdFindLocal, &QPushButton::clicked, this, &frmQVDTDiscover::cmdFindLocal_Click);
}

void frmQVDTDiscover::Form_Load()
{
    for (int i = 0; i < NodeSweep::kNodes; ++i) {
        if (i > 0) {
            lblPanelNode[size_t(i)] = new QLabel(frmNCPanels);
            lblPanelNode[size_t(i)]->setObjectName(QStringLiteral("lblPanelNode(%1)").arg(i));
            lblPanelNode[size_t(i)]->setAutoFillBackground(true);
            lblPanelNode[size_t(i)]->setPalette(lblPanelNode[0]->palette());
            lblPanelNode[size_t(i)]->setFont(lblPanelNode[0]->font());
        }
        QLabel* l = lblPanelNode[size_t(i)];
        // Eight columns of 32, the addresses running down each column.
        l->setGeometry(tw((i / kRows) * kColumnPitch + 120), tw((i % kRows) * kRowPitch + 240),
                       tw(kLabelWidth), tw(kLabelHeight));
        l->setText(QString::fromLatin1(NodeSweep::caption(i)));
        l->setVisible(true);
        l->raise();
    }
}

void frmQVDTDiscover::Form_Activate()
{
    repaintNow(*this);
    FindNodes();
}

void frmQVDTDiscover::cmdFindLocal_Click() { FindNodes(); }

void frmQVDTDiscover::FindNodes()
{
    m_sweep.FindNodes(host(), [this](int i, NodeSweep::State s) { showState(i, s); });
}

void frmQVDTDiscover::showState(int index, NodeSweep::State state)
{
    QColor c;
    switch (state) {
    case NodeSweep::State::Probing: c = kProbing; break;
    case NodeSweep::State::Answered: c = kAnswered; break;
    case NodeSweep::State::Silent: c = kSilent; break;
    case NodeSweep::State::NotReached: return;
    }
    QLabel* l = lblPanelNode[size_t(index)];
    QPalette p = l->palette();
    p.setColor(QPalette::Window, c);
    l->setPalette(p);
    repaintNow(*l);
}

} // namespace tqdt::net
