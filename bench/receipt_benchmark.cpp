#include "app/receipt_job.h"
#include "report/document/report.h"
#include "report/engine/pages/report_preparer.h"
#include "report/export/image/image_export.h"
#include "report/export/pdf/pdf_export.h"
#include "settings/ini_settings.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <stdexcept>

using namespace quittung;
using namespace quittung::app;
using namespace quittung::report;

namespace {

// One receipt as the button makes it, from the stored choices to the PDF and JPEG files on disk,
// the A4 template with its copy; the preview it ends with is left out.
void ReceiptButtonPdfAndJpeg(benchmark::State& state)
{
    QTemporaryDir folder;
    QDir program(folder.path());
    for (const char* sub : {"Forms", "PDF", "JPG"})
        program.mkpath(QString::fromLatin1(sub));
    if (!QFile::copy(QStringLiteral(QUITTUNG_FORMS_DIR "/QuittungA4.Dat"), folder.filePath(QStringLiteral("Forms/QuittungA4.Dat"))))
        throw std::runtime_error("QuittungA4.Dat is missing");

    settings::IniSettings ini;
    configureReceiptSettings(ini, folder.path() + u'/');
    ReceiptJob job(ini, folder.path(), FormatSettings::german());
    job.pdfExport().setShowProgress(false);
    job.jpegExport().setShowProgress(false);
    job.output().preview = [](ReportPreparer&, const Receipt&) {};
    ReceiptChoices choices;
    choices.pdf = true;
    choices.jpeg = true;

    int number = 1;
    for (auto _ : state) {
        ReceiptFormState form{QString::number(number++), QStringLiteral("Berlin"), QDate(2020, 7, 3),
            QStringLiteral("Muster GmbH"), QStringLiteral("Miete Juli"), QString(), QStringLiteral("19"),
            QStringLiteral("119"), 3};
        makeReceiptFromForm(job, form, choices);
    }
    if (QDir(folder.filePath(QStringLiteral("PDF"))).isEmpty() || QDir(folder.filePath(QStringLiteral("JPG"))).isEmpty())
        state.SkipWithError("the receipt wrote no files");
}
BENCHMARK(ReceiptButtonPdfAndJpeg)->Unit(benchmark::kMillisecond);

} // namespace
