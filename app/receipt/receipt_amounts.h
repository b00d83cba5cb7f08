#pragma once

#include "runtime/format_settings.h"
#include "runtime/rounding.h"

#include <QString>

namespace quittung::app {

// The largest amount a receipt takes, in euros; beyond it the amount cannot be written in words.
inline constexpr double kLargestAmount = 999999999999.99;

struct CompletedAmounts {
    QString net;
    QString gross;
};

// Completes the missing amount from the other and the VAT rate in percent, rounds both to cents and
// returns them as texts in the user's number format. The three texts are read in the order net,
// gross, rate. Raises ConvertError for a text that is no number, and refuses a rate of -100 and
// amounts beyond kLargestAmount.
CompletedAmounts computeAmounts(const QString& netText, const QString& grossText, const QString& rateText,
    const FormatSettings& settings);

// The tax on the receipt: gross minus net, rounded to cents.
double taxSum(const QString& grossText, const QString& netText, const FormatSettings& settings);

} // namespace quittung::app
