#pragma once

// The date-time pictures of display formats ("dd.mm.yyyy", "d. mmmm yyyy", "hh:nn:ss", "c") and the
// date-times of values.

#include "report/document/variant.h"
#include "runtime/format_settings.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace quittung::report {

// The regional short date followed by the time (hh:mm:ss) unless it is midnight.
QString dateTimeText(const QDateTime& dateTime, const FormatSettings& regional);

// `nested` is set while the long date picture is written, which must not call itself.
QString formatDateTime(const QString& givenFormat, const QDateTime& dateTime, const FormatSettings& regional,
    bool nested = false);

// A value as a date-time: numbers count days since 30 December 1899, strings are read in the
// regional short date order with an optional time. Nothing for anything else.
std::optional<QDateTime> variantToDateTime(const Variant& value, const FormatSettings& regional);

} // namespace quittung::report
