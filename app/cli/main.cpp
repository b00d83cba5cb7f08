// quittung-cli: receipts without a window, one from options or one per row of a CSV file.

#include "app/cli/batch.h"
#include "app/cli/options.h"
#include "app/cli/printing.h"
#include "app/cli/rows.h"
#include "app/template_check.h"
#include "app/receipt_job.h"
#include "runtime/exception.h"
#include "settings/ini_settings.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <csignal>
#include <memory>
#include <unistd.h>

using namespace quittung;
using namespace quittung::app;
using namespace quittung::app::cli;

namespace {

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

// Qt's own notes (a runtime folder it picked, fonts it looked for) are no concern of the user's and
// would stand between the rows' messages; only its critical errors are shown.
void qtMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        printLine(stderr, message);
}

int usageError(const UsageFault& fault)
{
    printLine(stderr, fault.message + QStringLiteral("\n\"quittung-cli --help\" zeigt die Optionen."));
    return UsageError;
}

// Writes a text the user asked for (the help, the version) to standard output.
int printRequested(const QString& text)
{
    printLine(stdout, text);
    const QString fault = standardOutputFault();
    if (fault.isEmpty())
        return AllMade;
    printLine(stderr, fault);
    return SomeFailed;
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
    qInstallMessageHandler(qtMessage);
    // A closed pipe on standard output is a failed write to report, not the end of the run.
    std::signal(SIGPIPE, SIG_IGN);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    Options options;
    try {
        options = parseOptions(arguments);
        if (options.help)
            return printRequested(QString::fromUtf8(kHelp).chopped(1));
        if (options.version)
            return printRequested(QStringLiteral("quittung-cli " QUITTUNG_VERSION));
        checkOptions(options);
    } catch (const UsageFault& fault) {
        return usageError(fault);
    }
    const QString programFolder = programFolderOf();
    if (options.print.wanted && !canPrint()) {
        const QByteArray twin = QFile::encodeName(programFolder + QStringLiteral("quittung-cli-druck"));
        execv(twin.constData(), argv);
        printLine(stderr, QStringLiteral("%1: %2").arg(QFile::decodeName(twin), QString::fromLocal8Bit(std::strerror(errno))));
        return SomeFailed;
    }
    Rows rows;
    try {
        rows = readRows(options);
    } catch (const UsageFault& fault) {
        return usageError(fault);
    }
    for (const QString& warning : std::as_const(rows.warnings))
        printLine(stderr, warning);
    if (rows.fields.empty())
        return SomeFailed;

    // The application object costs much of a short run's start, so each run takes the least it
    // needs: printing the widgets' print support; JPEG files and templates the PDF draws pictures
    // of Qt's fonts, which need a GUI application (on the offscreen platform, as there is no
    // display); a PDF of texts, lines and shapes needs neither.
    // The templates are read once here, for this question and for the receipts.
    const std::shared_ptr<TemplateStore> templates = batchTemplates();
    const std::vector<ReceiptTemplate> chosen = options.print.wanted || options.jpeg.wanted
        ? std::vector<ReceiptTemplate>()
        : templatesOfRows(options, rows, programFolder);
    const bool drawsText = options.print.wanted || options.jpeg.wanted
        || std::any_of(chosen.begin(), chosen.end(), [&](const ReceiptTemplate& t) { return templateInfo(*templates, t).drawsPictures; });
    if (drawsText && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> application;
    if (options.print.wanted)
        application = printingApplication(argc, argv);
    else if (drawsText)
        application = std::make_unique<QGuiApplication>(argc, argv);
    else
        application = std::make_unique<QCoreApplication>(argc, argv);
    return runBatch(options, rows, programFolder, templates);
}
