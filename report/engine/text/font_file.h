#pragma once

#include "runtime/byte_reader.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quittung::report {

// One entry of a font's table directory. The offset counts from the start of the file, in a
// collection too.
struct FontTableEntry {
    QByteArray tag;
    std::uint32_t checksum = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// The table directory of one font: its header fields and its entries in the order stored.
struct TableDirectory {
    std::uint32_t sfntversion = 0;
    std::uint16_t numTables = 0;
    std::uint16_t searchRange = 0;
    std::uint16_t entrySelector = 0;
    std::uint16_t rangeShift = 0;
    std::vector<FontTableEntry> entries;

    // The first entry of a tag; null when there is none.
    const FontTableEntry* find(const char* tag) const;
};

// The layout of a font file: a plain font file (one font, its directory at the start) or a
// collection ("ttcf") of fonts with a directory each. The font service, the PDF font and the
// subsetter all find their tables through it. Reads are checked against the file, so damage ends
// in ReadError; counts beyond any real font count as damage.
class FontFile {
public:
    explicit FontFile(QByteArray data);

    const QByteArray& data() const { return m_data; }
    bool isCollection() const { return m_collection; }
    // The collection header's version (0x00010000 or 0x00020000 in a sound file).
    std::uint32_t collectionVersion() const;
    // 1 for a plain font file.
    std::size_t fontCount() const;
    std::uint32_t directoryOffset(std::size_t font) const;
    TableDirectory directoryAt(std::uint32_t offset) const;
    TableDirectory directory(std::size_t font) const { return directoryAt(directoryOffset(font)); }
    // A table's bytes, as a window of the file.
    ByteReader table(const FontTableEntry& entry) const;
    // One font of the file as a plain font file of its own: its directory with the tables copied
    // behind it, each 4-byte aligned. A plain font file comes back unchanged.
    QByteArray singleFont(std::size_t font) const;

private:
    QByteArray m_data;
    bool m_collection = false;
};

} // namespace quittung::report
