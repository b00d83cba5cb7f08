#include "app/receipt/receipt_amounts.h"

#include "runtime/exception.h"
#include "runtime/messages.h"
#include "runtime/number_format.h"

#include <cmath>

namespace quittung::app {

namespace {

// Rounds an amount to cents; amounts beyond the largest one (or no number at all) are refused
// before they could overflow the rounding.
double roundedAmount(double amount, const FormatSettings& settings)
{
    const double rounded = std::fabs(amount) < 1e12 ? roundToDecimals(2, amount) : amount;
    if (!(std::fabs(rounded) <= kLargestAmount))
        throw Exception(formatMessage(msg::SAmountTooLarge, {floatToString(amount, settings)}));
    return rounded;
}

} // namespace

CompletedAmounts computeAmounts(const QString& netText, const QString& grossText, const QString& rateText,
    const FormatSettings& settings)
{
    double net = stringToFloat(netText, settings);
    double gross = stringToFloat(grossText, settings);
    const double rate = stringToFloat(rateText, settings);
    const double factor = 1 + rate / 100;
    if (factor == 0)
        throw Exception(formatMessage(msg::SVatRateImpossible, {rateText.trimmed()}));
    if (net == 0)
        net = gross / factor;
    if (gross == 0)
        gross = net * factor;
    // Both are checked before either is written back.
    const double roundedNet = roundedAmount(net, settings);
    const double roundedGross = roundedAmount(gross, settings);
    // Rounded to cents and at most kLargestAmount, both are whole numbers of cents well within
    // the doubles' exact integers.
    return {std::llround(roundedNet * 100), std::llround(roundedGross * 100), rate};
}

} // namespace quittung::app
