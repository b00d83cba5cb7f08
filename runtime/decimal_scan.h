#pragma once

#include <QChar>
#include <QStringView>

#include <optional>
#include <string>

namespace quittung {

// ASCII digits only: the digits of other scripts make no number anywhere in the program.
inline bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// 0 to 15 for "0"-"9", "a"-"f" and "A"-"F", else -1.
int hexDigitValue(QChar c);

// Whether a decimal separator without a digit after it still belongs to the number.
enum class FractionRule {
    SeparatorAlone,      // "5," and "," take the separator
    DigitAfterSeparator, // "1." stops before the separator, which is then the caller's
};

// An unsigned decimal number as written: digits with an optional fraction after the separator, then,
// if there was a mantissa, an optional exponent ("E" or "e", an optional sign, digits). Blanks and
// signs around it are left to the caller, whose rules for them differ.
struct DecimalScan {
    qsizetype end = 0;         // where the number ends in the text
    std::string digits;        // the mantissa's digits without the separator, leading zeros kept
    long exponent = 0;         // the power of ten of the last digit in `digits`
    bool separator = false;    // a decimal separator was taken
    bool exponentMark = false; // an "E" or "e" was taken
    bool exponentDigits = false;

    // The double nearest to the number, negated when `negative`. A value too small for a double reads
    // as zero; one too large gives nothing.
    std::optional<double> toDouble(bool negative = false) const;
};

DecimalScan scanDecimal(QStringView text, qsizetype from, QChar separator, FractionRule rule);

} // namespace quittung
