#pragma once

#include "app/cli/options.h"
#include "app/receipt/receipt.h"
#include "runtime/format_settings.h"

#include <QMap>
#include <QString>

#include <optional>
#include <vector>

namespace quittung::settings {
class IniSettings;
}

namespace quittung::app::cli {

// The rows of a run: one from the options alone, or one per CSV record with the line it starts on.
struct Rows {
    std::vector<QMap<QString, QString>> fields;
    std::vector<int> lines;
};

// The run's rows; nothing, with the reason in error, when the CSV file cannot be read or names a
// column that is no field.
std::optional<Rows> readRows(const Options& options, QString& error);

// A field of a row: its column, else the option of that name.
QString rowField(const QMap<QString, QString>& row, const Options& options, const char* name);

// A row's output format: its column or option, else the window's remembered one.
int rowOutputFormat(const QMap<QString, QString>& row, const Options& options, settings::IniSettings& settings);

// The receipt of a row by the command line's rules: number given or the counter's (number), place
// and rate given or the remembered ones, the date as 2020-07-03 or in the user's short format (today
// when empty), amounts in the user's format or with "." as the decimal point, the missing amount
// completed as the window does. Throws for what is no date, amount or format.
Receipt rowReceipt(const QMap<QString, QString>& row, const Options& options, int number,
    settings::IniSettings& settings, const FormatSettings& format);

// Where a receipt of one kind ("PDF", "JPG") goes: the window's name in the program folder, that name
// in a chosen folder (always in a batch), or the chosen file.
QString outputFile(const OutputTarget& output, bool batch, const QString& programFolder, const QString& kind,
    const Receipt& receipt, const FormatSettings& format);

// Whether an output's target names a folder.
bool isFolder(const QString& target);

} // namespace quittung::app::cli
