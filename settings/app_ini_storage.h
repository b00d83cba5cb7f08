#pragma once

#include "settings/app_memory_file_storage.h"
#include "settings/mem_ini_file.h"

namespace quittung {

// A memory file store in INI format. "Section\Key" names a key of a section; a bare key name
// lives in DefaultSection.
class TJvCustomAppIniStorage : public TJvCustomAppMemoryFileStorage {
public:
    QString DefaultSection() const { return m_defaultSection; }
    void SetDefaultSection(const QString& value) { m_defaultSection = value; }

    const TMemIniFile& IniFile() const { return m_iniFile; }

protected:
    TJvCustomAppIniStorage() = default;

    std::optional<QString> DoReadValue(const QString& path) override;
    void DoWriteValue(const QString& path, const QString& value) override;
    void SetContentText(const QString& text) override;
    QString GetContentText() const override;

private:
    struct IniKey {
        QString section;
        QString key;
    };
    IniKey splitPath(const QString& path) const;

    QString m_defaultSection;
    TMemIniFile m_iniFile;
};

} // namespace quittung
