#pragma once

#include <QCoreApplication>
#include <QString>

#include <memory>

namespace quittung::report {
class PrintOptions;
class ReportPreparer;
}

namespace quittung::app {

// Printing takes Qt Widgets and Qt PrintSupport, and loading them is a good part of the start of a
// run that does not print. So quittung-cli links neither and hands a run that prints to its twin
// quittung-cli-druck, the same tool with printing.

// Whether this program prints itself.
bool canPrint();

// The application object printing needs: the widgets' print support.
std::unique_ptr<QCoreApplication> printingApplication(int& argc, char** argv);

// Why receipts cannot be printed on the named printer, or the default one when the name is empty:
// there is no printer, or none of that name. Empty when they can.
QString printerFault(const QString& printer);

// Prints a receipt with the options on the named printer, or on the options' one when the name is
// empty; false when there is no printer.
bool printReceipt(report::ReportPreparer& preparer, const report::PrintOptions& options, const QString& printer);

} // namespace quittung::app
