#include "condlogic/CdfCommand.h"

#include "condlogic/CdfFile.h"
#include "condlogic/LogicCompiler.h"
#include "condlogic/LogicExpression.h"
#include "condlogic/MpdFile.h"
#include "condlogic/ProgramImage.h"
#include "documents/SafeFile.h"

#include <memory>

namespace tqdt::cnd {

namespace {

// The document with its control array is 140 KB: kept off the stack.
std::unique_ptr<CndDocument> readDocument(const QString& file, CliIo& io)
{
    auto doc = std::make_unique<CndDocument>();
    if (const FileResult read = CdfRead(file, *doc); !read) {
        io.say(read.line());
        return nullptr;
    }
    return doc;
}

int compile(const CliArgs& args, CliIo& io)
{
    const auto doc = readDocument(args.positional[0], io);
    if (!doc)
        return 2;
    CompileFast(*doc, doc->ControlArray);
    QByteArray bytes(kPatterns, '\0');
    for (int p = 0; p < kPatterns; ++p)
        bytes[p] = char(quint8(doc->ControlArray[size_t(p)]));
    const QString output = args.value(QStringLiteral("-o"));
    if (const QString why = SaveFileAtomically(output, bytes); !why.isEmpty()) {
        io.say(output + QStringLiteral(": cannot be written: ") + why);
        return 2;
    }
    return 0;
}

int checksum(const CliArgs& args, CliIo& io)
{
    const auto doc = readDocument(args.positional[0], io);
    if (!doc)
        return 2;
    CompileFast(*doc, doc->ControlArray);
    io.out << DownloadChecksum(*doc) << "\n" << UploadChecksum(*doc) << "\n";
    return 0;
}

int expr(const CliArgs& args, CliIo& io)
{
    const auto doc = readDocument(args.positional[0], io);
    if (!doc)
        return 2;
    for (int o = 0; o < kOutputs; ++o)
        io.out << "QV Input " << (o + 1) << ": " << ExpressionText(OutputProducts(*doc, o)) << "\n";
    return 0;
}

bool readProfiles(const QString& file, ProfileTable& profiles, CliIo& io)
{
    if (const FileResult read = MpdRead(file, profiles); !read) {
        io.say(read.line());
        return false;
    }
    return true;
}

int mpdChecksum(const CliArgs& args, CliIo& io)
{
    ProfileTable profiles{};
    if (!readProfiles(args.positional[0], profiles, io))
        return 2;
    io.out << ProgramChecksumText(ProfileProgramImage(profiles)) << "\n";
    return 0;
}

int mpdExportCsv(const CliArgs& args, CliIo& io)
{
    const QString file = args.positional[0];
    QString why;
    const QString target = CliExportPath(file, args.value(QStringLiteral("-o")), &why);
    if (target.isEmpty())
        return io.refuse(why);
    ProfileTable profiles{};
    if (!readProfiles(file, profiles, io))
        return 2;
    if (const FileResult written = CsvWrite(target, profiles); !written) {
        io.say(written.line());
        return 2;
    }
    return 0;
}

} // namespace

std::vector<CliCommand> CdfFileCommands()
{
    return {
        {QStringLiteral("compile"),
         {QStringLiteral("FILE.CDF")},
         {{QStringLiteral("-o"), QStringLiteral("FILE.BIN"), QStringLiteral("where the control array goes"),
           true}},
         QStringLiteral("compile a conditional data file into its 65,536-byte control array"),
         compile},
        {QStringLiteral("checksum"),
         {QStringLiteral("FILE.CDF")},
         {},
         QStringLiteral("print the checksum of the compiled download image and, on a second\n"
                        "line, of the configuration area as an upload reads it"),
         checksum},
        {QStringLiteral("expr"),
         {QStringLiteral("FILE.CDF")},
         {},
         QStringLiteral("print each output's truth table as a sum of products, one line per\n"
                        "output (\"QV Input 1: I1\u00B7\u00ACP2 + I3\")"),
         expr},
    };
}

std::vector<CliCommand> MpdFileCommands()
{
    return {
        {QStringLiteral("checksum"),
         {QStringLiteral("FILE.MPD")},
         {},
         QStringLiteral("print the checksum of an MP profile table's download image"),
         mpdChecksum},
        {QStringLiteral("export-csv"),
         {QStringLiteral("FILE.MPD")},
         {{QStringLiteral("-o"), QStringLiteral("OUT.CSV"),
           QStringLiteral("where the listing goes (by default beside FILE.MPD, its extension\n"
                          "replaced by CSV, or .CSV added when it has none)")}},
         QStringLiteral("write the table as the profile editor exports it (by default\n"
                        "beside FILE.MPD, ending in CSV)"),
         mpdExportCsv},
    };
}

} // namespace tqdt::cnd
