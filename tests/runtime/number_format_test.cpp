#include "runtime/exception.h"
#include "runtime/number_format.h"

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quittung;

namespace {

const FormatSettings kGerman = FormatSettings::german();
const FormatSettings kPoint = {QLatin1Char('.'), QLatin1Char(','), QStringLiteral("MM/dd/yyyy")};

QString invalidFloat(const QString& text)
{
    try {
        stringToFloat(text, kGerman);
    } catch (const ConvertError& error) {
        return error.message();
    }
    return QStringLiteral("(read)");
}

} // namespace

TEST(StringToFloat, ReadsTheUsersNumberForm)
{
    const struct {
        const char* text;
        double value;
    } rows[] = {
        {"84,03", 84.03}, {"  -12,5  ", -12.5}, {"+7", 7}, {",5", 0.5}, {"5,", 5}, {"1E2", 100},
        {"1e-2", 0.01}, {"2,5E+1", 25}, {"3E", 3}, {"0,00", 0}, {"-0", 0}, {"1E-400", 0},
        {"0,1", 0.1}, {",", 0}, {"2,675", 2.675}, {"999999999999,99", 999999999999.99},
    };
    for (const auto& row : rows)
        EXPECT_EQ(stringToFloat(QString::fromUtf8(row.text), kGerman), row.value) << row.text;
}

TEST(StringToFloat, RefusesEverythingElseWithTheGermanMessage)
{
    for (const char* text : {"", "   ", "1.000,50", "12a", "- 5", "+", "-", "E5", "1,2,3", "1 2", "\t5",
             "1E400", "0x10", "5 €", "١٢"}) {
        EXPECT_EQ(invalidFloat(QString::fromUtf8(text)),
            QStringLiteral("'%1' ist kein gültiger Gleitkommawert").arg(QString::fromUtf8(text)))
            << text;
    }
    // Too large, although its last digit stands after the separator.
    EXPECT_THROW(stringToFloat(QLatin1Char('1') + QString(400, QLatin1Char('0')) + QStringLiteral(",5"), kGerman),
        ConvertError);
}

TEST(StringToFloat, FollowsTheLocalesSeparator)
{
    EXPECT_EQ(stringToFloat(QStringLiteral("84.03"), kPoint), 84.03);
    EXPECT_THROW(stringToFloat(QStringLiteral("84,03"), kPoint), ConvertError);
}

TEST(FloatToString, WritesTheGeneralNumberFormat)
{
    const struct {
        double value;
        const char* text;
    } rows[] = {
        {84.03, "84,03"}, {84.10, "84,1"}, {100.00, "100"}, {0.50, "0,5"}, {-12.30, "-12,3"}, {-0.0, "0"},
        {0.0, "0"}, {19.5, "19,5"}, {999999999999.99, "999999999999,99"}, {1e15, "1E15"},
        {123456789012345.0, "123456789012345"}, {1234567890123456.0, "1,23456789012346E15"},
        {0.00001, "0,00001"}, {0.0000015, "1,5E-6"}, {0.1 + 0.2, "0,3"}, {-1e20, "-1E20"},
        {999999999999999.9, "1E15"}, {std::nan(""), "NAN"}, {-INFINITY, "-INF"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(floatToString(row.value, kGerman), QString::fromUtf8(row.text)) << row.text;
    EXPECT_EQ(floatToString(84.03, kPoint), QStringLiteral("84.03"));
}

TEST(FormatGeneral, RoundsTheExactBinaryValueToTheSignificantDigits)
{
    const struct {
        double value;
        int digits;
        const char* text;
    } rows[] = {
        {2.675, 3, "2,67"},   // held slightly below the half
        {0.125, 2, "0,12"},   // an exact half goes to the even digit
        {0.375, 2, "0,38"},
        {123456.0, 3, "1,23E5"},
        {99999.5, 5, "1E5"},  // rounding up reaches the exponent form
        {0.1, 18, "0,100000000000000006"},
        {84.03, 0, "8E1"},    // at least one digit
    };
    for (const auto& row : rows)
        EXPECT_EQ(formatGeneral(row.value, row.digits, QLatin1Char(',')), QString::fromUtf8(row.text)) << row.text;
}

TEST(StringToCurrency, RoundsExactlyOnTheDecimalDigitsHalvesToEven)
{
    const struct {
        const char* text;
        qint64 tenThousandths;
    } rows[] = {
        {"119,99", 1199900}, {"-119", -1190000}, {"0,12345", 1234}, {"0,12355", 1236}, {"0,123451", 1235},
        {"2,5E-4", 2}, {"3,5E-4", 4}, {"1E-5", 0}, {"1E-400", 0}, {"-0", 0}, {"1E3", 10000000},
        {"922337203685477,5807", 9223372036854775807LL}, {"-922337203685477,5808", -9223372036854775807LL - 1},
        {"0,00005", 0}, {"0,00015", 2}, {"2,675", 26750},
    };
    for (const auto& row : rows)
        EXPECT_EQ(stringToCurrency(QString::fromUtf8(row.text), kGerman), row.tenThousandths) << row.text;
    for (const char* text : {"922337203685477,5808", "1E15", "1E400", "abc", ""})
        EXPECT_THROW(stringToCurrency(QString::fromUtf8(text), kGerman), ConvertError) << text;
}
