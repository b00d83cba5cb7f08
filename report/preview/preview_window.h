#pragma once

#include <vector>

namespace quittung::report {

class ExportFilter;
class ReportPreparer;

// Shows the engine's prepared pages in the preview window, modal and maximised as the report's
// preview options say; the export menu offers the filters given (not owned).
void showPreparedReport(ReportPreparer& engine, const std::vector<ExportFilter*>& filters);

} // namespace quittung::report
