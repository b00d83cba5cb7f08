#pragma once

#include "runtime/format_settings.h"
#include "runtime/rounding.h"

#include <QString>

namespace quittung::app {

// The largest amount a receipt takes, in euros; beyond it the amount cannot be written in words.
inline constexpr double kLargestAmount = 999999999999.99;

struct CompletedAmounts {
    qint64 netCents = 0;
    qint64 grossCents = 0;
    double vatRate = 0;
};

// Completes the missing amount from the other and the VAT rate in percent and rounds both to
// cents. The three texts, in the user's number format, are read in the order net, gross, rate.
// Raises ConvertError for a text that is no number, and refuses a rate of -100 and amounts beyond
// kLargestAmount.
CompletedAmounts computeAmounts(const QString& netText, const QString& grossText, const QString& rateText,
    const FormatSettings& settings);

} // namespace quittung::app
