#pragma once

#include "runtime/format_settings.h"

#include <QString>
#include <QtGlobal>

namespace quittung {

// Numbers are read with the user's decimal separator: blanks, an optional sign, digits with an
// optional fraction, an optional exponent ("E" or "e", optional sign, any number of digits), blanks,
// and nothing else. No thousands separators. Anything else raises ConvertError
// "'%s' ist kein gültiger Gleitkommawert".

// The double nearest to the decimal value.
double stringToFloat(const QString& text, const FormatSettings& settings);

// A fixed-point amount in ten-thousandths (four decimals), rounded exactly on the decimal digits with
// halves to even. Amounts beyond the 64-bit range raise the same error.
qint64 stringToCurrency(const QString& text, const FormatSettings& settings);

// The general number format: at most 15 significant digits, the user's decimal separator, no
// trailing zeros, never "-0", exponent form from 10^15 and below 10^-5.
QString floatToString(double value, const FormatSettings& settings);

} // namespace quittung
