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
    // The field of the window the value comes from, as its label names it.
    QString field;
};

const std::array<ReceiptVariable, 10> kVariables = {{
    {QStringLiteral("QID"), [](const Receipt& r, const FormatSettings&) { return Variant(r.number); },
        QStringLiteral(u"Nummer")},
    {QStringLiteral("Ort"), [](const Receipt& r, const FormatSettings&) { return Variant(r.place); },
        QStringLiteral(u"Ort")},
    {QStringLiteral("QDate"),
        [](const Receipt& r, const FormatSettings& f) { return Variant(f.formatShortDate(r.date)); },
        QStringLiteral(u"Datum")},
    {QStringLiteral("Von"), [](const Receipt& r, const FormatSettings&) { return Variant(r.payer); },
        QStringLiteral(u"Von")},
    {QStringLiteral("Fuer"), [](const Receipt& r, const FormatSettings&) { return Variant(r.purpose); },
        QStringLiteral(u"Für")},
    {QStringLiteral("Netto"), [](const Receipt& r, const FormatSettings& f) { return Variant(centsText(r.netCents, f)); },
        QStringLiteral(u"Nettobetrag")},
    {QStringLiteral("MwSt"), [](const Receipt& r, const FormatSettings&) { return Variant(r.vatRateText); },
        QStringLiteral(u"% MwSt.")},
    {QStringLiteral("Brutto"),
        [](const Receipt& r, const FormatSettings& f) { return Variant(centsText(r.grossCents, f)); },
        QStringLiteral(u"Bruttobetrag")},
    {QStringLiteral("BetragInWorten"),
        [](const Receipt& r, const FormatSettings&) {
            return Variant(QStringLiteral("--") + amountInWords(r.grossCents * 100) + QStringLiteral("--"));
        },
        QStringLiteral(u"Bruttobetrag")},
    {QStringLiteral("SumSteuern"),
        [](const Receipt& r, const FormatSettings&) { return Variant(double(r.grossCents - r.netCents) / 100); },
        QStringLiteral(u"Bruttobetrag")},
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

QString receiptVariableField(const QString& name)
{
    const ReceiptVariable* variable = findVariable(name);
    return variable ? variable->field : QString();
}

std::optional<Variant> receiptVariable(const QString& name, const Receipt& receipt,
    const FormatSettings& settings)
{
    if (const ReceiptVariable* variable = findVariable(name))
        return variable->value(receipt, settings);
    return std::nullopt;
}

} // namespace quittung::app
