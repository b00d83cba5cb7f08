#include "app/cli/printing.h"

namespace quittung::app {

// A run that prints never gets here: main() hands it to the twin first.
bool canPrint()
{
    return false;
}

std::unique_ptr<QCoreApplication> printingApplication(int& argc, char** argv)
{
    return std::make_unique<QCoreApplication>(argc, argv);
}

QString printerFault(const QString&)
{
    return QString();
}

bool printReceipt(report::ReportPreparer&, const report::PrintOptions&, const QString&)
{
    return false;
}

} // namespace quittung::app
