#pragma once

#include "runtime/format_settings.h"

#include <QString>

namespace quittung {

// The integer nearest to y, halves away from zero: trunc(y) + trunc(2 × frac(y)).
long double RoundHalfAwayFromZero(long double y);

// x rounded to the given number of decimals, halves away from zero, on the exact binary value of x
// (so 2,675, held slightly below, becomes 2,67).
double RoundToDecimals(int decimals, double x);

// The largest amount a receipt takes, in euros; beyond it the amount cannot be written in words.
inline constexpr double kLargestAmount = 999999999999.99;

struct CompletedAmounts {
    QString netto;
    QString brutto;
};

// Completes the missing amount from the other and the VAT rate in percent, rounds both to cents and
// returns them as texts in the user's number format. The three texts are read in the order net,
// gross, rate. Raises EConvertError for a text that is no number, and refuses a rate of -100 and
// amounts beyond kLargestAmount.
CompletedAmounts CompleteAmounts(const QString& netto, const QString& brutto, const QString& mwst,
    const FormatSettings& settings);

// The tax on the receipt: gross minus net, rounded to cents.
double TaxSum(const QString& brutto, const QString& netto, const FormatSettings& settings);

} // namespace quittung
