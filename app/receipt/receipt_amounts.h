#pragma once

#include "runtime/format_settings.h"
#include "runtime/rounding.h"

#include <QString>

namespace quittung {

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
