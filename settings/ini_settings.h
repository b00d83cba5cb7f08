#pragma once

#include "settings/ini_file_content.h"
#include "settings/text_file_encoding.h"

#include <QString>

#include <optional>

namespace quittung::settings {

// How values are turned into text and back.
struct IniSettingsOptions {
    // Booleans are written as the first word of the matching list; off: as 1 or 0.
    bool booleanAsString = true;
    // Comma-separated words, matched without regard to case on reading.
    QString booleanTrueValues = QStringLiteral("TRUE, YES, Y");
    QString booleanFalseValues = QStringLiteral("FALSE, NO, N");
    // On: a value that cannot be converted reads as the caller's default instead of raising
    // ConvertError.
    bool defaultIfReadConvertError = false;
};

// The INI settings file: typed reads and writes by path over the whole file held in memory. A path
// "Section\Key" names a key of a section, a bare key name one of defaultSection(). Set the file
// name, its folder and the default section, then call loaded() to read the file; reads and writes
// then work on memory, and the file is written back in the encoding it was read in when the store
// is destroyed (flushOnDestroy) or flushed.
class IniSettings final {
public:
    IniSettings() = default;
    IniSettings(const IniSettings&) = delete;
    IniSettings& operator=(const IniSettings&) = delete;
    // Flushes when flushOnDestroy() is on.
    ~IniSettings();

    IniSettingsOptions& storageOptions() { return m_options; }
    const IniSettingsOptions& storageOptions() const { return m_options; }
    // Every write goes to the file at once.
    bool autoFlush() const { return m_autoFlush; }
    void setAutoFlush(bool value) { m_autoFlush = value; }
    // Every read reads the file first.
    bool autoReload() const { return m_autoReload; }
    void setAutoReload(bool value) { m_autoReload = value; }
    // The store writes its file when it is destroyed.
    bool flushOnDestroy() const { return m_flushOnDestroy; }
    void setFlushOnDestroy(bool value) { m_flushOnDestroy = value; }
    // Writes are ignored and nothing is flushed.
    bool readOnly() const { return m_readOnly; }

    QString fileName() const { return m_fileName; }
    void setFileName(const QString& value) { m_fileName = value; }
    // The folder of the file; only the file-name part of fileName() is used.
    QString location() const { return m_location; }
    void setLocation(const QString& folder) { m_location = folder; }
    QString fullFileName() const;
    QString defaultSection() const { return m_defaultSection; }
    void setDefaultSection(const QString& value) { m_defaultSection = value; }
    const IniFileContent& iniFile() const { return m_iniFile; }

    // All properties are set: read the file.
    void loaded() { reload(); }
    // Reads the file into memory; no file empties the memory copy. A file without any write
    // permission bit, or one this process may not write or read, makes the store read-only.
    void reload();
    // Replaces the file by the memory copy through a temporary file, keeping the file's
    // permissions; creates the folder when needed. Does nothing while read-only or before the file
    // was read, so an unread file is never overwritten. A failure leaves the old file as it was.
    // Returns whether the content reached the file.
    bool flush();

    // Missing keys read as the default. Conversion failures raise ConvertError
    // ("'%s' ist kein gültiger Integerwert") unless storageOptions().defaultIfReadConvertError.
    QString readString(const QString& path, const QString& defaultValue = QString());
    int readInteger(const QString& path, int defaultValue = 0);
    // The word lists first, in any case; anything else is read as an integer, non-zero being true.
    bool readBoolean(const QString& path, bool defaultValue = false);
    void writeString(const QString& path, const QString& value);
    void writeInteger(const QString& path, int value);
    void writeBoolean(const QString& path, bool value);

private:
    struct IniKey {
        QString section;
        QString key;
    };
    IniKey splitPath(const QString& path) const;
    std::optional<QString> readValue(const QString& path);
    void writeValue(const QString& path, const QString& value);
    template <typename T>
    T convertError(const QString& value, T defaultValue) const;

    IniSettingsOptions m_options;
    bool m_autoFlush = false;
    bool m_autoReload = false;
    bool m_flushOnDestroy = true;
    bool m_readOnly = false;
    QString m_fileName;
    QString m_location;
    QString m_defaultSection;
    TextFileEncoding m_encoding = TextFileEncoding::Utf8;
    bool m_reloaded = false;
    IniFileContent m_iniFile;
};

} // namespace quittung::settings
