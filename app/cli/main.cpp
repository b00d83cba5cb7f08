// quittung-cli: receipts without a window, one from options or one per row of a CSV file.

#include "app/cli/batch.h"
#include "app/cli/options.h"
#include "app/cli/printing.h"
#include "app/cli/rows.h"
#include "app/receipt_job.h"
#include "report/document/report.h"
#include "report/document/report_options.h"
#include "report/document/text_object.h"
#include "report/export/pdf/pdf_page_content.h"
#include "runtime/exception.h"
#include "settings/ini_settings.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

using namespace quittung;
using namespace quittung::app;
using namespace quittung::app::cli;

namespace {

// True when a template holds an object the PDF export draws as a picture rather than writing it
// as text and paths: drawing takes Qt's fonts, which need a GUI application. A text whose tags may
// take effect counts as drawn, since what it shows is known only once it is prepared.
bool drawsPictures(TemplateStore& templates, const ReceiptTemplate& chosen)
{
    std::shared_ptr<const report::Report> report;
    try {
        report = templates.get(chosen);
    } catch (const Exception&) {
        // The receipt reports it; nothing of it is drawn.
        return false;
    }
    const std::vector<report::ReportObject*> objects = report->allObjects();
    return std::any_of(objects.begin(), objects.end(), [](const report::ReportObject* object) {
        const auto* view = dynamic_cast<const report::View*>(object);
        const auto* text = dynamic_cast<const report::TextObjectBase*>(object);
        return view && report::drawnAsPicture(*view, text && text->allowHtmlTags());
    });
}

// The templates the rows are made from.
std::vector<ReceiptTemplate> templatesOfRows(const Options& options, const Rows& rows, const QString& programFolder)
{
    settings::IniSettings settings;
    openSettings(settings, programFolder);
    std::vector<ReceiptTemplate> files;
    for (const auto& row : rows.fields) {
        Receipt receipt;
        receipt.templateFile = options.templateFile;
        try {
            receipt.outputFormat = rowOutputFormat(row, options, settings);
        } catch (const Exception&) {
            // The row is reported when it is made.
            continue;
        }
        const ReceiptTemplate chosen = receiptTemplate(programFolder, settings, receipt);
        if (std::none_of(files.begin(), files.end(),
                [&](const ReceiptTemplate& t) { return t.file == chosen.file && t.copy == chosen.copy; }))
            files.push_back(chosen);
    }
    return files;
}

// The folder of the program file, with a trailing "/", found before any application object exists.
QString programFolderOf()
{
    QString folder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    Options options;
    try {
        options = parseOptions(arguments);
    } catch (const UsageFault& fault) {
        printLine(stderr, fault.message + QStringLiteral("\n\"quittung-cli --help\" zeigt die Optionen."));
        return UsageError;
    }
    if (options.help) {
        std::fputs(kHelp, stdout);
        return AllMade;
    }
    const QString programFolder = programFolderOf();
    if (options.print.wanted && !canPrint()) {
        const QByteArray twin = QFile::encodeName(programFolder + QStringLiteral("quittung-cli-druck"));
        execv(twin.constData(), argv);
        printLine(stderr, QStringLiteral("%1: %2").arg(QFile::decodeName(twin), QString::fromLocal8Bit(std::strerror(errno))));
        return SomeFailed;
    }
    QString rowsError;
    const std::optional<Rows> rows = readRows(options, rowsError);
    if (!rows) {
        printLine(stderr, rowsError);
        return UsageError;
    }

    // The application object costs much of a short run's start, so each run takes the least it
    // needs: printing the widgets' print support; JPEG files and templates the PDF draws pictures
    // of Qt's fonts, which need a GUI application (on the offscreen platform, as there is no
    // display); a PDF of texts, lines and shapes needs neither.
    // The templates are read once here, for this question and for the receipts.
    const std::shared_ptr<TemplateStore> templates = batchTemplates();
    const std::vector<ReceiptTemplate> chosen = options.print.wanted || options.jpeg.wanted
        ? std::vector<ReceiptTemplate>()
        : templatesOfRows(options, *rows, programFolder);
    const bool drawsText = options.print.wanted || options.jpeg.wanted
        || std::any_of(chosen.begin(), chosen.end(), [&](const ReceiptTemplate& t) { return drawsPictures(*templates, t); });
    if (drawsText && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> application;
    if (options.print.wanted)
        application = printingApplication(argc, argv);
    else if (drawsText)
        application = std::make_unique<QGuiApplication>(argc, argv);
    else
        application = std::make_unique<QCoreApplication>(argc, argv);
    return runBatch(options, *rows, programFolder, templates);
}
