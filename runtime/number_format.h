#pragma once

#include "runtime/format_settings.h"

#include <QString>

namespace quittung {

// Reads a decimal number written with the user's decimal separator: blanks, an optional sign,
// digits with an optional fraction, an optional exponent, blanks, and nothing else. No thousands
// separators. The result is the double nearest to the decimal value. Anything else raises
// EConvertError "'%s' ist kein gültiger Gleitkommawert".
double StrToFloat(const QString& text, const FormatSettings& settings);

// The general number format: at most 15 significant digits, the user's decimal separator, no
// trailing zeros, never "-0", exponent form from 10^15 and below 10^-5.
QString FloatToStr(double value, const FormatSettings& settings);

} // namespace quittung
