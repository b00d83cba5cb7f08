#include "runtime/exception.h"
#include "runtime/file_numbers.h"

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

using namespace quittung;

TEST(PdfNumber, TwoDecimalsWithAPointRoundedLikeMoney)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        const char* text;
    } rows[] = {
        {0, "0.00"}, {-0.0, "0.00"}, {12.5, "12.50"}, {-3, "-3.00"}, {419.25, "419.25"}, {123.456, "123.46"},
        // Halves away from zero on the exact binary value: 0.125 is a true half, 0.005 and 99.995 lie
        // slightly above, 0.015 and -2.675 slightly below.
        {0.125, "0.13"}, {-0.125, "-0.13"}, {0.005, "0.01"}, {99.995, "100.00"}, {0.015, "0.01"},
        {-2.675, "-2.67"}, {0.999, "1.00"},
        // What rounds to zero has no sign; small and large values have no exponent.
        {-0.004, "0.00"}, {1e-6, "0.00"}, {-1e-300, "0.00"}, {1e20, "100000000000000000000.00"},
        {2251799813685248.5, "2251799813685248.50"}, {1e16, "10000000000000000.00"},
        {1e23, "99999999999999991611392.00"},
        {nan, "0.00"}, {infinity, "0.00"}, {-infinity, "0.00"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(pdfNumber(row.value), QByteArray(row.text)) << row.text;

    const QByteArray largest = pdfNumber(-DBL_MAX);
    EXPECT_TRUE(largest.startsWith("-1797693134862315708145274237317043567980705675258449965989174768031572607800"));
    EXPECT_TRUE(largest.endsWith("4026184124858368.00"));
    EXPECT_EQ(largest.size(), 1 + 309 + 3);

    QByteArray line("0 0 ");
    appendPdfNumber(line, 559 * 0.75);
    EXPECT_EQ(line, QByteArray("0 0 419.25"));

    QByteArray codes;
    for (const quint32 code : {0x0u, 0x41u, 0x20ACu, 0xFFFFu, 0x1F600u})
        appendPdfHexCode(codes.append(' '), code);
    EXPECT_EQ(codes, QByteArray(" 0000 0041 20AC FFFF 1F600"));
}

TEST(PdfNumber, RoundsTheExactValueAtEveryMagnitude)
{
    // Amounts near a half cent, a few units of the last place off, and random values: each is
    // rounded as the exact product with 100 would be.
    auto exact = [](double value) {
        const long double cents = std::roundl(static_cast<long double>(value) * 100);
        const auto whole = static_cast<long long>(std::fabs(cents));
        const QByteArray sign = cents < 0 ? "-" : "";
        return sign + QByteArray::number(whole / 100) + '.' + QByteArray::number(whole % 100).rightJustified(2, '0');
    };
    std::mt19937_64 random(20261211);
    std::vector<double> values;
    for (int i = 0; i < 20000; ++i) {
        const double half = (double(random() % 100000000) + 0.5) / 100 * (i % 2 ? 1 : -1);
        values.push_back(std::nextafter(half, half + 1 - double(i % 3)));
        values.push_back(std::ldexp(double(random() % (1ull << 53)), int(random() % 60) - 62));
    }
    for (const double value : values)
        ASSERT_EQ(pdfNumber(value), exact(value)) << std::hexfloat << value;
}

TEST(TemplateNumber, TheGeneralNumberFormatWithAPoint)
{
    const struct {
        double value;
        const char* text;
    } rows[] = {
        {0, "0"}, {-0.0, "0"}, {0.5, "0.5"}, {-12.3, "-12.3"}, {419.25, "419.25"}, {3.77953 * 10, "37.7953"},
        {0.1 + 0.2, "0.3"}, {0.00001, "0.00001"}, {1e-6, "1E-6"}, {1e15, "1E15"},
        {123456789012345678.0, "1.23456789012346E17"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(templateNumber(row.value), QString::fromUtf8(row.text)) << row.text;
        // The reader takes every form the writer gives.
        EXPECT_EQ(templateNumber(readTemplateNumber(QString::fromUtf8(row.text))), QString::fromUtf8(row.text));
    }
}

TEST(TemplateNumber, ReadsAPointOrACommaAndBlanks)
{
    EXPECT_EQ(readTemplateNumber(QStringLiteral("12,5")), 12.5);
    EXPECT_EQ(readTemplateNumber(QStringLiteral(" 1 000.25 ")), 1000.25);
    EXPECT_EQ(readTemplateNumber(QStringLiteral("1E-6")), 1e-6);
    try {
        readTemplateNumber(QStringLiteral("1,2,3"));
        ADD_FAILURE() << "read";
    } catch (const ConvertError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("'1.2.3' ist kein gültiger Gleitkommawert"));
    }
}
