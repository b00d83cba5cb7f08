#include "app/receipt/receipt_amounts.h"

#include "runtime/exception.h"
#include "runtime/messages.h"
#include "runtime/number_format.h"

#include <cmath>

namespace quittung {

namespace {

// Rounds an amount to cents; amounts beyond the largest one (or no number at all) are refused
// before they could overflow the rounding.
double roundedAmount(double amount, const FormatSettings& settings)
{
    const double rounded = std::fabs(amount) < 1e12 ? RoundToDecimals(2, amount) : amount;
    if (!(std::fabs(rounded) <= kLargestAmount))
        throw Exception(formatMessage(msg::SAmountTooLarge, {FloatToStr(amount, settings)}));
    return rounded;
}

} // namespace

CompletedAmounts CompleteAmounts(const QString& netto, const QString& brutto, const QString& mwst,
    const FormatSettings& settings)
{
    double net = StrToFloat(netto, settings);
    double gross = StrToFloat(brutto, settings);
    const double rate = StrToFloat(mwst, settings);
    const double factor = 1 + rate / 100;
    if (factor == 0)
        throw Exception(formatMessage(msg::SVatRateImpossible, {mwst.trimmed()}));
    if (net == 0)
        net = gross / factor;
    if (gross == 0)
        gross = net * factor;
    // Both are checked before either is written back.
    const double roundedNet = roundedAmount(net, settings);
    const double roundedGross = roundedAmount(gross, settings);
    return {FloatToStr(roundedNet, settings), FloatToStr(roundedGross, settings)};
}

double TaxSum(const QString& brutto, const QString& netto, const FormatSettings& settings)
{
    const double gross = StrToFloat(brutto, settings);
    const double net = StrToFloat(netto, settings);
    return RoundToDecimals(2, gross - net);
}

} // namespace quittung
