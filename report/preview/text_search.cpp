#include "report/preview/text_search.h"

#include "report/document/text_object.h"
#include "report/engine/pages/page_walk.h"
#include "report/engine/pages/prepared_pages.h"

#include <vector>

namespace quittung::report {

namespace {

std::vector<TextMatch> matchesOnPage(const PreparedPages& pages, int index, const QString& query)
{
    std::vector<TextMatch> found;
    int item = 0;
    PageWalkOptions options;
    options.totalPages = pages.count();
    const QPointF origin = pageOrigin(*pages.page(index), index);
    // The walk completes page-count macros, so the search sees the text as it is shown.
    walkPage(pages, index, options, [&](const ReportObject& object) {
        if (const auto* memo = dynamic_cast<const TextObjectBase*>(&object)) {
            if (memo->text().contains(query, Qt::CaseInsensitive))
                found.push_back({index + 1, item, QRectF(origin + QPointF(memo->absLeft(), memo->absTop()), QSizeF(memo->width(), memo->height()))});
            ++item;
        }
        return true;
    });
    return found;
}

} // namespace

std::optional<TextMatch> findText(const PreparedPages& pages, const QString& query, const std::optional<TextMatch>& after)
{
    if (query.isEmpty() || pages.count() == 0)
        return std::nullopt;
    const int startIndex = after ? after->page - 1 : 0;
    for (int step = 0; step <= pages.count(); ++step) {
        const int index = (startIndex + step) % pages.count();
        for (const TextMatch& match : matchesOnPage(pages, index, query)) {
            // On the page of the previous match only what follows it counts, until the search wrapped.
            if (after && step == 0 && match.item <= after->item)
                continue;
            return match;
        }
    }
    return std::nullopt;
}

} // namespace quittung::report
