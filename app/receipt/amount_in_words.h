#pragma once

#include "runtime/format_settings.h"

#include <QString>
#include <QtGlobal>

namespace quittung::app {

// The words for one group of three digit characters (hundreds, tens, units), in lower case and
// without group name: "121" gives "einhunderteinundzwanzig", "000" the empty text.
QString groupInWords(const QString& group);

// The whole euros of an amount (ten-thousandths) in German words, written together in capitals:
// 121 gives EINHUNDERTEINUNDZWANZIG, a refund of 119 gives MINUS EINHUNDERTNEUNZEHN, and less than
// one euro the empty text. Amounts beyond the largest receipt amount are refused.
QString amountInWords(qint64 tenThousandths);

// The same for a gross amount as the user typed it. An amount too large for the fixed-point value
// (1E15) is refused as too large, like any amount beyond the largest receipt amount.
QString amountInWords(const QString& gross, const FormatSettings& settings);

} // namespace quittung::app
