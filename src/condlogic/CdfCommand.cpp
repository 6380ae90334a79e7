#include "condlogic/CdfCommand.h"
#include "documents/CsvPath.h"

#include "condlogic/CdfFile.h"
#include "condlogic/LogicCompiler.h"
#include "condlogic/LogicExpression.h"
#include "condlogic/MpdFile.h"
#include "condlogic/ProgramImage.h"

#include "documents/SafeFile.h"

#include <memory>
#include <optional>

namespace tqdt::cnd {

QString CdfCommandHelp()
{
    return QStringLiteral("  cdf compile FILE.CDF -o FILE.BIN\n"
                          "              compile a conditional data file into its 65,536-byte control array\n"
                          "  cdf checksum FILE.CDF\n"
                          "              print the checksum of the compiled download image and, on a second\n"
                          "              line, of the configuration area as an upload reads it\n"
                          "  cdf expr FILE.CDF\n"
                          "              print each output's truth table as a sum of products, one line per\n"
                          "              output (\"QV Input 1: I1\u00B7\u00ACP2 + I3\")\n");
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
namespace {

enum class Verb { Compile, Checksum, Expr };

struct Invocation {
    Verb verb;
    QString file, output;
};

std::optional<Invocation> parse(const QStringList& args)
{
    if (args.isEmpty())
        return std::nullopt;
    const QString& verb = args[0];
    if (verb == QLatin1String("checksum") && args.size() == 2)
        return Invocation{Verb::Checksum, args[1], {}};
    if (verb == QLatin1String("expr") && args.size() == 2)
        return Invocation{Verb::Expr, args[1], {}};
    if (verb == QLatin1String("compile") && args.size() == 4 && args[2] == QLatin1String("-o"))
        return Invocation{Verb::Compile, args[1], args[3]};
    return std::nullopt;
}

} // namespace

int RunCdfCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const auto inv = parse(args);
    if (!inv) {
        err << "tqdt-cli: usage: cdf compile FILE.CDF -o FILE.BIN | cdf checksum FILE.CDF | cdf expr FILE.CDF"
               " | cdf print FILE.CDF -o FILE.PDF [--two-per-page]\n";
        return 2;
    }
    // The document with its control array is 140 KB: kept off the stack.
    auto doc = std::make_unique<CndDocument>();
    if (const FileResult read = CdfRead(inv->file, *doc); !read) {
        err << "tqdt-cli: " << read.line() << "\n";
        return 2;
    }
    switch (inv->verb) {
    case Verb::Expr:
        for (int o = 0; o < kOutputs; ++o)
            out << "QV Input " << (o + 1) << ": " << ExpressionText(OutputProducts(*doc, o)) << "\n";
        return 0;
    case Verb::Checksum:
        CompileFast(*doc, doc->ControlArray);
        out << DownloadChecksum(*doc) << "\n" << UploadChecksum(*doc) << "\n";
        return 0;
    case Verb::Compile: break;
    }
    CompileFast(*doc, doc->ControlArray);
    QByteArray bytes(kPatterns, '\0');
    for (int p = 0; p < kPatterns; ++p)
        bytes[p] = char(quint8(doc->ControlArray[size_t(p)]));
    if (const QString why = SaveFileAtomically(inv->output, bytes); !why.isEmpty()) {
        err << "tqdt-cli: " << inv->output << ": cannot be written: " << why << "\n";
        return 2;
    }
    return 0;
}

} // namespace tqdt::cnd
