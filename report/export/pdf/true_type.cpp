#include "report/export/pdf/true_type.h"

#include "report/document/engine_host.h"
#include "report/document/engine_messages.h"
#include "runtime/exception.h"
#include "runtime/messages.h"

#include <QSet>
#include <QtEndian>

#include <algorithm>
#include <array>

namespace quittung::report {

namespace {

// Limits on counts read from the file: far above any real font, low enough to stop runaway loops.
constexpr std::uint32_t kMaxComponents = 1024;
// Real fonts nest composites two or three deep; a damaged one may nest without end.
constexpr int kMaxCompositeDepth = 32;
// Overlapping format-4 segments could otherwise make the character loop run for billions of steps.
constexpr std::uint32_t kMaxCmapCharacters = 0x10000;
// A face is known by names of a few dozen characters. Longer name records are passed over, so that
// 65535 records naming 64 KB each cannot fill gigabytes with names.
constexpr std::uint16_t kMaxFullNameBytes = 2 * 255;
constexpr qsizetype kPostLength = 32;
constexpr qsizetype kOs2Length = 96;

[[noreturn]] void fail(const char* message)
{
    throw Exception(QString::fromLatin1(message));
}

// Every damage of the file that has no message of its own, reads outside it included.
[[noreturn]] void formatError()
{
    fail("TrueType font format error");
}

// Runs one step on the file, with a read outside it reported as a format error.
template <typename Step>
auto readingFont(Step step) -> decltype(step())
{
    try {
        return step();
    } catch (const ReadError&) {
        formatError();
    }
}

qsizetype padded(qsizetype length)
{
    return (length + 3) & ~qsizetype(3);
}

QByteArray padTo(QByteArray data, qsizetype length)
{
    if (data.size() < length)
        data.append(QByteArray(length - data.size(), '\0'));
    return data;
}

} // namespace

std::uint32_t tableChecksum(const QByteArray& data)
{
    std::uint32_t sum = 0;
    const char* p = data.constData();
    const qsizetype n = data.size();
    const qsizetype whole = n - n % 4;
    for (qsizetype i = 0; i < whole; i += 4)
        sum += qFromBigEndian<std::uint32_t>(p + i);
    // The last partial word counts as if padded with zero bytes.
    std::uint32_t word = 0;
    for (qsizetype k = 0; k < 4 && whole < n; ++k)
        word = (word << 8) | (whole + k < n ? std::uint8_t(p[whole + k]) : 0u);
    return sum + word;
}

TrueTypeFont::TrueTypeFont(QByteArray file, std::uint32_t directoryOffset)
    : m_file(std::move(file)), m_directoryOffset(directoryOffset)
{
}

bool TrueTypeFont::isDropped(const QByteArray& tag)
{
    // Bitmaps, device metrics and the signature no longer fit a cut font; the layout tables (GPOS
    // alone is two thirds of Liberation Sans) serve shaping, which is done before the glyphs are
    // written: a PDF places every glyph itself.
    static const std::array<const char*, 11> dropped{
        "EBLC", "EBDT", "hdmx", "VDMX", "DSIG", "GPOS", "GSUB", "GDEF", "JSTF", "BASE", "kern"};
    return std::any_of(dropped.begin(), dropped.end(), [&](const char* t) { return tag == t; });
}

QString ChecksumFault::message() const
{
    return formatMessage(engineMessage(QStringLiteral("fntTableChecksum")), {QString::fromLatin1(tag)}) +
           QString::number(computed) + QLatin1Char(' ') + QString::number(stored);
}

void TrueTypeFont::prepareFont(ChecksumFaultAction action)
{
    readingFont([&] {
        readDirectory();
        loadTables();
    });
    m_checksumFaults.clear();
    if (action != ChecksumFaultAction::IgnoreChecksum)
        verifyChecksums(action);
}

void TrueTypeFont::readDirectory()
{
    const FontFile file(m_file);
    m_directory = file.directoryAt(m_directoryOffset);
    std::vector<FontTableEntry> kept;
    m_tables.clear();
    m_formatFaults.clear();
    for (const FontTableEntry& entry : m_directory.entries) {
        if (isDropped(entry.tag))
            continue;
        if (m_tables.count(entry.tag)) {
            m_formatFaults << formatMessage(engineMessage(QStringLiteral("fntDuplicateTable")), {QString::fromLatin1(entry.tag)});
            continue;
        }
        const ByteReader data = file.table(entry);
        m_tables.emplace(entry.tag, TrueTypeTable{entry.tag, entry.checksum, entry.offset, entry.length,
                                                  data.bytes(0, data.size())});
        kept.push_back(entry);
    }
    m_directory.entries = std::move(kept);
    m_directory.numTables = std::uint16_t(m_directory.entries.size());
}

void TrueTypeFont::loadTables()
{
    auto require = [&](const char* tag, const char* message) {
        if (!hasTable(tag))
            fail(message);
    };
    require("head", "FontHeader not found.");
    {
        const ByteReader head(m_tables["head"].data);
        m_checkSumAdjustment = head.u32(8);
        m_indexToLocFormat = head.s16(50);
    }
    require("maxp", "MaximuProfile not found.");
    {
        const ByteReader maxp(m_tables["maxp"].data);
        m_maxpVersion = maxp.u32(0);
        m_maxp.clear();
        // Version 0.5 has only numGlyphs; 1.0 has fourteen fields.
        const qsizetype fields = m_maxpVersion == 0x00005000 ? 1 : 14;
        for (qsizetype i = 0; i < fields; ++i)
            m_maxp.push_back(maxp.u16(4 + 2 * i));
    }
    require("hhea", "HorizontalHeader not found.");
    {
        const ByteReader hhea(m_tables["hhea"].data);
        m_hheaVersion = hhea.u32(0);
        m_hhea.clear();
        for (qsizetype i = 0; i < 16; ++i)
            m_hhea.push_back(hhea.u16(4 + 2 * i));
    }
    if (hasTable("post"))
        (void)ByteReader(m_tables["post"].data).u32(0);
    require("OS/2", "OS2WindowsMetrics table not found.");
    (void)ByteReader(m_tables["OS/2"].data).u16(0);
    require("loca", "IndexToLocation not found.");
    loadLoca();
    require("cmap", "CMAP not found.");
    loadCmap();
    require("name", "Name not found.");
    loadName();
    require("glyf", "Glyphs not found.");
    // The location entries must lie inside the glyph table.
    const std::uint32_t glyfLength = std::uint32_t(m_tables["glyf"].data.size());
    for (std::size_t i = 0; i < m_loca.size(); ++i)
        if (m_loca[i] > glyfLength || (i > 0 && m_loca[i] < m_loca[i - 1]))
            formatError();
}

void TrueTypeFont::loadLoca()
{
    const ByteReader loca(m_tables["loca"].data);
    m_loca.clear();
    if (m_indexToLocFormat == 0) {
        for (qsizetype i = 0; i + 2 <= loca.size(); i += 2)
            m_loca.push_back(std::uint32_t(loca.u16(i)) * 2);
    } else if (m_indexToLocFormat == 1) {
        for (qsizetype i = 0; i + 4 <= loca.size(); i += 4)
            m_loca.push_back(loca.u32(i));
    } else {
        fail("Unsupported Index to Location format");
    }
    if (m_loca.empty())
        formatError();
}

void TrueTypeFont::loadCmap()
{
    const ByteReader cmap(m_tables["cmap"].data);
    m_cmap.clear();
    const std::uint16_t count = cmap.u16(2);
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype record = 4 + i * 8;
        if (cmap.u16(record) != 3 || cmap.u16(record + 2) != 1)
            continue;
        const std::uint32_t offset = cmap.u32(record + 4);
        switch (cmap.u16(offset)) {
        case 0:
            fail("TO DO: ByteEncoding cmap format not implemented");
        case 2:
            fail("TO DO: HighByteMapping cmap format not implemented");
        case 6:
            fail("TO DO: TrimmedTable cmap format not implemented");
        case 4: {
            // Some fonts state a subtable length past the table's end; read no further than the table.
            const qsizetype length = std::min<qsizetype>(cmap.u16(offset + 2), cmap.size() - qsizetype(offset));
            const ByteReader sub = cmap.sub(offset, length);
            std::uint32_t mapped = 0;
            const qsizetype segments = sub.u16(6) / 2;
            const qsizetype ends = 14, starts = ends + 2 * segments + 2, deltas = starts + 2 * segments,
                            ranges = deltas + 2 * segments;
            for (qsizetype s = 0; s < segments; ++s) {
                const std::uint16_t end = sub.u16(ends + 2 * s);
                const std::uint16_t start = sub.u16(starts + 2 * s);
                const std::uint16_t delta = sub.u16(deltas + 2 * s);
                const std::uint16_t rangeOffset = sub.u16(ranges + 2 * s);
                for (std::uint32_t c = start; c <= end && c != 0xFFFF; ++c) {
                    if (++mapped > kMaxCmapCharacters)
                        formatError();
                    std::uint16_t glyph;
                    if (rangeOffset == 0) {
                        glyph = std::uint16_t(c + delta);
                    } else {
                        const qsizetype at = ranges + 2 * s + rangeOffset + 2 * qsizetype(c - start);
                        glyph = sub.u16(at);
                        if (glyph != 0)
                            glyph = std::uint16_t(glyph + delta);
                    }
                    if (glyph != 0)
                        m_cmap[char16_t(c)] = glyph;
                }
            }
            break;
        }
        default:
            break;
        }
        return;
    }
}

void TrueTypeFont::loadName()
{
    const ByteReader name(m_tables["name"].data);
    const std::uint16_t count = name.u16(2);
    const std::uint16_t storage = name.u16(4);
    m_fullNames.clear();
    // The full name in US English comes first, as it is the one fontconfig and the report know;
    // the other languages' full names follow in the table's order.
    QString english;
    // Up to 65535 records: the names seen are looked up in a set, not in the list.
    QSet<QString> seen;
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype record = 6 + i * 12;
        if (name.u16(record + 6) != 4 || name.u16(record + 8) > kMaxFullNameBytes)
            continue;
        const std::uint16_t platform = name.u16(record);
        const ByteReader text = name.sub(qsizetype(storage) + name.u16(record + 10), name.u16(record + 8));
        QString full;
        if (platform == 3 || platform == 0) {
            for (qsizetype k = 0; k + 2 <= text.size(); k += 2)
                full.append(QChar(text.u16(k)));
            if (english.isEmpty() && platform == 3 && name.u16(record + 4) == 0x0409)
                english = full;
        } else if (platform == 1) {
            full = QString::fromLatin1(text.bytes(0, text.size()));
        } else {
            continue;
        }
        if (!full.isEmpty() && !seen.contains(full)) {
            seen.insert(full);
            m_fullNames.append(full);
        }
    }
    if (!english.isEmpty())
        m_fullNames.move(m_fullNames.indexOf(english), 0);
}

void TrueTypeFont::verifyChecksums(ChecksumFaultAction action)
{
    for (const auto& [tag, table] : m_tables) {
        std::uint32_t sum = tableChecksum(table.data);
        if (tag == "head") {
            // The sum is taken with checkSumAdjustment as zero. Some font tools sum "head" with it
            // as stored; the table is intact all the same.
            if (table.checksum == sum)
                continue;
            sum -= m_checkSumAdjustment;
        }
        if (sum == table.checksum)
            continue;
        const ChecksumFault fault{tag, sum, table.checksum};
        if (action == ChecksumFaultAction::ThrowException)
            throw Exception(fault.message());
        m_checksumFaults.push_back(fault);
    }
}

std::uint16_t TrueTypeFont::glyphIndex(char16_t character) const
{
    const auto found = m_cmap.find(character);
    return found == m_cmap.end() ? 0 : found->second;
}

std::vector<std::uint32_t> TrueTypeFont::components(std::uint32_t glyph) const
{
    std::vector<std::uint32_t> result;
    const qsizetype length = qsizetype(m_loca[glyph + 1]) - qsizetype(m_loca[glyph]);
    const ByteReader glyf(m_tables.at("glyf").data);
    if (length < 10 || glyf.s16(m_loca[glyph]) >= 0)
        return result;
    const ByteReader outline = glyf.sub(m_loca[glyph], length);
    qsizetype at = 10;
    for (std::uint32_t n = 0; n < kMaxComponents; ++n) {
        const std::uint16_t flags = outline.u16(at);
        const std::uint16_t component = outline.u16(at + 2);
        if (component < glyphCount())
            result.push_back(component);
        at += 4 + ((flags & 0x0001) ? 4 : 2);
        if (flags & 0x0008)
            at += 2;
        else if (flags & 0x0040)
            at += 4;
        else if (flags & 0x0080)
            at += 8;
        if (!(flags & 0x0020))
            break;
    }
    return result;
}

SubsetPlan TrueTypeFont::planSubset(const std::vector<std::uint32_t>& usedGlyphs) const
{
    return readingFont([&] {
        const std::uint32_t count = glyphCount();
        std::vector<bool> kept(count, false);
        std::vector<std::uint32_t> level{0};
        for (const std::uint32_t g : usedGlyphs)
            if (g < count)
                level.push_back(g);
        // A composite made of composites (DŽ of D and Ž, Ž of Z and a caron) needs them all to be
        // drawn whole. Level by level, so each glyph is met at its shallowest depth; the depth
        // limit and keeping each glyph once end component loops of a damaged font.
        for (int depth = 0; !level.empty(); ++depth) {
            std::vector<std::uint32_t> next;
            for (const std::uint32_t g : level) {
                if (kept[g])
                    continue;
                kept[g] = true;
                if (depth < kMaxCompositeDepth)
                    for (const std::uint32_t component : components(g))
                        next.push_back(component);
            }
            level = std::move(next);
        }
        SubsetPlan plan;
        for (std::uint32_t g = 0; g < count; ++g)
            if (kept[g])
                plan.glyphs.push_back(g);
        return plan;
    });
}

TrueTypeFont::GlyphTables TrueTypeFont::writeGlyphTables(const SubsetPlan& plan) const
{
    // Glyph indices stay as they are; unlisted glyphs get empty outlines.
    const ByteReader source(m_tables.at("glyf").data);
    const bool shortFormat = m_indexToLocFormat == 0;
    GlyphTables out;
    qsizetype outlines = 0;
    for (const std::uint32_t g : plan.glyphs)
        if (g + 1 < m_loca.size())
            outlines += qsizetype(m_loca[g + 1]) - qsizetype(m_loca[g]) + 1;
    out.glyf.reserve(outlines);
    std::vector<std::uint32_t> loca(m_loca.size(), 0);
    std::size_t next = 0; // the first location entry not yet set
    for (const std::uint32_t g : plan.glyphs) {
        if (g + 1 >= m_loca.size())
            formatError();
        const auto start = std::uint32_t(out.glyf.size());
        for (; next <= g; ++next)
            loca[next] = start;
        out.glyf.append(source.bytes(m_loca[g], qsizetype(m_loca[g + 1]) - qsizetype(m_loca[g])));
        // The short format stores halves, so every outline has to start at an even offset.
        if (shortFormat && (out.glyf.size() & 1))
            out.glyf.append('\0');
    }
    for (; next < loca.size(); ++next)
        loca[next] = std::uint32_t(out.glyf.size());
    if (shortFormat && out.glyf.size() > 0x1FFFE)
        formatError();

    out.loca = QByteArray(qsizetype(loca.size()) * (shortFormat ? 2 : 4), Qt::Uninitialized);
    char* entry = out.loca.data();
    for (const std::uint32_t offset : loca) {
        if (shortFormat) {
            qToBigEndian(std::uint16_t(offset / 2), entry);
            entry += 2;
        } else {
            qToBigEndian(offset, entry);
            entry += 4;
        }
    }

    // Glyphs without an outline need no metrics either: zeros keep the table's layout and deflate
    // to almost nothing (a PDF takes its widths from /W). Bytes past the glyphs' entries stay.
    const QByteArray& metrics = m_tables.at("hmtx").data;
    const std::uint32_t longMetrics = m_hhea.empty() ? 0 : m_hhea.back();
    auto entryAt = [&](std::uint32_t g) {
        return g < longMetrics ? 4 * qsizetype(g) : 4 * qsizetype(longMetrics) + 2 * qsizetype(g - longMetrics);
    };
    const qsizetype entriesEnd = std::min(entryAt(std::uint32_t(m_loca.size() - 1)), metrics.size());
    out.hmtx = QByteArray(metrics.size(), '\0');
    std::copy(metrics.cbegin() + entriesEnd, metrics.cend(), out.hmtx.begin() + entriesEnd);
    for (const std::uint32_t g : plan.glyphs) {
        const qsizetype at = entryAt(g);
        const qsizetype length = g < longMetrics ? 4 : 2;
        if (at + length <= entriesEnd)
            std::copy_n(metrics.cbegin() + at, length, out.hmtx.begin() + at);
    }
    return out;
}

QByteArray TrueTypeFont::writtenTable(const TrueTypeTable& table, const GlyphTables& glyphs) const
{
    if (table.tag == "glyf")
        return glyphs.glyf;
    if (table.tag == "loca")
        return glyphs.loca;
    if (table.tag == "hmtx")
        return glyphs.hmtx;
    if (table.tag == "head") {
        // checkSumAdjustment is summed as zero and set once the whole file is written.
        QByteArray out = table.data;
        putU32(out, 8, 0);
        return out;
    }
    if (table.tag == "hhea") {
        QByteArray out(36, '\0');
        putU32(out, 0, m_hheaVersion);
        for (std::size_t i = 0; i < m_hhea.size(); ++i)
            putU16(out, 4 + 2 * qsizetype(i), m_hhea[i]);
        return out;
    }
    if (table.tag == "maxp") {
        QByteArray out(4 + 2 * qsizetype(m_maxp.size()), '\0');
        putU32(out, 0, m_maxpVersion);
        for (std::size_t i = 0; i < m_maxp.size(); ++i)
            putU16(out, 4 + 2 * qsizetype(i), m_maxp[i]);
        return out;
    }
    if (table.tag == "post") {
        // Version 3.0: the header fields without glyph names.
        QByteArray out = padTo(table.data.left(kPostLength), kPostLength);
        putU32(out, 0, 0x00030000);
        return out;
    }
    if (table.tag == "OS/2") {
        // The version-2 layout; fields a shorter (version 0 or 1) source lacks stay zero. Version 5
        // adds fields past 96 bytes, so a cut version-5 table is labelled version 4.
        QByteArray out = padTo(table.data.left(kOs2Length), kOs2Length);
        if (ByteReader(out).u16(0) > 4)
            putU16(out, 0, 4);
        return out;
    }
    if (table.tag == "prep") {
        // Its length is given rounded up to whole words; the zeros leave the checksum as it is.
        return padTo(table.data, padded(table.data.size()));
    }
    return table.data;
}

QByteArray TrueTypeFont::packFont(const std::vector<std::uint32_t>& usedGlyphs) const
{
    return writeSubset(planSubset(usedGlyphs));
}

QByteArray TrueTypeFont::writeSubset(const SubsetPlan& plan) const
{
    return readingFont([&] {
        if (m_loca.empty() || !hasTable("glyf"))
            fail("Glyphs not found.");
        // A subset without horizontal metrics would be no usable TrueType font.
        if (!hasTable("hmtx"))
            fail("HorizontalMetrics not found.");
        const GlyphTables glyphs = writeGlyphTables(plan);

        // Tables in the order of the file as read.
        std::vector<const TrueTypeTable*> ordered;
        for (const auto& entry : m_tables)
            ordered.push_back(&entry.second);
        std::stable_sort(ordered.begin(), ordered.end(),
                         [](const TrueTypeTable* a, const TrueTypeTable* b) { return a->offset < b->offset; });

        const auto count = qsizetype(ordered.size());
        std::vector<QByteArray> tables;
        qsizetype size = 12 + 16 * count;
        for (const TrueTypeTable* table : ordered) {
            tables.push_back(writtenTable(*table, glyphs));
            size += padded(tables.back().size());
        }
        QByteArray out(12 + 16 * count, '\0');
        out.reserve(size);
        std::map<QByteArray, std::array<std::uint32_t, 3>> written; // tag -> checksum, offset, length
        for (std::size_t i = 0; i < ordered.size(); ++i) {
            if (out.size() % 4 != 0)
                fail("Align error");
            const QByteArray& data = tables[i];
            written[ordered[i]->tag] = {tableChecksum(data), std::uint32_t(out.size()), std::uint32_t(data.size())};
            out.append(data);
            out.append(padded(data.size()) - data.size(), '\0');
        }

        // The search fields follow the table count, which dropping tables changes.
        std::uint16_t entrySelector = 0;
        while ((2u << entrySelector) <= std::uint32_t(count))
            ++entrySelector;
        const auto searchRange = std::uint16_t(16u << entrySelector);
        putU32(out, 0, m_directory.sfntversion);
        putU16(out, 4, std::uint16_t(count));
        putU16(out, 6, searchRange);
        putU16(out, 8, entrySelector);
        putU16(out, 10, std::uint16_t(count * 16 - searchRange));
        qsizetype at = 12;
        for (const auto& [tag, entry] : written) { // std::map: byte-wise ascending tags
            out.replace(at, 4, tag);
            putU32(out, at + 4, entry[0]);
            putU32(out, at + 8, entry[1]);
            putU32(out, at + 12, entry[2]);
            at += 16;
        }
        // The file's sum is the directory's and the tables' (each padded with zeros), head's taken
        // with the adjustment at zero.
        std::uint32_t fileSum = tableChecksum(out.first(12 + 16 * count));
        for (const auto& entry : written)
            fileSum += entry.second[0];
        putU32(out, written.at("head")[1] + 8, 0xB1B0AFBAu - fileSum);
        return out;
    });
}

TrueTypeCollection::TrueTypeCollection(QByteArray file)
{
    readingFont([&] {
        const FontFile fontFile(file);
        if (!fontFile.isCollection()) {
            if (ByteReader(file).u32(0) != 0x00010000)
                formatError();
        } else {
            const std::uint32_t version = fontFile.collectionVersion();
            if (version != 0x00010000 && version != 0x00020000)
                fail("Unknown font collection version");
        }
        const std::size_t count = fontFile.fontCount();
        for (std::size_t i = 0; i < count; ++i)
            m_fonts.push_back(std::make_unique<TrueTypeFont>(file, fontFile.directoryOffset(i)));
    });
}

const EastAsianFace* findEastAsianFace(const QString& faceName)
{
    static const EastAsianFace faces[] = {
        {u"ＭＳ ゴシック", "MS Gothic", true},
        {u"ＭＳ Ｐゴシック", "MS PGothic", true},
        {u"ＭＳ 明朝", "MS Mincho", true},
        {u"ＭＳ Ｐ明朝", "MS PMincho", true},
        {u"MS UI Gothic", "MS UI Gothic", true},
        {u"メイリオ", "Meiryo", false},
    };
    for (const EastAsianFace& face : faces)
        if (QStringView(face.name) == faceName)
            return &face;
    return nullptr;
}

QString TrueTypeCollection::wantedFullName(const QString& faceName, bool bold, bool italic)
{
    const EastAsianFace* eastAsian = findEastAsianFace(faceName);
    QString name = eastAsian ? QString::fromLatin1(eastAsian->englishName) : faceName;
    if (bold)
        name += QStringLiteral(" Bold");
    if (italic)
        name += QStringLiteral(" Italic");
    return name;
}

TrueTypeFont& TrueTypeCollection::chooseFont(const QString& wantedName, ChecksumFaultAction action,
                                              std::size_t fallback)
{
    m_checksumFaults.clear();
    m_formatFaults.clear();
    TrueTypeFont* chosen = nullptr;
    bool found = false;
    for (auto& font : m_fonts) {
        font->prepareFont(action);
        m_checksumFaults.insert(m_checksumFaults.end(), font->checksumFaults().begin(),
                                font->checksumFaults().end());
        m_formatFaults += font->formatFaults();
        chosen = font.get();
        found = font->fullNames().contains(wantedName);
        if (found)
            break;
    }
    // Without a match every font has been prepared.
    if (!found && fallback < m_fonts.size())
        chosen = m_fonts[fallback].get();
    return *chosen;
}

QByteArray TrueTypeCollection::packFont(const QString& wantedName, const std::vector<std::uint32_t>& glyphs,
                                        ChecksumFaultAction action, std::size_t fallback)
{
    return chooseFont(wantedName, action, fallback).packFont(glyphs);
}

} // namespace quittung::report
