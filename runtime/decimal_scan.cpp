#include "runtime/decimal_scan.h"

#include <charconv>

namespace quittung {

int hexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

DecimalScan scanDecimal(QStringView text, qsizetype from, QChar separator, FractionRule rule)
{
    const qsizetype n = text.size();
    qsizetype i = from;
    DecimalScan scan;
    while (i < n && isDigit(text[i]))
        scan.digits += static_cast<char>(text[i++].unicode());
    long fractionDigits = 0;
    if (i < n && text[i] == separator
        && (rule == FractionRule::SeparatorAlone || (i + 1 < n && isDigit(text[i + 1])))) {
        scan.separator = true;
        ++i;
        while (i < n && isDigit(text[i])) {
            scan.digits += static_cast<char>(text[i++].unicode());
            ++fractionDigits;
        }
    }
    long exponent = 0;
    const bool mantissa = !scan.digits.empty() || scan.separator;
    if (mantissa && i < n && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e'))) {
        scan.exponentMark = true;
        ++i;
        bool negative = false;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            negative = text[i++] == QLatin1Char('-');
        // Any number of digits may follow; past a million the value is zero or infinite anyway.
        while (i < n && isDigit(text[i])) {
            scan.exponentDigits = true;
            if (exponent < 1'000'000)
                exponent = exponent * 10 + (text[i].unicode() - u'0');
            ++i;
        }
        if (negative)
            exponent = -exponent;
    }
    scan.end = i;
    scan.exponent = exponent - fractionDigits;
    return scan;
}

std::optional<double> DecimalScan::toDouble(bool negative) const
{
    // std::from_chars rounds correctly; the leading "0" gives a mantissa to a lone separator.
    const std::string text = (negative ? "-0" : "0") + digits + 'e' + std::to_string(exponent);
    double value = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc::result_out_of_range)
        return value;
    // Out of range either way: the power of the leading digit tells overflow from underflow.
    const auto lead = static_cast<long>(digits.find_first_not_of('0'));
    if (exponent + static_cast<long>(digits.size()) - 1 - lead > 0)
        return std::nullopt;
    return negative ? -0.0 : 0.0;
}

} // namespace quittung
