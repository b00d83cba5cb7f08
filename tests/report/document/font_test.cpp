#include "report/document/font.h"

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::report;

TEST(FontSize, HeightAndSizeAreTiedAtNinetySixPixelsPerInch)
{
    const struct {
        int height;
        int size;
    } rows[] = {{-8, 6}, {-11, 8}, {-13, 10}, {-14, 11}, {-21, 16}, {-2, 2}};
    for (const auto& row : rows) {
        Font font;
        font.setHeight(row.height);
        EXPECT_EQ(font.size(), row.size) << row.height;
    }
    Font font;
    for (const auto& [size, height] : {std::pair{10, -13}, {8, -11}, {6, -8}, {16, -21}}) {
        font.setSize(size);
        EXPECT_EQ(font.height(), height) << size;
    }
}
