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
#include "print/CdfPrintCommand.h"
#include "print/SiteCommand.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Every command family, once: its entry dispatches it and adds its lines to the help.
const tqdt::CliFamily kFamilies[] = {
    tqdt::cnd::CdfCommands(), tqdt::cnd::MpdCommands(),  tqdt::gw::GatewayCommands(),
    tqdt::dmx::QdmCommands(), tqdt::net::LogCommands(),  tqdt::ws::WsCommands(),
    tqdt::ws::BtCommands(),   tqdt::net::SiteCommands(),
};

void usage(FILE* out)
{
    std::fputs("Usage: tqdt-cli [--help] [--version] | COMMAND ...\n"
               "\n"
               "Headless companion of the Tarvik Quorvel Diagnostic Tool.\n"
               "  --help      show this text\n"
               "  --version   show the version\n"
               "\n"
               "Commands:\n",
               out);
    for (const tqdt::CliFamily& f : kFamilies)
        std::fputs(qPrintable(f.help()), out);
}

} // namespace

int main(int argc, char** argv)
{
    // Drawing a PDF needs fonts, so that one command runs a GUI application, on the offscreen
    // platform unless another is asked for: a production bench has no display.
    QStringList words;
    for (int i = 2; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    const bool fonts =
        argc >= 2 && ((std::strcmp(argv[1], "cdf") == 0 && tqdt::cnd::IsCdfPrintCommand(words)) ||
                      (std::strcmp(argv[1], "site") == 0 && tqdt::net::IsSiteSurveyCommand(words)));
    if (fonts && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app = fonts ? std::make_unique<QGuiApplication>(argc, argv)
                                                  : std::make_unique<QCoreApplication>(argc, argv);
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
            std::fprintf(stderr, "tqdt-cli: %s: the name is not valid UTF-8; rename the file to use it\n",
                         QString::fromUtf8(raw).toUtf8().constData());
            return 2;
        }
    }
    for (const tqdt::CliFamily& f : kFamilies) {
        if (std::strcmp(cmd, f.name) != 0)
            continue;
        QTextStream out(stdout), err(stderr);
        tqdt::CliIo io{out, err, tqdt::StandardErrorIsTerminal()};
        return f.run(QCoreApplication::arguments().mid(2), io);
    }
    std::fprintf(stderr, "tqdt-cli: unknown command '%s' (see --help)\n", cmd);
    return 2;
}
