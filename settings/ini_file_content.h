#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace quittung::settings {

// The content of an INI file held in memory: sections in file order, each with its lines in file
// order. A line is "name=value" or, when it has no "=", kept as it was read. Section and key names
// are matched without regard to case; the first match wins.
class IniFileContent {
public:
    // Replaces the content by the parsed text; a CR, an LF or both end a line.
    void setText(const QString& text);
    // The content as file text, every line ending in CR LF.
    QString getText() const;
    void clear();

    bool sectionExists(const QString& section) const;
    bool valueExists(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    // Replaces the key's line, taking the letter case of `key`, or adds the line at the end of its
    // section; a missing section is added at the end.
    void writeString(const QString& section, const QString& key, const QString& value);

private:
    struct Section {
        QString name;
        QStringList lines;
    };

    const Section* findSection(const QString& name) const;
    Section* findSection(const QString& name);

    std::vector<Section> m_sections;
};

} // namespace quittung::settings
