// Integer texts and the rounded decimal digits the value formats share.

#include "report/engine/formats/format_digits.h"

#include "runtime/number_format.h"

#include <algorithm>
#include <charconv>

namespace quittung::report {

namespace {

// Keeps the first `keep` digits, rounding halves away from zero.
Decimal keepDigits(Decimal d, long keep)
{
    if (keep < 0)
        return {};
    if (keep >= static_cast<long>(d.digits.size()))
        return d;
    const auto cut = static_cast<std::size_t>(keep);
    const bool up = d.digits[cut] >= '5';
    d.digits.resize(cut);
    if (up) {
        std::size_t i = cut;
        while (i > 0 && d.digits[i - 1] == '9')
            d.digits[--i] = '0';
        if (i == 0) {
            d.digits.insert(0, 1, '1');
            ++d.point;
        } else {
            ++d.digits[i - 1];
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.point = 0;
    return d;
}

} // namespace

QString latin(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString unsignedText(quint64 value, int minDigits, int base)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, base);
    std::string digits(buffer, result.ptr);
    if (static_cast<int>(digits.size()) < minDigits)
        digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
    if (base == 16)
        std::transform(digits.begin(), digits.end(), digits.begin(), [](char c) { return c >= 'a' ? char(c - 'a' + 'A') : c; });
    return latin(digits);
}

quint64 magnitudeOf(qint64 value)
{
    return value < 0 ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
}

QString signedText(qint64 value, int minDigits)
{
    return (value < 0 ? QStringLiteral("-") : QString()) + unsignedText(magnitudeOf(value), minDigits);
}

Decimal decimalOf(double magnitude)
{
    DecimalDigits decimal = decimalDigits(magnitude);
    Decimal d;
    d.digits = std::move(decimal.digits);
    d.point = d.digits.empty() ? 0 : decimal.exponent + 1;
    return d;
}

Decimal roundToDecimals(const Decimal& d, int decimals)
{
    return keepDigits(d, static_cast<long>(d.point) + decimals);
}

Decimal roundToSignificant(const Decimal& d, int digits)
{
    return keepDigits(d, digits);
}

std::string wholeDigits(const Decimal& d)
{
    if (d.point <= 0)
        return {};
    const auto point = static_cast<std::size_t>(d.point);
    std::string whole = d.digits.substr(0, std::min(point, d.digits.size()));
    whole.append(point - whole.size(), '0');
    return whole;
}

std::string fractionDigits(const Decimal& d, int count)
{
    std::string fraction;
    for (int j = 0; j < count; ++j) {
        const long index = static_cast<long>(d.point) + j;
        fraction += index >= 0 && index < static_cast<long>(d.digits.size()) ? d.digits[static_cast<std::size_t>(index)] : '0';
    }
    return fraction;
}

QString grouped(const std::string& whole, QChar separator)
{
    QString text;
    const auto size = whole.size();
    for (std::size_t i = 0; i < size; ++i) {
        text += QLatin1Char(whole[i]);
        const std::size_t power = size - 1 - i;
        if (power > 0 && power % 3 == 0)
            text += separator;
    }
    return text;
}

} // namespace quittung::report
