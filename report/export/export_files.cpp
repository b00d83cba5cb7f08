#include "report/export/export_files.h"

#include "runtime/exception.h"
#include "runtime/messages.h"

#include <utility>

namespace quittung::report {

ExportFiles::~ExportFiles() = default;

QIODevice& ExportFiles::open(const QString& fileName)
{
    auto file = std::make_unique<PendingFile>(fileName);
    if (!file->open())
        throw Exception(formatMessage(msg::SFCreateErrorEx, {fileName, file->errorString()}));
    m_files.push_back(std::move(file));
    return m_files.back()->device();
}

QStringList ExportFiles::fileNames() const
{
    QStringList names;
    for (const auto& file : m_files)
        names << file->fileName();
    return names;
}

QStringList ExportFiles::publish()
{
    std::vector<PendingFile*> files;
    for (const auto& file : m_files)
        files.push_back(file.get());
    PendingFile::publishAll(files);
    QStringList failures;
    for (const PendingFile* file : files) {
        if (!file->published())
            failures << formatMessage(msg::SFCreateErrorEx, {file->fileName(), file->errorString()});
    }
    return failures;
}

std::vector<std::unique_ptr<PendingFile>> ExportFiles::take()
{
    return std::exchange(m_files, {});
}

} // namespace quittung::report
