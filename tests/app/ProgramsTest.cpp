#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ProgramRun {
    int exitCode;
    QByteArray out, err;
};

ProgramRun run(const QString& program, const QStringList& args, const QString& home)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("TQDT_HOME", home);
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

TEST(Programs, ScreenshotOfTheMainWindowAndThePortChoice)
{
    struct Case {
        const char* form;
        QSize minimum;
    } cases[] = {{"frmQVDTMain", {600, 350}}, {"frmComSel", {200, 100}}};
    for (const auto& c : cases) {
        QTemporaryDir home;
        const QString png = home.filePath(QString(c.form) + ".png");
        const ProgramRun r = run(TQDT_GUI_BIN, {"--simulate", "--open", c.form, "--screenshot", png}, home.path());
        EXPECT_EQ(r.exitCode, 0) << c.form << r.err.constData();
        const QImage image(png);
        EXPECT_GE(image.width(), c.minimum.width()) << c.form;
        EXPECT_GE(image.height(), c.minimum.height()) << c.form;
    }
    QTemporaryDir home;
    EXPECT_EQ(run(TQDT_GUI_BIN, {"--simulate", "--open", "frmNoSuchWindow", "--screenshot", home.filePath("x.png")},
                  home.path())
                  .exitCode,
              2);
}
