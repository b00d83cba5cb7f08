#pragma once

#include "report/document/page.h"

#include <QSizeF>

#include <memory>
#include <vector>

namespace quittung::report {

class PageObjectsBand;

// The output pages of a preparation. Each page is a complete copy: the report page's settings,
// and below it the bands with the objects as they were filled. Preview, printing, drawing and the
// export filters walk them from index 0 to count() - 1.
class PreparedPages {
public:
    void clear() { m_pages.clear(); }
    int count() const { return static_cast<int>(m_pages.size()); }
    // The page at an index; nullptr outside the store.
    const ReportPage* page(int index) const;
    ReportPage* page(int index);
    // The whole paper of a page in report pixels; 0 × 0 outside the store.
    QSizeF pageSize(int index) const;

    // A new output page with the settings and name of the report page it comes from.
    ReportPage& addPage(const ReportPage& source);
    // Removes the pages from the given index on (a run that failed keeps what it had made).
    void removePagesFrom(int index);

private:
    std::vector<std::unique_ptr<ReportPage>> m_pages;
};

} // namespace quittung::report
