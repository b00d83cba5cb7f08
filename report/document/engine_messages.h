#pragma once

#include <QString>

namespace quittung::report {

// The report engine's messages, by key. A text beginning with "!" is shown without it; a key the
// table does not hold yields the key itself ("prDupl" is such a key).
QString engineMessage(const QString& key);

} // namespace quittung::report
