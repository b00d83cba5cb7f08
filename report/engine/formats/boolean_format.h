#pragma once

// The boolean formats of display formats ("yes,no").

#include "report/document/variant.h"
#include "runtime/format_settings.h"

#include <QString>

namespace quittung::report {

// "yes,no" split at the first comma; without a comma true shows nothing and false the whole text.
QString formatBoolean(const Variant& value, const QString& pattern, const FormatSettings& regional);

} // namespace quittung::report
