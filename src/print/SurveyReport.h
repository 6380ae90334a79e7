#pragma once

#include "network/SurveyRecord.h"

#include <QPageSize>
#include <QString>

namespace tqdt::net {

// The paper of the locale: Letter where it measures in inches the US way, A4 elsewhere.
QPageSize::PageSizeId LocalePaper();

// The printable survey: a title block (site, date, technician, tool), a summary of counts, one table
// per kind of device, each panel's relay image as an 8 x 8 grid, and page numbers. An incomplete
// survey says so on its first line.
QByteArray SurveyPdf(const SurveyRecord& record, QPageSize::PageSizeId paper);

// survey.json, survey.csv and survey.pdf in dir (made when missing), each replaced atomically.
// Empty on success, otherwise the reason with the file it concerns.
QString WriteSurveyFiles(const QString& dir, const SurveyRecord& record, QPageSize::PageSizeId paper);

} // namespace tqdt::net
