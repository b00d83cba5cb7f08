#include "report/engine/pages/prepared_pages.h"

#include <utility>

namespace quittung::report {

const ReportPage* PreparedPages::page(int index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    return m_pages[static_cast<std::size_t>(index)].get();
}

ReportPage* PreparedPages::page(int index)
{
    return const_cast<ReportPage*>(std::as_const(*this).page(index));
}

QSizeF PreparedPages::pageSize(int index) const
{
    const ReportPage* found = page(index);
    return found ? QSizeF(found->width(), found->height()) : QSizeF(0, 0);
}

ReportPage& PreparedPages::addPage(const ReportPage& source)
{
    auto page = std::make_unique<ReportPage>();
    // Paper, orientation and margins come before the rest so the sizes follow the source.
    page->assignProperties(source);
    page->setName(source.name());
    m_pages.push_back(std::move(page));
    return *m_pages.back();
}

void PreparedPages::removePagesFrom(int index)
{
    if (index >= 0 && index < count())
        m_pages.erase(m_pages.begin() + index, m_pages.end());
}

} // namespace quittung::report
