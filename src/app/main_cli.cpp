// tqdt-cli: the diagnostic tool's headless companion.
#include "condlogic/CdfCommand.h"
#include "condlogic/TransferCommand.h"
#include "dmx/QdmCommand.h"
#include "shell/Pty.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <cstring>

namespace {

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
    std::fputs(qPrintable(tqdt::cnd::CdfCommandHelp()), out);
    std::fputs(qPrintable(tqdt::cnd::TransferCommandHelp()), out);
    std::fputs(qPrintable(tqdt::dmx::QdmCommandHelp()), out);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
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
    const QStringList rest = QCoreApplication::arguments().mid(2);
    if (tqdt::cnd::IsTransferCommand(QString::fromLocal8Bit(cmd), rest)) {
        QTextStream err(stderr);
        return tqdt::cnd::RunTransferCommand(QString::fromLocal8Bit(cmd), rest, err,
                                             tqdt::StandardErrorIsTerminal());
    }
    if (std::strcmp(cmd, "cdf") == 0) {
        QTextStream out(stdout), err(stderr);
        return tqdt::cnd::RunCdfCommand(QCoreApplication::arguments().mid(2), out, err);
    }
    if (std::strcmp(cmd, "qdm") == 0)
        return tqdt::dmx::RunQdmCommand(rest);
    std::fprintf(stderr, "tqdt-cli: unknown command '%s' (see --help)\n", cmd);
    return 2;
}
