#include "report/export/pdf/pdf_export.h"

#include "report/export/pdf/pdf_document.h"

#include <QIODevice>

namespace quittung::report {

PdfExport::PdfExport() = default;

PdfExport::~PdfExport() = default;

QString PdfExport::getDescription() const
{
    return QStringLiteral("PDF file");
}

bool PdfExport::start()
{
    return false;
}

void PdfExport::startPage(ReportPage&, int) {}

void PdfExport::exportObject(ReportObject&) {}

void PdfExport::finishPage(ReportPage&, int) {}

void PdfExport::finish() {}

} // namespace quittung::report
