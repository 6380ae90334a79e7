#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include <signal.h>

namespace {

struct ProgramRun {
    int exitCode;
    QByteArray out, err;
};

ProgramRun run(const QString& program, const QStringList& args, const QString& home,
               const QString& platform = "offscreen")
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", platform);
    env.insert("TQDT_HOME", home);
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return {-1, {}, "did not finish"};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

} // namespace

TEST(Programs, CliAnswersVersionHelpAndRefusesUnknownCommands)
{
    QTemporaryDir home;
    const ProgramRun version = run(TQDT_CLI_BIN, {"--version"}, home.path());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("tqdt-cli 1.67")) << version.out.constData();
    const ProgramRun help = run(TQDT_CLI_BIN, {"--help"}, home.path());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("Usage")) << help.out.constData();
    const ProgramRun bad = run(TQDT_CLI_BIN, {"frobnicate"}, home.path());
    EXPECT_NE(bad.exitCode, 0);
    EXPECT_FALSE(bad.err.isEmpty());
}

// Names the program cannot use and ports that cannot exist are usage errors with one clear line,
// found before anything is opened.
TEST(Programs, CliRefusesUnusableNamesAndPortsAsUsageErrors)
{
    QTemporaryDir home;
    struct Case {
        QString script; // run by sh with the program as $0
        const char* says;
    } cases[] = {
        {"\"$0\" cdf checksum \"$(printf 'caf\\351.CDF')\"", "is not valid UTF-8"},
        {"\"$0\" cdf download X.CDF --port COM99999999999", "usage: COM99999999999 is not a port"},
        {"\"$0\" cdf upload X.CDF --port COM0", "usage: COM0 is not a port"},
    };
    for (const Case& c : cases) {
        QProcess p;
        p.setWorkingDirectory(home.path());
        p.start("sh", {"-c", c.script, TQDT_CLI_BIN});
        ASSERT_TRUE(p.waitForFinished(30000));
        const QByteArray err = p.readAllStandardError();
        EXPECT_EQ(p.exitCode(), 2) << c.says << err.constData();
        EXPECT_TRUE(err.contains(c.says)) << err.constData();
        EXPECT_EQ(err.count('\n'), 1) << err.constData();
    }
}

TEST(Programs, ToolAnswersHelpAndVersionWithoutADisplay)
{
    QTemporaryDir home;
    const ProgramRun version = run(TQDT_GUI_BIN, {"--version"}, home.path(), "xcb");
    EXPECT_EQ(version.exitCode, 0) << version.err.constData();
    EXPECT_TRUE(version.out.startsWith("tqdt 1.67")) << version.out.constData();
    const ProgramRun help = run(TQDT_GUI_BIN, {"--help"}, home.path(), "xcb");
    EXPECT_EQ(help.exitCode, 0) << help.err.constData();
    EXPECT_TRUE(help.out.contains("--simulate")) << help.out.constData();
}

TEST(Programs, ScreenshotOfTheMainWindowAndThePortChoice)
{
    struct Case {
        const char* form;
        QSize minimum;
    } cases[] = {{"frmQVDTMain", {600, 350}}, {"frmComSel", {200, 100}}};
    for (const auto& c : cases) {
        QTemporaryDir home;
        const QString png = home.filePath(QString(c.form) + ".png");
        const ProgramRun r =
            run(TQDT_GUI_BIN, {"--simulate", "--open", c.form, "--screenshot", png}, home.path());
        EXPECT_EQ(r.exitCode, 0) << c.form << r.err.constData();
        const QImage image(png);
        EXPECT_GE(image.width(), c.minimum.width()) << c.form;
        EXPECT_GE(image.height(), c.minimum.height()) << c.form;
    }
    QTemporaryDir home;
    EXPECT_EQ(run(TQDT_GUI_BIN,
                  {"--simulate", "--open", "frmNoSuchWindow", "--screenshot", home.filePath("x.png")},
                  home.path())
                  .exitCode,
              2);
}

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
        const ProgramRun r =
            run(TQDT_GUI_BIN, {"--simulate", "--open", c.form, "--screenshot", png}, home.path());
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
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

// Each device window finds its station on the simulated bench: the status line turns green once the
// station has been identified.
TEST(SimulatedBench, DeviceWindowsIdentifyTheirStation)
{
    for (const char* form : {"frmQVDTWSG3TestCnf", "frmQVDTWSDualTechCnf", "frmQVDTWSDualTechWallCnf",
                             "frmQVDTKestrixTestCnf", "frmQVDTWSTestCnf"}) {
        SCOPED_TRACE(form);
        QTemporaryDir home;
        const QString png = home.filePath(QString(form) + ".png");
        const ProgramRun r =
            run(TQDT_GUI_BIN, {"--simulate", "--open", form, "--screenshot", png}, home.path());
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
        const QImage image(png);
        int green = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                green += image.pixel(x, y) == qRgb(0, 255, 0);
        EXPECT_GT(green, 500);
    }
}

// A logout or a shutdown sends SIGTERM or SIGHUP, a terminal SIGINT: the program closes its windows
// as their close boxes would and ends normally, with a tool window open or not, instead of dying.
TEST(Programs, ToolEndsNormallyOnTheSignalsOfALogoutOrShutdown)
{
    struct Case {
        QStringList args;
        int signal;
    } cases[] = {
        {{"--simulate"}, SIGTERM},
        {{"--simulate", "--open", "frmQVDTDataLogger"}, SIGTERM},
        {{"--simulate", "--open", "frmMGW"}, SIGHUP},
        {{"--simulate"}, SIGINT},
    };
    for (const Case& c : cases) {
        const std::string what = c.args.join(' ').toStdString() + " / " + std::to_string(c.signal);
        QTemporaryDir home;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TQDT_HOME", home.path());
        p.setProcessEnvironment(env);
        p.start(TQDT_GUI_BIN, c.args);
        ASSERT_TRUE(p.waitForStarted()) << what;
        // The settings file is written as the main window loads; the windows are up just after.
        const QString settings = QDir(home.path()).filePath("Tarvik Quorvel/DiagnosticTool.ini");
        QElapsedTimer t;
        t.start();
        while (!QFile::exists(settings) && t.elapsed() < 30000)
            p.waitForFinished(50);
        ASSERT_TRUE(QFile::exists(settings)) << what;
        p.waitForFinished(700);
        ASSERT_EQ(p.state(), QProcess::Running) << what << p.readAllStandardError().constData();
        ::kill(pid_t(p.processId()), c.signal);
        ASSERT_TRUE(p.waitForFinished(30000)) << what;
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << what;
        EXPECT_EQ(p.exitCode(), 0) << what << p.readAllStandardError().constData();
    }
}
