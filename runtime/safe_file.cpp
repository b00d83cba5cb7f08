#include "runtime/safe_file.h"

#include "runtime/exception.h"
#include "runtime/messages.h"

#include <QSaveFile>

namespace quittung {

void writeFileSafely(const QString& fileName, const std::function<void(QIODevice&)>& write)
{
    QSaveFile file(fileName);
    const auto fail = [&] { throw Exception(formatMessage(msg::SFCreateErrorEx, {fileName, file.errorString()})); };
    if (!file.open(QIODevice::WriteOnly))
        fail();
    write(file);
    // Qt 6.4's commit() misses a failure of the final buffer flush and would rename a cut-off
    // file over the old one, so flush first. An uncommitted QSaveFile removes its temporary file.
    if (!file.flush() || !file.commit())
        fail();
}

} // namespace quittung
