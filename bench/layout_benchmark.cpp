#include "report/document/text_object.h"
#include "report/document/report.h"
#include "report/engine/text/text_layout.h"
#include "report/engine/pages/view_drawing.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

using namespace quittung;
using namespace quittung::report;

namespace {

// Every text object of the A4 template is set up and wrapped as drawing does it.
void LayOutA4TextObjects(benchmark::State& state)
{
    Report report;
    if (!report.loadFromFile(QStringLiteral(QUITTUNG_FORMS_DIR "/QuittungA4.Dat")))
        throw std::runtime_error("QuittungA4.Dat is missing");
    std::vector<TextObjectBase*> memos;
    for (ReportObject* object : report.allObjects()) {
        if (auto* memo = dynamic_cast<TextObject*>(object))
            memos.push_back(memo);
    }
    int lines = 0;
    for (auto _ : state) {
        lines = 0;
        for (TextObjectBase* memo : memos)
            lines += int(layOutText(*memo).lines().size());
        benchmark::DoNotOptimize(lines);
    }
    state.counters["text_objects"] = double(memos.size());
    state.counters["lines"] = lines;
}
BENCHMARK(LayOutA4TextObjects)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
