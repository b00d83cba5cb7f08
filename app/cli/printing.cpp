#include "app/cli/printing.h"

#include "report/document/report.h"
#include "report/document/report_options.h"
#include "report/engine/pages/report_preparer.h"
#include "report/preview/report_printer.h"

#include <QApplication>

namespace quittung::app {

bool canPrint()
{
    return true;
}

std::unique_ptr<QCoreApplication> printingApplication(int& argc, char** argv)
{
    return std::make_unique<QApplication>(argc, argv);
}

bool printReceipt(report::ReportPreparer& preparer, const report::PrintOptions& options, const QString& printer)
{
    report::PrintOptions chosen = options;
    if (!printer.isEmpty())
        chosen.setPrinter(printer);
    return report::printReport(preparer, chosen);
}

} // namespace quittung::app
