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

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r';
}

// Reads the records one after the other, counting the lines of the file.
class CsvReader {
public:
    CsvReader(const QString& text, QChar separator) : m_text(text), m_separator(separator) {}

    std::vector<CsvRecord> records()
    {
        std::vector<CsvRecord> records;
        while (m_at < m_text.size()) {
            if (isLineBreak(m_text[m_at])) {
                takeLineBreak();
                continue;
            }
            if (!readRecord(records))
                break;
        }
        return records;
    }

private:
    bool atEnd() const { return m_at >= m_text.size(); }

    // Takes the line break at the cursor: CR LF, LF or CR.
    void takeLineBreak()
    {
        if (m_text[m_at] == u'\r' && m_at + 1 < m_text.size() && m_text[m_at + 1] == u'\n')
            ++m_at;
        ++m_at;
        ++m_line;
    }

    void skipRestOfLine()
    {
        while (!atEnd() && !isLineBreak(m_text[m_at]))
            ++m_at;
        if (!atEnd())
            takeLineBreak();
    }

    // Reads one record into records; false when the rest of the file is used up by a field whose
    // quote is never closed.
    bool readRecord(std::vector<CsvRecord>& records)
    {
        CsvRecord record;
        record.line = m_line;
        const auto fail = [&](const QString& error) {
            record.error = error;
            record.field = int(record.fields.size());
            record.fields.clear();
            skipRestOfLine();
            records.push_back(std::move(record));
            return true;
        };
        for (;;) {
            QString field;
            if (!atEnd() && m_text[m_at] == u'"') {
                const int opened = m_line;
                const qsizetype start = ++m_at;
                if (!readQuoted(field)) {
                    record.error = QStringLiteral("Das Anführungszeichen in Zeile %1 wird bis zum Ende der Datei nicht "
                                                  "geschlossen.")
                                       .arg(opened);
                    record.field = int(record.fields.size());
                    record.fields.clear();
                    records.push_back(std::move(record));
                    reportLinesTakenByOpenQuote(start, opened, records);
                    return false;
                }
                if (!atEnd() && m_text[m_at] != m_separator && !isLineBreak(m_text[m_at]))
                    return fail(QStringLiteral("Nach dem schließenden Anführungszeichen folgt noch Text; steht ein "
                                               "Anführungszeichen im Feld, wird es verdoppelt (\"\")."));
            } else {
                while (!atEnd() && m_text[m_at] != m_separator && !isLineBreak(m_text[m_at])) {
                    if (m_text[m_at] == u'"')
                        return fail(QStringLiteral("Anführungszeichen mitten im Feld; ein Feld mit Anführungszeichen "
                                                   "steht ganz in Anführungszeichen, und jedes darin wird verdoppelt "
                                                   "(\"x\"\"y\")."));
                    field += m_text[m_at++];
                }
            }
            record.fields << field;
            if (!atEnd() && m_text[m_at] == m_separator) {
                ++m_at;
                continue;
            }
            if (!atEnd())
                takeLineBreak();
            records.push_back(std::move(record));
            return true;
        }
    }

    // Reads a quoted field after its opening quote up to and past the closing one; false when the
    // file ends first.
    bool readQuoted(QString& field)
    {
        while (!atEnd()) {
            const QChar c = m_text[m_at];
            if (c == u'"') {
                ++m_at;
                if (atEnd() || m_text[m_at] != u'"')
                    return true;
                field += c;
                ++m_at;
            } else if (isLineBreak(c)) {
                const qsizetype from = m_at;
                takeLineBreak();
                field += QStringView(m_text).mid(from, m_at - from);
            } else {
                field += c;
                ++m_at;
            }
        }
        return false;
    }

    // The lines after the one with a quote that is never closed, from `start` on, went into its
    // field: each that is not empty is reported as a record that was not made.
    void reportLinesTakenByOpenQuote(qsizetype start, int opened, std::vector<CsvRecord>& records) const
    {
        int line = opened;
        bool empty = true;
        for (qsizetype i = start; i <= m_text.size(); ++i) {
            if (i < m_text.size() && !isLineBreak(m_text[i])) {
                empty = false;
                continue;
            }
            if (line > opened && !empty) {
                CsvRecord record;
                record.line = line;
                record.error = QStringLiteral("nicht erstellt: Die Zeile steht im Feld, dessen Anführungszeichen in "
                                              "Zeile %1 nicht geschlossen wird.")
                                   .arg(opened);
                records.push_back(std::move(record));
            }
            if (i + 1 < m_text.size() && m_text[i] == u'\r' && m_text[i + 1] == u'\n')
                ++i;
            ++line;
            empty = true;
        }
    }

    const QString& m_text;
    const QChar m_separator;
    qsizetype m_at = 0;
    int m_line = 1;
};

} // namespace

CsvTable readCsv(const QByteArray& bytes)
{
    const QString text = settings::decodeTextFile(bytes).text;
    CsvTable table;
    table.separator = detectSeparator(text);
    std::vector<CsvRecord> records = CsvReader(text, table.separator).records();
    if (!records.empty()) {
        table.header = records.front().fields;
        table.headerError = records.front().error;
        for (QString& name : table.header)
            name = name.trimmed().toLower();
        table.records.assign(std::make_move_iterator(records.begin() + 1), std::make_move_iterator(records.end()));
    }
    return table;
}

} // namespace quittung::app
