#include "print/CdfPrintCommand.h"

#include "condlogic/CdfFile.h"
#include "print/DiagramPaint.h"

#include <memory>

namespace tqdt::cnd {

namespace {

int print(const CliArgs& args, CliIo& io)
{
    const QString file = args.positional[0];
    const QString output = args.value(QStringLiteral("-o"));
    // The document with its control array is 140 KB: kept off the stack.
    auto doc = std::make_unique<CndDocument>();
    if (const FileResult read = CdfRead(file, *doc); !read) {
        io.say(read.line());
        return 2;
    }
    RecordOptions options;
    options.fileName = file;
    options.perPage = args.has(QStringLiteral("--two-per-page")) ? 2 : 1;
    if (const QString problem = WriteRecordPdf(output, *doc, options); !problem.isEmpty()) {
        io.say(output + QStringLiteral(": ") + problem);
        return 2;
    }
    return 0;
}

} // namespace

CliCommand CdfPrintCommand()
{
    CliCommand c{
        QStringLiteral("print"),
        {QStringLiteral("FILE.CDF")},
        {{QStringLiteral("-o"), QStringLiteral("FILE.PDF"), QStringLiteral("where the PDF goes"), true},
         {QStringLiteral("--two-per-page"), {}, QStringLiteral("two diagrams a page instead of one")}},
        QStringLiteral("write the eight diagrams, their expressions, the checksum and the notes\n"
                       "as a PDF, one diagram per page or two"),
        print};
    c.needsFonts = true;
    return c;
}

} // namespace tqdt::cnd
