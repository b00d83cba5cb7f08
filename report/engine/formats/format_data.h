#pragma once

#include "report/document/text_object.h"
#include "report/document/variant.h"
#include "runtime/format_settings.h"

#include <QString>

#include <optional>

namespace quittung::report {

// The display text of a value by a format. Never throws: a value that cannot be formatted is shown
// as its plain text.
//
// fkNumeric: a picture format ("#,##0.00", sections "pos;neg;zero", quoted literals, "E+00") when the
// format contains "#" or begins with "0"; else a printf-style format ("%2.2f", "%n", "%d", "%5.1e"),
// applied to the value rounded to an integer (halves to even) when the format contains "d" or "u".
// Digits are shown with the regional separators, which the format's own separators then replace.
// Halves round away from zero on the shortest decimal text of the value; only "%g" is the general
// number format of plain text (formatGeneral), rounded on the exact binary value. A value that rounds
// to zero is shown without a minus sign. "%m" writes a euro amount ("1.234,50 €").
//
// fkDateTime: a date-time picture ("dd.mm.yyyy", "d. mmmm yyyy", "hh:nn:ss", "hh:mm", "am/pm",
// "c", "ddddd" the short and "dddddd" the long date); day and month names and the long date come
// from the regional settings. Numbers count days since 30 December 1899, strings are read in the
// regional short date order with an optional time.
//
// fkBoolean: "yes,no": true booleans, non-zero numbers and the strings "True" or a non-zero number
// give the text before the first comma, anything else the text after it.
QString formatData(const Variant& value, const DisplayFormat& format, const FormatSettings& regional);

// The plain text of a value: strings as they are, numbers in the general number format with the
// regional decimal separator, currency amounts with up to four decimals, booleans "True"/"False",
// date-times as the regional short date followed by the time (hh:mm:ss) unless it is midnight,
// null and empty as "".
QString variantToText(const Variant& value, const FormatSettings& regional);

// A value as a number for formatting: integers, floats and currency amounts as they are; strings
// read with the regional decimal separator (grouping separators are accepted only in groups of
// three, so "1.234,5" is read under German settings but "84,03" is no number under English ones),
// else with "." as decimal separator and no grouping. Nothing for anything else, booleans and
// date-times included.
std::optional<double> variantToNumber(const Variant& value, const FormatSettings& regional);

} // namespace quittung::report
