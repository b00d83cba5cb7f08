// Feeds arbitrary bytes to the font file readers: the font service's cutting of one face out of a
// collection, and the TrueType reader, which, when they read as a font, cuts a subset of it.
#include "report/document/engine_host.h"
#include "report/engine/text/font_service.h"
#include "report/export/pdf/true_type.h"
#include "runtime/exception.h"

#include <cstddef>
#include <cstdint>

using namespace quittung;
using namespace quittung::report;

namespace {

// Damaged fonts make the reader report format errors; a run of thousands of inputs a second must
// not print each of them.
class SilentEngineHost : public EngineHost {
public:
    void showMessage(const QString&, const QString&, Icon) override {}
    bool askYesNo(const QString&, const QString&, Icon) override { return false; }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static SilentEngineHost host;
    setEngineHost(&host);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)extractCollectionFace(bytes, 1);
    try {
        TrueTypeCollection collection(bytes);
        // Plain glyphs and composites (Ö, ö) of the seed font, and numbers past its last glyph.
        collection.packFont(QStringLiteral("Liberation Sans"), {0, 1, 3, 17, 29, 33, 36, 68, 100},
            ChecksumFaultAction::IgnoreChecksum);
    } catch (const Exception&) {
        // The program's errors are the expected answer to damaged fonts; anything else is a fault.
    }
    return 0;
}
