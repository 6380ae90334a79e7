#include "ports/Pty.h"
#include "support/CliLines.h"
#include "support/Files.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace tqdt;

namespace {

// Runs a program and gives its exit code, or -1 when it did not run to the end.
int run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// Why a technician outside the device's group cannot be played here, or empty when it can: the test
// hands a device to root:dialout and runs tqdt-cli as nobody, which only root may arrange.
QString whyNotHere()
{
#ifdef Q_OS_UNIX
    if (::geteuid() != 0)
        return "not root: cannot give a device to another group nor run as another user";
#else
    return "no device groups on this system";
#endif
    if (!PseudoTerminal::supported())
        return "no pseudo-terminals here";
    if (QStandardPaths::findExecutable("setpriv").isEmpty())
        return "setpriv is not installed";
    if (run("getent", {"group", "dialout"}) != 0 || run("getent", {"passwd", "nobody"}) != 0)
        return "no group dialout or no user nobody";
    if (run("setpriv",
            {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "--", TQDT_CLI_BIN, "--version"}) != 0)
        return "nobody cannot run " TQDT_CLI_BIN " (a folder on its path is closed to other users)";
    return {};
}

} // namespace

// A technician outside the group dialout is told, in the one line the port error has always been,
// what to do about it: whether the port is named as a device or through a mapping in Ports.
TEST(CliPortPermission, RefusedDeviceLineSaysToJoinItsGroup)
{
    if (const QString why = whyNotHere(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    PseudoTerminal pty;
    ASSERT_TRUE(pty.isOpen());
    const QString device = pty.slaveName();
    // As a USB adapter's node is: root:dialout, rw-rw----.
    ASSERT_EQ(run("chown", {"root:dialout", device}), 0);
    ASSERT_EQ(run("chmod", {"0660", device}), 0);

    QTemporaryDir home;
    test::writeFile(home.filePath("Tarvik Quorvel/DiagnosticTool.ini"),
                    "[Ports]\r\nCOM3=" + device.toUtf8() + "\r\n");
    const auto open =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(home.path(), open);
    QFile::setPermissions(home.filePath("Tarvik Quorvel"), open);
    QFile::setPermissions(home.filePath("Tarvik Quorvel/DiagnosticTool.ini"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);

    const struct {
        QString port, named;
    } cases[] = {{device, device}, {"COM3", "COM3 (" + device + ")"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port.toStdString());
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TQDT_HOME", home.path());
        p.setProcessEnvironment(env);
        p.start("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "--", TQDT_CLI_BIN, "qdm",
                            "firmware", "--port", c.port});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 1);
        const QByteArray expected =
            "tqdt-cli: Port Error: Unable To Open Port " + c.named.toUtf8() +
            ": Permission denied: add your user to the group dialout and log in again";
        EXPECT_EQ(test::CliLines(p.readAllStandardError()), QList<QByteArray>{expected});
    }
}
