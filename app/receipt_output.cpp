#include "app/receipt_job.h"

#include "report/export/image/image_export.h"
#include "report/export/pdf/pdf_export.h"
#include "report/preview/preview_window.h"
#include "report/preview/report_printer.h"

namespace quittung::app {

// Apart from the receipt job, which the command line links without the preview and printing.
ReceiptOutput ReceiptOutput::standard(report::PdfExport& pdf, report::JpegExport& jpeg)
{
    ReceiptOutput output;
    output.preview = [&pdf, &jpeg](report::ReportPreparer& preparer) {
        report::showPreparedReport(preparer, {&pdf, &jpeg});
    };
    output.print = [](report::ReportPreparer& preparer) { return report::printReport(preparer); };
    return output;
}

} // namespace quittung::app
