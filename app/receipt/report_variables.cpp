#include "app/receipt/report_variables.h"

#include "app/receipt/amount_in_words.h"

#include <algorithm>
#include <array>

namespace quittung::app {

using report::Variant;

namespace {

struct ReceiptVariable {
    QString name;
    Variant (*value)(const Receipt&, const FormatSettings&);
};

const std::array<ReceiptVariable, 10> kVariables = {{
    {QStringLiteral("QID"), [](const Receipt& r, const FormatSettings&) { return Variant(r.number); }},
    {QStringLiteral("Ort"), [](const Receipt& r, const FormatSettings&) { return Variant(r.place); }},
    {QStringLiteral("QDate"),
        [](const Receipt& r, const FormatSettings& f) { return Variant(f.formatShortDate(r.date)); }},
    {QStringLiteral("Von"), [](const Receipt& r, const FormatSettings&) { return Variant(r.payer); }},
    {QStringLiteral("Fuer"), [](const Receipt& r, const FormatSettings&) { return Variant(r.purpose); }},
    {QStringLiteral("Netto"), [](const Receipt& r, const FormatSettings& f) { return Variant(centsText(r.netCents, f)); }},
    {QStringLiteral("MwSt"), [](const Receipt& r, const FormatSettings&) { return Variant(r.vatRateText); }},
    {QStringLiteral("Brutto"),
        [](const Receipt& r, const FormatSettings& f) { return Variant(centsText(r.grossCents, f)); }},
    {QStringLiteral("BetragInWorten"),
        [](const Receipt& r, const FormatSettings&) {
            return Variant(QStringLiteral("--") + amountInWords(r.grossCents * 100) + QStringLiteral("--"));
        }},
    {QStringLiteral("SumSteuern"),
        [](const Receipt& r, const FormatSettings&) { return Variant(double(r.grossCents - r.netCents) / 100); }},
}};

const ReceiptVariable* findVariable(const QString& name)
{
    const auto found = std::find_if(
        kVariables.begin(), kVariables.end(), [&](const ReceiptVariable& v) { return v.name == name; });
    return found == kVariables.end() ? nullptr : &*found;
}

} // namespace

bool isReceiptVariable(const QString& name)
{
    return findVariable(name) != nullptr;
}

std::optional<Variant> receiptVariable(const QString& name, const Receipt& receipt,
    const FormatSettings& settings)
{
    if (const ReceiptVariable* variable = findVariable(name))
        return variable->value(receipt, settings);
    return std::nullopt;
}

} // namespace quittung::app
