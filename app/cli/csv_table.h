#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace quittung::app {

// One record of a CSV file and the line of the file it starts on (from 1).
struct CsvRecord {
    int line = 0;
    QStringList fields;
};

// A CSV file's header and records. The bytes are decoded as the settings file is (a byte order
// mark decides, else valid UTF-8, else Windows-1252); the separator is ';' or ',', whichever the
// header line holds more of outside quotes. Fields may be quoted, with "" for a quote and line
// breaks inside. Empty lines are skipped.
struct CsvTable {
    QChar separator;
    QStringList header;
    std::vector<CsvRecord> records;
};

CsvTable readCsv(const QByteArray& bytes);

} // namespace quittung::app
