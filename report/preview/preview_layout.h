#pragma once

#include <QRect>
#include <QSize>
#include <QSizeF>

#include <vector>

namespace quittung::report {

// The geometry of the preview: zoom steps and where the pages lie in the workspace. Sizes are
// screen pixels at zoom 1 (report pixels).

inline constexpr double MinimumZoom = 0.25;
inline constexpr double ZoomStep = 0.25;
// Gap between pages and around them.
inline constexpr int PageGap = 10;

double limitedZoom(double zoom);
double zoomedIn(double zoom);
double zoomedOut(double zoom);

// The zoom at which the page fills the workspace's width beside its vertical scroll bar.
double pageWidthZoom(int workspaceWidth, int scrollBarWidth, double pageWidth);
// The zoom at which the whole page fits: by its height when it is the taller one relative to the
// workspace, by its width otherwise.
double wholePageZoom(QSize workspace, int scrollBarWidth, QSizeF page);

// The page rectangles at a zoom in a workspace that is width pixels wide: rows of as many pages as
// fit side by side, each row centred, PageGap around and between them.
std::vector<QRect> layOutPages(const std::vector<QSizeF>& pageSizes, double zoom, int width);
// The room the laid-out pages need, with the gap to the right and below.
QSize layoutExtent(const std::vector<QRect>& pageRects);

// A page number (from 1) kept between 1 and the page count; 0 when there are no pages.
int clampedPage(int page, int pageCount);

} // namespace quittung::report
