#include "app/receipt_job.h"

#include "report/export/image/image_export.h"
#include "report/export/pdf/pdf_export.h"
#include "report/preview/preview_window.h"
#include "report/preview/printer_list.h"
#include "report/preview/report_printer.h"

namespace quittung::app {

// Apart from the receipt job, which the command line links without the preview and printing.
ReceiptOutput standardReceiptOutput(ReceiptJob& job)
{
    ReceiptOutput output;
    output.preview = [&job](report::ReportPreparer& preparer, const Receipt& receipt) {
        // Filters of the preview's own: what the user exports there goes where the save dialog
        // says, never into the file of a receipt made before.
        auto pdf = std::make_unique<report::PdfExport>();
        ReceiptJob::configurePdf(*pdf);
        pdf->setOpenAfterExport(job.pdfExport().openAfterExport());
        auto jpeg = std::make_unique<report::JpegExport>();
        jpeg->setShowDialog(false);
        const QString folder = job.programFolder();
        pdf->setFileName(receiptFileName(folder, QStringLiteral("PDF"), receipt, job.formatSettings()));
        jpeg->setFileName(receiptFileName(folder, QStringLiteral("JPG"), receipt, job.formatSettings()));
        std::vector<std::unique_ptr<report::ExportFilter>> filters;
        filters.push_back(std::move(pdf));
        filters.push_back(std::move(jpeg));
        report::showPreparedReport(preparer, std::move(filters));
    };
    output.hasPrinter = [] { return report::PrinterList::instance().hasPhysicalPrinters(); };
    output.print = [](report::ReportPreparer& preparer, const report::PrintOptions& options) {
        return report::printReport(preparer, options);
    };
    return output;
}

} // namespace quittung::app
