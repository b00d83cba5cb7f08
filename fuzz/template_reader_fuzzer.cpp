// Feeds arbitrary bytes to the template reader. Whatever reads without an error must save to a
// template that reads again without an error and saves to the very same text: the writer neither
// loses nor changes anything the reader took.
#include "report/document/report.h"

#include <QBuffer>
#include <QDateTime>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace quittung;
using namespace quittung::report;

namespace {

// A fixed clock: reports stamp their creation date from it, and two saves must not differ by it.
QDateTime fixedNow()
{
    return QDateTime(QDate(2020, 7, 3), QTime(12, 0));
}

// Reads the bytes as a template; true when that gave no error.
bool read(Report& report, QByteArray bytes)
{
    QBuffer input(&bytes);
    input.open(QIODevice::ReadOnly);
    report.readFromStream(input);
    return report.errors().isEmpty();
}

QByteArray saved(Report& report)
{
    QByteArray bytes;
    QBuffer output(&bytes);
    output.open(QIODevice::WriteOnly);
    report.saveToStream(output);
    return bytes;
}

[[noreturn]] void fail(const QString& what, const QByteArray& text, const QByteArray& again)
{
    std::fprintf(stderr, "\n*** %s\n--- saved:\n%s\n--- saved again:\n%s\n", qPrintable(what), text.constData(),
        again.constData());
    std::abort();
}

// Reading clears a report, so two serve every input.
Report* first = nullptr;
Report* second = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Local times are taken from a fixed zone rather than looked up in /etc/localtime each time.
    qputenv("TZ", "UTC");
    first = new Report(fixedNow);
    second = new Report(fixedNow);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!read(*first, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))))
        return 0;
    const QByteArray text = saved(*first);

    if (!read(*second, text))
        fail(QStringLiteral("The saved template does not read again: ") + second->errors().strings().join(u'\n'), text,
            QByteArray());
    const QByteArray again = saved(*second);
    if (again != text)
        fail(QStringLiteral("The template read back saves to another text"), text, again);
    return 0;
}
