#include "report/engine/preview_pages.h"

namespace quittung {

TfrxReportPage* TfrxPreviewPages::Page(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return m_pages[static_cast<std::size_t>(index)].get();
}

QSizeF TfrxPreviewPages::PageSize(int index) const
{
    const TfrxReportPage* page = Page(index);
    return page ? QSizeF(page->Width(), page->Height()) : QSizeF(0, 0);
}

TfrxReportPage& TfrxPreviewPages::AddPage(const TfrxReportPage& source)
{
    auto page = std::make_unique<TfrxReportPage>();
    // Paper, orientation and margins come before the rest so the sizes follow the source.
    page->AssignProperties(source);
    page->SetName(source.Name());
    m_pages.push_back(std::move(page));
    return *m_pages.back();
}

void TfrxPreviewPages::RemovePagesFrom(int index)
{
    if (index >= 0 && index < Count())
        m_pages.erase(m_pages.begin() + index, m_pages.end());
}

} // namespace quittung
