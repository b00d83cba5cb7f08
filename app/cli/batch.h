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
// standard error, in row order. Returns the exit status.
int runBatch(const Options& options, const Rows& rows, const QString& programFolder,
    const std::shared_ptr<TemplateStore>& templates);

// The settings file of the program folder as the command line uses it: every write goes through
// the lock, since writing the whole store again at the end would put back a counter another run
// has advanced meanwhile. Returns the store.
settings::IniSettings& openSettings(settings::IniSettings& settings, const QString& programFolder);

// A line on the stream in the local encoding, flushed.
void printLine(FILE* stream, const QString& text);

} // namespace quittung::app::cli
