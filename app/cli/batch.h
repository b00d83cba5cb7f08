#pragma once

#include "app/cli/options.h"
#include "app/cli/rows.h"

#include <QString>

#include <cstdio>
#include <memory>

namespace quittung::settings {
class IniSettings;
}

namespace quittung::app {
class TemplateStore;
}

namespace quittung::app::cli {

// The templates of a run: each read once, then shared by the rows' threads; their errors end the
// receipt that reads them.
std::shared_ptr<TemplateStore> batchTemplates();

// Makes the receipts of the rows, on as many threads as the options say (one after the other when
// printing), and prints each written file on standard output and each error with its row on
// standard error, in row order. Everything a row can be refused for is checked before it takes a
// number; rows take their numbers in row order as they are made. SIGINT and SIGTERM stop it after
// the rows in flight. Returns the exit status.
int runBatch(const Options& options, const Rows& rows, const QString& programFolder,
    const std::shared_ptr<TemplateStore>& templates);

// The settings file of the program folder as the command line uses it: every write goes through
// the lock, since writing the whole store again at the end would put back a counter another run
// has advanced meanwhile. Returns the store.
settings::IniSettings& openSettings(settings::IniSettings& settings, const QString& programFolder);

// A line on the stream in the local encoding, flushed. A line that cannot be written to standard
// output is remembered (standardOutputFault), not retried.
void printLine(FILE* stream, const QString& text);

// Why a line could not be written to standard output; empty when every line was.
QString standardOutputFault();

} // namespace quittung::app::cli
