#pragma once

#include "gateway/GatewayImage.h"

namespace tqdt::gw {

// The readable listing of a point map: "Mapped Gateway File: " and the document's name, then the
// first `points` points (350 or 750) one line each, a multi-relay point with a line per node it
// controls. CR LF line ends, no quoting.
QByteArray GatewayCsv(const GatewayImage& image, const QString& mapFileName, int points);

// Writes the listing to the file beside the document (its name less its last three characters,
// then "CSV").
FileResult GatewayCsvWrite(const QString& csvPath, const GatewayImage& image, const QString& mapFileName,
                           int points);

} // namespace tqdt::gw
