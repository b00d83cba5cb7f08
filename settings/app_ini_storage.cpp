#include "settings/app_ini_storage.h"

namespace quittung {

TJvCustomAppIniStorage::IniKey TJvCustomAppIniStorage::splitPath(const QString& path) const
{
    const qsizetype separator = path.lastIndexOf(QLatin1Char('\\'));
    if (separator <= 0)
        return {m_defaultSection, path.mid(separator + 1)};
    return {path.left(separator), path.mid(separator + 1)};
}

std::optional<QString> TJvCustomAppIniStorage::DoReadValue(const QString& path)
{
    const IniKey at = splitPath(path);
    if (!m_iniFile.ValueExists(at.section, at.key))
        return std::nullopt;
    return m_iniFile.ReadString(at.section, at.key, QString());
}

void TJvCustomAppIniStorage::DoWriteValue(const QString& path, const QString& value)
{
    const IniKey at = splitPath(path);
    m_iniFile.WriteString(at.section, at.key, value);
}

void TJvCustomAppIniStorage::SetContentText(const QString& text)
{
    m_iniFile.SetText(text);
}

QString TJvCustomAppIniStorage::GetContentText() const
{
    return m_iniFile.GetText();
}

} // namespace quittung
