#include "report/preview/preview_layout.h"

#include <algorithm>
#include <cmath>

namespace quittung::report {

namespace {

// The room a page takes around its edges when sizing it to the workspace.
constexpr int FitMargin = 26;

} // namespace

double limitedZoom(double zoom)
{
    return std::max(zoom, MinimumZoom);
}

double zoomedIn(double zoom)
{
    return limitedZoom(zoom + ZoomStep);
}

double zoomedOut(double zoom)
{
    return limitedZoom(zoom - ZoomStep);
}

double pageWidthZoom(int workspaceWidth, int scrollBarWidth, double pageWidth)
{
    if (pageWidth <= 0)
        return 1.0;
    return limitedZoom((workspaceWidth - scrollBarWidth - FitMargin) / pageWidth);
}

double wholePageZoom(QSize workspace, int scrollBarWidth, QSizeF page)
{
    if (page.width() <= 0 || page.height() <= 0 || workspace.width() <= 0 || workspace.height() <= 0)
        return 1.0;
    if (page.height() / workspace.height() >= page.width() / workspace.width())
        return limitedZoom((workspace.height() - FitMargin) / page.height());
    return pageWidthZoom(workspace.width(), scrollBarWidth, page.width());
}

std::vector<QRect> layOutPages(const std::vector<QSizeF>& pageSizes, double zoom, int width)
{
    std::vector<QRect> rects;
    rects.reserve(pageSizes.size());
    int top = PageGap;
    std::size_t rowStart = 0;
    while (rowStart < pageSizes.size()) {
        // Fill a row with at least one page, then centre it.
        std::vector<QSize> row;
        int rowWidth = 0;
        for (std::size_t i = rowStart; i < pageSizes.size(); ++i) {
            const QSize size(static_cast<int>(std::lround(pageSizes[i].width() * zoom)),
                static_cast<int>(std::lround(pageSizes[i].height() * zoom)));
            const int needed = row.empty() ? size.width() : rowWidth + PageGap + size.width();
            if (!row.empty() && PageGap + needed + PageGap > width)
                break;
            row.push_back(size);
            rowWidth = needed;
        }
        int left = std::max(PageGap, (width - rowWidth) / 2);
        int rowHeight = 0;
        for (const QSize& size : row) {
            rects.emplace_back(QPoint(left, top), size);
            left += size.width() + PageGap;
            rowHeight = std::max(rowHeight, size.height());
        }
        top += rowHeight + PageGap;
        rowStart += row.size();
    }
    return rects;
}

QSize layoutExtent(const std::vector<QRect>& pageRects)
{
    QRect united;
    for (const QRect& rect : pageRects)
        united = united.united(rect);
    if (united.isNull())
        return {0, 0};
    return {united.right() + 1 + PageGap, united.bottom() + 1 + PageGap};
}

int clampedPage(int page, int pageCount)
{
    if (pageCount <= 0)
        return 0;
    return std::clamp(page, 1, pageCount);
}

} // namespace quittung::report
