#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace quittung::app::cli {

// 130 is what shells give a program ended by SIGINT.
enum ExitStatus { AllMade = 0, SomeFailed = 1, UsageError = 2, Interrupted = 130 };

// The text of --help.
extern const char* const kHelp;

// The receipt's fields as options (--nummer ...) and CSV columns.
const QStringList& fieldNames();

// An output the user asked for, and where it goes: empty for the program folder's.
struct OutputTarget {
    bool wanted = false;
    QString target;
};

struct Options {
    QMap<QString, QString> fields;
    OutputTarget pdf;
    OutputTarget jpeg;
    OutputTarget print;
    QString templateFile;
    QString csv;
    // Receipts made at once; 0 for one per core.
    int jobs = 0;
    // A text the template cuts off ends its receipt instead of giving a warning.
    bool strict = false;
    bool help = false;
    bool version = false;
};

// A call the tool cannot run, with the reason.
struct UsageFault {
    QString message;
};

// Reads the arguments (the program's name first); throws UsageFault. The values are checked by
// checkOptions().
Options parseOptions(const QStringList& arguments);

// The output format's item from its name in the window, its short name or its index; throws
// Exception for any other text.
int outputFormatIndex(const QString& text);

} // namespace quittung::app::cli
