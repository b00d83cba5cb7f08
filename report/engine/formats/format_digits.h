#pragma once

// What the value formats share: integer texts and the decimal digits of a double with their rounding.

#include <QChar>
#include <QString>
#include <QtGlobal>

#include <string>
#include <string_view>

namespace quittung::report {

QString latin(std::string_view text);
QString unsignedText(quint64 value, int minDigits = 1, int base = 10);
quint64 magnitudeOf(qint64 value);
QString signedText(qint64 value, int minDigits = 1);

// A non-negative number 0.d1d2d3... × 10^point, without leading or trailing zero digits (zero has none).
struct Decimal {
    std::string digits;
    int point = 0;

    bool isZero() const { return digits.empty(); }
};

// The shortest decimal that reads back as the same double. Rounding works on these digits, so 2,675
// is shown as 2,68 although the double lies slightly below: halves are judged on what the user typed
// and sees, not on the binary approximation.
Decimal decimalOf(double magnitude);
Decimal roundToDecimals(const Decimal& d, int decimals);
Decimal roundToSignificant(const Decimal& d, int digits);
// The digits before the point; empty below one.
std::string wholeDigits(const Decimal& d);
std::string fractionDigits(const Decimal& d, int count);
QString grouped(const std::string& whole, QChar separator);

} // namespace quittung::report
