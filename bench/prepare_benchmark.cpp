#include "report/document/engine_host.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/engine/pages/report_preparer.h"
#include "tools/example_receipt.h"

#include <benchmark/benchmark.h>

#include <QFile>

#include <cstdio>
#include <stdexcept>

using namespace quittung;
using namespace quittung::report;

namespace {

// The A4 template with both receipt pages shown, answering the example receipt.
void loadReceipt(Report& report)
{
    if (!loadExampleReceipt(report, QStringLiteral(QUITTUNG_FORMS_DIR "/QuittungA4.Dat"), true))
        throw std::runtime_error("QuittungA4.Dat is missing");
}

long residentKilobytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * 4 : 0;
}

void PrepareA4Receipt(benchmark::State& state)
{
    Report report;
    loadReceipt(report);
    ReportPreparer engine(report);
    for (auto _ : state) {
        if (!engine.prepareReport(true) || engine.preparedPages().count() != 2)
            state.SkipWithError("the receipt did not prepare");
    }
}
BENCHMARK(PrepareA4Receipt)->Unit(benchmark::kMicrosecond);

// Memory must not grow with the number of preparations.
void Prepare10000A4Receipts(benchmark::State& state)
{
    // The tests' single run (QUITTUNG_BENCHMARK_SMOKE) only shows that the loop works.
    const bool smoke = qEnvironmentVariableIsSet("QUITTUNG_BENCHMARK_SMOKE");
    const int warmUps = smoke ? 1 : 100;
    const int runs = smoke ? 10 : 10000;
    Report report;
    loadReceipt(report);
    ReportPreparer engine(report);
    for (int warmUp = 0; warmUp < warmUps; ++warmUp)
        engine.prepareReport(true);
    const long before = residentKilobytes();
    for (auto _ : state) {
        for (int run = 0; run < runs; ++run)
            engine.prepareReport(true);
    }
    state.counters["rss_growth_kB"] = double(residentKilobytes() - before);
}
BENCHMARK(Prepare10000A4Receipts)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
