#include "ui/condlogic/frmExpCndProfile.h"
#include "documents/CsvPath.h"

#include "condlogic/CustomTransfer.h"
#include "host/Host.h"
#include "ui/condlogic/TransferLabel.h"
#include "ui/shell/DocumentMenu.h"

#include <QDir>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace tqdt::cnd {

namespace {
const QString kFilter = QStringLiteral("Quorvel MP Device Data Files (*.MPD)|*.MPD|All Files (*.*)|*.*");
constexpr int kImage = 24; // check image, pixels square
constexpr int kClientW = 780;
constexpr int kClientH = 590;

int imageLeft(int n) { return n * 48 + 108; }
int rowTop(int r) { return r * 32 + 42; }

QPixmap checkPicture(bool checked)
{
    QPixmap pm(kImage, kImage);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(96, 96, 96), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 2.5, kImage - 5, kImage - 5));
    if (checked) {
        p.setPen(QPen(QColor(0, 0, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(6.5, 12.5), QPointF(10.5, 17), QPointF(18, 7)}));
    }
    return pm;
}
} // namespace

void CheckImage::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        emit doubleClicked();
}

frmExpCndProfile::frmExpCndProfile(Host& host, QWidget* parent)
    : Form(host, parent), m_session(host, [this, &host] {
          DocumentSession::Config c;
          c.folder = host.paths().dataFolder();
          c.pattern = QStringLiteral("*.MPD");
          c.filter = kFilter;
          c.saveMustExist = false;
          c.read = [this](const QString& path) { return exportable(MpdRead(path, Profiles)); };
          c.write = [this](const QString& path) { return exportable(MpdWrite(path, Profiles)); };
          return c;
      }())
{
    setObjectName(QStringLiteral("frmExpCndProfile"));
    setWindowTitle(QStringLiteral("Conditional Input Module - MP Device"));
    buildMenus();
    const int menuH = menuBar->sizeHint().height();
    setFixedSize(kClientW, kClientH + menuH);
    m_client = new QWidget(this);
    m_client->setGeometry(0, menuH, kClientW, kClientH);

    auto label = [this](const QString& name, const QString& text, QRect r,
                        Qt::Alignment align = Qt::AlignLeft) {
        auto* l = new QLabel(text, m_client);
        l->setObjectName(name);
        l->setGeometry(r);
        l->setAlignment(align | Qt::AlignVCenter);
        return l;
    };
    lblHeader[8] = label(QStringLiteral("lblHeader(8)"), QStringLiteral("Profile"), QRect(30, 12, 64, 22),
                         Qt::AlignRight);
    for (int n = 0; n < 8; ++n)
        lblHeader[size_t(n)] =
            label(QStringLiteral("lblHeader(%1)").arg(n), QStringLiteral("In %1").arg(n + 1),
                  QRect(imageLeft(n) - 12, 12, 48, 22), Qt::AlignHCenter);
    for (int r = 0; r < kRows; ++r) {
        lblProfile[size_t(r)] = label(QStringLiteral("lblProfile(%1)").arg(r), QString(),
                                      QRect(30, rowTop(r), 64, kImage), Qt::AlignRight);
        for (int n = 0; n < 8; ++n) {
            const int i = r * 8 + n;
            auto* img = new CheckImage(m_client);
            img->setObjectName(QStringLiteral("imgChk(%1)").arg(i));
            img->setGeometry(imageLeft(n), rowTop(r), kImage, kImage);
            img->setCursor(Qt::PointingHandCursor);
            connect(img, &ClickLabel::clicked, this, [this, i] { imgChk_Click(i); });
            connect(img, &CheckImage::doubleClicked, this, [this, i] { imgChk_DblClick(i); });
            imgChk[size_t(i)] = img;
        }
    }
    vsProfile = new QScrollBar(Qt::Vertical, m_client);
    vsProfile->setObjectName(QStringLiteral("vsProfile"));
    vsProfile->setGeometry(imageLeft(8) - 8, rowTop(0), 18, rowTop(kRows - 1) + kImage - rowTop(0));
    vsProfile->setRange(0, kMaxTop);
    vsProfile->setPageStep(kRows);
    vsProfile->setSingleStep(1);
    connect(vsProfile, &QScrollBar::valueChanged, this, &frmExpCndProfile::vsProfile_Change);

    auto* notes = new QFrame(m_client);
    notes->setObjectName(QStringLiteral("fraNotes"));
    notes->setGeometry(540, rowTop(0), 220, 150);
    notes->setStyleSheet(
        QStringLiteral("QFrame#fraNotes { background: #FFFFC0; border: 1px solid #808080; }"));
    const QString noteText[2] = {
        QStringLiteral("Input patterns not assigned to a profile will map to profile 1"),
        QStringLiteral("Duplicate input patterns will map to the first matching profile")};
    for (int i = 0; i < 2; ++i) {
        auto* l = new QLabel(noteText[i], notes);
        l->setObjectName(QStringLiteral("lblNote(%1)").arg(i));
        l->setWordWrap(true);
        l->setGeometry(12, 10 + 68 * i, 196, 60);
        l->setStyleSheet(QStringLiteral("background: transparent;"));
        lblNote[size_t(i)] = l;
    }
    lblComPrg = label(QStringLiteral("lblComPrg"), QString(), QRect(540, rowTop(0) + 170, 220, 24));
    lblComPrg->setStyleSheet(QStringLiteral("QLabel { color: #000080; font-weight: bold; }"));
    lblComPrg->setVisible(false);
    lblFile = label(QStringLiteral("lblFile"), QString(), QRect(30, rowTop(kRows) + 6, 730, 24));

    for (int i = 0; i < 2; ++i) {
        imgOpt[size_t(i)] =
            label(QStringLiteral("imgOpt(%1)").arg(i), QString(), QRect(0, 0, kImage, kImage));
        imgOpt[size_t(i)]->setPixmap(checkPicture(i == 1));
        imgOpt[size_t(i)]->setVisible(false);
    }
}

void frmExpCndProfile::buildMenus()
{
    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    const FileMenu file = AddFileMenu(
        menuBar,
        {[this] { mnuNew_Click(); }, [this] { mnuOpen_Click(); }, [this] { mnuSave_Click(); },
         [this] { mnuSaveAs_Click(); }, [this] { mnuExit_Click(); }},
        {{QStringLiteral("mnuExportCSV"), QStringLiteral("Export CSV"), [this] { mnuExportCSV_Click(); }}});
    mnuFile = file.menu;
    mnuNew = file.mnuNew;
    mnuOpen = file.mnuOpen;
    mnuSave = file.mnuSave;
    mnuSaveAs = file.mnuSaveAs;
    mnuExportCSV = file.own[0];
    mnuExportCSV->setEnabled(false);
    mnuExit = file.mnuExit;
    mnuDownload = menuBar->addAction(QStringLiteral("Download"));
    mnuDownload->setObjectName(QStringLiteral("mnuDownload"));
    connect(mnuDownload, &QAction::triggered, this, &frmExpCndProfile::mnuDownload_Click);
    menuBar->setGeometry(0, 0, kClientW, menuBar->sizeHint().height());
}

void frmExpCndProfile::Form_Load()
{
    m_session.start();
    vsProfile->setValue(0);
    TopProfile = vsProfile->value();
    ClearAll();
    PrfShow();
    m_session.markSaved();
}

void frmExpCndProfile::Form_Unload(bool& cancel)
{
    if (!m_session.mayClose())
        cancel = true;
}

void frmExpCndProfile::ClearAll()
{
    Profiles.fill(0);
    m_session.markSaved();
    TopProfile = 0;
    vsProfile->setValue(0);
}

void frmExpCndProfile::PrfShow()
{
    lblFile->setText(QStringLiteral("File: ") + QDir::toNativeSeparators(m_session.path()));
    static const QPixmap pictures[2] = {checkPicture(false), checkPicture(true)};
    for (int r = 0; r < kRows; ++r) {
        const int k = TopProfile + r;
        lblProfile[size_t(r)]->setText(QString::number(k + 1));
        lblProfile[size_t(r)]->setStyleSheet(IsDuplicateProfile(Profiles, k)
                                                 ? QStringLiteral("color: rgb(192, 0, 0);")
                                                 : QStringLiteral("color: black;"));
        for (int n = 0; n < 8; ++n) {
            const bool on = (Profiles[size_t(k)] >> n) & 1;
            CheckImage* img = imgChk[size_t(r * 8 + n)];
            img->setPixmap(pictures[on]);
            img->setProperty("checked", on);
        }
    }
}

bool frmExpCndProfile::imageChecked(int index) const
{
    return imgChk[size_t(index)]->property("checked").toBool();
}

void frmExpCndProfile::vsProfile_Change(int value)
{
    TopProfile = std::clamp(value, 0, kMaxTop);
    PrfShow();
}

void frmExpCndProfile::imgChk_Click(int index)
{
    const int k = TopProfile + index / 8;
    Profiles[size_t(k)] ^= quint8(1 << (index % 8));
    PrfShow();
    m_session.markModified();
}

void frmExpCndProfile::imgChk_DblClick(int index)
{
    // A double-click arrives as a click and then this: the bit ends where it was.
    const int k = TopProfile + index / 8;
    Profiles[size_t(k)] ^= quint8(1 << (index % 8));
    PrfShow();
}

FileResult frmExpCndProfile::exportable(FileResult r)
{
    if (r.ok())
        mnuExportCSV->setEnabled(true);
    return r;
}

void frmExpCndProfile::mnuNew_Click()
{
    if (!m_session.newDocument())
        return;
    mnuExportCSV->setEnabled(false);
    ClearAll();
    PrfShow();
}

void frmExpCndProfile::mnuOpen_Click()
{
    m_session.open();
    TopProfile = 0;
    vsProfile->setValue(0);
    PrfShow();
}

void frmExpCndProfile::mnuSave_Click()
{
    // An unnamed table goes through Save As, which shows the new name.
    if (m_session.save() == DocumentSession::Outcome::Done)
        PrfShow();
}

void frmExpCndProfile::mnuSaveAs_Click()
{
    if (m_session.saveAs() == DocumentSession::Outcome::Done)
        PrfShow();
}

void frmExpCndProfile::mnuExportCSV_Click()
{
    const QString csv = CsvPathFor(m_session.path());
    if (const FileResult r = CsvWrite(csv, Profiles); !r) {
        host().dialogs().message(r.message(), QStringLiteral("Export CSV"), MsgIcon::Critical);
        return;
    }
    host().dialogs().message(QStringLiteral("CSV File: ") + QDir::toNativeSeparators(csv),
                             QStringLiteral("Export CSV"), MsgIcon::None, MsgButtons::Ok);
}

void frmExpCndProfile::mnuExit_Click()
{
    if (m_session.exit())
        requestClose();
}

void frmExpCndProfile::mnuDownload_Click() { ProfileDownload(host(), Profiles, TransferLabel(lblComPrg)); }

} // namespace tqdt::cnd
