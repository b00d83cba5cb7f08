#include "app/receipt_job.h"

#include "app/clipped_fields.h"
#include "app/program_folder.h"
#include "app/receipt/report_variables.h"
#include "report/document/builtin_design.h"
#include "report/document/page.h"
#include "report/export/export_files.h"
#include "runtime/exception.h"
#include "runtime/messages.h"
#include "runtime/number_format.h"
#include "settings/ini_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QScopeGuard>

#include <algorithm>
#include <limits>
#include <utility>

namespace quittung::app {

using report::ReportPreparer;

namespace {

// The template of an output format, and whether its second receipt page is shown.
struct FormatTemplate {
    const char* file;
    bool copy;
};
constexpr FormatTemplate kTemplates[] = {
    {"Quittung.Dat", false}, {"Quittung.Dat", true}, {"QuittungA4.Dat", false}, {"QuittungA4.Dat", true}};

} // namespace

ReceiptTemplate receiptTemplate(const QString& programFolder, settings::IniSettings& settings, const Receipt& receipt)
{
    if (!receipt.templateFile.isEmpty())
        return {receipt.templateFile, std::nullopt};
    const QString forms = programFolder + QStringLiteral("Forms/");
    const QString fixed = settings.readString(settings_keys::form, QString());
    if (!fixed.isEmpty() && QFileInfo::exists(forms + fixed))
        return {forms + fixed, std::nullopt};
    if (receipt.outputFormat < 0 || receipt.outputFormat >= int(std::size(kTemplates)))
        return {};
    const FormatTemplate& format = kTemplates[receipt.outputFormat];
    return {forms + QString::fromLatin1(format.file), format.copy};
}

TemplateStore::TemplateStore(const FormatSettings& formatSettings, Clock clock, Setup setup, bool keep)
    : m_formatSettings(formatSettings)
    , m_clock(std::move(clock))
    , m_setup(std::move(setup))
    , m_keep(keep)
{
}

std::shared_ptr<report::Report> TemplateStore::read(const ReceiptTemplate& chosen)
{
    auto report = std::make_shared<report::Report>(m_clock);
    report->setLocaleSettings(m_formatSettings);
    if (m_setup)
        m_setup(*report);
    if (chosen.file.isEmpty()) {
        report::applyBuiltinDesign(*report);
        return report;
    }
    report->loadFromFile(chosen.file);
    // A missing template or one without two receipt pages ends the receipt here.
    if (chosen.copy) {
        // A third part that is no page is as good as none, not a page to dereference.
        report::Page* copy = report->pages(2);
        if (!copy)
            checkListIndex(2, 2);
        copy->setVisible(*chosen.copy);
    }
    return report;
}

std::shared_ptr<const report::Report> TemplateStore::get(const ReceiptTemplate& chosen)
{
    if (!m_keep)
        return read(chosen);
    const QFileInfo info(chosen.file);
    const QDateTime modified = chosen.file.isEmpty() ? QDateTime() : info.lastModified();
    const qint64 size = chosen.file.isEmpty() ? -1 : info.size();
    // Read under the lock, so threads asking for one template at once read it once.
    std::lock_guard lock(m_mutex);
    const auto kept = std::find_if(m_kept.begin(), m_kept.end(),
        [&](const Kept& k) { return k.file == chosen.file && k.copy == chosen.copy; });
    if (kept != m_kept.end() && kept->modified == modified && kept->size == size
        && (chosen.file.isEmpty() || info.exists()))
        return kept->report;
    if (kept != m_kept.end())
        m_kept.erase(kept);
    std::shared_ptr<const report::Report> report = read(chosen);
    m_kept.push_back({chosen.file, chosen.copy, modified, size, report});
    return report;
}

ReceiptJob::ReceiptJob(settings::IniSettings& settings, const QString& programFolder,
    const FormatSettings& formatSettings, Clock clock)
    : m_settings(settings)
    , m_programFolder(programFolder.endsWith(u'/') ? programFolder : programFolder + u'/')
    , m_formatSettings(formatSettings)
    , m_templates(std::make_shared<TemplateStore>(formatSettings, clock))
    , m_template(m_templates->get({}))
    , m_preparer(*m_template, clock)
{
    configurePdf(m_pdf);
    m_jpeg.setShowDialog(false);
}

void ReceiptJob::configurePdf(report::PdfExport& pdf)
{
    pdf.setShowDialog(false);
    pdf.setEmbeddedFonts(true);
    pdf.setAuthor(QStringLiteral("Varnel Quittungsprogramm"));
    pdf.setSubject(QStringLiteral("Varnel Quittungsprogramm PDF-Export"));
    pdf.setCreator(QStringLiteral("Varnel IT-Service"));
}

// Writes the prepared pages through the filter into the receipt's file of that kind, unless the
// name would leave the output folder: that is reported like a file the system refuses.
bool ReceiptJob::exportTo(report::ExportFilter& filter, const QString& kind, const Receipt& receipt)
{
    const QString fileName = m_output.fileName ? m_output.fileName(kind, receipt)
                                               : receiptFileName(m_programFolder, kind, receipt, m_formatSettings);
    QString unsafe = unsafeNameReason(receipt.number);
    if (unsafe.isEmpty())
        unsafe = unsafeNameReason(receipt.payer);
    if (!unsafe.isEmpty()) {
        // Reported the way the engine reports a file it cannot create; the receipt goes on.
        m_preparer.errors().add(formatMessage(msg::SFCreateErrorEx, {fileName, unsafe}));
        m_preparer.reportErrors();
        return false;
    }
    report::ExportFiles files;
    if (!report::exportReport(m_preparer, filter, fileName, &files) || files.isEmpty())
        return false;
    if (m_output.pending) {
        m_output.pending(std::move(files));
        return true;
    }
    return report::publishExport(filter, files);
}

bool ReceiptJob::make(const Receipt& receipt, const ReceiptChoices& choices)
{
    m_template = m_templates->get(receiptTemplate(m_programFolder, m_settings, receipt));
    m_preparer.setReport(*m_template);
    // The templates' receipt variables come from the receipt while it is made.
    m_preparer.setValueSource([&receipt, this](const QString& name, report::Variant& value) {
        if (std::optional<report::Variant> answer = receiptVariable(name, receipt, m_formatSettings))
            value = std::move(*answer);
    });
    const auto forget = qScopeGuard([this] { m_preparer.setValueSource({}); });
    const bool shows = choices.preview ? bool(m_output.preview) : bool(m_output.print);
    if (!choices.pdf && !choices.jpeg && !shows)
        return false;
    m_preparer.prepareReport(true);
    reportClippedFields(*m_template, m_preparer.preparedPages(), m_output);
    bool delivered = false;
    if (choices.pdf)
        delivered = exportTo(m_pdf, QStringLiteral("PDF"), receipt);
    if (choices.jpeg)
        delivered = exportTo(m_jpeg, QStringLiteral("JPG"), receipt) || delivered;
    if (!shows)
        return delivered;
    if (choices.preview) {
        m_output.preview(m_preparer, receipt);
        return true;
    }
    report::PrintOptions options = m_template->printOptions();
    if (choices.directPrint)
        options.setShowDialog(false);
    return m_output.print(m_preparer, options) || delivered;
}

bool makeReceiptFromForm(ReceiptJob& job, ReceiptFormState& form, const ReceiptChoices& choices,
    const std::function<void(const ReceiptFormState&)>& formChanged)
{
    settings::IniSettings& ini = job.settings();
    // The number is handed out now: it must be in the file before anything can go wrong. The
    // counter is read from the file again under the lock: the command line may have advanced it.
    QString numberTaken;
    const bool written = updateSettingsLocked(ini, [&] {
        bool isNumber = false;
        const int number = form.number.toInt(&isNumber);
        if (isNumber && !choices.proposedNumber.isEmpty() && form.number == choices.proposedNumber) {
            const int stored = storedReceiptCounter(job.programFolder());
            const bool ours = form.number == choices.reservedNumber && stored == number;
            if (stored >= number && !ours) {
                if (stored >= kLargestReceiptNumber)
                    throw IntegerOverflowError();
                // Another program handed the number out meanwhile: the receipt is not made under a
                // number the user has not seen.
                numberTaken = form.number;
                form.number = QString::number(stored + 1);
                return;
            }
        }
        ini.writeString(settings_keys::counter, form.number);
        ini.writeString(settings_keys::vatRate, form.vatRate);
        ini.writeString(settings_keys::place, form.place);
        ini.writeBoolean(settings_keys::exportPdf, choices.pdf);
        ini.writeBoolean(settings_keys::exportJpeg, choices.jpeg);
        ini.writeBoolean(settings_keys::preview, choices.preview);
        ini.writeInteger(settings_keys::outputFormat, form.outputFormat);
    }, false);
    if (!numberTaken.isEmpty()) {
        if (formChanged)
            formChanged(form);
        throw Exception(QStringLiteral("Die Nummer %1 hat inzwischen ein anderes Programm vergeben. Die nächste freie "
                                       "Nummer ist %2; bitte noch einmal „Quittung erstellen“ drücken.")
                            .arg(numberTaken, form.number));
    }
    if (!written) {
        // What the file does not hold would be handed out again: nothing of the press is kept.
        ini.reload();
        throw Exception(QStringLiteral("Die Einstellungsdatei %1 kann nicht geschrieben werden. Ohne sie würde die "
                                       "Quittungsnummer doppelt vergeben; es wurde keine Quittung erstellt.")
                            .arg(QDir::toNativeSeparators(ini.fullFileName())));
    }
    if (choices.numberStored)
        choices.numberStored(form.number);

    fillEmptyAmounts(form);
    if (formChanged)
        formChanged(form);
    const Receipt receipt = receiptFromForm(form, job.formatSettings());
    if (formChanged)
        formChanged(form);
    return job.make(receipt, choices);
}

QString storedVatRate(settings::IniSettings& settings, const FormatSettings& formatSettings)
{
    // The rate may have decimals (7,5): read and written in the user's number format.
    const QString rate = settings.readString(settings_keys::vatRate, QStringLiteral("19"));
    return floatToString(rate.isEmpty() ? 0.0 : stringToFloat(rate, formatSettings), formatSettings);
}

QString unsafeNameReason(const QString& part)
{
    if (part.contains(u'/'))
        return QStringLiteral("Der Name enthält einen Schrägstrich (/), der aus dem Ausgabeordner führen würde.");
    if (part.contains(QChar(0)))
        return QStringLiteral("Der Name enthält ein Nullzeichen.");
    return QString();
}

QString receiptFileName(const QString& programFolder, const QString& kind, const Receipt& receipt,
    const FormatSettings& formatSettings)
{
    QString date = formatSettings.formatShortDate(receipt.date);
    date.replace(u'/', u'-');
    return programFolder + kind + u'/' + receipt.number + u'-' + date + u'-' + receipt.payer + u'.' + kind.toUpper();
}

void configureReceiptSettings(settings::IniSettings& settings, const QString& programFolder)
{
    settings.setFileName(QStringLiteral("Settings.ini"));
    settings.setLocation(programFolder);
    settings.setDefaultSection(QStringLiteral("Telvo"));
    settings.setAutoFlush(false);
    settings.setAutoReload(false);
    settings.setFlushOnDestroy(true);
    settings::IniSettingsOptions& options = settings.storageOptions();
    options.booleanAsString = true;
    options.booleanTrueValues = QStringLiteral("TRUE, YES, Y");
    options.booleanFalseValues = QStringLiteral("FALSE, NO, N");
    options.defaultIfReadConvertError = false;
    settings.loaded();
}

bool updateSettingsLocked(settings::IniSettings& settings, const std::function<void()>& change, bool reload)
{
    const QString lockName = settings.fullFileName() + QStringLiteral(".lock");
    QLockFile lock(lockName);
    if (!lock.tryLock(10000)) {
        // A lock file that cannot be created at all says nothing about another program holding it.
        if (lock.error() == QLockFile::PermissionError)
            throw Exception(programFolderReadOnlyMessage(QFileInfo(lockName).absolutePath()));
        throw Exception(QStringLiteral("Die Einstellungsdatei ist gesperrt (%1).").arg(lockName));
    }
    // Another program may have advanced the counter since the store last read the file.
    if (reload)
        settings.reload();
    change();
    return settings.flush();
}

int storedReceiptCounter(const QString& programFolder)
{
    settings::IniSettings file;
    configureReceiptSettings(file, programFolder);
    file.setFlushOnDestroy(false);
    return file.readInteger(settings_keys::counter, 0);
}

int reserveNumbers(settings::IniSettings& settings, int count)
{
    int first = 0;
    const bool written = updateSettingsLocked(settings, [&] {
        const int stored = settings.readInteger(settings_keys::counter, 0);
        if (stored > std::numeric_limits<int>::max() - count)
            throw IntegerOverflowError();
        first = stored + 1;
        settings.writeInteger(settings_keys::counter, stored + count);
    });
    // Numbers the file does not remember would be handed out again.
    if (!written)
        throw Exception(formatMessage(msg::SFCreateErrorEx, {settings.fullFileName(), QString()}).trimmed());
    return first;
}

bool returnNumbers(settings::IniSettings& settings, int first, int last)
{
    bool returned = false;
    updateSettingsLocked(settings, [&] {
        if (settings.readInteger(settings_keys::counter, 0) != last)
            return;
        settings.writeInteger(settings_keys::counter, first - 1);
        returned = true;
    });
    return returned;
}

} // namespace quittung::app
