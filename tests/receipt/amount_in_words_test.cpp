#include "app/receipt/amount_in_words.h"

#include "runtime/exception.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::app;

namespace {

constexpr qint64 euros(qint64 value)
{
    return value * 10000;
}

} // namespace

TEST(AmountInWords, WholeEurosInGermanCapitals)
{
    const struct {
        qint64 amount;
        const char* words;
    } rows[] = {
        {euros(0), ""},
        {euros(1), "EINS"},
        {euros(5), "FÜNF"},
        {euros(12), "ZWÖLF"},
        {euros(17), "SIEBZEHN"},
        {euros(20), "ZWANZIG"},
        {euros(21), "EINUNDZWANZIG"},
        {euros(30), "DREISSIG"},
        {euros(90), "NEUNZIG"},
        {euros(99), "NEUNUNDNEUNZIG"},
        {euros(100), "EINHUNDERT"},
        {euros(101), "EINHUNDERTEINS"},
        {euros(105), "EINHUNDERTFÜNF"},
        {euros(111), "EINHUNDERTELF"},
        {euros(119), "EINHUNDERTNEUNZEHN"},
        {euros(121), "EINHUNDERTEINUNDZWANZIG"},
        {euros(1000), "EINTAUSEND"},
        {euros(1001), "EINTAUSENDEINS"},
        {euros(1100), "EINTAUSENDEINHUNDERT"},
        {euros(2000), "ZWEITAUSEND"},
        {euros(2021), "ZWEITAUSENDEINUNDZWANZIG"},
        {euros(13013), "DREIZEHNTAUSENDDREIZEHN"},
        {euros(21000), "EINUNDZWANZIGTAUSEND"},
        {euros(101000), "EINHUNDERTEINTAUSEND"},
        {euros(500000), "FÜNFHUNDERTTAUSEND"},
        {euros(1000000), "EINEMILLION"},
        {euros(1000001), "EINEMILLIONEINS"},
        {euros(1001001), "EINEMILLIONEINTAUSENDEINS"},
        {euros(2500000), "ZWEIMILLIONENFÜNFHUNDERTTAUSEND"},
        {euros(201000000), "ZWEIHUNDERTEINMILLIONEN"},
        {euros(123456789),
            "EINHUNDERTDREIUNDZWANZIGMILLIONENVIERHUNDERTSECHSUNDFÜNFZIGTAUSENDSIEBENHUNDERTNEUNUNDACHTZIG"},
        {euros(1000000000), "EINEMILLIARDE"},
        {euros(2000000000), "ZWEIMILLIARDEN"},
        {euros(101101101101),
            "EINHUNDERTEINMILLIARDENEINHUNDERTEINMILLIONENEINHUNDERTEINTAUSENDEINHUNDERTEINS"},
        {euros(999999999999),
            "NEUNHUNDERTNEUNUNDNEUNZIGMILLIARDENNEUNHUNDERTNEUNUNDNEUNZIGMILLIONENNEUNHUNDERTNEUNUNDNEUNZIG"
            "TAUSENDNEUNHUNDERTNEUNUNDNEUNZIG"},
        // Cents are not put into words.
        {1199900, "EINHUNDERTNEUNZEHN"},
        {9900, ""},
        // Refunds.
        {euros(-119), "MINUS EINHUNDERTNEUNZEHN"},
        {-9900, ""},
        {-10000, "MINUS EINS"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(amountInWords(row.amount), QString::fromUtf8(row.words)) << row.amount;
}

TEST(AmountInWords, OneGroupOfThreeDigits)
{
    EXPECT_EQ(groupInWords(QStringLiteral("000")), QString());
    EXPECT_EQ(groupInWords(QStringLiteral("121")), QStringLiteral("einhunderteinundzwanzig"));
    EXPECT_EQ(groupInWords(QStringLiteral("710")), QStringLiteral("siebenhundertzehn"));
    EXPECT_EQ(groupInWords(QStringLiteral("032")), QStringLiteral("zweiunddreißig"));
    EXPECT_THROW(groupInWords(QStringLiteral("-12")), ConvertError);
}

TEST(AmountInWords, AmountsBeyondTwelveDigitsAreRefusedNotCut)
{
    for (const qint64 amount : {euros(1000000000000), euros(-1000000000000), std::numeric_limits<qint64>::min()}) {
        try {
            amountInWords(amount);
            ADD_FAILURE() << amount;
        } catch (const Exception& error) {
            EXPECT_TRUE(error.message().contains(QStringLiteral("999.999.999.999,99"))) << error.what();
        }
    }
}
