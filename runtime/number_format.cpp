#include "runtime/number_format.h"

#include "runtime/decimal_scan.h"
#include "runtime/exception.h"
#include "runtime/messages.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

namespace quittung {

namespace {

[[noreturn]] void throwInvalidFloat(const QString& text)
{
    throw ConvertError(formatMessage(msg::SInvalidFloat, {text}));
}

// A number as the user writes it: blanks, an optional sign, the number, blanks.
struct SignedDecimal {
    bool negative = false;
    DecimalScan number;
};

std::optional<SignedDecimal> scanNumber(const QString& text, const FormatSettings& settings)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    SignedDecimal result;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        result.negative = text[i++] == QLatin1Char('-');
    // "," alone is zero and "3E" is three.
    result.number = scanDecimal(text, i, settings.decimalSeparator, FractionRule::SeparatorAlone);
    if (result.number.digits.empty() && !result.number.separator)
        return std::nullopt;
    i = result.number.end;
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    if (i != n)
        return std::nullopt;
    return result;
}

} // namespace

std::optional<double> readFloat(const QString& text, const FormatSettings& settings)
{
    const std::optional<SignedDecimal> scanned = scanNumber(text, settings);
    if (!scanned)
        return std::nullopt;
    return scanned->number.toDouble(scanned->negative);
}

double stringToFloat(const QString& text, const FormatSettings& settings)
{
    const std::optional<double> value = readFloat(text, settings);
    if (!value)
        throwInvalidFloat(text);
    return *value;
}

qint64 stringToCurrency(const QString& text, const FormatSettings& settings)
{
    const std::optional<SignedDecimal> number = scanNumber(text, settings);
    if (!number)
        throwInvalidFloat(text);
    const SignedDecimal& scanned = *number;
    const std::string& all = scanned.number.digits;
    const auto first = all.find_first_not_of('0');
    if (first == std::string::npos)
        return 0;
    const std::string digits = all.substr(first);
    // Shift to ten-thousandths: keep = digits that stand before the point of the scaled value.
    const long shift = scanned.number.exponent + 4;
    const long keep = static_cast<long>(digits.size()) + shift;
    if (keep > 19)
        throwInvalidFloat(text);
    // Below half a ten-thousandth by a whole digit: nothing is left to round up.
    if (keep < 0)
        return 0;
    const auto cut = static_cast<std::size_t>(std::min(keep, static_cast<long>(digits.size())));
    std::string whole = digits.substr(0, cut);
    if (shift > 0)
        whole.append(static_cast<std::size_t>(shift), '0');
    // The dropped digits decide the rounding: above a half up, a half to the even neighbour.
    const std::string dropped = digits.substr(cut);
    unsigned long long magnitude = 0;
    for (const char digit : whole)
        magnitude = magnitude * 10 + static_cast<unsigned>(digit - '0');
    if (!dropped.empty()) {
        const char lead = dropped.front();
        const bool rest = dropped.find_first_not_of('0', 1) != std::string::npos;
        if (lead > '5' || (lead == '5' && (rest || magnitude % 2 == 1)))
            ++magnitude;
    }
    const unsigned long long limit = scanned.negative ? 9223372036854775808ULL : 9223372036854775807ULL;
    if (magnitude > limit)
        throwInvalidFloat(text);
    return scanned.negative ? static_cast<qint64>(0 - magnitude) : static_cast<qint64>(magnitude);
}

DecimalDigits decimalDigits(double value, std::optional<int> significantDigits)
{
    DecimalDigits result;
    if (value == 0 || !std::isfinite(value))
        return result;
    // d.ddd…e±x, correctly rounded when a precision is given.
    char buffer[64];
    const double magnitude = std::fabs(value);
    char* const end = buffer + sizeof buffer;
    const auto scientific = std::chars_format::scientific;
    const auto written = significantDigits
        ? std::to_chars(buffer, end, magnitude, scientific, std::clamp(*significantDigits, 1, 18) - 1)
        : std::to_chars(buffer, end, magnitude, scientific);
    const std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
    const auto ePos = text.find('e');
    const char* exponentStart = text.data() + ePos + 1;
    if (*exponentStart == '+')
        ++exponentStart;
    std::from_chars(exponentStart, text.data() + text.size(), result.exponent);
    result.digits = std::string(text.substr(0, 1));
    if (ePos > 1)
        result.digits += text.substr(2, ePos - 2);
    while (result.digits.back() == '0')
        result.digits.pop_back();
    return result;
}

QString formatGeneral(double value, int significantDigits, QChar decimalSeparator)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");

    significantDigits = std::clamp(significantDigits, 1, 18);
    const bool negative = value < 0;
    const DecimalDigits decimal = decimalDigits(value, significantDigits);
    const std::string& digits = decimal.digits;
    const int exponent = decimal.exponent;

    QString out;
    if (negative)
        out += QLatin1Char('-');
    if (exponent >= significantDigits || exponent < -5) {
        out += QLatin1Char(digits[0]);
        if (digits.size() > 1) {
            out += decimalSeparator;
            out += QString::fromLatin1(digits.substr(1));
        }
        out += QLatin1Char('E');
        out += QString::number(exponent);
        return out;
    }
    if (exponent < 0) {
        out += QLatin1Char('0');
        out += decimalSeparator;
        out += QString(-exponent - 1, QLatin1Char('0'));
        out += QString::fromLatin1(digits);
        return out;
    }
    const auto intDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= intDigits) {
        out += QString::fromLatin1(digits);
        out += QString(static_cast<qsizetype>(intDigits - digits.size()), QLatin1Char('0'));
    } else {
        out += QString::fromLatin1(digits.substr(0, intDigits));
        out += decimalSeparator;
        out += QString::fromLatin1(digits.substr(intDigits));
    }
    return out;
}

QString floatToString(double value, const FormatSettings& settings)
{
    return formatGeneral(value, 15, settings.decimalSeparator);
}

} // namespace quittung
