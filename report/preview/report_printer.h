#pragma once

#include <QString>

namespace quittung::report {

class PrintOptions;
class ReportPreparer;

// Prints the engine's prepared pages as the report's print options say, through the print dialog
// when they ask for it. currentPage (from 1) is what the dialog's "Current page" prints. False when
// the system has no printer or the dialog was cancelled; true otherwise.
bool printReport(ReportPreparer& engine, int currentPage = 1);
// The same with other print options than the report's.
bool printReport(ReportPreparer& engine, PrintOptions options, int currentPage = 1);

} // namespace quittung::report
