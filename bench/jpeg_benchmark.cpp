#include "report/document/page.h"
#include "report/document/report.h"
#include "report/engine/engine.h"
#include "report/export/image/image_export.h"
#include "tests/support/example_receipt.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>

#include <stdexcept>

using namespace quittung;

namespace {

// One prepared A5 receipt page exported to a JPEG file, as the receipt command does it: painting,
// encoding and the safe file write. Target: median under 15 ms in a Release build.
void ExportA5ReceiptPageToJpeg(benchmark::State& state)
{
    TfrxReport report;
    report.SetShowProgress(false);
    if (!loadExampleReceipt(report, QStringLiteral(QUITTUNG_FORMS_DIR "/Quittung.Dat"), false))
        throw std::runtime_error("Quittung.Dat is missing");
    TfrxEngine engine(report);
    if (!engine.PrepareReport() || engine.PreviewPages().Count() != 1)
        throw std::runtime_error("the receipt did not prepare");

    QTemporaryDir dir;
    TfrxJPEGExport filter;
    filter.SetShowDialog(false);
    filter.SetFileName(dir.path() + QStringLiteral("/12-03.07.2020-Muster GmbH.JPG"));
    for (auto _ : state) {
        if (!Export(engine, filter))
            throw std::runtime_error("the export failed");
    }
}
BENCHMARK(ExportA5ReceiptPageToJpeg)->Unit(benchmark::kMillisecond);

} // namespace
