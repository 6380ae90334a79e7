// tqdt-cli: the diagnostic tool's headless companion.
#include "cli/CliCommand.h"
#include "condlogic/CndCommands.h"
#include "devices/BtCommand.h"
#include "devices/WsCommand.h"
#include "dmx/QdmCommand.h"
#include "gateway/MgwCommand.h"
#include "network/LogCommand.h"
#include "ports/Pty.h"
#include "print/CdfFamily.h"
#include "print/SiteCommand.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Every command family, once: the parser, the help and the dispatch all read it.
std::vector<tqdt::CliFamily> families()
{
    return {tqdt::cnd::CdfCommands(), tqdt::cnd::MpdCommands(), tqdt::gw::GatewayCommands(),
            tqdt::dmx::QdmCommands(), tqdt::net::LogCommands(), tqdt::ws::WsCommands(),
            tqdt::ws::BtCommands(),   tqdt::net::SiteCommands()};
}

void usage(FILE* out)
{
    std::fputs("Usage: tqdt-cli [--help] [--version] | FAMILY COMMAND ARGUMENTS... [OPTIONS]\n"
               "\n"
               "Headless companion of the Tarvik Quorvel Diagnostic Tool.\n"
               "  --help      show this text\n"
               "  --version   show the version\n"
               "\n"
               "Commands:\n",
               out);
    for (const tqdt::CliFamily& f : families())
        std::fputs(qPrintable(tqdt::CliFamilySummary(f)), out);
    std::fputs("\n"
               "tqdt-cli FAMILY --help lists a family's commands, tqdt-cli FAMILY COMMAND --help a\n"
               "command's options. \"--\" ends the options: every word after it is an argument, so that\n"
               "a file whose name starts with \"-\" can be given.\n"
               "\n"
               "PORT is COMn (mapped in the settings file's [Ports]), a device path or\n"
               "rfc2217://HOST:PORT[?ign_set_control&ign_purge&timeout=SECONDS].\n"
               "\n"
               "Exit status: 0 done, 1 the device or the port failed, 2 a usage error or a bad file.\n",
               out);
}

} // namespace

int main(int argc, char** argv)
{
    QStringList words;
    for (int i = 2; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    const std::vector<tqdt::CliFamily> all = families();
    const tqdt::CliFamily* family = nullptr;
    for (const tqdt::CliFamily& f : all)
        if (argc >= 2 && f.name == QLatin1String(argv[1]))
            family = &f;
    // A command that draws needs fonts, so it runs a GUI application, on the offscreen platform unless
    // another is asked for: a production bench has no display.
    const bool fonts = family && tqdt::CliNeedsFonts(*family, words);
    if (fonts && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app = fonts ? std::make_unique<QGuiApplication>(argc, argv)
                                                  : std::make_unique<QCoreApplication>(argc, argv);
    QTextStream out(stdout), err(stderr);
    tqdt::CliIo io{out, err, tqdt::StandardErrorIsTerminal()};
    if (argc < 2) {
        usage(stderr);
        return 2;
    }
    const char* cmd = argv[1];
    if (std::strcmp(cmd, "--help") == 0 || std::strcmp(cmd, "-h") == 0) {
        usage(stdout);
        return 0;
    }
    if (std::strcmp(cmd, "--version") == 0) {
        std::printf("tqdt-cli %s\n", TQDT_VERSION);
        return 0;
    }
    // The program's file names are Unicode; a name in another encoding would turn into a different
    // name and "No such file". Say what is wrong instead.
    for (int i = 2; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        if (QString::fromUtf8(raw).toUtf8() != raw) {
            io.say(QString::fromUtf8(raw) +
                   QStringLiteral(": the name is not valid UTF-8; rename the file to use it"));
            return 2;
        }
    }
    if (!family) {
        io.say(QStringLiteral("unknown command '%1' (see --help)").arg(QString::fromLocal8Bit(cmd)));
        return 2;
    }
    return tqdt::RunCliFamily(*family, QCoreApplication::arguments().mid(2), io);
}
