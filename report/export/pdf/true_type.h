#pragma once

#include "runtime/byte_reader.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace quittung::report {

enum class ChecksumFaultAction { IgnoreChecksum, ThrowException, Warn };

// The TrueType checksum: the sum of big-endian 32-bit words, a last partial word padded with zeros.
std::uint32_t tableChecksum(const QByteArray& data);

// One directory entry and the bytes it covers.
struct TrueTypeTable {
    QByteArray tag;
    std::uint32_t checksum = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    QByteArray data;
};

struct TableDirectory {
    std::uint32_t sfntversion = 0;
    std::uint16_t numTables = 0;
    std::uint16_t searchRange = 0;
    std::uint16_t entrySelector = 0;
    std::uint16_t rangeShift = 0;
};

// One font of a font file: parsed by prepareFont, subset by packFont.
class TrueTypeFont {
public:
    TrueTypeFont(QByteArray file, std::uint32_t directoryOffset);

    void prepareFont(ChecksumFaultAction action = ChecksumFaultAction::Warn);
    // The subset font file with the outlines of the used glyphs (plus glyph 0 and components).
    QByteArray packFont();

    const TableDirectory& directory() const { return m_directory; }
    const std::map<QByteArray, TrueTypeTable>& tables() const { return m_tables; }
    bool hasTable(const char* tag) const { return m_tables.count(QByteArray(tag)) != 0; }
    // The full names (name record 4) in all languages; US English first when the font has it.
    const QStringList& fullNames() const { return m_fullNames; }
    QString fullName() const { return m_fullNames.value(0); }
    // The glyph of a character by the Windows Unicode cmap (format 4); 0 when unmapped.
    std::uint16_t glyphIndex(char16_t character) const;
    std::uint32_t glyphCount() const { return m_loca.empty() ? 0 : std::uint32_t(m_loca.size() - 1); }
    const std::vector<std::uint32_t>& locations() const { return m_loca; }
    bool shortLocations() const { return m_indexToLocFormat == 0; }

    // The glyphs a subset keeps.
    const std::vector<std::uint32_t>& usedGlyphs() const { return m_usedGlyphs; }
    void addUsedGlyphs(const std::vector<std::uint32_t>& glyphs)
    {
        m_usedGlyphs.insert(m_usedGlyphs.end(), glyphs.begin(), glyphs.end());
    }

    // The tables no subset carries.
    static bool isDropped(const QByteArray& tag);

private:
    void readDirectory();
    void loadTables();
    void loadHead();
    void loadLoca();
    void loadCmap();
    void loadName();
    void verifyChecksums(ChecksumFaultAction action) const;
    QByteArray writeSubset();
    std::vector<std::uint32_t> closedGlyphList() const;
    QByteArray writtenTable(const TrueTypeTable& table) const;

    QByteArray m_file;
    std::uint32_t m_directoryOffset;
    TableDirectory m_directory;
    std::map<QByteArray, TrueTypeTable> m_tables;
    std::vector<std::uint32_t> m_usedGlyphs;
    std::int16_t m_indexToLocFormat = 0;
    std::uint32_t m_checkSumAdjustment = 0; // as read, before it is zeroed
    std::vector<std::uint32_t> m_loca;
    std::vector<std::uint16_t> m_hhea; // fields after the version, as read
    std::uint32_t m_hheaVersion = 0;
    std::vector<std::uint16_t> m_maxp;
    std::uint32_t m_maxpVersion = 0;
    std::map<char16_t, std::uint16_t> m_cmap;
    QStringList m_fullNames;
};

// A font file as read: one font, or several for a collection.
class TrueTypeCollection {
public:
    explicit TrueTypeCollection(QByteArray file);

    std::vector<std::unique_ptr<TrueTypeFont>>& fonts() { return m_fonts; }

    // The full name a face is looked up under: some faces under their English names, styles appended.
    static QString wantedFullName(const QString& faceName, bool bold, bool italic);
    // Prepares the fonts one after the other until one has the wanted full name, and returns that
    // font's subset keeping the given glyphs. Without a match the font at `fallback` is used, or
    // the last one when there is no such font.
    QByteArray packFont(const QString& wantedName, const std::vector<std::uint32_t>& glyphs,
                        ChecksumFaultAction action = ChecksumFaultAction::Warn, std::size_t fallback = SIZE_MAX);

private:
    std::vector<std::unique_ptr<TrueTypeFont>> m_fonts;
};

} // namespace quittung::report
