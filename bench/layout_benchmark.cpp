#include "report/document/text_object.h"
#include "report/document/report.h"
#include "report/engine/text_layout.h"
#include "runtime/rounding.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

using namespace quittung;
using namespace quittung::report;

namespace {

// The text rectangle of a text object at scale 1, without offsets: inside the frame and the gaps.
QRectF originalRect(const TextObjectBase& memo)
{
    const auto round = [](double value) { return double(roundHalfEven(value)); };
    const Frame& frame = memo.frame();
    const double w = frame.width();
    const double left
        = round(memo.absLeft()) + (frame.sides() & FrameSide::Left ? round((w - 1) / 2) : 0) + round(memo.gapX());
    const double top
        = round(memo.absTop()) + (frame.sides() & FrameSide::Top ? round((w - 1) / 2) : 0) + round(memo.gapY());
    const double right = round(memo.absLeft() + memo.width()) - (frame.sides() & FrameSide::Right ? round(w / 2) : 0)
        - round(memo.gapX()) + 1;
    const double bottom = round(memo.absTop() + memo.height()) - (frame.sides() & FrameSide::Bottom ? round(w / 2) : 0)
        - round(memo.gapY()) + 1;
    return QRectF(left, top, right - left, bottom - top);
}

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
    TextLayout drawText;
    int lines = 0;
    for (auto _ : state) {
        lines = 0;
        for (TextObjectBase* memo : memos) {
            const QRectF rect = originalRect(*memo);
            drawText.lock();
            drawText.setFont(memo->font());
            drawText.setOptions(memo->wordWrap(), memo->allowHtmlTags(), memo->rtlReading(), memo->wordBreak(),
                memo->clipped(), memo->wysiwyg(), memo->rotation());
            drawText.setGaps(memo->paragraphGap(), memo->charSpacing(), memo->lineSpacing());
            drawText.setDimensions(1, 1, 1, rect, rect.toRect());
            drawText.setText(memo->lines());
            lines += int(drawText.lines().size());
            drawText.unlock();
        }
        benchmark::DoNotOptimize(lines);
    }
    state.counters["text_objects"] = double(memos.size());
    state.counters["lines"] = lines;
}
BENCHMARK(LayOutA4TextObjects)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
