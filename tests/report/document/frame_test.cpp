#include "report/document/frame.h"

#include "property_checks.h"

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::report;
using namespace quittung::report::checks;

namespace {

std::vector<FrameLine*> sides(Frame& frame)
{
    return {&frame.leftLine(), &frame.topLine(), &frame.rightLine(), &frame.bottomLine()};
}

} // namespace

TEST(Frame, TableFollowsTheTemplateOrder)
{
    const Frame frame;
    EXPECT_EQ(describeTable(frame.properties()), (QStringList{
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
    EXPECT_EQ(identifiers(frame.properties(), "Typ"), (QStringList{"ftLeft", "ftRight", "ftTop", "ftBottom"}));
    EXPECT_EQ(identifiers(frame.properties(), "Style"), (QStringList{"fsSolid", "fsDash", "fsDot", "fsDashDot",
        "fsDashDotDot", "fsDouble", "fsAltDot", "fsSquare"}));
    // A side is compared with its frame, so it declares no default.
    EXPECT_EQ(describeTable(frame.leftLine().properties()),
        (QStringList{"Color Color = (always) if", "Style Enum = (always) if", "Width Float = (always) if"}));
}

TEST(Frame, NewFrameAndItsSidesHoldTheirDefaults)
{
    Frame frame;
    expectHoldsDeclaredDefaults(frame);
    for (FrameLine* side : sides(frame)) {
        EXPECT_EQ(side->color(), colors::Black);
        EXPECT_EQ(side->style(), FrameStyle::Solid);
        EXPECT_EQ(side->width(), 1);
    }
    expectSettersReachTheirGetters(frame);
}

TEST(Frame, FrameFieldsOverrideEarlierSideChanges)
{
    Frame frame;
    frame.leftLine().setWidth(3);
    frame.topLine().setColor(colors::Red);
    frame.rightLine().setStyle(FrameStyle::Dot);

    frame.setWidth(2);
    frame.setColor(colors::Gray);
    frame.setStyle(FrameStyle::Dash);

    for (FrameLine* side : sides(frame)) {
        EXPECT_EQ(side->width(), 2);
        EXPECT_EQ(side->color(), colors::Gray);
        EXPECT_EQ(side->style(), FrameStyle::Dash);
    }
}

TEST(Frame, SideFieldsAreStoredOnlyWhereTheyDifferFromTheFrame)
{
    Frame frame;
    frame.setColor(colors::Red);
    frame.setWidth(2);
    for (const char* field : {"Color", "Style", "Width"})
        EXPECT_FALSE(isStored(frame.leftLine(), field)) << field;

    frame.leftLine().setColor(colors::Black); // the default colour, yet not the frame's
    frame.bottomLine().setWidth(3);
    EXPECT_TRUE(isStored(frame.leftLine(), "Color"));
    EXPECT_FALSE(isStored(frame.leftLine(), "Width"));
    EXPECT_TRUE(isStored(frame.bottomLine(), "Width"));
    EXPECT_FALSE(isStored(frame.topLine(), "Color"));
}

TEST(Frame, FrameFieldsAreStoredOnlyAwayFromTheirDefaults)
{
    Frame frame;
    for (const char* field : {"ShadowWidth", "Typ", "Width"})
        EXPECT_FALSE(isStored(frame, field)) << field;
    frame.setShadowWidth(5);
    frame.setSides(FrameSide::Left | FrameSide::Bottom);
    frame.setWidth(0.5);
    for (const char* field : {"ShadowWidth", "Typ", "Width"})
        EXPECT_TRUE(isStored(frame, field)) << field;
}

TEST(Frame, CopiedFrameComparesItsOwnSides)
{
    Frame original;
    original.setColor(colors::Red);
    Frame copy(original);
    copy.setColor(colors::Gray);
    // The copy's sides follow the copy: still equal to their frame, so not stored.
    EXPECT_FALSE(isStored(copy.leftLine(), "Color"));
    EXPECT_EQ(original.leftLine().color(), colors::Red);

    Frame assigned;
    assigned = original;
    EXPECT_EQ(assigned, original);
    assigned.setWidth(4);
    EXPECT_FALSE(isStored(assigned.topLine(), "Width"));
    EXPECT_EQ(original.topLine().width(), 1);
}
