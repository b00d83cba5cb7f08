// Feeds arbitrary bytes to the template reader, then writes what it built and reads that again.
#include "report/document/engine_host.h"
#include "report/document/report.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

using namespace quittung;
using namespace quittung::report;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Report report;
    report.engineOptions().setNewSilentMode(SilentMode::Silent);
    QBuffer input(&bytes);
    input.open(QIODevice::ReadOnly);
    report.loadFromStream(input);

    QByteArray saved;
    QBuffer output(&saved);
    output.open(QIODevice::WriteOnly);
    report.saveToStream(output);

    Report again;
    again.engineOptions().setNewSilentMode(SilentMode::Silent);
    output.close();
    output.open(QIODevice::ReadOnly);
    again.loadFromStream(output);
    return 0;
}
