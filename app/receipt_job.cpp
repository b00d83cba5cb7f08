#include "app/receipt_job.h"

#include "app/receipt/receipt_amounts.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/engine/report_preparer.h"
#include "report/export/image/image_export.h"
#include "report/export/pdf/pdf_export.h"
#include "runtime/exception.h"
#include "runtime/messages.h"
#include "runtime/pending_file.h"
#include "settings/ini_settings.h"

#include <QFileInfo>
#include <QLockFile>

#include <limits>
#include <utility>

namespace quittung::app {

using report::ReportPreparer;

namespace {

// Answers the templates' receipt variables from the job's state while it runs, and gives the
// report its own handler back afterwards.
class VariablesFromState {
public:
    VariablesFromState(report::Report& report, const ReceiptFormState& state, const FormatSettings& settings)
        : m_report(report), m_previous(std::move(report.events().getValue))
    {
        m_report.events().getValue = [&state, &settings](const QString& name, report::Variant& value) {
            if (!isReceiptVariable(name))
                return;
            if (std::optional<report::Variant> answer = receiptVariable(name, state, settings))
                value = std::move(*answer);
        };
    }
    ~VariablesFromState() { m_report.events().getValue = std::move(m_previous); }
    VariablesFromState(const VariablesFromState&) = delete;
    VariablesFromState& operator=(const VariablesFromState&) = delete;

private:
    report::Report& m_report;
    std::function<void(const QString&, report::Variant&)> m_previous;
};

// The template of an output format, and whether its second receipt page is shown.
struct FormatTemplate {
    const char* file;
    bool copy;
};
constexpr FormatTemplate kTemplates[] = {
    {"Quittung.Dat", false}, {"Quittung.Dat", true}, {"QuittungA4.Dat", false}, {"QuittungA4.Dat", true}};

void readTemplate(ReceiptTools& tools, const QString& file)
{
    LoadedTemplate* loaded = tools.loadedTemplate;
    if (!loaded) {
        tools.report.loadFromFile(file);
        return;
    }
    const QFileInfo info(file);
    if (loaded->file == file && info.exists() && loaded->modified == info.lastModified() && loaded->size == info.size())
        return;
    // Forgotten first, so a read that fails halfway is not taken for the template.
    *loaded = LoadedTemplate();
    tools.report.loadFromFile(file);
    *loaded = {file, info.lastModified(), info.size()};
}

void loadTemplate(ReceiptTools& tools, const ReceiptChoices& choices)
{
    const ReceiptTemplate chosen = receiptTemplate(tools.programFolder, tools.settings, choices);
    if (chosen.file.isEmpty())
        return;
    readTemplate(tools, chosen.file);
    // A missing template or one without two receipt pages ends the receipt here.
    if (chosen.copy)
        tools.report.pages(2)->setVisible(*chosen.copy);
}

// Prepares the report anew and writes it through the filter, unless the name would leave the
// output folder: that is reported like a file the system refuses, and the receipt goes on.
void exportTo(ReceiptTools& tools, report::ExportFilter& filter, const QString& kind, const ReceiptFormState& state)
{
    const QString fileName = tools.output.fileName ? tools.output.fileName(kind, state)
                                                   : receiptFileName(tools.programFolder, kind, state, tools.formatSettings);
    filter.setFileName(fileName);
    tools.preparer.prepareReport(true);
    const auto refused = [&](const QString& reason) {
        tools.report.errors().add(formatMessage(msg::SFCreateErrorEx, {fileName, reason}));
        tools.report.reportErrors();
    };
    QString unsafe = unsafeNameReason(state.number);
    if (unsafe.isEmpty())
        unsafe = unsafeNameReason(state.payer);
    if (!unsafe.isEmpty()) {
        refused(unsafe);
        return;
    }
    if (!tools.output.pending) {
        report::exportReport(tools.preparer, filter);
        return;
    }
    auto file = std::make_unique<PendingFile>(fileName);
    if (!file->open()) {
        refused(file->errorString());
        return;
    }
    filter.setStream(&file->device());
    const bool written = report::exportReport(tools.preparer, filter);
    filter.setStream(nullptr);
    // A filter that wrote nothing leaves no empty file behind.
    if (written && file->device().size() > 0)
        tools.output.pending(std::move(file));
}

} // namespace

ReceiptTemplate receiptTemplate(const QString& programFolder, settings::IniSettings& settings, const ReceiptChoices& choices)
{
    if (!choices.templateFile.isEmpty())
        return {choices.templateFile, std::nullopt};
    const QString forms = programFolder + QStringLiteral("Forms/");
    const QString fixed = settings.readString(QStringLiteral("Form"), QString());
    if (!fixed.isEmpty() && QFileInfo::exists(forms + fixed))
        return {forms + fixed, std::nullopt};
    if (choices.outputFormat < 0 || choices.outputFormat >= int(std::size(kTemplates)))
        return {};
    const FormatTemplate& format = kTemplates[choices.outputFormat];
    return {forms + QString::fromLatin1(format.file), format.copy};
}

QString unsafeNameReason(const QString& part)
{
    if (part.contains(u'/'))
        return QStringLiteral("Der Name enthält einen Schrägstrich (/), der aus dem Ausgabeordner führen würde.");
    if (part.contains(QChar(0)))
        return QStringLiteral("Der Name enthält ein Nullzeichen.");
    return QString();
}

QString receiptFileName(const QString& programFolder, const QString& kind, const ReceiptFormState& state,
    const FormatSettings& formatSettings)
{
    QString date = formatSettings.formatShortDate(state.date);
    date.replace(u'/', u'-');
    return programFolder + kind + u'/' + state.number + u'-' + date + u'-' + state.payer + u'.' + kind.toUpper();
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
    if (!lock.tryLock(10000))
        throw Exception(QStringLiteral("Die Einstellungsdatei ist gesperrt (%1).").arg(lockName));
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
    return file.readInteger(QStringLiteral("QID"), 0);
}

int reserveNumbers(settings::IniSettings& settings, int count)
{
    int first = 0;
    const bool written = updateSettingsLocked(settings, [&] {
        const int stored = settings.readInteger(QStringLiteral("QID"), 0);
        if (stored > std::numeric_limits<int>::max() - count)
            throw IntegerOverflowError();
        first = stored + 1;
        settings.writeInteger(QStringLiteral("QID"), stored + count);
    });
    // Numbers the file does not remember would be handed out again.
    if (!written)
        throw Exception(formatMessage(msg::SFCreateErrorEx, {settings.fullFileName(), QString()}).trimmed());
    return first;
}

void makeReceipt(ReceiptTools& tools, ReceiptFormState& state, const ReceiptChoices& choices)
{
    if (tools.output.storeChoices) {
        // The number is handed out now: it must be in the file before anything can go wrong. The
        // counter is read from the file again under the lock: the command line may have advanced it.
        updateSettingsLocked(tools.settings, [&] {
            settings::IniSettings& ini = tools.settings;
            bool isNumber = false;
            const int number = state.number.toInt(&isNumber);
            if (isNumber && !choices.proposedNumber.isEmpty() && state.number == choices.proposedNumber) {
                const int stored = storedReceiptCounter(tools.programFolder);
                if (stored >= number) {
                    if (stored == std::numeric_limits<int>::max())
                        throw IntegerOverflowError();
                    state.number = QString::number(stored + 1);
                }
            }
            ini.writeString(QStringLiteral("QID"), state.number);
            ini.writeString(QStringLiteral("MwST"), state.vatRate);
            ini.writeString(QStringLiteral("Ort"), state.place);
            ini.writeBoolean(QStringLiteral("ExportPDF"), choices.pdf);
            ini.writeBoolean(QStringLiteral("ExportJPG"), choices.jpeg);
            ini.writeBoolean(QStringLiteral("ExportVorschau"), choices.preview);
            ini.writeInteger(QStringLiteral("Ausgabeformat"), choices.outputFormat);
        }, false);
    }

    for (QString* amount : {&state.net, &state.gross, &state.vatRate}) {
        if (amount->isEmpty())
            *amount = QStringLiteral("0");
    }
    if (tools.formChanged)
        tools.formChanged(state);
    const CompletedAmounts amounts = computeAmounts(state.net, state.gross, state.vatRate, tools.formatSettings);
    state.net = amounts.net;
    state.gross = amounts.gross;
    if (tools.formChanged)
        tools.formChanged(state);

    loadTemplate(tools, choices);

    const VariablesFromState variables(tools.report, state, tools.formatSettings);
    if (choices.pdf)
        exportTo(tools, tools.pdf, QStringLiteral("PDF"), state);
    if (choices.jpeg)
        exportTo(tools, tools.jpeg, QStringLiteral("JPG"), state);

    // Nothing is shown or printed: the exports were all.
    if (!(choices.preview ? tools.output.preview : tools.output.print))
        return;
    tools.preparer.prepareReport(true);
    if (choices.preview) {
        if (tools.output.preview)
            tools.output.preview(tools.preparer);
    } else {
        if (choices.directPrint)
            tools.report.printOptions().setShowDialog(false);
        if (tools.output.print)
            tools.output.print(tools.preparer);
    }
}

} // namespace quittung::app
