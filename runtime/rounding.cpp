#include "runtime/rounding.h"

#include <cmath>

namespace quittung {

qint64 roundHalfEven(double value)
{
    // The default floating-point rounding mode rounds halves to even.
    return static_cast<qint64>(std::nearbyint(value));
}

long double roundHalfAwayFromZero(long double y)
{
    // From 2^63 on every long double is a whole number already.
    if (!(std::fabs(y) < 9.2e18L))
        return y;
    const long double whole = std::trunc(y);
    const auto sum = static_cast<qint64>(whole) + static_cast<qint64>(std::trunc(2 * (y - whole)));
    return static_cast<long double>(sum);
}

double roundToDecimals(int decimals, double x)
{
    const long double factor = std::pow(10.0L, decimals);
    // A double times 100 fits the 64-bit significand of long double exactly.
    const long double k = roundHalfAwayFromZero(static_cast<long double>(x) * factor);
    return static_cast<double>(k / factor);
}

} // namespace quittung
