#include "documents/CsvPath.h"

#include <algorithm>

namespace tqdt {

QString CsvPathFor(const QString& documentPath)
{
    return documentPath.left(std::max<qsizetype>(0, documentPath.size() - 3)) + QStringLiteral("CSV");
}

} // namespace tqdt
