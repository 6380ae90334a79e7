// Windows on a real X server: what the technician sees while a handler works without yielding.
#include "host/Host.h"
#include "sim/SimSerialPort.h"
#include "sim/Site.h"
#include "ui/condlogic/frmASelect01.h"
#include "ui/condlogic/frmExpCndCustom.h"
#include "ui/network/frmQVDTDiscover.h"
#include "ui/network/frmQVDTLocalScan.h"
#include "ui/network/frmQVDTNetworkScan.h"
#include "ui/shell/frmQVDTMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace tqdt::test {
using namespace tqdt::net;
using namespace tqdt::cnd;

namespace {

// Waits in the event loop, as a person looking at the screen would, until cond holds or ms pass.
bool waitFor(const std::function<bool()>& cond, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return cond();
}

// What the X server shows in a widget's area now.
QImage onScreen(const QWidget& w)
{
    const QPoint at = w.mapToGlobal(QPoint(0, 0));
    return QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), w.width(), w.height()).toImage();
}

double shareOf(const QImage& image, const std::function<bool(QColor)>& wanted)
{
    if (image.isNull() || image.width() * image.height() == 0)
        return 0;
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += wanted(image.pixelColor(x, y)) ? 1 : 0;
    return double(n) / (image.width() * image.height());
}

// Modal windows really shown with exec(); a driver runs once the window has been on the screen for
// a moment (its activation has run by then), and the window is closed after it.
class ScreenDialogs final : public Dialogs {
public:
    using Driver = std::function<void(Form&)>;
    MsgAnswer message(const QString& text, const QString&, MsgIcon, MsgButtons buttons, MsgDefault) override
    {
        messages.push_back(text);
        if (buttons == MsgButtons::YesNo && showQuestions) {
            // A person reads the box over the window and answers it; the box goes away at once.
            QMessageBox box(QMessageBox::Question, QStringLiteral("Question"), text,
                            QMessageBox::Yes | QMessageBox::No);
            box.show();
            waitFor([&] { return box.windowHandle() && box.windowHandle()->isExposed(); });
            waitFor([] { return false; }, 300);
            questionArea = box.frameGeometry();
            box.hide();
            // The window manager takes the box's frame away in its own time, a few milliseconds
            // after the click; the program meanwhile goes on without looking at its events.
            QThread::msleep(200);
        }
        return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgAnswer::Yes
                                                                                  : MsgAnswer::Ok;
    }
    QString openFile(const FileDialogRequest&) override { return {}; }
    QString saveFile(const FileDialogRequest&) override { return {}; }
    void showModal(Form& form) override
    {
        form.ensureLoaded();
        form.markShownModal();
        Driver drive;
        if (!drivers.empty()) {
            drive = std::move(drivers.front());
            drivers.pop_front();
        }
        QTimer poll;
        poll.setInterval(50);
        QElapsedTimer since;
        since.start();
        qint64 exposedAt = -1;
        QObject::connect(&poll, &QTimer::timeout, &form, [&] {
            if (exposedAt < 0 && form.windowHandle() && form.windowHandle()->isExposed())
                exposedAt = since.elapsed();
            if ((exposedAt >= 0 && since.elapsed() - exposedAt > 1000) || since.elapsed() > 30000) {
                poll.stop();
                if (drive)
                    drive(form);
                if (form.isShownModal())
                    form.requestClose();
            }
        });
        poll.start();
        form.exec();
    }

    std::deque<Driver> drivers;
    std::vector<QString> messages;
    bool showQuestions = false;
    QRect questionArea;
};

struct Screen : ::testing::Test {
    Screen()
        : host(clock, dialogs, Paths(dir.path()),
               [this] { return std::make_unique<sim::SimSerialPort>(site, clock); })
    {
        site.recordWritten = false;
    }
    void openPort()
    {
        host.comQV().setCommPort(1);
        host.comQV().open();
        host.comQV().setInputLen(0);
        host.comQV().setRThreshold(0);
    }
    QRect available() const { return QGuiApplication::primaryScreen()->availableGeometry(); }

    QTemporaryDir dir;
    ManualClock clock;
    ScreenDialogs dialogs;
    sim::Site site;
    Host host;
};

} // namespace

// A sweep runs inside activation without yielding. Unless the window is on the screen and painted
// before it starts, the technician sees nothing of the probe walking over the grid.
TEST_F(Screen, SweepingWindowsArePaintedBeforeTheirFirstProbeAndShowTheProbe)
{
    struct Case {
        const char* form;
        std::function<std::unique_ptr<Form>(Host&)> make;
        std::function<QLabel*(Form&)> firstLabel;
    } cases[] = {
        {"discovery", [](Host& h) { return std::make_unique<frmQVDTDiscover>(h); },
         [](Form& f) -> QLabel* { return static_cast<frmQVDTDiscover&>(f).lblPanelNode[0]; }},
        {"network scan", [](Host& h) { return std::make_unique<frmQVDTNetworkScan>(h); },
         [](Form& f) -> QLabel* { return static_cast<frmQVDTNetworkScan&>(f).panelGrid.node[0]; }},
        {"local scan", [](Host& h) { return std::make_unique<frmQVDTLocalScan>(h); },
         [](Form& f) -> QLabel* { return static_cast<frmQVDTLocalScan&>(f).wsGrid.node[0]; }},
    };
    const QColor cyan(0, 255, 255);
    for (const Case& c : cases) {
        openPort();
        std::unique_ptr<Form> form = c.make(host);
        QLabel* first = nullptr;
        bool checked = false, exposed = false;
        double cyanShare = 0;
        site.script = [&](Channel, const QByteArray&) -> std::optional<QByteArray> {
            if (!checked && form->isVisible() && first && first->palette().color(QPalette::Window) == cyan) {
                checked = true;
                exposed = form->windowHandle() && form->windowHandle()->isExposed();
                cyanShare = shareOf(onScreen(*first), [&](QColor p) { return p == cyan; });
            }
            return std::nullopt;
        };
        form->ensureLoaded();
        first = c.firstLabel(*form);
        host.dialogs().showModal(*form);
        site.script = {};
        host.comQV().close();
        EXPECT_TRUE(checked) << c.form;
        EXPECT_TRUE(exposed) << c.form;
        // The label being probed is cyan on the screen itself, not only in the program.
        EXPECT_GT(cyanShare, 0.5) << c.form;
    }
}

// The main window's note must be on the screen during the seconds of listening, which do not yield.
TEST_F(Screen, CheckingNetworkActivityIsOnTheScreenWhileTheToolListens)
{
    ToolList tools;
    tools.emplace_back(QStringLiteral("cmdDiscover"), QStringLiteral("frmDiscover"), LaunchKind::Discover,
                       [](Host& h) { return std::make_unique<Form>(h); });
    frmQVDTMain main(host, tools);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    waitFor([] { return false; }, 300);
    double redShare = -1;
    const int id = clock.addListener([&] {
        if (redShare < 0 && main.lblComCheck->isVisible() && clock.nowMs() >= 500)
            redShare = shareOf(onScreen(*main.lblComCheck),
                               [](QColor p) { return p.red() > 150 && p.green() < 90 && p.blue() < 90; });
    });
    main.launch(QStringLiteral("cmdDiscover"));
    clock.removeListener(id);
    EXPECT_GT(redShare, 0.02) << "the red caption was not on the screen";
}

// Centred at its final size on the area the desktop leaves free, the whole window on the screen.
TEST_F(Screen, CustomProgrammingIsCentredOnTheAvailableAreaAtItsFinalSize)
{
    QRect frame, inner;
    dialogs.drivers.push_back([&](Form& f) {
        frame = f.frameGeometry();
        inner = f.geometry();
    });
    frmExpCndCustom w(host);
    host.dialogs().showModal(w);
    const QRect area = available();
    ASSERT_TRUE(frame.isValid());
    EXPECT_GE(inner.height(), 690); // its grid, not a default size
    EXPECT_TRUE(area.contains(frame))
        << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
    EXPECT_LE(std::abs((frame.left() - area.left()) - (area.right() - frame.right())), 2);
    EXPECT_LE(std::abs((frame.top() - area.top()) - (area.bottom() - frame.bottom())), 2);
}

// The palette's drag, the whole gesture on a window on the screen: press on a palette picture, move
// past the drag distance, let go over a cell. (The offscreen platform has no drag and drop, so this
// lives here.) Dropped on a contact's input label the picture replaces that contact and keeps its
// input; dropped on a cell picture it places nothing.
TEST_F(Screen, PalettePictureDraggedOntoAContactsLabelReplacesThatContact)
{
    auto& doc = host.document<cnd::CndDocument>();
    doc.setCode(0, 17, cnd::SegOpen);
    doc.setInput(0, 17, 2);
    doc.setCode(0, 40, cnd::SegOpen);
    doc.setInput(0, 40, 5);
    frmExpCndCustom w(host);
    w.ensureLoaded();
    w.show();
    ASSERT_TRUE(waitFor([&] { return w.windowHandle() && w.windowHandle()->isExposed(); }));
    waitFor([] { return false; }, 300);
    w.imgSelect_MouseDown(cnd::SegWire);

    auto drag = [&](int k, QWidget* target) {
        QWidget* from = w.imgSelect[size_t(k)];
        const QPoint start = from->rect().center();
        // The drag runs an event loop of its own from the move that starts it; the rest of the
        // gesture arrives from inside that loop.
        QTimer::singleShot(50, target, [target] {
            QTest::mouseMove(target, target->rect().center() + QPoint(0, 1));
            QTest::mouseMove(target, target->rect().center());
            QTest::mouseRelease(target, Qt::LeftButton, {}, target->rect().center());
        });
        QTest::mousePress(from, Qt::LeftButton, {}, start);
        QTest::mouseMove(from, start + QPoint(QApplication::startDragDistance() + 4, 0));
        waitFor([] { return false; }, 200);
    };

    drag(cnd::SegClosedUp, w.lblSeg[17]);
    EXPECT_EQ(doc.code(0, 17), cnd::SegClosedUp) << "the dragged picture, on the cell it was let go over";
    EXPECT_EQ(doc.input(0, 17), 2);
    EXPECT_EQ(w.lblSeg[17]->text(), "I 3");
    EXPECT_EQ(doc.code(0, 40), cnd::SegOpen);
    EXPECT_EQ(doc.input(0, 40), 5);

    drag(cnd::SegWire, w.imgSegment[60]);
    EXPECT_EQ(doc.code(0, 60), cnd::SegEmpty);

    w.mnuUndo_Click();
    EXPECT_EQ(doc.code(0, 17), cnd::SegOpen) << "the drop is one step of the undo history";
    w.close();
}

// The input selector opens where its formula puts it: offsets from the editor's outer corner, the
// cell's place from the client area below the menu bar.
TEST_F(Screen, InputSelectorOpensAtItsFormulaBelowTheMenuBar)
{
    QPoint shownAt, expected;
    frmExpCndCustom w(host);
    dialogs.drivers.push_back([&](Form& f) {
        auto& editor = static_cast<frmExpCndCustom&>(f);
        const int cell = 33;
        const QPoint inClient = editor.lblSeg[cell]->mapTo(editor.body, QPoint(0, 0));
        expected = editor.frameGeometry().topLeft() + inClient + QPoint(tw(165), tw(1035));
        dialogs.drivers.push_back([&](Form& sel) { shownAt = sel.frameGeometry().topLeft(); });
        editor.lblSeg_Click(cell);
    });
    host.dialogs().showModal(w);
    ASSERT_FALSE(expected.isNull());
    EXPECT_EQ(shownAt, expected);
}

// After "Download"'s question the transfer does not yield; the window must not keep the dead box.
TEST_F(Screen, TransferRepaintsTheWindowWhereTheAnsweredQuestionWas)
{
    double stale = -1;
    frmExpCndCustom w(host);
    dialogs.showQuestions = true;
    site.script = [&](Channel, const QByteArray& frame) -> std::optional<QByteArray> {
        if (stale < 0 && frame == "[200700--]") {
            // What the screen shows where the box was, against what the window itself draws there.
            const QRect area = dialogs.questionArea.intersected(w.frameGeometry());
            const QRect local(w.mapFromGlobal(area.topLeft()), area.size());
            const QImage screen = QGuiApplication::primaryScreen()
                                      ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                                      .toImage();
            const QImage own = w.grab(local).toImage().convertToFormat(screen.format());
            int same = 0;
            for (int y = 0; y < screen.height() && y < own.height(); ++y)
                for (int x = 0; x < screen.width() && x < own.width(); ++x)
                    same += screen.pixel(x, y) == own.pixel(x, y) ? 1 : 0;
            stale = 1.0 - double(same) / std::max(1, screen.width() * screen.height());
        }
        return std::nullopt; // no module: the transfer ends at its connection check
    };
    dialogs.drivers.push_back([&](Form& f) { static_cast<frmExpCndCustom&>(f).mnuDownload_Click(); });
    host.dialogs().showModal(w);
    site.script = {};
    ASSERT_GE(stale, 0) << "the transfer never reached the module";
    EXPECT_LT(stale, 0.05);
}

} // namespace tqdt::test
