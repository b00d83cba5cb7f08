#include "report/engine/text/font_service.h"
#include "report/export/pdf/true_type.h"

#include <benchmark/benchmark.h>

#include <set>

using namespace quittung;
using namespace quittung::report;

namespace {

// Every text of one receipt, as the PDF of a receipt uses it.
const QString kReceiptText = QStringLiteral(
    "Quittung Nr. 12 (Kopie) Netto : + 19 % MwSt. : --100,00--€ --19,00--€ Gesamt : --119,00--€ "
    "Euro in Worten (Cent wie oben): --EINHUNDERTNEUNZEHN-- Von: Muster GmbH Für: Miete Juli "
    "Berlin, 03.07.2020 Unterschrift");

void SubsetLiberationSansForOneReceipt(benchmark::State& state)
{
    const std::shared_ptr<const FontFace> face = FontService::instance().face(QStringLiteral("Arial"), 0);
    std::set<std::uint32_t> used;
    for (const FontFace::Glyph& glyph : face->shape(kReceiptText, 1000))
        used.insert(glyph.index);
    const std::vector<std::uint32_t> glyphs(used.begin(), used.end());
    const QString wanted = TrueTypeCollection::wantedFullName(face->familyName(), false, false);
    for (auto _ : state) {
        TrueTypeCollection collection(face->fileData());
        benchmark::DoNotOptimize(collection.packFont(wanted, glyphs, ChecksumFaultAction::IgnoreChecksum));
    }
    state.counters["glyphs"] = double(glyphs.size());
}
BENCHMARK(SubsetLiberationSansForOneReceipt)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
