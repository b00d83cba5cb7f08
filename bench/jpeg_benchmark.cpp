#include "report/document/page.h"
#include "report/document/report.h"
#include "report/engine/pages/report_preparer.h"
#include "report/export/image/image_export.h"
#include "tools/example_receipt.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>

#include <stdexcept>

using namespace quittung;
using namespace quittung::report;

namespace {

// One prepared A5 receipt page exported to a JPEG file, as the receipt command does it: painting,
// encoding and the safe file write. Target: median under 15 ms in a Release build.
void ExportA5ReceiptPageToJpeg(benchmark::State& state)
{
    Report report;
    report.setShowProgress(false);
    if (!loadExampleReceipt(report, QStringLiteral(QUITTUNG_FORMS_DIR "/Quittung.Dat"), false))
        throw std::runtime_error("Quittung.Dat is missing");
    ReportPreparer engine(report);
    if (!engine.prepareReport() || engine.preparedPages().count() != 1)
        throw std::runtime_error("the receipt did not prepare");

    QTemporaryDir dir;
    JpegExport filter;
    filter.setShowDialog(false);
    filter.setFileName(dir.path() + QStringLiteral("/12-03.07.2020-Muster GmbH.JPG"));
    for (auto _ : state) {
        if (!exportReport(engine, filter))
            throw std::runtime_error("the export failed");
    }
}
BENCHMARK(ExportA5ReceiptPageToJpeg)->Unit(benchmark::kMillisecond);

} // namespace
