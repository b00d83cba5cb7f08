#include "report/document/page.h"
#include "report/document/report.h"
#include "report/engine/pages/report_preparer.h"
#include "report/export/pdf/pdf_export.h"
#include "tools/example_receipt.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QFile>

#include <stdexcept>

using namespace quittung;
using namespace quittung::report;

namespace {

// The A4 receipt with both pages, prepared, and a PDF filter set as the receipt window sets it.
struct PreparedReceipt {
    PreparedReceipt()
    {
        if (!loadExampleReceipt(report, QStringLiteral(QUITTUNG_FORMS_DIR "/QuittungA4.Dat"), true))
            throw std::runtime_error("QuittungA4.Dat is missing");
        if (!engine.prepareReport() || engine.preparedPages().count() != 2)
            throw std::runtime_error("the receipt did not prepare");
        filter.setShowDialog(false);
        filter.setShowProgress(false);
        filter.setEmbeddedFonts(true);
    }

    // One export into memory; the size of the file.
    qint64 exportOnce()
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        filter.setStream(&buffer);
        if (!exportReport(engine, filter))
            return 0;
        return buffer.size();
    }

    Report report;
    ReportPreparer engine{report};
    PdfExport filter;
};

// A line of /proc/self/status in kilobytes ("VmRSS", "VmHWM").
long statusKilobytes(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key) + 1).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

// Fonts embedded as subsets and content deflated, as every receipt is written.
void ExportA4ReceiptPdf(benchmark::State& state)
{
    PreparedReceipt receipt;
    qint64 size = 0;
    for (auto _ : state) {
        size = receipt.exportOnce();
        if (size == 0)
            state.SkipWithError("the export failed");
    }
    state.counters["file_kB"] = double(size) / 1024;
}
BENCHMARK(ExportA4ReceiptPdf)->Unit(benchmark::kMicrosecond);

// The highest resident memory during one export, above what the prepared report holds.
void ExportA4ReceiptPdfPeakMemory(benchmark::State& state)
{
    PreparedReceipt receipt;
    receipt.exportOnce(); // fonts found and caches filled, as after the first receipt of a session
    long peakGrowth = 0;
    for (auto _ : state) {
        // Writing 5 resets the process's peak resident size to its current one.
        QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
        if (!clearRefs.open(QIODevice::WriteOnly) || clearRefs.write("5") != 1)
            state.SkipWithError("the peak resident size cannot be reset here");
        clearRefs.close();
        const long before = statusKilobytes("VmRSS:");
        receipt.exportOnce();
        peakGrowth = statusKilobytes("VmHWM:") - before;
    }
    state.counters["peak_growth_kB"] = double(peakGrowth);
}
BENCHMARK(ExportA4ReceiptPdfPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
