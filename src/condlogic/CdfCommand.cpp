#include "condlogic/CdfCommand.h"

#include "condlogic/CdfFile.h"
#include "condlogic/LogicCompiler.h"
#include "condlogic/MpdFile.h"
#include "condlogic/ProgramImage.h"

#include "shell/SafeFile.h"

#include <memory>

namespace tqdt::cnd {

QString CdfCommandHelp()
{
    return QStringLiteral("  cdf compile FILE.CDF -o FILE.BIN\n"
                          "              compile a conditional data file into its 65,536-byte control array\n"
                          "  cdf checksum FILE.CDF\n"
                          "              print the checksum of the compiled download image and, on a second\n"
                          "              line, of the configuration area as an upload reads it\n");
}

QString MpdCommandHelp()
{
    return QStringLiteral("  mpd checksum FILE.MPD\n"
                          "              print the checksum of an MP profile table's download image\n"
                          "  mpd export-csv FILE.MPD [-o OUT.CSV]\n"
                          "              write the table as the profile editor exports it (by default\n"
                          "              beside FILE.MPD, ending in CSV)\n");
}

bool IsMpdFileCommand(const QStringList& args)
{
    return !args.isEmpty() &&
           (args[0] == QLatin1String("checksum") || args[0] == QLatin1String("export-csv"));
}

int RunMpdCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const bool checksum = args.size() == 2 && args[0] == QLatin1String("checksum");
    const bool csv = args[0] == QLatin1String("export-csv") &&
                     (args.size() == 2 || (args.size() == 4 && args[2] == QLatin1String("-o")));
    if (!checksum && !csv) {
        err << "tqdt-cli: usage: mpd checksum FILE.MPD | mpd export-csv FILE.MPD [-o OUT.CSV]\n";
        return 2;
    }
    ProfileTable profiles{};
    if (const FileResult read = MpdRead(args[1], profiles); !read) {
        err << "tqdt-cli: " << read.line() << "\n";
        return 2;
    }
    if (checksum) {
        out << ProgramChecksumText(ProfileProgramImage(profiles)) << "\n";
        return 0;
    }
    const QString target = args.size() == 4 ? args[3] : CsvPathFor(args[1]);
    if (const FileResult written = CsvWrite(target, profiles); !written) {
        err << "tqdt-cli: " << written.line() << "\n";
        return 2;
    }
    return 0;
}

int RunCdfCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const bool compile =
        args.size() == 4 && args[0] == QLatin1String("compile") && args[2] == QLatin1String("-o");
    const bool checksum = args.size() == 2 && args[0] == QLatin1String("checksum");
    if (!compile && !checksum) {
        err << "tqdt-cli: usage: cdf compile FILE.CDF -o FILE.BIN | cdf checksum FILE.CDF\n";
        return 2;
    }
    // The document with its control array is 140 KB: kept off the stack.
    auto doc = std::make_unique<CndDocument>();
    if (const FileResult read = CdfRead(args[1], *doc); !read) {
        err << "tqdt-cli: " << read.line() << "\n";
        return 2;
    }
    CompileFast(*doc, doc->ControlArray);
    if (checksum) {
        out << DownloadChecksum(*doc) << "\n" << UploadChecksum(*doc) << "\n";
        return 0;
    }
    QByteArray bytes(kPatterns, '\0');
    for (int p = 0; p < kPatterns; ++p)
        bytes[p] = char(quint8(doc->ControlArray[size_t(p)]));
    if (const QString why = SaveFileAtomically(args[3], bytes); !why.isEmpty()) {
        err << "tqdt-cli: " << args[3] << ": cannot be written: " << why << "\n";
        return 2;
    }
    return 0;
}

} // namespace tqdt::cnd
