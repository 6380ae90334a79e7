#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

int shoot(const QString& form, const QString& png, const QString& home)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("TQDT_HOME", home);
    p.setProcessEnvironment(env);
    p.start(TQDT_GUI_BIN, {"--simulate", "--open", form, "--screenshot", png});
    if (!p.waitForFinished(60000))
        return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

// In the simulated installation another master is at work while a monitor is open, so the
// monitor's white label carries frames by the time the window is grabbed; the logger opens on its
// own port.
TEST(SimulatedTraffic, MonitorsShowFramesAndTheLoggerOpens)
{
    struct Case {
        const char* form;
        QSize minimum;
        bool showsFrames;
    } cases[] = {
        {"frmQVDTLocalMonitor", {1000, 700}, true},
        {"frmQVDTNetworkMonitor", {1000, 700}, true},
        {"frmQVDTDataLogger", {500, 120}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.form);
        QTemporaryDir home;
        const QString png = home.filePath(QString(c.form) + ".png");
        ASSERT_EQ(shoot(c.form, png, home.path()), 0);
        const QImage image(png);
        EXPECT_GE(image.width(), c.minimum.width());
        EXPECT_GE(image.height(), c.minimum.height());
        if (!c.showsFrames)
            continue;
        // Dark text pixels inside the data label (at 120, 840 twips: 8, 56 pixels).
        int dark = 0;
        for (int y = 60; y < image.height() - 10; ++y)
            for (int x = 10; x < 200; ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        EXPECT_GT(dark, 50);
    }
}
