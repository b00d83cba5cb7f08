#pragma once

#include "app/cli/options.h"
#include "app/cli/rows.h"

#include <QString>

#include <cstdio>

namespace quittung::settings {
class IniSettings;
}

namespace quittung::app::cli {

// Makes the receipts of the rows, on as many threads as the options say (one after the other when
// printing), and prints each written file on standard output and each error with its row on
// standard error, in row order. Returns the exit status.
int runBatch(const Options& options, const Rows& rows, const QString& programFolder);

// The settings file of the program folder as the command line uses it: every write goes through
// the lock, since writing the whole store again at the end would put back a counter another run
// has advanced meanwhile. Returns the store.
settings::IniSettings& openSettings(settings::IniSettings& settings, const QString& programFolder);

// A line on the stream in the local encoding, flushed.
void printLine(FILE* stream, const QString& text);

} // namespace quittung::app::cli
