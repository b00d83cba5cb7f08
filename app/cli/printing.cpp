#include "app/cli/printing.h"

#include "report/document/report.h"
#include "report/document/report_options.h"
#include "report/engine/pages/report_preparer.h"
#include "report/preview/report_printer.h"

#include <QApplication>
#include <QPrinterInfo>

namespace quittung::app {

bool canPrint()
{
    return true;
}

std::unique_ptr<QCoreApplication> printingApplication(int& argc, char** argv)
{
    return std::make_unique<QApplication>(argc, argv);
}

QString printerFault(const QString& printer)
{
    if (QPrinterInfo::availablePrinters().isEmpty())
        return QStringLiteral("Die Quittung kann nicht gedruckt werden: kein Drucker eingerichtet.");
    if (!printer.isEmpty() && QPrinterInfo::printerInfo(printer).isNull())
        return QStringLiteral("Die Quittung kann nicht gedruckt werden: Den Drucker \"%1\" gibt es nicht.").arg(printer);
    return QString();
}

bool printReceipt(report::ReportPreparer& preparer, const report::PrintOptions& options, const QString& printer)
{
    report::PrintOptions chosen = options;
    if (!printer.isEmpty())
        chosen.setPrinter(printer);
    return report::printReport(preparer, chosen);
}

} // namespace quittung::app
