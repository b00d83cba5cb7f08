// printf-style formats: "%2.2f", "%n", "%m", "%d", "%x", "%e", "%g".

#include "report/engine/formats/printf_format.h"

#include "report/engine/formats/format_digits.h"
#include "runtime/decimal_scan.h"
#include "runtime/number_format.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

namespace quittung::report {

namespace {

// "-ddd.ddd" of a finite value with the regional separators; a value that rounds to zero gets no
// minus sign.
QString fixedText(double value, int decimals, bool grouping, const FormatSettings& regional)
{
    const Decimal d = roundToDecimals(decimalOf(std::fabs(value)), decimals);
    std::string whole = wholeDigits(d);
    if (whole.empty())
        whole.push_back('0');
    QString text;
    if (value < 0 && !d.isZero())
        text += QLatin1Char('-');
    text += grouping ? grouped(whole, regional.thousandSeparator) : latin(whole);
    if (decimals > 0) {
        text += regional.decimalSeparator;
        text += latin(fractionDigits(d, decimals));
    }
    return text;
}

// "-d.dddE+ddd": `digits` significant digits, the exponent with a sign and at least three digits.
QString scientificText(double value, int digits, const FormatSettings& regional)
{
    const Decimal d = roundToSignificant(decimalOf(std::fabs(value)), digits);
    std::string mantissa = d.digits;
    mantissa.append(static_cast<std::size_t>(digits) - mantissa.size(), '0');
    const int exponent = d.isZero() ? 0 : d.point - 1;
    QString text;
    if (value < 0 && !d.isZero())
        text += QLatin1Char('-');
    text += QLatin1Char(mantissa[0]);
    if (digits > 1) {
        text += regional.decimalSeparator;
        text += latin(std::string_view(mantissa).substr(1));
    }
    text += exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
    text += unsignedText(magnitudeOf(exponent), 3);
    return text;
}

// A field is padded to at most this width; "%999999999d" asks for more than any page shows.
constexpr qint64 kMaxFieldWidth = 100000;
// All fields together: more than a whole page holds even at one point, so that "%0:100000d" written
// many times over cannot fill gigabytes. Longer results fail, and the value shows as plain text.
constexpr qsizetype kMaxFormattedLength = qsizetype(1) << 20;

} // namespace

std::optional<QString> formatPrintf(const QString& pattern, std::span<const FormatArgument> args,
    const FormatSettings& regional)
{
    QString out;
    std::size_t next = 0;
    const qsizetype n = pattern.size();
    auto takeArgument = [&]() -> const FormatArgument* { return next < args.size() ? &args[next++] : nullptr; };
    // A count as written, or taken from the arguments for "*"; nothing when there is none. False
    // when "*" finds no integer.
    auto readCount = [&](qsizetype& i, std::optional<qint64>& count) {
        count.reset();
        if (i < n && pattern[i] == QLatin1Char('*')) {
            ++i;
            const FormatArgument* argument = takeArgument();
            const auto* value = argument ? std::get_if<qint64>(argument) : nullptr;
            if (value)
                count = std::min(*value, kMaxFieldWidth);
            return value != nullptr;
        }
        if (i >= n || !isDigit(pattern[i]))
            return true;
        qint64 value = 0;
        for (; i < n && isDigit(pattern[i]); ++i)
            value = std::min<qint64>(value * 10 + (pattern[i].unicode() - '0'), kMaxFieldWidth);
        count = value;
        return true;
    };

    for (qsizetype i = 0; i < n;) {
        if (pattern[i] != QLatin1Char('%')) {
            out += pattern[i++];
            continue;
        }
        ++i;
        if (i < n && pattern[i] == QLatin1Char('%')) {
            out += pattern[i++];
            continue;
        }
        std::optional<qint64> width;
        if (!readCount(i, width))
            return std::nullopt;
        if (width && i < n && pattern[i] == QLatin1Char(':')) {
            if (*width < 0)
                return std::nullopt;
            next = static_cast<std::size_t>(*width);
            width.reset();
            ++i;
        }
        bool leftJustify = false;
        if (!width) {
            if (i < n && pattern[i] == QLatin1Char('-')) {
                leftJustify = true;
                ++i;
            }
            if (!readCount(i, width))
                return std::nullopt;
        }
        qint64 precision = -1; // none given
        if (i < n && pattern[i] == QLatin1Char('.')) {
            ++i;
            std::optional<qint64> given;
            if (!readCount(i, given))
                return std::nullopt;
            precision = std::max<qint64>(given.value_or(0), -1);
        }
        if (i >= n)
            return std::nullopt;
        const char type = static_cast<char>(pattern[i++].toLower().unicode());
        const FormatArgument* argument = takeArgument();
        if (!argument)
            return std::nullopt;
        const auto* integer = std::get_if<qint64>(argument);
        const auto* number = std::get_if<double>(argument);
        if (number && !std::isfinite(*number))
            return std::nullopt;
        auto digitsOr = [&](int fallback, int low, int high) {
            return static_cast<int>(std::clamp<qint64>(precision < 0 ? fallback : precision, low, high));
        };

        QString text;
        switch (type) {
        case 'd':
            if (!integer)
                return std::nullopt;
            text = signedText(*integer, digitsOr(1, 1, 32));
            break;
        case 'u':
        case 'x':
            if (!integer)
                return std::nullopt;
            // Negative values show as their 32-bit two's complement, as unsigned integers do.
            text = unsignedText(*integer < 0 ? static_cast<quint32>(*integer) : static_cast<quint64>(*integer),
                digitsOr(1, 1, 32), type == 'x' ? 16 : 10);
            break;
        case 'f':
        case 'n':
        case 'm':
            if (!number)
                return std::nullopt;
            text = fixedText(*number, digitsOr(2, 0, 18), type != 'f', regional);
            // Receipts are paid in euros, whatever the locale's own currency.
            if (type == 'm')
                text += QStringLiteral(" €");
            break;
        case 'e':
        case 'g':
            if (!number)
                return std::nullopt;
            text = type == 'e'
                ? scientificText(*number, digitsOr(15, 1, 18), regional)
                : formatGeneral(*number, digitsOr(15, 1, 18), regional.decimalSeparator);
            break;
        default:
            return std::nullopt;
        }
        const qsizetype padding = std::max<qint64>(width.value_or(0), 0) - text.size();
        if (out.size() + text.size() + std::max<qsizetype>(padding, 0) > kMaxFormattedLength)
            return std::nullopt;
        if (padding > 0)
            text = leftJustify ? text + QString(padding, QLatin1Char(' ')) : QString(padding, QLatin1Char(' ')) + text;
        out += text;
    }
    return out;
}

} // namespace quittung::report
