#pragma once

#include <QString>

#include <functional>

class QIODevice;

namespace quittung {

// Replaces a file safely: the content is written to a temporary file in the same folder, which is
// renamed over the old file (keeping its permissions) only when everything was written. A crash or
// a full disk never leaves half a file. Throws "Datei \"%s\" kann nicht erstellt werden. %s".
void writeFileSafely(const QString& fileName, const std::function<void(QIODevice&)>& write);

} // namespace quittung
