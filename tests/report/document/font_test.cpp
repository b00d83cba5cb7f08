#include "report/document/font.h"

#include <gtest/gtest.h>

using namespace quittung;

TEST(FontSize, HeightAndSizeAreTiedAtNinetySixPixelsPerInch)
{
    const struct {
        int height;
        int size;
    } rows[] = {{-8, 6}, {-11, 8}, {-13, 10}, {-14, 11}, {-21, 16}, {-2, 2}};
    for (const auto& row : rows) {
        TfrxFont font;
        font.SetHeight(row.height);
        EXPECT_EQ(font.Size(), row.size) << row.height;
    }
    TfrxFont font;
    for (const auto& [size, height] : {std::pair{10, -13}, {8, -11}, {6, -8}, {16, -21}}) {
        font.SetSize(size);
        EXPECT_EQ(font.Height(), height) << size;
    }
}
