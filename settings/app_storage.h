#pragma once

#include <QString>

#include <optional>

namespace quittung {

// How values are turned into text and back.
struct TJvAppStorageOptions {
    // Booleans are written as the first word of the matching list; off: as 1 or 0.
    bool BooleanAsString = true;
    // Comma-separated words, matched without regard to case on reading.
    QString BooleanStringTrueValues = QStringLiteral("TRUE, YES, Y");
    QString BooleanStringFalseValues = QStringLiteral("FALSE, NO, N");
    // On: a value that cannot be converted reads as the caller's default instead of raising
    // EConvertError.
    bool DefaultIfReadConvertError = false;
};

// Typed reads and writes by path over a store of text values. A path without "\" names a key of
// the store's default section.
class TJvCustomAppStorage {
public:
    TJvCustomAppStorage(const TJvCustomAppStorage&) = delete;
    TJvCustomAppStorage& operator=(const TJvCustomAppStorage&) = delete;
    virtual ~TJvCustomAppStorage() = default;

    TJvAppStorageOptions& StorageOptions() { return m_options; }
    const TJvAppStorageOptions& StorageOptions() const { return m_options; }

    // Every write goes to the file at once.
    bool AutoFlush() const { return m_autoFlush; }
    void SetAutoFlush(bool value) { m_autoFlush = value; }
    // Every read reads the file first.
    bool AutoReload() const { return m_autoReload; }
    void SetAutoReload(bool value) { m_autoReload = value; }
    // The store writes its file when it is destroyed.
    bool FlushOnDestroy() const { return m_flushOnDestroy; }
    void SetFlushOnDestroy(bool value) { m_flushOnDestroy = value; }
    // Writes are ignored and nothing is flushed.
    bool ReadOnly() const { return m_readOnly; }

    // Missing keys read as the default. Conversion failures raise EConvertError
    // ("'%s' ist kein gültiger Integerwert") unless StorageOptions().DefaultIfReadConvertError.
    QString ReadString(const QString& path, const QString& defaultValue = QString());
    int ReadInteger(const QString& path, int defaultValue = 0);
    // The word lists first, in any case; anything else is read as an integer, non-zero being true.
    bool ReadBoolean(const QString& path, bool defaultValue = false);

    void WriteString(const QString& path, const QString& value);
    void WriteInteger(const QString& path, int value);
    void WriteBoolean(const QString& path, bool value);

    virtual void Reload() = 0;
    // Whether the content reached the file.
    virtual bool Flush() = 0;

protected:
    TJvCustomAppStorage() = default;

    void SetReadOnly(bool value) { m_readOnly = value; }

    virtual std::optional<QString> DoReadValue(const QString& path) = 0;
    virtual void DoWriteValue(const QString& path, const QString& value) = 0;

private:
    std::optional<QString> readValue(const QString& path);
    void writeValue(const QString& path, const QString& value);
    template <typename T>
    T convertError(const QString& value, T defaultValue) const;

    TJvAppStorageOptions m_options;
    bool m_autoFlush = false;
    bool m_autoReload = false;
    bool m_flushOnDestroy = true;
    bool m_readOnly = false;
};

} // namespace quittung
