#pragma once

#include <QString>

namespace tqdt {

// The document path with its last three characters replaced by "CSV": where an editor's export goes
// unless the user names another file.
QString CsvPathFor(const QString& documentPath);

} // namespace tqdt
