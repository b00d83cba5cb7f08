#include "settings/ini_file_content.h"

namespace quittung::settings {

namespace {

// Blanks and control characters alike: everything up to the space.
bool isTrimmed(QChar c)
{
    return c.unicode() <= 0x20;
}

QString trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isTrimmed(text[begin]))
        ++begin;
    while (end > begin && isTrimmed(text[end - 1]))
        --end;
    return text.mid(begin, end - begin).toString();
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The position of the key's line in `lines`, or -1.
qsizetype findKey(const QStringList& lines, const QString& key)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals >= 0 && sameName(QStringView(line).left(equals), key))
            return i;
    }
    return -1;
}

} // namespace

void IniFileContent::setText(const QString& text)
{
    m_sections.clear();
    Section* current = nullptr;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = pos;
        while (end < text.size() && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
            ++end;
        const QString line = trimmed(QStringView(text).mid(pos, end - pos));
        // CR LF counts as one line end; an empty line from any other pairing is skipped below anyway.
        pos = end + 1;
        if (end + 1 < text.size() && text[end] == QLatin1Char('\r') && text[end + 1] == QLatin1Char('\n'))
            ++pos;

        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            m_sections.push_back({trimmed(QStringView(line).mid(1, line.size() - 2)), {}});
            current = &m_sections.back();
            continue;
        }
        if (!current)
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0) {
            current->lines.append(line);
            continue;
        }
        current->lines.append(trimmed(QStringView(line).left(equals)) + QLatin1Char('=')
                              + trimmed(QStringView(line).mid(equals + 1)));
    }
}

QString IniFileContent::getText() const
{
    const QLatin1String crlf("\r\n");
    QString text;
    for (const Section& section : m_sections) {
        text += QLatin1Char('[') + section.name + QLatin1Char(']') + crlf;
        for (const QString& line : section.lines)
            text += line + crlf;
        text += crlf;
    }
    return text;
}

void IniFileContent::clear()
{
    m_sections.clear();
}

bool IniFileContent::sectionExists(const QString& section) const
{
    return findSection(section) != nullptr;
}

bool IniFileContent::valueExists(const QString& section, const QString& key) const
{
    const Section* found = findSection(section);
    return found && findKey(found->lines, key) >= 0;
}

QString IniFileContent::readString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const Section* found = findSection(section);
    if (!found)
        return defaultValue;
    const qsizetype index = findKey(found->lines, key);
    if (index < 0)
        return defaultValue;
    const QString& line = found->lines[index];
    return line.mid(line.indexOf(QLatin1Char('=')) + 1);
}

void IniFileContent::writeString(const QString& section, const QString& key, const QString& value)
{
    Section* found = findSection(section);
    if (!found) {
        m_sections.push_back({section, {}});
        found = &m_sections.back();
    }
    const QString line = key + QLatin1Char('=') + value;
    const qsizetype index = findKey(found->lines, key);
    if (index >= 0)
        found->lines[index] = line;
    else
        found->lines.append(line);
}

const IniFileContent::Section* IniFileContent::findSection(const QString& name) const
{
    for (const Section& section : m_sections) {
        if (sameName(section.name, name))
            return &section;
    }
    return nullptr;
}

IniFileContent::Section* IniFileContent::findSection(const QString& name)
{
    return const_cast<Section*>(std::as_const(*this).findSection(name));
}

} // namespace quittung::settings
