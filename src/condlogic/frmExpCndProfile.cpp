#include "condlogic/frmExpCndProfile.h"

#include "condlogic/TransferLabel.h"
#include "shell/Host.h"
#include "shell/Settings.h"

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

frmExpCndProfile::frmExpCndProfile(Host& host, QWidget* parent) : Form(host, parent)
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
    mnuFile = menuBar->addMenu(QStringLiteral("File"));
    auto item = [this](QMenu* m, const QString& name, const QString& text, void (frmExpCndProfile::*slot)()) {
        QAction* a = m->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    mnuNew = item(mnuFile, QStringLiteral("mnuNew"), QStringLiteral("New"), &frmExpCndProfile::mnuNew_Click);
    mnuOpen =
        item(mnuFile, QStringLiteral("mnuOpen"), QStringLiteral("Open"), &frmExpCndProfile::mnuOpen_Click);
    mnuSave =
        item(mnuFile, QStringLiteral("mnuSave"), QStringLiteral("Save"), &frmExpCndProfile::mnuSave_Click);
    mnuSaveAs = item(mnuFile, QStringLiteral("mnuSaveAs"), QStringLiteral("Save As"),
                     &frmExpCndProfile::mnuSaveAs_Click);
    mnuFile->addSeparator();
    mnuExportCSV = item(mnuFile, QStringLiteral("mnuExportCSV"), QStringLiteral("Export CSV"),
                        &frmExpCndProfile::mnuExportCSV_Click);
    mnuExportCSV->setEnabled(false);
    mnuFile->addSeparator();
    mnuExit =
        item(mnuFile, QStringLiteral("mnuExit"), QStringLiteral("Exit"), &frmExpCndProfile::mnuExit_Click);
    mnuDownload = menuBar->addAction(QStringLiteral("Download"));
    mnuDownload->setObjectName(QStringLiteral("mnuDownload"));
    connect(mnuDownload, &QAction::triggered, this, &frmExpCndProfile::mnuDownload_Click);
    menuBar->setGeometry(0, 0, kClientW, menuBar->sizeHint().height());
}

void frmExpCndProfile::Form_Load()
{
    m_fileName = QStringLiteral("None");
    EnsureDataFolder(host());
    vsProfile->setValue(0);
    TopProfile = vsProfile->value();
    ClearAll();
    PrfShow();
    host().DataChanged = false;
}

void frmExpCndProfile::Form_Unload(bool& cancel)
{
    if (host().DataChanged &&
        host().dialogs().message(QStringLiteral("Discard Changes?"), QStringLiteral("Exit Config"),
                                 MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::No)
        cancel = true;
}

void frmExpCndProfile::ClearAll()
{
    Profiles.fill(0);
    host().DataChanged = false;
    TopProfile = 0;
    vsProfile->setValue(0);
}

void frmExpCndProfile::PrfShow()
{
    lblFile->setText(QStringLiteral("File: ") + QDir::toNativeSeparators(m_fileName));
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
    host().DataChanged = true;
}

void frmExpCndProfile::imgChk_DblClick(int index)
{
    // A double-click arrives as a click and then this: the bit ends where it was.
    const int k = TopProfile + index / 8;
    Profiles[size_t(k)] ^= quint8(1 << (index % 8));
    PrfShow();
}

QString frmExpCndProfile::placeholder() const
{
    return QDir(host().paths().dataFolder()).filePath(QStringLiteral("*.MPD"));
}

bool frmExpCndProfile::fileDone(const QString& problem, const QString& title)
{
    if (!problem.isEmpty()) {
        host().dialogs().message(problem, title, MsgIcon::Critical);
        return false;
    }
    mnuExportCSV->setEnabled(true);
    return true;
}

// A file that is not a profile table is refused; the table on screen stays as it was.
bool frmExpCndProfile::LoadFromFile(const QString& path)
{
    return fileDone(MpdRead(path, Profiles), QStringLiteral("Open"));
}

bool frmExpCndProfile::SaveToFile(const QString& path)
{
    return fileDone(MpdWrite(path, Profiles), QStringLiteral("Save"));
}

bool frmExpCndProfile::FileOpen()
{
    if (host().DataChanged &&
        host().dialogs().message(QStringLiteral("Discard Any Changes?"), QStringLiteral("Open"),
                                 MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::No)
        return false;
    FileDialogRequest request;
    request.filter = kFilter;
    request.title = QStringLiteral("Open");
    if (!m_dialogUsed)
        request.fileName = placeholder();
    m_dialogUsed = true;
    const QString chosen = host().dialogs().openFile(request);
    if (chosen.isEmpty() || chosen == placeholder() || !LoadFromFile(chosen))
        return false;
    m_fileName = chosen;
    host().DataChanged = false;
    return true;
}

void frmExpCndProfile::FileSave()
{
    if (SaveToFile(m_fileName))
        host().DataChanged = false;
}

void frmExpCndProfile::FileSaveAs()
{
    FileDialogRequest request;
    request.filter = kFilter;
    request.title = QStringLiteral("Save As");
    request.fileMustExist = false;
    m_dialogUsed = true;
    request.fileName = placeholder();
    const QString chosen = host().dialogs().saveFile(request);
    if (chosen.isEmpty() || chosen == placeholder())
        return;
    // The name is taken only once the table is safely in the file.
    if (!SaveToFile(chosen))
        return;
    m_fileName = chosen;
    host().DataChanged = false;
    PrfShow();
}

void frmExpCndProfile::mnuNew_Click()
{
    if (host().DataChanged &&
        host().dialogs().message(QStringLiteral("Discard Changes?"), QStringLiteral("New"), MsgIcon::Question,
                                 MsgButtons::YesNo) == MsgAnswer::No)
        return;
    m_fileName = QStringLiteral("None");
    mnuExportCSV->setEnabled(false);
    ClearAll();
    PrfShow();
}

void frmExpCndProfile::mnuOpen_Click()
{
    FileOpen();
    TopProfile = 0;
    vsProfile->setValue(0);
    PrfShow();
}

void frmExpCndProfile::mnuSave_Click()
{
    if (m_fileName != QLatin1String("None"))
        FileSave();
    else
        FileSaveAs();
}

void frmExpCndProfile::mnuSaveAs_Click() { FileSaveAs(); }

void frmExpCndProfile::mnuExportCSV_Click()
{
    const QString csv = CsvPathFor(m_fileName);
    if (const QString problem = CsvWrite(csv, Profiles); !problem.isEmpty()) {
        host().dialogs().message(problem, QStringLiteral("Export CSV"), MsgIcon::Critical);
        return;
    }
    host().dialogs().message(QStringLiteral("CSV File: ") + QDir::toNativeSeparators(csv),
                             QStringLiteral("Export CSV"), MsgIcon::None, MsgButtons::Ok);
}

void frmExpCndProfile::mnuExit_Click()
{
    if (host().DataChanged &&
        host().dialogs().message(QStringLiteral("Discard Changes?"), QStringLiteral("Exit Program"),
                                 MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    requestClose();
}

void frmExpCndProfile::mnuDownload_Click()
{
    // A cancelled download leaves the port open; opening it a second time would fail.
    if (!host().comQV().isOpen() && !OpenPort(host()))
        return;
    const QByteArray image = ProfileProgramImage(Profiles);
    if (host().dialogs().message(
            QStringLiteral("Power Cycle Device Prior To Download.\r\nDevice Node Must Be 00\r\nContinue?"),
            QStringLiteral("Download"), MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes) {
        host().dialogs().message(QStringLiteral("Download Cancelled"), QStringLiteral("Download"),
                                 MsgIcon::None);
        return;
    }
    ModuleTransfer(host(), TransferLabel(lblComPrg)).Download(image);
}

} // namespace tqdt::cnd
