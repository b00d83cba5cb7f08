#pragma once

#include "runtime/format_settings.h"

#include <QString>
#include <QtGlobal>

#include <optional>
#include <string>

namespace quittung {

// Numbers are read with the user's decimal separator: blanks, an optional sign, digits with an
// optional fraction, an optional exponent ("E" or "e", optional sign, any number of digits), blanks,
// and nothing else. No thousands separators. Anything else raises ConvertError
// "'%s' ist kein gültiger Gleitkommawert".

// The double nearest to the decimal value.
double stringToFloat(const QString& text, const FormatSettings& settings);
// The same without the error: nothing for text that is no number, for readers that try more than
// one way.
std::optional<double> readFloat(const QString& text, const FormatSettings& settings);

// A fixed-point amount in ten-thousandths (four decimals), rounded exactly on the decimal digits with
// halves to even. Amounts beyond the 64-bit range raise the same error.
qint64 stringToCurrency(const QString& text, const FormatSettings& settings);

// The significant digits of |value| without trailing zeros and the power of ten of the first one:
// 84.03 gives "8403" and 1. Without a count as many digits as read back to the same double, else that
// many (1 to 18), correctly rounded on the exact binary value. Zero, NaN and infinities give no digits.
struct DecimalDigits {
    std::string digits;
    int exponent = 0;
};
DecimalDigits decimalDigits(double value, std::optional<int> significantDigits = std::nullopt);

// The general number format: at most `significantDigits` (1 to 18) significant digits, correctly
// rounded on the exact binary value (so 2,675, held slightly below, keeps 2,67 at three digits; an
// exact tie goes to the even digit), no trailing zeros, never "-0", the exponent form ("1E20",
// "1,5E-6") from 10^significantDigits and below 10^-5; "NAN", "INF", "-INF".
QString formatGeneral(double value, int significantDigits, QChar decimalSeparator);

// The general number format with 15 significant digits and the user's decimal separator.
QString floatToString(double value, const FormatSettings& settings);

} // namespace quittung
