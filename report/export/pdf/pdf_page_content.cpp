#include "report/export/pdf/pdf_page_content.h"

#include "report/document/page.h"
#include "report/export/pdf/pdf_document.h"

namespace quittung::report {

PdfPageGeometry PdfPageGeometry::of(const ReportPage& page)
{
    Q_UNUSED(page);
    return {};
}

PdfPageContent::PdfPageContent(PdfDocumentWriter& document, const PdfContentOptions& options,
    const ReportPage& page, const PreparedPages* preparedPages)
    : m_document(document), m_options(options), m_geometry(PdfPageGeometry::of(page)), m_preparedPages(preparedPages)
{
}

void PdfPageContent::writePageColor(const ReportPage&) {}

void PdfPageContent::writeObject(ReportObject&) {}

QByteArray PdfPageContent::colorText(Color)
{
    return {};
}

QByteArray PdfPageContent::dashLine(FrameStyle, double)
{
    return {};
}

} // namespace quittung::report
