#include "report/export/pdf/true_type.h"

#include "report/document/engine_host.h"
#include "runtime/exception.h"

#include <algorithm>
#include <array>

namespace quittung::report {

namespace {

// Limits on counts read from the file: far above any real font, low enough to stop runaway loops.
constexpr std::uint32_t kMaxFontsInCollection = 256;
constexpr std::uint32_t kMaxTables = 1024;
constexpr std::uint32_t kMaxComponents = 1024;
// Overlapping format-4 segments could otherwise make the character loop run for billions of steps.
constexpr std::uint32_t kMaxCmapCharacters = 0x10000;
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
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData());
    const qsizetype n = data.size();
    for (qsizetype i = 0; i < n; i += 4) {
        std::uint32_t word = 0;
        for (qsizetype k = 0; k < 4; ++k)
            word = (word << 8) | (i + k < n ? p[i + k] : 0u);
        sum += word;
    }
    return sum;
}

TrueTypeFont::TrueTypeFont(QByteArray file, std::uint32_t directoryOffset)
    : m_file(std::move(file)), m_directoryOffset(directoryOffset)
{
}

bool TrueTypeFont::isDropped(const QByteArray& tag)
{
    static const std::array<const char*, 5> dropped{"EBLC", "EBDT", "hdmx", "VDMX", "DSIG"};
    return std::any_of(dropped.begin(), dropped.end(), [&](const char* t) { return tag == t; });
}

void TrueTypeFont::prepareFont(ChecksumFaultAction action)
{
    readingFont([&] {
        readDirectory();
        loadTables();
    });
    if (action != ChecksumFaultAction::IgnoreChecksum)
        verifyChecksums(action);
}

void TrueTypeFont::readDirectory()
{
    const ByteReader file(m_file);
    m_directory.sfntversion = file.u32(m_directoryOffset);
    const std::uint16_t count = file.u16(m_directoryOffset + 4);
    m_directory.searchRange = file.u16(m_directoryOffset + 6);
    m_directory.entrySelector = file.u16(m_directoryOffset + 8);
    m_directory.rangeShift = file.u16(m_directoryOffset + 10);
    if (count > kMaxTables)
        formatError();
    const ByteReader entries = file.sub(qsizetype(m_directoryOffset) + 12, qsizetype(count) * 16);
    m_tables.clear();
    for (qsizetype i = 0; i < count; ++i) {
        TrueTypeTable table;
        table.tag = entries.bytes(i * 16, 4);
        table.checksum = entries.u32(i * 16 + 4);
        table.offset = entries.u32(i * 16 + 8);
        table.length = entries.u32(i * 16 + 12);
        if (isDropped(table.tag))
            continue;
        if (m_tables.count(table.tag)) {
            engineHost().showMessage(QStringLiteral("Font format error"),
                                     QStringLiteral("Duplicate table \"%1\"").arg(QString::fromLatin1(table.tag)),
                                     EngineHost::Icon::Error);
            continue;
        }
        table.data = file.bytes(table.offset, table.length);
        m_tables.emplace(table.tag, std::move(table));
    }
    m_directory.numTables = std::uint16_t(m_tables.size());
}

void TrueTypeFont::loadTables()
{
    auto require = [&](const char* tag, const char* message) {
        if (!hasTable(tag))
            fail(message);
    };
    require("head", "FontHeader not found.");
    loadHead();
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
    if (hasTable("prep")) {
        // Padded with zeros, which leaves the checksum as it is.
        TrueTypeTable& prep = m_tables["prep"];
        prep.data = padTo(prep.data, padded(prep.data.size()));
        prep.length = std::uint32_t(prep.data.size());
    }
}

void TrueTypeFont::loadHead()
{
    TrueTypeTable& head = m_tables["head"];
    const ByteReader reader(head.data);
    m_indexToLocFormat = reader.s16(50);
    m_checkSumAdjustment = reader.u32(8);
    putU32(head.data, 8, 0);
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
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype record = 6 + i * 12;
        if (name.u16(record + 6) != 4)
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
        if (!full.isEmpty() && !m_fullNames.contains(full))
            m_fullNames.append(full);
    }
    if (!english.isEmpty())
        m_fullNames.move(m_fullNames.indexOf(english), 0);
}

void TrueTypeFont::verifyChecksums(ChecksumFaultAction action) const
{
    for (const auto& [tag, table] : m_tables) {
        const std::uint32_t sum = tableChecksum(table.data);
        if (sum == table.checksum)
            continue;
        // Some font tools sum "head" with its checkSumAdjustment as stored, not zeroed; the table
        // is intact all the same.
        if (tag == "head" && table.checksum == sum + m_checkSumAdjustment)
            continue;
        const QString text = QStringLiteral("Table ID \"") + QString::fromLatin1(tag) +
                             QStringLiteral("\" checksum error.") + QString::number(sum) + QLatin1Char(' ') +
                             QString::number(table.checksum);
        if (action == ChecksumFaultAction::ThrowException)
            throw Exception(text);
        // The answer does not matter: the font is used either way.
        (void)engineHost().askYesNo(QStringLiteral("Font table checksum error"), text, EngineHost::Icon::Warning);
    }
}

std::uint16_t TrueTypeFont::glyphIndex(char16_t character) const
{
    const auto found = m_cmap.find(character);
    return found == m_cmap.end() ? 0 : found->second;
}

std::vector<std::uint32_t> TrueTypeFont::closedGlyphList() const
{
    const std::uint32_t count = glyphCount();
    std::vector<bool> kept(count, false);
    std::vector<std::uint32_t> pending{0};
    for (std::uint32_t g : m_usedGlyphs)
        if (g < count)
            pending.push_back(g);

    // Components are followed to any depth: a composite made of composites (DŽ of D and Ž, Ž of Z
    // and a caron) needs them all to be drawn whole. Each glyph is looked at once, so a component
    // loop in a damaged font ends too.
    const ByteReader glyf(m_tables.at("glyf").data);
    while (!pending.empty()) {
        const std::uint32_t g = pending.back();
        pending.pop_back();
        if (kept[g])
            continue;
        kept[g] = true;
        const qsizetype length = qsizetype(m_loca[g + 1]) - qsizetype(m_loca[g]);
        if (length < 10 || glyf.s16(m_loca[g]) >= 0)
            continue;
        const ByteReader outline = glyf.sub(m_loca[g], length);
        qsizetype at = 10;
        for (std::uint32_t n = 0; n < kMaxComponents; ++n) {
            const std::uint16_t flags = outline.u16(at);
            const std::uint16_t component = outline.u16(at + 2);
            if (component < count && !kept[component])
                pending.push_back(component);
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
    }
    std::vector<std::uint32_t> glyphs;
    for (std::uint32_t g = 0; g < count; ++g)
        if (kept[g])
            glyphs.push_back(g);
    return glyphs;
}

QByteArray TrueTypeFont::writtenTable(const TrueTypeTable& table) const
{
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
    return table.data;
}

QByteArray TrueTypeFont::packFont()
{
    return readingFont([&] { return writeSubset(); });
}

QByteArray TrueTypeFont::writeSubset()
{
    if (m_loca.empty() || !hasTable("glyf"))
        fail("Glyphs not found.");
    // A subset without horizontal metrics would be no usable TrueType font.
    if (!hasTable("hmtx"))
        fail("HorizontalMetrics not found.");

    // Rebuild glyf and loca with unchanged glyph indices; unlisted glyphs get empty outlines.
    const std::vector<std::uint32_t> keep = closedGlyphList();
    TrueTypeTable& glyf = m_tables["glyf"];
    TrueTypeTable& loca = m_tables["loca"];
    const ByteReader oldGlyf(glyf.data);
    QByteArray newGlyf;
    std::vector<std::uint32_t> newLoca(m_loca.size(), 0);
    std::size_t next = 0; // the first location entry not yet set
    for (std::uint32_t g : keep) {
        const auto start = std::uint32_t(newGlyf.size());
        for (; next <= g; ++next)
            newLoca[next] = start;
        newGlyf.append(oldGlyf.bytes(m_loca[g], qsizetype(m_loca[g + 1]) - qsizetype(m_loca[g])));
        // The short format stores halves, so every outline has to start at an even offset.
        if (m_indexToLocFormat == 0 && (newGlyf.size() & 1))
            newGlyf.append('\0');
    }
    for (; next < newLoca.size(); ++next)
        newLoca[next] = std::uint32_t(newGlyf.size());
    if (m_indexToLocFormat == 0 && newGlyf.size() > 0x1FFFE)
        formatError();

    QByteArray locaData(qsizetype(newLoca.size()) * (m_indexToLocFormat == 0 ? 2 : 4), '\0');
    for (std::size_t i = 0; i < newLoca.size(); ++i) {
        if (m_indexToLocFormat == 0)
            putU16(locaData, 2 * qsizetype(i), std::uint16_t(newLoca[i] / 2));
        else
            putU32(locaData, 4 * qsizetype(i), newLoca[i]);
    }
    m_loca = newLoca;
    loca.data = locaData;
    loca.length = std::uint32_t(locaData.size());
    loca.checksum = tableChecksum(locaData);
    glyf.data = newGlyf;
    glyf.length = std::uint32_t(newGlyf.size());
    glyf.checksum = tableChecksum(newGlyf);

    // Tables in the order of the file as read.
    std::vector<TrueTypeTable*> ordered;
    for (auto& entry : m_tables)
        ordered.push_back(&entry.second);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const TrueTypeTable* a, const TrueTypeTable* b) { return a->offset < b->offset; });

    const auto count = qsizetype(ordered.size());
    QByteArray out(12 + 16 * count, '\0');
    std::map<QByteArray, std::array<std::uint32_t, 3>> written; // tag -> checksum, offset, length
    for (TrueTypeTable* table : ordered) {
        if (out.size() % 4 != 0)
            fail("Align error");
        const QByteArray data = writtenTable(*table);
        written[table->tag] = {tableChecksum(data), std::uint32_t(out.size()), std::uint32_t(data.size())};
        out.append(padTo(data, padded(data.size())));
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
    putU32(out, written.at("head")[1] + 8, 0xB1B0AFBAu - tableChecksum(out));
    return out;
}

TrueTypeCollection::TrueTypeCollection(QByteArray file)
{
    readingFont([&] {
        const ByteReader reader(file);
        if (reader.u32(0) == 0x00010000) {
            m_fonts.push_back(std::make_unique<TrueTypeFont>(file, 0));
            return;
        }
        if (reader.bytes(0, 4) != "ttcf")
            formatError();
        const std::uint32_t version = reader.u32(4);
        if (version != 0x00010000 && version != 0x00020000)
            fail("Unknown font collection version");
        const std::uint32_t count = reader.u32(8);
        if (count == 0 || count > kMaxFontsInCollection)
            formatError();
        for (std::uint32_t i = 0; i < count; ++i)
            m_fonts.push_back(std::make_unique<TrueTypeFont>(file, reader.u32(12 + 4 * qsizetype(i))));
    });
}

QString TrueTypeCollection::wantedFullName(const QString& faceName, bool bold, bool italic)
{
    static const std::array<std::pair<const char16_t*, const char*>, 5> english{{
        {u"ＭＳ ゴシック", "MS Gothic"},
        {u"ＭＳ Ｐゴシック", "MS PGothic"},
        {u"ＭＳ 明朝", "MS Mincho"},
        {u"ＭＳ Ｐ明朝", "MS PMincho"},
        {u"メイリオ", "Meiryo"},
    }};
    QString name = faceName;
    for (const auto& [local, latin] : english)
        if (faceName == QString::fromUtf16(local))
            name = QString::fromLatin1(latin);
    if (bold)
        name += QStringLiteral(" Bold");
    if (italic)
        name += QStringLiteral(" Italic");
    return name;
}

QByteArray TrueTypeCollection::packFont(const QString& wantedName, const std::vector<std::uint32_t>& glyphs,
                                        ChecksumFaultAction action, std::size_t fallback)
{
    TrueTypeFont* chosen = nullptr;
    for (auto& font : m_fonts) {
        font->prepareFont(action);
        chosen = font.get();
        if (font->fullNames().contains(wantedName))
            break;
    }
    if (!chosen->fullNames().contains(wantedName) && fallback < m_fonts.size()) {
        chosen = m_fonts[fallback].get();
        chosen->prepareFont(action);
    }
    chosen->addUsedGlyphs(glyphs);
    return chosen->packFont();
}

} // namespace quittung::report
