#pragma once

#include "app/cli/options.h"
#include "app/receipt/receipt.h"
#include "runtime/format_settings.h"

#include <QDate>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quittung::settings {
class IniSettings;
}

namespace quittung::app::cli {

// What the command line writes follows German settings whatever the process locale: receipts read
// "Berlin, 03.07.2020" and are named "12-03.07.2020-….PDF", as the window makes them on a German
// desktop.
const FormatSettings& outputFormatSettings();

// The rows of a run: one from the options alone, or one per CSV record with the line it starts on
// and the fault it was read with (empty for none).
struct Rows {
    std::vector<QMap<QString, QString>> fields;
    std::vector<int> lines;
    std::vector<QString> faults;
    // What the run should know about the file (columns it passes over).
    QStringList warnings;
};

// The run's rows. Throws UsageFault when the CSV file cannot be read or its header is wrong (a
// column twice, broken quoting).
Rows readRows(const Options& options);

// Checks what the options say on their own: each field's value, that some output is chosen, and
// that a batch's --pdf and --jpg name folders. Throws UsageFault.
void checkOptions(const Options& options);

// The name a field goes by in messages: "Brutto", "Für", "MwSt.".
QString fieldLabel(const QString& name);

// Checks a field's text on its own (an amount, a date, a format, no control characters in number,
// place and payer); the message naming the field, or empty when it is good. Empty texts are good:
// they stand for the default.
QString fieldFault(const QString& name, const QString& text);

// A German amount in any locale: "," is the decimal separator, "." separates thousands when every
// group after one has exactly three digits ("1.234" = 1234, "1.234,56"), and is the decimal point
// otherwise ("119.00", "0.5"); a sign may lead. The amount as "-1234,56" (German, no grouping), or
// nothing when the text is no amount.
std::optional<QString> germanAmount(const QString& text);

// A date as 2020-07-03, 03.07.2020 or 03.07.20 (a two-digit year before 50 in this century, else in
// the last); nothing when it is none.
std::optional<QDate> germanDate(const QString& text);

// A field of a row: its column, else the option of that name.
QString rowField(const QMap<QString, QString>& row, const Options& options, const char* name);

// A row's output format: its column or option, else the window's remembered one.
int rowOutputFormat(const QMap<QString, QString>& row, const Options& options, settings::IniSettings& settings);

// The receipt of a row by the command line's rules, without its number when the row has none (it
// takes one from the counter only once it is sure to be made): place and rate given or the
// remembered ones, the date as above (today when empty), amounts German, the missing amount
// completed as the window does. Throws, with a message naming the field, for a field that is
// wrong, for a row without any amount, and when net and gross are both given but disagree with
// the rate.
Receipt rowReceipt(const QMap<QString, QString>& row, const Options& options, settings::IniSettings& settings);

// Where a receipt of one kind ("PDF", "JPG") goes: the window's name in the program folder, that name
// in a chosen folder (always in a batch), or the chosen file.
QString outputFile(const OutputTarget& output, bool batch, const QString& programFolder, const QString& kind,
    const Receipt& receipt);

// Why a receipt's number or payer cannot stand in the name of its files ("/" would lead out of the
// folder); empty when they can.
QString fileNameFault(const Receipt& receipt);

// What keeps the whole run from making a receipt, found before any number is taken: an output
// folder that cannot be made or written, a program folder that cannot be written although the
// counter or the default output folders are there, no printer. The folders are made.
QStringList runFaults(const Options& options, const Rows& rows, const QString& programFolder, bool batch);

// Whether an output's target names a folder: one that exists, or a name ending in "/".
bool isFolder(const QString& target);


} // namespace quittung::app::cli
