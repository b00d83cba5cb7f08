#include "report/document/memo_view.h"
#include "report/document/report.h"
#include "report/engine/draw_text.h"
#include "runtime/rounding.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

using namespace quittung;

namespace {

// The text rectangle of a text object at scale 1, without offsets: inside the frame and the gaps.
QRectF originalRect(const TfrxCustomMemoView& memo)
{
    const auto round = [](double value) { return double(RoundHalfEven(value)); };
    const TfrxFrame& frame = memo.Frame();
    const double w = frame.Width();
    const double left = round(memo.AbsLeft()) + (frame.Typ() & ftLeft ? round((w - 1) / 2) : 0) + round(memo.GapX());
    const double top = round(memo.AbsTop()) + (frame.Typ() & ftTop ? round((w - 1) / 2) : 0) + round(memo.GapY());
    const double right = round(memo.AbsLeft() + memo.Width()) - (frame.Typ() & ftRight ? round(w / 2) : 0)
        - round(memo.GapX()) + 1;
    const double bottom = round(memo.AbsTop() + memo.Height()) - (frame.Typ() & ftBottom ? round(w / 2) : 0)
        - round(memo.GapY()) + 1;
    return QRectF(left, top, right - left, bottom - top);
}

// Every text object of the A4 template is set up and wrapped as drawing does it.
void LayOutA4TextObjects(benchmark::State& state)
{
    TfrxReport report;
    if (!report.LoadFromFile(QStringLiteral(QUITTUNG_FORMS_DIR "/QuittungA4.Dat")))
        throw std::runtime_error("QuittungA4.Dat is missing");
    std::vector<TfrxCustomMemoView*> memos;
    for (TfrxComponent* object : report.AllObjects()) {
        if (auto* memo = dynamic_cast<TfrxMemoView*>(object))
            memos.push_back(memo);
    }
    TfrxDrawText drawText;
    int lines = 0;
    for (auto _ : state) {
        lines = 0;
        for (TfrxCustomMemoView* memo : memos) {
            const QRectF rect = originalRect(*memo);
            drawText.Lock();
            drawText.SetFont(memo->Font());
            drawText.SetOptions(memo->WordWrap(), memo->AllowHTMLTags(), memo->RTLReading(), memo->WordBreak(),
                memo->Clipped(), memo->Wysiwyg(), memo->Rotation());
            drawText.SetGaps(memo->ParagraphGap(), memo->CharSpacing(), memo->LineSpacing());
            drawText.SetDimensions(1, 1, 1, rect, rect.toRect());
            drawText.SetText(memo->Memo());
            lines += int(drawText.Lines().size());
            drawText.Unlock();
        }
        benchmark::DoNotOptimize(lines);
    }
    state.counters["text_objects"] = double(memos.size());
    state.counters["lines"] = lines;
}
BENCHMARK(LayOutA4TextObjects)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
