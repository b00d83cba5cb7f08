#include "runtime/number_format.h"

#include "runtime/exception.h"
#include "runtime/messages.h"

#include <charconv>
#include <cmath>
#include <string>

namespace quittung {

namespace {

[[noreturn]] void throwInvalidFloat(const QString& text)
{
    throw EConvertError(formatMessage(msg::SInvalidFloat, {text}));
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

double StrToFloat(const QString& text, const FormatSettings& settings)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;

    // The number is rebuilt in the C form std::from_chars reads, which rounds correctly.
    std::string c;
    c.reserve(static_cast<std::size_t>(n) + 8);
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        if (text[i] == QLatin1Char('-'))
            c += '-';
        ++i;
    }
    bool mantissa = false;
    c += '0';
    while (i < n && isDigit(text[i])) {
        c += static_cast<char>(text[i++].unicode());
        mantissa = true;
    }
    if (i < n && text[i] == settings.decimalSeparator) {
        mantissa = true;
        c += '.';
        ++i;
        while (i < n && isDigit(text[i]))
            c += static_cast<char>(text[i++].unicode());
    }
    if (!mantissa)
        throwInvalidFloat(text);
    if (i < n && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e'))) {
        ++i;
        bool negative = false;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            negative = text[i++] == QLatin1Char('-');
        // Any number of digits may follow; past a few thousand the result is zero or infinite anyway.
        long exponent = 0;
        while (i < n && isDigit(text[i])) {
            if (exponent < 100000)
                exponent = exponent * 10 + (text[i].unicode() - '0');
            ++i;
        }
        c += 'e';
        c += std::to_string(negative ? -exponent : exponent);
    }
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    if (i != n)
        throwInvalidFloat(text);

    double value = 0;
    const auto [end, error] = std::from_chars(c.data(), c.data() + c.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too small for a double reads as zero; too large is no number we can hold.
        const auto e = c.find('e');
        if (e == std::string::npos || c[e + 1] != '-')
            throwInvalidFloat(text);
        return c.front() == '-' ? -0.0 : 0.0;
    }
    if (error != std::errc() || end != c.data() + c.size())
        throwInvalidFloat(text);
    return value;
}

QString FloatToStr(double value, const FormatSettings& settings)
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
