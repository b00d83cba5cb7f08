#pragma once

#include <QRectF>
#include <QString>

#include <optional>

namespace quittung::report {

class PreparedPages;

// Where a text was found: the page (from 1), the text object's place among the page's text
// objects, and its rectangle in report pixels from the paper's top-left corner.
struct TextMatch {
    int page = 0;
    int item = 0;
    QRectF rect;
};

// The first text object, after the match `after` (or from the first page without one), whose text
// as printed contains the query, ignoring letter case. Wraps round to the first page once.
std::optional<TextMatch> findText(
    const PreparedPages& pages, const QString& query, const std::optional<TextMatch>& after = std::nullopt);

} // namespace quittung::report
