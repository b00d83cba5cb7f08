#include "report/document/colors.h"

#include <gtest/gtest.h>

using namespace quittung;

TEST(Colors, ConvertedToRgb)
{
    struct Case {
        TColor color;
        RgbColor rgb;
    };
    const Case cases[] = {
        {clBlack, {0, 0, 0}},
        {clWhite, {255, 255, 255}},
        {clRed, {255, 0, 0}},
        {clGray, {128, 128, 128}},
        {clCream, {255, 251, 240}},
        {15984349, {221, 230, 243}},
        // System colours resolve to the light desktop scheme: pages are paper.
        {clWindowText, {0, 0, 0}},
        {clBtnFace, {240, 240, 240}},
        {TColor(0xFF000005), {255, 255, 255}},
        {TColor(0x80000005), {255, 255, 255}},
        {TColor(0xFF0000FF), {0, 0, 0}},
    };
    for (const Case& c : cases) {
        const std::optional<RgbColor> rgb = ColorToRgb(c.color);
        ASSERT_TRUE(rgb.has_value()) << c.color;
        EXPECT_EQ(*rgb, c.rgb) << c.color;
    }
}

TEST(Colors, NoneHasNoRgb)
{
    EXPECT_FALSE(ColorToRgb(clNone).has_value());
}
