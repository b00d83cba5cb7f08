#pragma once

#include "settings/app_storage.h"
#include "settings/text_file_encoding.h"

namespace quittung {

// A store that holds a whole text file in memory: it reads the file on Reload and writes it back
// on Flush, in the encoding it was read in.
class TJvCustomAppMemoryFileStorage : public TJvCustomAppStorage {
public:
    QString FileName() const { return m_fileName; }
    void SetFileName(const QString& value) { m_fileName = value; }
    // The folder of the file; only the file-name part of FileName is used.
    QString Location() const { return m_location; }
    void SetLocation(const QString& folder) { m_location = folder; }
    QString FullFileName() const;

    // All properties are set: read the file.
    void Loaded() { Reload(); }

    // Reads the file into memory; no file empties the memory copy. A file without any write
    // permission bit, or one this process may not write or read, makes the store read-only.
    void Reload() override;
    // Replaces the file by the memory copy through a temporary file, keeping the file's
    // permissions; creates the folder when needed. Does nothing while read-only or before the file
    // was read, so an unread file is never overwritten. A failure leaves the old file as it was.
    bool Flush() override;

protected:
    TJvCustomAppMemoryFileStorage() = default;

    virtual void SetContentText(const QString& text) = 0;
    virtual QString GetContentText() const = 0;

private:
    QString m_fileName;
    QString m_location;
    TextFileEncoding m_encoding = TextFileEncoding::Utf8;
    bool m_reloaded = false;
};

} // namespace quittung
