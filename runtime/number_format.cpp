#include "runtime/number_format.h"

#include "runtime/exception.h"
#include "runtime/messages.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace quittung {

namespace {

[[noreturn]] void throwInvalidFloat(const QString& text)
{
    throw ConvertError(formatMessage(msg::SInvalidFloat, {text}));
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A number as written: sign, the digits of the mantissa without the separator, and the power of
// ten that applies to the last of those digits.
struct DecimalNumber {
    bool negative = false;
    std::string digits;
    long exponent = 0;
};

DecimalNumber scanNumber(const QString& text, const FormatSettings& settings)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    DecimalNumber number;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        number.negative = text[i++] == QLatin1Char('-');
    bool mantissa = false;
    while (i < n && isDigit(text[i])) {
        number.digits += static_cast<char>(text[i++].unicode());
        mantissa = true;
    }
    long fractionDigits = 0;
    if (i < n && text[i] == settings.decimalSeparator) {
        mantissa = true;
        ++i;
        while (i < n && isDigit(text[i])) {
            number.digits += static_cast<char>(text[i++].unicode());
            ++fractionDigits;
        }
    }
    if (!mantissa)
        throwInvalidFloat(text);
    long exponent = 0;
    if (i < n && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e'))) {
        ++i;
        bool negative = false;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            negative = text[i++] == QLatin1Char('-');
        // Any number of digits may follow; past a few thousand the value is zero or infinite anyway.
        while (i < n && isDigit(text[i])) {
            if (exponent < 100000)
                exponent = exponent * 10 + (text[i].unicode() - '0');
            ++i;
        }
        if (negative)
            exponent = -exponent;
    }
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    if (i != n)
        throwInvalidFloat(text);
    number.exponent = exponent - fractionDigits;
    return number;
}

} // namespace

double stringToFloat(const QString& text, const FormatSettings& settings)
{
    const DecimalNumber number = scanNumber(text, settings);
    // std::from_chars rounds correctly.
    std::string c = (number.negative ? "-0" : "0") + number.digits + 'e' + std::to_string(number.exponent);
    double value = 0;
    const auto [end, error] = std::from_chars(c.data(), c.data() + c.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too small for a double reads as zero; too large is no number we can hold.
        if (number.exponent >= 0)
            throwInvalidFloat(text);
        return number.negative ? -0.0 : 0.0;
    }
    if (error != std::errc() || end != c.data() + c.size())
        throwInvalidFloat(text);
    return value;
}

qint64 stringToCurrency(const QString& text, const FormatSettings& settings)
{
    DecimalNumber number = scanNumber(text, settings);
    const auto first = number.digits.find_first_not_of('0');
    if (first == std::string::npos)
        return 0;
    number.digits.erase(0, first);
    // Shift to ten-thousandths: keep = digits that stand before the point of the scaled value.
    const long shift = number.exponent + 4;
    const long keep = static_cast<long>(number.digits.size()) + shift;
    if (keep > 19)
        throwInvalidFloat(text);
    const auto size = static_cast<long>(number.digits.size());
    std::string whole = number.digits.substr(0, static_cast<std::size_t>(std::clamp(keep, 0L, size)));
    if (shift > 0)
        whole.append(static_cast<std::size_t>(shift), '0');
    // The dropped digits decide the rounding: above a half up, a half to the even neighbour.
    const std::string dropped = keep >= 0
        ? number.digits.substr(static_cast<std::size_t>(std::min(keep, size)))
        : std::string(static_cast<std::size_t>(-keep), '0') + number.digits;
    unsigned long long magnitude = 0;
    for (const char digit : whole)
        magnitude = magnitude * 10 + static_cast<unsigned>(digit - '0');
    if (!dropped.empty()) {
        const char lead = dropped.front();
        const bool rest = dropped.find_first_not_of('0', 1) != std::string::npos;
        if (lead > '5' || (lead == '5' && (rest || magnitude % 2 == 1)))
            ++magnitude;
    }
    const unsigned long long limit = number.negative ? 9223372036854775808ULL : 9223372036854775807ULL;
    if (magnitude > limit)
        throwInvalidFloat(text);
    return number.negative ? static_cast<qint64>(0 - magnitude) : static_cast<qint64>(magnitude);
}

QString floatToString(double value, const FormatSettings& settings)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");

    // 15 significant digits, correctly rounded: d.dddddddddddddde±x
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    std::string s(buffer, result.ptr);
    const bool negative = s.front() == '-';
    if (negative)
        s.erase(0, 1);
    const auto ePos = s.find('e');
    int exponent = std::stoi(s.substr(ePos + 1));
    std::string digits = s.substr(0, 1) + s.substr(2, ePos - 2);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    QString out;
    if (negative)
        out += QLatin1Char('-');
    if (exponent >= 15 || exponent < -5) {
        out += QLatin1Char(digits[0]);
        if (digits.size() > 1) {
            out += settings.decimalSeparator;
            out += QString::fromLatin1(digits.substr(1));
        }
        out += QLatin1Char('E');
        out += QString::number(exponent);
        return out;
    }
    if (exponent < 0) {
        out += QLatin1Char('0');
        out += settings.decimalSeparator;
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
        out += settings.decimalSeparator;
        out += QString::fromLatin1(digits.substr(intDigits));
    }
    return out;
}

} // namespace quittung
