// Feeds arbitrary bytes to the template reader, then writes what it built and reads that again.
#include "report/document/engine_host.h"
#include "report/document/report.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

using namespace quittung;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TfrxReport report;
    report.EngineOptions().SetNewSilentMode(TfrxSilentMode::simSilent);
    QBuffer input(&bytes);
    input.open(QIODevice::ReadOnly);
    report.LoadFromStream(input);

    QByteArray saved;
    QBuffer output(&saved);
    output.open(QIODevice::WriteOnly);
    report.SaveToStream(output);

    TfrxReport again;
    again.EngineOptions().SetNewSilentMode(TfrxSilentMode::simSilent);
    output.close();
    output.open(QIODevice::ReadOnly);
    again.LoadFromStream(output);
    return 0;
}
