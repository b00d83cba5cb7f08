#pragma once

#include <QtGlobal>

namespace quittung {

// Halves to even, as device coordinates, paper sizes and font sizes are rounded: 2.5 → 2, 3.5 → 4.
qint64 roundHalfEven(double value);

// The integer nearest to y, halves away from zero: trunc(y) + trunc(2 × frac(y)). Money rounds so.
long double roundHalfAwayFromZero(long double y);

// x rounded to the given number of decimals, halves away from zero, on the exact binary value of x
// (so 2,675, held slightly below, becomes 2,67).
double roundToDecimals(int decimals, double x);

} // namespace quittung
