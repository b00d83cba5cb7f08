#pragma once

#include <QString>

class QIODevice;

namespace quittung::report {

class PreparedPages;

// Prepared pages as a file: a root element holding each page with its bands and objects, written
// in the template format.
void savePreparedPages(const PreparedPages& pages, QIODevice& stream);
// Reads such a file into pages (replacing what they held). On an error the pages stay as they were
// and the result is the message; empty on success.
QString loadPreparedPages(QIODevice& stream, PreparedPages& pages);

} // namespace quittung::report
