#pragma once

#include <QDateTime>

#include <functional>

namespace quittung {

// The current local date and time. Code that shows or stores the time takes a Clock, so tests can
// fix the moment.
using Clock = std::function<QDateTime()>;

Clock systemClock();

} // namespace quittung
