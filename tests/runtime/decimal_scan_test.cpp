#include "runtime/decimal_scan.h"

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

using namespace quittung;

namespace {

struct Scanned {
    qsizetype end;
    std::optional<double> value;
};

Scanned scan(const QString& text, FractionRule rule, qsizetype from = 0, bool negative = false)
{
    const DecimalScan number = scanDecimal(text, from, QLatin1Char(','), rule);
    return {number.end, number.toDouble(negative)};
}

Scanned scan(const char* text, FractionRule rule, qsizetype from = 0)
{
    return scan(QString::fromUtf8(text), rule, from);
}

} // namespace

TEST(DecimalScan, TakesDigitsFractionAndExponentAndLeavesTheRest)
{
    const struct {
        const char* text;
        FractionRule rule;
        qsizetype end;
        double value;
    } rows[] = {
        {"84,03 €", FractionRule::SeparatorAlone, 5, 84.03},
        {"5,", FractionRule::SeparatorAlone, 2, 5},
        {"5,", FractionRule::DigitAfterSeparator, 1, 5},
        {",5", FractionRule::SeparatorAlone, 2, 0.5},
        {"2,5E+1x", FractionRule::SeparatorAlone, 6, 25},
        {"3E", FractionRule::SeparatorAlone, 2, 3},
        {"1e-400", FractionRule::SeparatorAlone, 6, 0},
        {"E5", FractionRule::SeparatorAlone, 0, 0},   // no mantissa, so no exponent either
        {"-5", FractionRule::SeparatorAlone, 0, 0},   // signs are the caller's
        {"١٢", FractionRule::SeparatorAlone, 0, 0},   // ASCII digits only
    };
    for (const auto& row : rows) {
        const Scanned scanned = scan(row.text, row.rule);
        EXPECT_EQ(scanned.end, row.end) << row.text;
        EXPECT_EQ(scanned.value, row.value) << row.text;
    }
    EXPECT_EQ(scan("Nr. 17", FractionRule::SeparatorAlone, 4).end, 6);
}

TEST(DecimalScan, TellsOverflowFromUnderflowByTheLeadingDigit)
{
    // 1 and 400 digits more, then a fraction: far too large although the last digit's power is negative.
    const QString large = QLatin1Char('1') + QString(400, QLatin1Char('0')) + QStringLiteral(",5");
    EXPECT_EQ(scan(large, FractionRule::SeparatorAlone).value, std::nullopt);
    const QString small = QStringLiteral("0,") + QString(400, QLatin1Char('0')) + QStringLiteral("1E10");
    const std::optional<double> tiny = scan(small, FractionRule::SeparatorAlone, 0, true).value;
    ASSERT_TRUE(tiny);
    EXPECT_EQ(*tiny, 0);
    EXPECT_TRUE(std::signbit(*tiny));
    EXPECT_EQ(scan("1E999999999999", FractionRule::SeparatorAlone).value, std::nullopt);
}
