#pragma once

// The printf-style formats of numeric display formats ("%2.2f", "%n", "%d", "%5.1e").

#include "runtime/format_settings.h"

#include <QString>
#include <QtGlobal>

#include <optional>
#include <span>
#include <variant>

namespace quittung::report {

using FormatArgument = std::variant<qint64, double>;

// A printf-style format string: "%" [index ":"] ["-"] [width] ["." precision] type,
// where index, width and precision may be "*" to take them from the arguments. Types d, u and x take
// integers; e, f, g, n and m take finite floats. Anything else, or an argument of the wrong type,
// gives nothing.
std::optional<QString> formatPrintf(const QString& pattern, std::span<const FormatArgument> args,
    const FormatSettings& regional);

} // namespace quittung::report
