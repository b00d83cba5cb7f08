// Feeds arbitrary bytes to the TrueType reader and, when they read as a font, cuts a subset of it.
#include "report/document/engine_host.h"
#include "report/export/pdf/true_type.h"

#include <cstddef>
#include <cstdint>
#include <exception>

using namespace quittung;
using namespace quittung::report;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        TrueTypeCollection collection(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
        collection.packFont(QStringLiteral("Liberation Sans"), {0, 1, 2, 3, 36, 68, 100},
            ChecksumFaultAction::IgnoreChecksum);
    } catch (const std::exception&) {
        // Errors are the expected answer to damaged fonts.
    }
    return 0;
}
