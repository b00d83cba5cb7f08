#include "app/cli/csv_table.h"

#include "settings/text_file_encoding.h"

namespace quittung::app {

namespace {

QChar detectSeparator(const QString& text)
{
    int semicolons = 0;
    int commas = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'\n' || c == u'\r'))
            break;
        else if (!quoted && c == u';')
            ++semicolons;
        else if (!quoted && c == u',')
            ++commas;
    }
    return semicolons >= commas ? QChar(u';') : QChar(u',');
}

} // namespace

CsvTable readCsv(const QByteArray& bytes)
{
    const QString text = settings::decodeTextFile(bytes).text;
    CsvTable table;
    table.separator = detectSeparator(text);

    std::vector<CsvRecord> records;
    CsvRecord record{1, {}};
    QString field;
    bool quoted = false;
    bool fieldQuoted = false;
    int line = 1;
    const auto endField = [&] {
        record.fields << field;
        field.clear();
        fieldQuoted = false;
    };
    const auto endRecord = [&] {
        endField();
        // A line with nothing on it is no record.
        if (record.fields.size() > 1 || !record.fields.first().isEmpty() || fieldQuoted)
            records.push_back(std::move(record));
        record = CsvRecord{line, {}};
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
            fieldQuoted = true;
        } else if (c == table.separator) {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            ++line;
            endRecord();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !record.fields.isEmpty() || fieldQuoted)
        endRecord();

    if (!records.empty()) {
        table.header = records.front().fields;
        for (QString& name : table.header)
            name = name.trimmed().toLower();
        table.records.assign(std::make_move_iterator(records.begin() + 1), std::make_move_iterator(records.end()));
    }
    return table;
}

} // namespace quittung::app
