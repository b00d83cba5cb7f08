#include "runtime/clock.h"

namespace quittung {

Clock systemClock()
{
    return [] { return QDateTime::currentDateTime(); };
}

} // namespace quittung
