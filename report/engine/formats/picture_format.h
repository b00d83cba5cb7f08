#pragma once

// The picture formats of numeric display formats ("#,##0.00", "0.00;-0.00;'zero'", "0.0E+00").

#include "runtime/format_settings.h"

#include <QString>

#include <optional>

namespace quittung::report {

// Sections "positive;negative;zero". An empty negative section borrows the positive one with a minus
// sign; a value that rounds to zero takes the zero section, or else loses its minus sign. Nothing for
// NaN and infinities.
std::optional<QString> formatPicture(const QString& picture, double value, const FormatSettings& regional);

} // namespace quittung::report
