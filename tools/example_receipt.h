#pragma once

#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/variant.h"
#include "runtime/format_settings.h"

#include <QString>
#include <QStringList>

#include <map>

// The example receipt as the receipt window answers a template: number 12, Berlin, 3 July 2020,
// Muster GmbH, rent for July, 119 gross at 19 %.
inline const std::map<QString, quittung::report::Variant>& exampleReceipt()
{
    using quittung::report::Variant;
    static const std::map<QString, Variant> values = {
        {QStringLiteral("QID"), Variant(QStringLiteral("12"))},
        {QStringLiteral("Ort"), Variant(QStringLiteral("Berlin"))},
        {QStringLiteral("QDate"), Variant(QStringLiteral("03.07.2020"))},
        {QStringLiteral("Von"), Variant(QStringLiteral("Muster GmbH"))},
        {QStringLiteral("Fuer"), Variant(QStringLiteral("Miete\r\nJuli"))},
        {QStringLiteral("Netto"), Variant(QStringLiteral("100"))},
        {QStringLiteral("MwSt"), Variant(QStringLiteral("19"))},
        {QStringLiteral("Brutto"), Variant(QStringLiteral("119"))},
        {QStringLiteral("BetragInWorten"), Variant(QStringLiteral("--EINHUNDERTNEUNZEHN--"))},
        {QStringLiteral("SumSteuern"), Variant(19.0)},
    };
    return values;
}

// A payer and a purpose longer than any receipt template has room for: eight times a company name
// on one line (295 characters), and twenty lines, "Posten 1" to "Posten 20", joined by lineBreak.
inline QString overlongPayer()
{
    return QStringLiteral("Muster Beratung und Vermittlung GmbH ").repeated(8).trimmed();
}
inline QString overlongPurpose(const QString& lineBreak = QStringLiteral("\n"))
{
    QStringList lines;
    for (int i = 1; i <= 20; ++i)
        lines << QStringLiteral("Posten %1").arg(i);
    return lines.join(lineBreak);
}

// A value callback that answers the example receipt.
inline void answerExampleReceipt(const QString& name, quittung::report::Variant& value)
{
    const auto found = exampleReceipt().find(name);
    if (found != exampleReceipt().end())
        value = found->second;
}

// Loads a receipt template (a path) into the report, answering the example receipt in German
// number formats, with the copy page shown or hidden; false when the template cannot be read.
inline bool loadExampleReceipt(quittung::report::Report& report, const QString& path, bool copy)
{
    report.setLocaleSettings(quittung::FormatSettings::german());
    report.events().getValue = answerExampleReceipt;
    if (!report.loadFromFile(path))
        return false;
    report.pages(2)->setVisible(copy);
    return true;
}
