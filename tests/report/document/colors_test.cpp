#include "report/document/colors.h"

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::report;

TEST(Colors, ConvertedToRgb)
{
    struct Case {
        Color color;
        RgbColor rgb;
    };
    const Case cases[] = {
        {colors::Black, {0, 0, 0}},
        {colors::White, {255, 255, 255}},
        {colors::Red, {255, 0, 0}},
        {colors::Gray, {128, 128, 128}},
        {colors::Cream, {255, 251, 240}},
        {15984349, {221, 230, 243}},
        // System colours resolve to the light desktop scheme: pages are paper.
        {colors::WindowText, {0, 0, 0}},
        {colors::ButtonFace, {240, 240, 240}},
        {Color(0xFF000005), {255, 255, 255}},
        {Color(0x80000005), {255, 255, 255}},
        {Color(0xFF0000FF), {0, 0, 0}},
    };
    for (const Case& c : cases) {
        const std::optional<RgbColor> rgb = colorToRgb(c.color);
        ASSERT_TRUE(rgb.has_value()) << c.color;
        EXPECT_EQ(*rgb, c.rgb) << c.color;
    }
}

TEST(Colors, NoneHasNoRgb)
{
    EXPECT_FALSE(colorToRgb(colors::None).has_value());
}
