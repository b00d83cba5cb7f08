#include "report/document/frame.h"

#include "property_checks.h"

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::checks;

namespace {

std::vector<TfrxFrameLine*> Sides(TfrxFrame& frame)
{
    return {&frame.LeftLine(), &frame.TopLine(), &frame.RightLine(), &frame.BottomLine()};
}

} // namespace

TEST(Frame, TableFollowsTheTemplateOrder)
{
    const TfrxFrame frame;
    EXPECT_EQ(DescribeTable(frame.Properties()), (QStringList{
        "Color Color = 0",
        "DropShadow Boolean = False",
        "ShadowColor Color = 0",
        "ShadowWidth Float = 4 if",
        "Style Enum = fsSolid",
        "Typ Set = 0 if",
        "Width Float = 1 if",
        "LeftLine Nested",
        "TopLine Nested",
        "RightLine Nested",
        "BottomLine Nested",
    }));
    EXPECT_EQ(Identifiers(frame.Properties(), "Typ"), (QStringList{"ftLeft", "ftRight", "ftTop", "ftBottom"}));
    EXPECT_EQ(Identifiers(frame.Properties(), "Style"), (QStringList{"fsSolid", "fsDash", "fsDot", "fsDashDot",
        "fsDashDotDot", "fsDouble", "fsAltDot", "fsSquare"}));
    // A side is compared with its frame, so it declares no default.
    EXPECT_EQ(DescribeTable(frame.LeftLine().Properties()),
        (QStringList{"Color Color = (always) if", "Style Enum = (always) if", "Width Float = (always) if"}));
}

TEST(Frame, NewFrameAndItsSidesHoldTheirDefaults)
{
    TfrxFrame frame;
    ExpectHoldsDeclaredDefaults(frame);
    for (TfrxFrameLine* side : Sides(frame)) {
        EXPECT_EQ(side->Color(), clBlack);
        EXPECT_EQ(side->Style(), TfrxFrameStyle::fsSolid);
        EXPECT_EQ(side->Width(), 1);
    }
    ExpectSettersReachTheirGetters(frame);
}

TEST(Frame, FrameFieldsOverrideEarlierSideChanges)
{
    TfrxFrame frame;
    frame.LeftLine().SetWidth(3);
    frame.TopLine().SetColor(clRed);
    frame.RightLine().SetStyle(TfrxFrameStyle::fsDot);

    frame.SetWidth(2);
    frame.SetColor(clGray);
    frame.SetStyle(TfrxFrameStyle::fsDash);

    for (TfrxFrameLine* side : Sides(frame)) {
        EXPECT_EQ(side->Width(), 2);
        EXPECT_EQ(side->Color(), clGray);
        EXPECT_EQ(side->Style(), TfrxFrameStyle::fsDash);
    }
}

TEST(Frame, SideFieldsAreStoredOnlyWhereTheyDifferFromTheFrame)
{
    TfrxFrame frame;
    frame.SetColor(clRed);
    frame.SetWidth(2);
    for (const char* field : {"Color", "Style", "Width"})
        EXPECT_FALSE(IsStored(frame.LeftLine(), field)) << field;

    frame.LeftLine().SetColor(clBlack); // the default colour, yet not the frame's
    frame.BottomLine().SetWidth(3);
    EXPECT_TRUE(IsStored(frame.LeftLine(), "Color"));
    EXPECT_FALSE(IsStored(frame.LeftLine(), "Width"));
    EXPECT_TRUE(IsStored(frame.BottomLine(), "Width"));
    EXPECT_FALSE(IsStored(frame.TopLine(), "Color"));
}

TEST(Frame, FrameFieldsAreStoredOnlyAwayFromTheirDefaults)
{
    TfrxFrame frame;
    for (const char* field : {"ShadowWidth", "Typ", "Width"})
        EXPECT_FALSE(IsStored(frame, field)) << field;
    frame.SetShadowWidth(5);
    frame.SetTyp(ftLeft | ftBottom);
    frame.SetWidth(0.5);
    for (const char* field : {"ShadowWidth", "Typ", "Width"})
        EXPECT_TRUE(IsStored(frame, field)) << field;
}

TEST(Frame, CopiedFrameComparesItsOwnSides)
{
    TfrxFrame original;
    original.SetColor(clRed);
    TfrxFrame copy(original);
    copy.SetColor(clGray);
    // The copy's sides follow the copy: still equal to their frame, so not stored.
    EXPECT_FALSE(IsStored(copy.LeftLine(), "Color"));
    EXPECT_EQ(original.LeftLine().Color(), clRed);

    TfrxFrame assigned;
    assigned = original;
    EXPECT_EQ(assigned, original);
    assigned.SetWidth(4);
    EXPECT_FALSE(IsStored(assigned.TopLine(), "Width"));
    EXPECT_EQ(original.TopLine().Width(), 1);
}
