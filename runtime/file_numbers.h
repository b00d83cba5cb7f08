#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

namespace quittung {

// Numbers written into files, never in the user's format: a point as decimal separator, no grouping,
// whatever locale the process runs in.

// A PDF operand: exactly two decimals and never an exponent ("12.50", "-3.00", "419.25",
// 1e20 as "100000000000000000000.00"). It is rounded like money, halves away from zero on the exact
// binary value: 0.125 gives "0.13", 0.005 (held slightly above) "0.01", 2.675 (held slightly below)
// "2.67". A value that rounds to zero is "0.00", never "-0.00". No PDF number holds NaN or an
// infinity; they are written "0.00" so that the file stays readable.
QByteArray pdfNumber(double value);
QByteArray& appendPdfNumber(QByteArray& out, double value);
// The room pdfNumber's text may take: the largest double has 309 digits before the point.
inline constexpr std::size_t PdfNumberMaxSize = 320;
// Writes pdfNumber's text at first, which has PdfNumberMaxSize bytes of room; returns its end.
char* writePdfNumber(char* first, double value);
// A PDF code: upper-case hex digits, at least four ("0041", "20AC", "1F600").
void appendPdfHexCode(QByteArray& out, quint32 value);

// A template float: the general number format with a point and 15 significant digits ("0.5",
// "419.25", "1E15", "1E-6"). Template readers take the exponent form, so it stays.
QString templateNumber(double value);
// A template float as written by any writer: a point or a comma, blanks anywhere, the exponent form.
// Anything else raises ConvertError "'%s' ist kein gültiger Gleitkommawert".
double readTemplateNumber(const QString& text);

} // namespace quittung
