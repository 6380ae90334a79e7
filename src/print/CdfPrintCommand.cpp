#include "print/CdfPrintCommand.h"

#include "condlogic/CdfFile.h"
#include "print/DiagramPaint.h"

#include <memory>

namespace tqdt::cnd {

bool IsCdfPrintCommand(const QStringList& args)
{
    return !args.isEmpty() && args[0] == QLatin1String("print");
}

QString CdfPrintCommandHelp()
{
    return QStringLiteral(
        "  cdf print FILE.CDF -o FILE.PDF [--two-per-page]\n"
        "              write the eight diagrams, their expressions, the checksum and the notes\n"
        "              as a PDF, one diagram per page or two\n");
}

int RunCdfPrintCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    (void)out;
    const bool shape =
        (args.size() == 4 || (args.size() == 5 && args[4] == QLatin1String("--two-per-page"))) &&
        args[2] == QLatin1String("-o");
    if (!shape) {
        err << "tqdt-cli: usage: cdf compile FILE.CDF -o FILE.BIN | cdf checksum FILE.CDF | cdf expr FILE.CDF"
               " | cdf print FILE.CDF -o FILE.PDF [--two-per-page]\n";
        return 2;
    }
    // The document with its control array is 140 KB: kept off the stack.
    auto doc = std::make_unique<CndDocument>();
    if (const FileResult read = CdfRead(args[1], *doc); !read) {
        err << "tqdt-cli: " << read.line() << "\n";
        return 2;
    }
    RecordOptions options;
    options.fileName = args[1];
    options.perPage = args.size() == 5 ? 2 : 1;
    if (const QString problem = WriteRecordPdf(args[3], *doc, options); !problem.isEmpty()) {
        err << "tqdt-cli: " << args[3] << ": " << problem << "\n";
        return 2;
    }
    return 0;
}

} // namespace tqdt::cnd
