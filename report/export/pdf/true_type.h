#pragma once

#include "report/engine/text/font_file.h"
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

// A table whose bytes do not add up to the checksum of its directory entry.
struct ChecksumFault {
    QByteArray tag;
    std::uint32_t computed = 0;
    std::uint32_t stored = 0;

    // The text the fault is reported with, as an error or as a question.
    QString message() const;
};

// One directory entry and the bytes it covers, as read.
struct TrueTypeTable {
    QByteArray tag;
    std::uint32_t checksum = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    QByteArray data;
};

// The glyphs a subset keeps, ascending: glyph 0, the used ones and the components of composite
// glyphs among them, at every depth.
struct SubsetPlan {
    std::vector<std::uint32_t> glyphs;
};

// One font of a font file: read by prepareFont, then cut into subsets. Cutting never changes the
// font as read, so one font can give any number of subsets.
class TrueTypeFont {
public:
    TrueTypeFont(QByteArray file, std::uint32_t directoryOffset);

    // Reads the directory and the tables. A checksum fault throws with ThrowException; with Warn
    // it is kept in checksumFaults() for the caller to put to the user.
    void prepareFont(ChecksumFaultAction action = ChecksumFaultAction::Warn);
    const std::vector<ChecksumFault>& checksumFaults() const { return m_checksumFaults; }
    // What was wrong with the file's structure but could be passed over (a table twice: the first
    // one counts), as messages for the user.
    const QStringList& formatFaults() const { return m_formatFaults; }

    SubsetPlan planSubset(const std::vector<std::uint32_t>& usedGlyphs) const;
    // A new font file with the outlines of the plan's glyphs only: glyph indices stay as they are
    // and every other glyph has an empty outline. Of the given glyphs, or of the keep list.
    QByteArray packFont(const std::vector<std::uint32_t>& usedGlyphs) const;
    QByteArray packFont() const { return packFont(m_usedGlyphs); }

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

    // The glyphs packFont() keeps.
    const std::vector<std::uint32_t>& usedGlyphs() const { return m_usedGlyphs; }
    void addUsedGlyphs(const std::vector<std::uint32_t>& glyphs)
    {
        m_usedGlyphs.insert(m_usedGlyphs.end(), glyphs.begin(), glyphs.end());
    }

    // The tables no subset carries.
    static bool isDropped(const QByteArray& tag);

private:
    struct GlyphTables {
        QByteArray glyf;
        QByteArray loca;
        QByteArray hmtx;
    };

    void readDirectory();
    void loadTables();
    void loadLoca();
    void loadCmap();
    void loadName();
    void verifyChecksums(ChecksumFaultAction action);
    QByteArray writeSubset(const SubsetPlan& plan) const;
    std::vector<std::uint32_t> components(std::uint32_t glyph) const;
    GlyphTables writeGlyphTables(const SubsetPlan& plan) const;
    QByteArray writtenTable(const TrueTypeTable& table, const GlyphTables& glyphs) const;

    QByteArray m_file;
    std::uint32_t m_directoryOffset;
    TableDirectory m_directory;
    std::map<QByteArray, TrueTypeTable> m_tables;
    std::vector<ChecksumFault> m_checksumFaults;
    QStringList m_formatFaults;
    std::vector<std::uint32_t> m_usedGlyphs;
    std::int16_t m_indexToLocFormat = 0;
    std::uint32_t m_checkSumAdjustment = 0;
    std::vector<std::uint32_t> m_loca;
    std::vector<std::uint16_t> m_hhea; // fields after the version, as read
    std::uint32_t m_hheaVersion = 0;
    std::vector<std::uint16_t> m_maxp;
    std::uint32_t m_maxpVersion = 0;
    std::map<char16_t, std::uint16_t> m_cmap;
    QStringList m_fullNames;
};

// Japanese Windows faces, which reports name by their Japanese names: the English name a font
// file's full names are searched for, and whether the PDF font name leaves the style out.
struct EastAsianFace {
    const char16_t* name;
    const char* englishName;
    bool unstyledPdfName;
};
// The entry of a face name; null for any other face.
const EastAsianFace* findEastAsianFace(const QString& faceName);

// A font file as read: one font, or several for a collection.
class TrueTypeCollection {
public:
    explicit TrueTypeCollection(QByteArray file);

    std::vector<std::unique_ptr<TrueTypeFont>>& fonts() { return m_fonts; }

    // The full name a face is looked up under: some faces under their English names, styles appended.
    static QString wantedFullName(const QString& faceName, bool bold, bool italic);
    // Prepares the fonts one after the other until one has the wanted full name and returns it.
    // Without a match the font at `fallback` is chosen, or the last one when there is no such font.
    // The checksum faults of every font prepared on the way are in checksumFaults().
    TrueTypeFont& chooseFont(const QString& wantedName, ChecksumFaultAction action = ChecksumFaultAction::Warn,
                             std::size_t fallback = SIZE_MAX);
    const std::vector<ChecksumFault>& checksumFaults() const { return m_checksumFaults; }
    // The format faults of every font prepared on the way.
    const QStringList& formatFaults() const { return m_formatFaults; }
    // chooseFont, then the chosen font's subset keeping the given glyphs.
    QByteArray packFont(const QString& wantedName, const std::vector<std::uint32_t>& glyphs,
                        ChecksumFaultAction action = ChecksumFaultAction::Warn, std::size_t fallback = SIZE_MAX);

private:
    std::vector<std::unique_ptr<TrueTypeFont>> m_fonts;
    std::vector<ChecksumFault> m_checksumFaults;
    QStringList m_formatFaults;
};

} // namespace quittung::report
