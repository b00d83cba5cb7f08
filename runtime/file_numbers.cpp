#include "runtime/file_numbers.h"

#include "runtime/number_format.h"
#include "runtime/rounding.h"

#include <charconv>
#include <cmath>

namespace quittung {

namespace {

// value × 100 rounded half away from zero, as if computed exactly.
long double roundedCents(double value)
{
    // Below 2^40 the double product lies within 2^-13 of the exact one, so only a product that
    // close to a half can round differently; most numbers need no long double.
    const double product = value * 100;
    if (std::fabs(product) < 0x1p40) {
        const double fraction = std::fabs(product - std::trunc(product));
        if (std::fabs(fraction - 0.5) > 0x1p-10)
            return std::round(product);
    }
    // Exact: a double times 100 fits the 64-bit significand of long double.
    return roundHalfAwayFromZero(static_cast<long double>(value) * 100);
}

} // namespace

char* writePdfNumber(char* first, double value)
{
    char* const last = first + PdfNumberMaxSize;
    if (!std::isfinite(value))
        value = 0;
    const long double cents = roundedCents(value);
    if (std::fabs(cents) >= 1e18L) {
        // From 10^16 on every double is whole; to_chars writes its exact digits.
        return std::to_chars(first, last, value, std::chars_format::fixed, 2).ptr;
    }
    auto whole = static_cast<qint64>(cents);
    if (whole < 0) {
        *first++ = '-';
        whole = -whole;
    }
    first = std::to_chars(first, last, whole / 100).ptr;
    *first++ = '.';
    *first++ = static_cast<char>('0' + whole % 100 / 10);
    *first++ = static_cast<char>('0' + whole % 10);
    return first;
}

QByteArray pdfNumber(double value)
{
    QByteArray out;
    appendPdfNumber(out, value);
    return out;
}

QByteArray& appendPdfNumber(QByteArray& out, double value)
{
    char buffer[PdfNumberMaxSize];
    const char* end = writePdfNumber(buffer, value);
    return out.append(buffer, end - buffer);
}

void appendPdfHexCode(QByteArray& out, quint32 value)
{
    char digits[8];
    int first = 8;
    do {
        digits[--first] = "0123456789ABCDEF"[value & 0xF];
        value >>= 4;
    } while (value != 0 || first > 4);
    out.append(digits + first, 8 - first);
}

QString templateNumber(double value)
{
    return formatGeneral(value, 15, QLatin1Char('.'));
}

double readTemplateNumber(const QString& text)
{
    QString plain = text;
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    plain.remove(QLatin1Char(' '));
    static const FormatSettings point;
    return stringToFloat(plain, point);
}

} // namespace quittung
