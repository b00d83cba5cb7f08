#pragma once

#include "runtime/pending_file.h"

#include <QStringList>

#include <memory>
#include <vector>

class QIODevice;

namespace quittung::report {

// The files one export writes. A filter opens each file it makes here (the PDF export one, the
// image exports one per page); each is written without a name and gets it only when published,
// complete and on disk, over an older file of that name. A name taken by anything but a regular
// file (a device, a FIFO, a folder) is refused and left as it is.
class ExportFiles {
public:
    ExportFiles() = default;
    ExportFiles(const ExportFiles&) = delete;
    ExportFiles& operator=(const ExportFiles&) = delete;
    ExportFiles(ExportFiles&&) = default;
    ExportFiles& operator=(ExportFiles&&) = default;
    ~ExportFiles();

    // Opens a file of the export under its final name; throws the message of a file that cannot be
    // created when it cannot.
    QIODevice& open(const QString& fileName);
    bool isEmpty() const { return m_files.empty(); }
    // The names of the files, in the order they were opened.
    QStringList fileNames() const;

    // Publishes every file; the messages of those that could not be (none when all could).
    QStringList publish();
    // Hands the files over unpublished, to be published later together with others.
    std::vector<std::unique_ptr<PendingFile>> take();

private:
    std::vector<std::unique_ptr<PendingFile>> m_files;
};

} // namespace quittung::report
