#pragma once

#include "app/receipt/receipt.h"
#include "report/document/report.h"
#include "report/document/report_options.h"
#include "report/engine/pages/report_preparer.h"
#include "report/export/image/image_export.h"
#include "report/export/pdf/pdf_export.h"
#include "runtime/clock.h"
#include "runtime/format_settings.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace quittung::settings {
class IniSettings;
}

namespace quittung::report {
class ExportFiles;
}

namespace quittung::app {

// The keys of Settings.ini, each read and written with this one spelling (keys compare without
// regard to case, so files written with another spelling still read).
namespace settings_keys {
inline const QString counter = QStringLiteral("QID");
inline const QString place = QStringLiteral("Ort");
inline const QString vatRate = QStringLiteral("MwST");
inline const QString outputFormat = QStringLiteral("Ausgabeformat");
inline const QString exportPdf = QStringLiteral("ExportPDF");
inline const QString exportJpeg = QStringLiteral("ExportJPG");
inline const QString preview = QStringLiteral("ExportVorschau");
inline const QString openPdf = QStringLiteral("OpenPDF");
inline const QString form = QStringLiteral("Form");
} // namespace settings_keys

// What the user chose besides the receipt's fields.
struct ReceiptChoices {
    bool pdf = false;
    bool jpeg = false;
    bool preview = true;
    bool directPrint = false;
    // The number the window proposed from the counter. While the form still holds it and another
    // program has handed that number out meanwhile, the receipt takes the next free one; a number
    // the user typed is kept (that is how numbering starts again).
    QString proposedNumber;
    // The number this window stored for a press that delivered nothing: while the counter still
    // stands at it, the next press may take it again.
    QString reservedNumber;
    // Told the number once it is stored as handed out.
    std::function<void(const QString& number)> numberStored;
};

// The largest receipt number: the counter must be able to go one past it.
constexpr int kLargestReceiptNumber = 2147483646;

// Where a receipt's outputs go besides the files. The window's are the preview window and the
// system's printers (standardReceiptOutput); the command-line tool prints without a preview.
struct ReceiptOutput {
    std::function<void(report::ReportPreparer&, const Receipt&)> preview;
    // Prints with the template's print options as the receipt's choices change them.
    std::function<bool(report::ReportPreparer&, const report::PrintOptions&)> print;
    // Whether there is a printer to print on; always when not set.
    std::function<bool()> hasPrinter;
    // The file a PDF or JPEG ("PDF", "JPG") receipt goes to; receiptFileName() when not set.
    std::function<QString(const QString& kind, const Receipt&)> fileName;
    // When set, each output's files are handed over here unpublished; whoever takes them publishes
    // them (many at a time). When not set they are published at once.
    std::function<void(report::ExportFiles files)> pending;
    // Told, before any output is made, of the fields whose text the template cuts off (see
    // clippedFieldWarnings); may throw to end the receipt. When not set the engine host shows them.
    std::function<void(const QStringList& warnings)> clipped;
};

// The template a receipt is made from: the chosen file, else the settings' fixed "Form" when that
// file is in Forms/, else the output format's, whose second receipt page copy says whether to show.
// No file for an output format without a template.
struct ReceiptTemplate {
    QString file;
    std::optional<bool> copy;
};
ReceiptTemplate receiptTemplate(const QString& programFolder, settings::IniSettings& settings, const Receipt& receipt);

// Receipt templates read from their files into reports that are not changed afterwards, so the
// receipts made from one, on any number of threads at once, share it. A store that keeps templates
// reads a file again only when its time or size changed; one that does not reads it for every
// receipt (the window: a template edited meanwhile is taken at the next receipt). No file gives the
// built-in receipt design.
class TemplateStore {
public:
    // Sets up a report before a template is read into it (how its errors are reported, say).
    using Setup = std::function<void(report::Report&)>;
    explicit TemplateStore(const FormatSettings& formatSettings, Clock clock = systemClock(), Setup setup = {},
        bool keep = false);
    TemplateStore(const TemplateStore&) = delete;
    TemplateStore& operator=(const TemplateStore&) = delete;

    // The report of a template. Errors of the read are reported by the report's silent mode; a
    // template without the second receipt page that chosen.copy asks about is an error.
    std::shared_ptr<const report::Report> get(const ReceiptTemplate& chosen);

private:
    std::shared_ptr<report::Report> read(const ReceiptTemplate& chosen);

    struct Kept {
        QString file;
        std::optional<bool> copy;
        QDateTime modified;
        qint64 size = -1;
        std::shared_ptr<const report::Report> report;
    };
    FormatSettings m_formatSettings;
    Clock m_clock;
    Setup m_setup;
    bool m_keep;
    std::mutex m_mutex;
    std::vector<Kept> m_kept;
};

// Makes receipts: owns the report (the built-in receipt design until a template is loaded) with
// its preparer and the two export filters, which keep only options. Each receipt is prepared once,
// and every output is made from the same prepared pages, each export told its file when it runs.
class ReceiptJob {
public:
    // programFolder holds Forms/, PDF/ and JPG/; the settings store gives the fixed "Form".
    ReceiptJob(settings::IniSettings& settings, const QString& programFolder, const FormatSettings& formatSettings,
        Clock clock = systemClock());
    ReceiptJob(const ReceiptJob&) = delete;
    ReceiptJob& operator=(const ReceiptJob&) = delete;

    // Loads the template, prepares the report once, writes the PDF and then the JPEG files when
    // chosen, then shows the preview or prints. An error ends the receipt where it arises; an
    // output file that cannot be written is reported and the others are still made.
    // True when anything was delivered: a file written, the preview shown or the printout sent.
    bool make(const Receipt& receipt, const ReceiptChoices& choices);
    // Where the templates come from.
    TemplateStore& templates() { return *m_templates; }

    report::ReportPreparer& preparer() { return m_preparer; }
    // The filters' options; the files are given per receipt.
    report::PdfExport& pdfExport() { return m_pdf; }
    report::JpegExport& jpegExport() { return m_jpeg; }
    ReceiptOutput& output() { return m_output; }
    settings::IniSettings& settings() { return m_settings; }
    const QString& programFolder() const { return m_programFolder; }
    const FormatSettings& formatSettings() const { return m_formatSettings; }
    // Where the templates come from; by default a store of the job's own that reads the file for
    // every receipt. A batch's jobs share one that keeps them.
    void setTemplates(std::shared_ptr<TemplateStore> templates) { m_templates = std::move(templates); }

    // A PDF filter with the receipts' options: fonts embedded, the program's author, subject and
    // creator. The preview's own filters get them too.
    static void configurePdf(report::PdfExport& pdf);

private:
    // True when the files were written (or handed over unpublished).
    bool exportTo(report::ExportFilter& filter, const QString& kind, const Receipt& receipt);

    settings::IniSettings& m_settings;
    QString m_programFolder;
    FormatSettings m_formatSettings;
    std::shared_ptr<TemplateStore> m_templates;
    // The template of the last receipt, which its prepared pages (and a preview of them) refer to.
    std::shared_ptr<const report::Report> m_template;
    report::ReportPreparer m_preparer;
    report::PdfExport m_pdf;
    report::JpegExport m_jpeg;
    ReceiptOutput m_output;
};

// The preview window and the system's printers. The preview's Export menu has filters of its own,
// which ask for the file in a save dialog, starting in PDF/ or JPG/ with the receipt's name.
ReceiptOutput standardReceiptOutput(ReceiptJob& job);

// The receipt button: stores the choices and the output format (and writes the settings file at
// once, so a crash never hands out a number twice), fills empty amounts with "0", completes the
// amounts by the window's rules and makes the receipt. The form's number and amounts are updated
// in place and handed to formChanged as soon as they change, also when a later step fails.
// A settings file that cannot be written refuses the press before anything is made, and so does a
// proposed number another program handed out meanwhile (the form then shows the next free one).
// Returns whether anything was delivered.
bool makeReceiptFromForm(ReceiptJob& job, ReceiptFormState& form, const ReceiptChoices& choices,
    const std::function<void(const ReceiptFormState&)>& formChanged = {});

// Gives the store the program's settings file: Settings.ini in the program folder, section "Telvo",
// written only when flushed, booleans as TRUE/FALSE.
void configureReceiptSettings(settings::IniSettings& settings, const QString& programFolder);

// Reads the settings file anew (unless reload is off: the window's store may hold keys not yet
// written), lets change() alter the store and writes the file, while holding the lock file beside
// it: the window and any number of command-line runs share the receipt counter. Raises an error
// when the lock cannot be had within a few seconds; false when the file could not be written.
bool updateSettingsLocked(settings::IniSettings& settings, const std::function<void()>& change, bool reload = true);

// The receipt counter as Settings.ini in the program folder holds it now: another program may have
// advanced it since a store read the file.
int storedReceiptCounter(const QString& programFolder);

// Hands out count receipt numbers from the shared counter (key "QID": the next is the stored one
// plus 1) and advances it past them. Returns the first.
int reserveNumbers(settings::IniSettings& settings, int count);

// Gives back the numbers first to last that reserveNumbers() handed out and nothing used: the counter
// goes back to first - 1, but only while it still stands at last (no other program has taken a
// number since). Returns whether it did.
bool returnNumbers(settings::IniSettings& settings, int first, int last);

// The VAT rate the settings remember, as the window shows it (19 when none is stored).
QString storedVatRate(settings::IniSettings& settings, const FormatSettings& formatSettings);

// The file a receipt goes to: programFolder + "PDF/" or "JPG/" + number "-" date "-" payer + ".PDF"
// or ".JPG", the date in the user's short date format with any "/" written as "-".
QString receiptFileName(const QString& programFolder, const QString& kind, const Receipt& receipt,
    const FormatSettings& formatSettings);

// Why a number or payer cannot be part of a file name in the output folder ("/" would lead out of
// it, NUL ends the name); empty when it can.
QString unsafeNameReason(const QString& part);

} // namespace quittung::app
