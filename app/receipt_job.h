#pragma once

#include "app/receipt/report_variables.h"
#include "runtime/format_settings.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace quittung {
class PendingFile;
}

namespace quittung::settings {
class IniSettings;
}

namespace quittung::report {
class JpegExport;
class PdfExport;
class Report;
class ReportPreparer;
} // namespace quittung::report

namespace quittung::app {

// What the user chose besides the receipt's fields.
struct ReceiptChoices {
    bool pdf = false;
    bool jpeg = false;
    bool preview = true;
    bool directPrint = false;
    // The output format's item: 0 A5 one page, 1 A5 two pages, 2 A4 one page, 3 A4 two pages; any
    // other value loads no template and keeps the document in memory.
    int outputFormat = 0;
    // A template file that takes the place of the output format's (the settings' fixed "Form" too).
    QString templateFile;
    // The number the window proposed from the counter. While the form still holds it and another
    // program has handed that number out meanwhile, the receipt takes the next free one; a number
    // the user typed is kept (that is how numbering starts again).
    QString proposedNumber;
};

// Where a receipt is shown or printed at the end. The defaults are the preview window and the
// system's printers; the command-line tool prints without a preview.
struct ReceiptOutput {
    std::function<void(report::ReportPreparer&)> preview;
    std::function<bool(report::ReportPreparer&)> print;
    // The file a PDF or JPEG ("PDF", "JPG") receipt goes to; receiptFileName() when not set.
    std::function<QString(const QString& kind, const ReceiptFormState&)> fileName;
    // When set, each file is written without a name and handed over here once complete; whoever
    // takes it names it (PendingFile::publishAll, many at a time), so an interrupted run leaves no
    // half-written receipt. Not set for the window, whose PDF filter opens its file at once.
    std::function<void(std::unique_ptr<PendingFile> file)> pending;
    // The window stores the choices and the number for its next start; a batch keeps the counter
    // itself (see reserveNumbers) and leaves the user's choices alone.
    bool storeChoices = true;
    static ReceiptOutput standard(report::PdfExport& pdf, report::JpegExport& jpeg);
};

// The template file last read into a report. A batch keeps it for the next receipts instead of
// reading the file again, since preparation puts the document back as it found it.
struct LoadedTemplate {
    QString file;
    QDateTime modified;
    qint64 size = -1;
};

// The components a receipt is made with: the report and its preparer, the two export filters, the
// settings store and the program folder (with a trailing "/") that holds Forms/, PDF/ and JPG/.
struct ReceiptTools {
    report::Report& report;
    report::ReportPreparer& preparer;
    report::PdfExport& pdf;
    report::JpegExport& jpeg;
    settings::IniSettings& settings;
    QString programFolder;
    FormatSettings formatSettings;
    ReceiptOutput output;
    // Called once the number is settled and empty amounts are filled, and again once the amounts
    // are completed, so a window shows them before anything else happens.
    std::function<void(const ReceiptFormState&)> formChanged;
    // When set, a template file unchanged since it was read into the report is not read again.
    // Whoever sets it clears it after a receipt that failed: the document may not be as it was.
    LoadedTemplate* loadedTemplate = nullptr;
};

// The template a receipt is made from: the chosen file, else the settings' fixed "Form" when that
// file is in Forms/, else the output format's, whose second receipt page copy says whether to show.
// No file for an output format without a template.
struct ReceiptTemplate {
    QString file;
    std::optional<bool> copy;
};
ReceiptTemplate receiptTemplate(const QString& programFolder, settings::IniSettings& settings, const ReceiptChoices& choices);

// Gives the store the program's settings file: Settings.ini in the program folder, section "Telvo",
// written only when flushed, booleans as TRUE/FALSE.
void configureReceiptSettings(settings::IniSettings& settings, const QString& programFolder);

// Reads the settings file anew (unless reload is off: the window's store may hold keys not yet
// written), lets change() alter the store and writes the file, while holding the lock file beside it: the window and any number of command-line runs share the receipt counter.
// Raises an error when the lock cannot be had within a few seconds; false when the file could not
// be written.
bool updateSettingsLocked(settings::IniSettings& settings, const std::function<void()>& change, bool reload = true);

// The receipt counter as Settings.ini in the program folder holds it now: another program may have
// advanced it since a store read the file.
int storedReceiptCounter(const QString& programFolder);

// Hands out count receipt numbers from the shared counter (key "QID": the next is the stored one
// plus 1) and advances it past them. Returns the first.
int reserveNumbers(settings::IniSettings& settings, int count);

// Makes one receipt from the form's state, in the order the receipt button always took: store the
// choices (and write the settings file at once, so a crash never hands out a number twice), fill
// empty amounts with "0", complete the amounts, load the template, write the PDF and the JPEG file
// when chosen, then show the preview or print. The state's amounts are updated in place; an error
// ends the run where it arises (the caller shows it). Refilling the window is the caller's.
void makeReceipt(ReceiptTools& tools, ReceiptFormState& state, const ReceiptChoices& choices);

// The file a receipt goes to: programFolder + "PDF/" or "JPG/" + number "-" date "-" payer + ".PDF"
// or ".JPG", the date in the user's short date format with any "/" written as "-".
QString receiptFileName(const QString& programFolder, const QString& kind, const ReceiptFormState& state,
    const FormatSettings& formatSettings);

// Why a number or payer cannot be part of a file name in the output folder ("/" would lead out of
// it, NUL ends the name); empty when it can.
QString unsafeNameReason(const QString& part);

} // namespace quittung::app
