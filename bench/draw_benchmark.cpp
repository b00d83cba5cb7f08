#include "report/document/page.h"
#include "report/document/report.h"
#include "report/engine/pages/report_preparer.h"
#include "report/engine/pages/view_drawing.h"
#include "tools/example_receipt.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <stdexcept>

using namespace quittung;
using namespace quittung::report;

namespace {

// The first page of the A4 template with the example receipt, drawn at 96 dpi onto white paper,
// as the preview and the image export draw it.
void DrawA4ReceiptPage(benchmark::State& state)
{
    Report report;
    if (!loadExampleReceipt(report, QStringLiteral(QUITTUNG_FORMS_DIR "/QuittungA4.Dat"), true))
        throw std::runtime_error("QuittungA4.Dat is missing");
    ReportPreparer engine(report);
    if (!engine.prepareReport())
        throw std::runtime_error("the receipt did not prepare");

    QImage image(794, 1123, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        drawPage(engine.preparedPages(), 0, painter, 1, 1, 0, 0);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(DrawA4ReceiptPage)->Unit(benchmark::kMillisecond);

} // namespace
