// Feeds arbitrary bytes to the settings file reader as the bytes of Settings.ini: any encoding, with
// or without a byte order mark. Reading must not crash, and writing back what was read, in the
// encoding the settings store chooses, must give a file that reads to the same sections, keys and
// values. The steps are the store's own (IniSettings reads a file with decodeTextFile and
// IniFileContent, and writes it with encodeTextFile), taken in memory, so that thousands of inputs
// a second are tried; the store's file handling has its own tests.
#include "settings/ini_file_content.h"
#include "settings/text_file_encoding.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace quittung::settings;

namespace {

[[noreturn]] void fail(const char* what, const QString& read, const QString& readBack)
{
    std::fprintf(stderr, "\n*** %s\n--- read:\n%s\n--- read back:\n%s\n", what, qPrintable(read), qPrintable(readBack));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const DecodedTextFile file = decodeTextFile(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    IniFileContent content;
    content.setText(file.text);
    // What the receipt window reads.
    for (const char* key : {"QID", "Ort", "MwSt", "AusgabeFormat", "ExportPDF", "OpenPDF", "Form"})
        (void)content.readString(QStringLiteral("Telvo"), QString::fromLatin1(key), QString());
    const QString read = content.getText();

    const EncodedTextFile written = encodeTextFile(read, file.encoding);
    IniFileContent again;
    again.setText(decodeTextFile(written.bytes).text);
    const QString readBack = again.getText();
    if (readBack != read)
        fail("The written settings file reads differently", read, readBack);
    return 0;
}
