#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace quittung::app {

// One record of a CSV file and the line of the file it starts on (from 1). A record that breaks
// the quoting rules has an error instead of fields; `field` then says which field it was in (from
// 0), -1 when the record as a whole is wrong.
struct CsvRecord {
    int line = 0;
    QStringList fields;
    QString error;
    int field = -1;
};

// A CSV file's header and records by RFC 4180: the bytes are decoded as the settings file is (a byte
// order mark decides, else valid UTF-8, else Windows-1252); the separator is ';' or ',', whichever
// the header line holds more of outside quotes; lines end in CR LF, LF or CR. A field is quoted
// or not at all: quoted, it may hold separators and line breaks, "" stands for a quote, and the
// closing quote ends the field. A quote inside an unquoted field, or text after a closing quote,
// makes the record an error, and reading goes on with the next line. A quote still open at the end
// of the file makes the record it opened in an error, and every line after it that the open field
// took becomes a record of its own with an error that says so: nothing is lost without a word.
// Empty lines are skipped.
struct CsvTable {
    QChar separator;
    QStringList header;
    // The header's own error (the first record's), if any.
    QString headerError;
    std::vector<CsvRecord> records;
};

CsvTable readCsv(const QByteArray& bytes);

} // namespace quittung::app
