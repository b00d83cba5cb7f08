#include "report/preview/preview_layout.h"

#include <gtest/gtest.h>

using namespace quittung::report;

TEST(PreviewLayout, ZoomStepsStopAtAQuarter)
{
    struct Case {
        double from;
        double in;
        double out;
    };
    for (const Case& c : {Case{1.0, 1.25, 0.75}, Case{0.4, 0.65, 0.25}, Case{0.25, 0.5, 0.25}, Case{0.1, 0.35, 0.25}}) {
        EXPECT_DOUBLE_EQ(zoomedIn(c.from), c.in) << c.from;
        EXPECT_DOUBLE_EQ(zoomedOut(c.from), c.out) << c.from;
    }
}

TEST(PreviewLayout, FittingZoomsLeaveRoomForScrollBarAndGaps)
{
    // A4 at zoom 1 is 794 × 1123 report pixels.
    const QSizeF a4(794, 1123);
    EXPECT_DOUBLE_EQ(pageWidthZoom(1000, 14, 794), (1000 - 14 - 26) / 794.0);
    // A tall page in a wide window fits by its height, in a narrow one by its width.
    EXPECT_DOUBLE_EQ(wholePageZoom(QSize(1200, 700), 14, a4), (700 - 26) / 1123.0);
    EXPECT_DOUBLE_EQ(wholePageZoom(QSize(400, 1400), 14, a4), (400 - 14 - 26) / 794.0);
    // A tiny window still shows the page at the smallest zoom.
    EXPECT_DOUBLE_EQ(pageWidthZoom(60, 14, 794), MinimumZoom);
}

TEST(PreviewLayout, PagesFillCentredRows)
{
    struct Case {
        const char* what;
        std::vector<QSizeF> pages;
        double zoom;
        int width;
        std::vector<QRect> expected;
    };
    const QSizeF small(100, 150);
    const Case cases[] = {
        {"one page centred", {QSizeF(794, 1123)}, 1.0, 1000, {QRect(103, 10, 794, 1123)}},
        {"one page wider than the window", {QSizeF(794, 1123)}, 1.0, 500, {QRect(10, 10, 794, 1123)}},
        {"zoom rounds the size", {QSizeF(794, 1123)}, 0.5, 1000, {QRect(301, 10, 397, 562)}},
        {"three side by side", {small, small, small}, 1.0, 400,
            {QRect(40, 10, 100, 150), QRect(150, 10, 100, 150), QRect(260, 10, 100, 150)}},
        {"two rows", {small, small, small}, 1.0, 300,
            {QRect(45, 10, 100, 150), QRect(155, 10, 100, 150), QRect(100, 170, 100, 150)}},
        {"one per row", {small, small}, 1.0, 200, {QRect(50, 10, 100, 150), QRect(50, 170, 100, 150)}},
        {"no pages", {}, 1.0, 500, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(layOutPages(c.pages, c.zoom, c.width), c.expected) << c.what;
    EXPECT_EQ(layoutExtent({QRect(50, 10, 100, 150), QRect(50, 170, 100, 150)}), QSize(160, 330));
}

TEST(PreviewLayout, PageNumbersStayInTheReport)
{
    struct Case {
        int page;
        int count;
        int expected;
    };
    for (const Case& c : {Case{0, 3, 1}, Case{-5, 3, 1}, Case{2, 3, 2}, Case{9, 3, 3}, Case{1, 0, 0}})
        EXPECT_EQ(clampedPage(c.page, c.count), c.expected) << c.page << " of " << c.count;
}
