#include "condlogic/CdfCommand.h"

#include "condlogic/CdfFile.h"
#include "condlogic/LogicCompiler.h"
#include "condlogic/ProgramImage.h"

#include <QSaveFile>

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
    QSaveFile f(args[3]);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        err << "tqdt-cli: " << args[3] << ": cannot be written: " << f.errorString() << "\n";
        return 2;
    }
    return 0;
}

} // namespace tqdt::cnd
