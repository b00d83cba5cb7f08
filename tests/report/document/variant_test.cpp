#include "report/document/variant.h"

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::report;

TEST(Variant, EmptyAndNullAreDifferentStates)
{
    const Variant empty;
    const Variant null = Variant::null();
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_FALSE(empty.isNull());
    EXPECT_TRUE(null.isNull());
    EXPECT_FALSE(null.isEmpty());
    EXPECT_NE(empty, null);
    EXPECT_EQ(Variant::null(), null);
}

TEST(Variant, EachValueKeepsItsType)
{
    EXPECT_EQ(Variant(17).type(), Variant::Type::Integer);
    EXPECT_EQ(Variant(17).integerValue(), 17);
    EXPECT_EQ(Variant(19.0).type(), Variant::Type::Float);
    EXPECT_EQ(Variant(Variant::Currency{1199900}).currencyValue().tenThousandths, 1199900);
    EXPECT_EQ(Variant(true).type(), Variant::Type::Boolean);
    EXPECT_EQ(Variant(QStringLiteral("84,03")).stringValue(), QStringLiteral("84,03"));
    EXPECT_EQ(Variant(QDateTime(QDate(2020, 7, 3), QTime())).type(), Variant::Type::DateTime);
    // The same number as integer and as float are different values.
    EXPECT_NE(Variant(19), Variant(19.0));
}
