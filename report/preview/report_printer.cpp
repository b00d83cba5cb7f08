#include "report/preview/report_printer.h"

namespace quittung::report {

bool printReport(ReportPreparer&, int)
{
    return false;
}

} // namespace quittung::report
