#include "report/engine/formats/format_data.h"

#include "report/engine/formats/boolean_format.h"
#include "report/engine/formats/date_time_format.h"
#include "report/engine/formats/format_digits.h"
#include "report/engine/formats/picture_format.h"
#include "report/engine/formats/printf_format.h"
#include "runtime/decimal_scan.h"
#include "runtime/number_format.h"
#include "runtime/rounding.h"

#include <limits>
#include <span>

namespace quittung::report {

namespace {

// ---- Numbers from values ---------------------------------------------------------------------

// The text without its grouping separators, or a null string when they do not separate groups of
// three digits in the whole part.
QString withoutGrouping(const QString& text, const FormatSettings& regional)
{
    const QChar separator = regional.thousandSeparator;
    if (separator == regional.decimalSeparator || !text.contains(separator))
        return text;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    const qsizetype start = i;
    int group = 0;
    bool firstGroup = true;
    for (; i < n && (isDigit(text[i]) || text[i] == separator); ++i) {
        if (text[i] != separator) {
            ++group;
            continue;
        }
        if (firstGroup ? group < 1 || group > 3 : group != 3)
            return {};
        firstGroup = false;
        group = 0;
    }
    if (firstGroup || group != 3)
        return {};
    qsizetype end = n;
    while (end > i && text[end - 1] == QLatin1Char(' '))
        --end;
    if (text.mid(i, end - i).contains(separator))
        return {};
    QString digits = text.mid(start, i - start);
    digits.remove(separator);
    return text.left(start) + digits + text.mid(i);
}

// Converting to an integer rounds halves to even, as variants convert; the result must fit 32 bits.
std::optional<qint64> variantToInt32(const Variant& value, const FormatSettings& regional)
{
    constexpr qint64 low = std::numeric_limits<qint32>::min();
    constexpr qint64 high = std::numeric_limits<qint32>::max();
    if (value.type() == Variant::Type::Integer) {
        if (value.integerValue() < low || value.integerValue() > high)
            return std::nullopt;
        return value.integerValue();
    }
    const std::optional<double> number = variantToNumber(value, regional);
    if (!number || !(*number > double(low) - 1 && *number < double(high) + 1))
        return std::nullopt;
    const qint64 rounded = roundHalfEven(*number);
    if (rounded < low || rounded > high)
        return std::nullopt;
    return rounded;
}

std::optional<QString> formatNumeric(const Variant& value, const QString& pattern, const FormatSettings& regional)
{
    if (pattern.contains(QLatin1Char('#')) || pattern.startsWith(QLatin1Char('0'))) {
        const std::optional<double> number = variantToNumber(value, regional);
        if (!number)
            return std::nullopt;
        return formatPicture(pattern, *number, regional);
    }
    std::optional<FormatArgument> argument;
    if (pattern.contains(QLatin1Char('d')) || pattern.contains(QLatin1Char('u'))) {
        if (const std::optional<qint64> integer = variantToInt32(value, regional))
            argument = *integer;
    } else if (const std::optional<double> number = variantToNumber(value, regional)) {
        argument = *number;
    }
    if (!argument)
        return std::nullopt;
    return formatPrintf(pattern, std::span(&*argument, 1), regional);
}

// The format's own separators replace the regional ones; the decimal separator is found before the
// thousands separators change, in case the format swaps the two.
QString applyFormatSeparators(QString text, const DisplayFormat& format, const FormatSettings& regional)
{
    const QString& decimal = format.decimalSeparator();
    const QString& thousand = format.thousandSeparator();
    qsizetype decimalAt = -1;
    if (decimal.size() == 1 && decimal[0] != regional.decimalSeparator)
        decimalAt = text.lastIndexOf(regional.decimalSeparator);
    if (thousand.size() == 1 && thousand[0] != regional.thousandSeparator)
        text.replace(regional.thousandSeparator, thousand[0]);
    if (decimalAt >= 0)
        text[decimalAt] = decimal[0];
    return text;
}

QString currencyText(Variant::Currency amount, const FormatSettings& regional)
{
    const quint64 magnitude = magnitudeOf(amount.tenThousandths);
    QString text = (amount.tenThousandths < 0 ? QStringLiteral("-") : QString()) + unsignedText(magnitude / 10000);
    QString fraction = unsignedText(magnitude % 10000, 4);
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += regional.decimalSeparator + fraction;
    return text;
}

} // namespace

QString variantToText(const Variant& value, const FormatSettings& regional)
{
    switch (value.type()) {
    case Variant::Type::Empty:
    case Variant::Type::Null:
        return {};
    case Variant::Type::Integer:
        return signedText(value.integerValue());
    case Variant::Type::Float:
        return floatToString(value.floatValue(), regional);
    case Variant::Type::Currency:
        return currencyText(value.currencyValue(), regional);
    case Variant::Type::Boolean:
        return value.booleanValue() ? QStringLiteral("True") : QStringLiteral("False");
    case Variant::Type::DateTime:
        return dateTimeText(value.dateTimeValue(), regional);
    case Variant::Type::String:
        return value.stringValue();
    }
    return {};
}

std::optional<double> variantToNumber(const Variant& value, const FormatSettings& regional)
{
    switch (value.type()) {
    case Variant::Type::Integer:
        return static_cast<double>(value.integerValue());
    case Variant::Type::Float:
        return value.floatValue();
    case Variant::Type::Currency:
        return static_cast<double>(value.currencyValue().tenThousandths) / 10000.0;
    case Variant::Type::String: {
        const QString& text = value.stringValue();
        const QString plain = withoutGrouping(text, regional);
        if (!plain.isNull())
            if (const auto number = readFloat(plain, regional))
                return number;
        FormatSettings point = regional;
        point.decimalSeparator = QLatin1Char('.');
        return readFloat(text, point);
    }
    default:
        return std::nullopt;
    }
}

QString formatData(const Variant& value, const DisplayFormat& format, const FormatSettings& regional)
{
    if (value.isNull())
        return {};
    std::optional<QString> text;
    switch (format.kind()) {
    case FormatKind::Text:
        break;
    case FormatKind::Numeric:
        text = formatNumeric(value, format.formatStr(), regional);
        if (text)
            text = applyFormatSeparators(*text, format, regional);
        break;
    case FormatKind::DateTime:
        if (const std::optional<QDateTime> dateTime = variantToDateTime(value, regional))
            text = formatDateTime(format.formatStr(), *dateTime, regional);
        break;
    case FormatKind::Boolean:
        text = formatBoolean(value, format.formatStr(), regional);
        break;
    }
    // A value the format does not fit is shown as its plain text.
    return text ? *text : variantToText(value, regional);
}

} // namespace quittung::report
