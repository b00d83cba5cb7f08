#include "report/export/pdf/pdf_font.h"

#include "report/document/engine_host.h"
#include "report/document/engine_messages.h"
#include "report/engine/text/font_file.h"
#include "report/engine/text/font_service.h"
#include "report/export/pdf/pdf_document.h"
#include "report/export/pdf/true_type.h"
#include "runtime/exception.h"
#include "runtime/file_numbers.h"

#include <QByteArrayList>
#include <QCryptographicHash>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

namespace quittung::report {

namespace {

// Glyph units: every shape and metric is taken at an em of 1000.
constexpr double kEm = 1000.0;

// The descriptor's metrics from the face's own, by the rule layout measures the character cell
// with.
PdfOutlineMetrics outlineMetrics(const FontFace& face)
{
    const FontFace::Metrics& f = face.metrics();
    const double unitsPerEm = face.unitsPerEm();
    auto thousandths = [&](double value) { return int(std::lround(value * kEm / unitsPerEm)); };
    PdfOutlineMetrics m;
    m.ascent = int(std::lround(face.ascent(kEm)));
    m.descent = -int(std::lround(face.descent(kEm)));
    m.height = int(std::lround(face.ascent(kEm) + face.descent(kEm)));
    m.internalLeading = m.height - int(kEm);
    m.fontBox = {thousandths(f.xMin), thousandths(f.yMax), thousandths(f.xMax), thousandths(f.yMin)};
    m.averageCharWidth = thousandths(f.averageCharWidth);
    m.maxCharWidth = thousandths(f.maxAdvanceWidth);
    m.weight = f.weight ? f.weight : (face.synthesizeBold() ? 700 : 400);
    m.defaultChar = f.defaultChar;
    m.italicAngle = int(std::lround(f.italicAngle * 10.0));
    return m;
}

// Only TrueType outlines can be embedded as the PDF's font file.
bool hasTrueTypeOutlines(const FontFace& face)
{
    try {
        const TableDirectory directory = FontFile(face.fileData()).directory(std::size_t(face.faceIndex()));
        return directory.sfntversion == 0x00010000 && directory.find("glyf") && directory.find("loca") &&
               directory.find("hmtx");
    } catch (const ReadError&) {
        return false;
    }
}

// The face the text is shaped, measured and embedded with. A face in another format (CFF-based
// OpenType, Type 1, bitmaps) is replaced by the face "Arial" resolves to, for all three alike, so
// the glyph numbers in the text always belong to the embedded file.
std::shared_ptr<const FontFace> embeddableFace(const Font& font)
{
    FontService& service = FontService::instance();
    auto face = service.face(font.name(), font.style() & (FontStyle::Bold | FontStyle::Italic));
    if (hasTrueTypeOutlines(*face))
        return face;
    return service.face(QStringLiteral("Arial"), font.style() & (FontStyle::Bold | FontStyle::Italic));
}

QByteArray number(qint64 value)
{
    return QByteArray::number(value);
}

QByteArray reference(int object)
{
    return number(object) + " 0 R";
}

// PDF text lines, each ending with CR LF.
QByteArray pdfLines(const QByteArrayList& lines)
{
    qsizetype size = 0;
    for (const QByteArray& line : lines)
        size += line.size() + 2;
    QByteArray out;
    out.reserve(size);
    for (const QByteArray& line : lines)
        out.append(line).append("\r\n");
    return out;
}

} // namespace

PdfFont::PdfFont(const Font& font) : m_sourceFont(font), m_face(embeddableFace(font)) {}

void PdfFont::fillOutlineTextMetrics()
{
    if (m_face->metrics().fromTables)
        m_metrics = outlineMetrics(*m_face);
    else
        m_metrics = outlineMetrics(*FontService::instance().face(QStringLiteral("Arial"), 0));
}

int PdfFont::glyphWidth(std::uint32_t glyph) const
{
    return int(std::lround(m_face->glyphAdvance(glyph) * kEm / m_face->unitsPerEm()));
}

QString PdfFont::remapString(const QString& text, bool rtl)
{
    const auto glyphs = remapGlyphs(text, rtl);
    QString result;
    result.reserve(qsizetype(glyphs.size()));
    for (const auto& glyph : glyphs)
        result.append(QChar(char16_t(glyph.index)));
    return result;
}

std::vector<FontFace::Glyph> PdfFont::remapGlyphs(const QString& text, bool rtl, bool* readsBack)
{
    if (readsBack)
        *readsBack = true;
    if (text.isEmpty())
        return {};
    auto glyphs = m_face->shape(text, kEm, rtl);
    // A cluster runs from its first UTF-16 unit to the next cluster's first; glyphs come in visual
    // order, so a right-to-left run lists its clusters backwards.
    const auto length = std::size_t(text.size());
    std::vector<std::uint32_t> glyphsAt(length + 1, 0);
    auto clusterOf = [length](const FontFace::Glyph& glyph) {
        return std::min(std::size_t(std::max(glyph.cluster, 0)), length - 1);
    };
    for (const auto& glyph : glyphs)
        ++glyphsAt[clusterOf(glyph)];
    std::vector<std::uint32_t> clusterEnd(length + 1, std::uint32_t(length));
    for (std::size_t i = length; i-- > 1;)
        clusterEnd[i - 1] = glyphsAt[i] ? std::uint32_t(i) : clusterEnd[i];

    bool exact = true;
    for (const auto& glyph : glyphs) {
        const std::size_t slot = slotOf(glyph.index);
        const std::size_t start = clusterOf(glyph);
        const QStringView characters = QStringView(text).sliced(qsizetype(start), qsizetype(clusterEnd[start] - start));
        // The missing glyph stands for no character; a long cluster (a letter under many marks)
        // stays out of the map's entries, whose targets are short.
        constexpr qsizetype kLongestText = 32;
        const bool alone = glyphsAt[start] == 1 && glyph.index != 0 && characters.size() <= kLongestText;
        QString& known = m_usedTexts[slot];
        if (alone && known.isEmpty())
            known = characters.toString();
        exact = exact && alone && known == characters;
    }
    if (readsBack)
        *readsBack = exact;
    return glyphs;
}

std::size_t PdfFont::slotOf(std::uint32_t glyph)
{
    if (m_slots.empty()) {
        for (std::size_t i = 0; i < m_usedGlyphs.size(); ++i) {
            if (m_usedGlyphs[i] >= m_slots.size())
                m_slots.resize(std::size_t(m_usedGlyphs[i]) + 1, 0);
            if (!m_slots[m_usedGlyphs[i]])
                m_slots[m_usedGlyphs[i]] = std::uint32_t(i + 1);
        }
    }
    if (glyph >= m_slots.size())
        m_slots.resize(std::size_t(glyph) + 1, 0);
    if (!m_slots[glyph]) {
        m_usedGlyphs.push_back(glyph);
        // The font's own width: the shaped advance holds the kerning with this line's neighbours.
        m_widths.push_back(glyphWidth(glyph));
        m_usedTexts.emplace_back();
        m_slots[glyph] = std::uint32_t(m_usedGlyphs.size());
    }
    return m_slots[glyph] - 1;
}

QString PdfFont::getFontName() const
{
    const QString face = m_sourceFont.name();
    // Linux has no ANSI code page; the locale's 8-bit encoding there is UTF-8.
    QByteArray name = face.toUtf8();
    static const std::pair<char, const char*> escapes[] = {
        {' ', "#20"}, {'(', "#28"}, {')', "#29"}, {'%', "#25"}, {'<', "#3C"}, {'>', "#3E"},
        {'[', "#5B"}, {']', "#5D"}, {'{', "#7B"}, {'}', "#7D"}, {'/', "#2F"}};
    QByteArray escaped;
    for (const char c : name) {
        const char* replacement = nullptr;
        for (const auto& [from, to] : escapes)
            if (c == from)
                replacement = to;
        if (replacement)
            escaped.append(replacement);
        else
            escaped.append(c);
    }
    const EastAsianFace* eastAsian = findEastAsianFace(face);
    if (!eastAsian || !eastAsian->unstyledPdfName) {
        const bool bold = m_sourceFont.style() & FontStyle::Bold;
        const bool italic = m_sourceFont.style() & FontStyle::Italic;
        if (bold && italic)
            escaped.append(",BoldItalic");
        else if (bold)
            escaped.append(",Bold");
        else if (italic)
            escaped.append(",Italic");
    }
    QString result;
    for (const char c : escaped) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 128)
            result += QStringLiteral("#%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
        else
            result += QLatin1Char(c);
    }
    return result;
}

QString PdfFont::baseFontName() const
{
    return m_subsetTag.isEmpty() ? getFontName() : m_subsetTag + u'+' + getFontName();
}

QString PdfFont::subsetTag(const std::vector<std::uint32_t>& glyphs, const QString& fontName)
{
    QByteArray bytes = fontName.toUtf8();
    for (const std::uint32_t glyph : glyphs)
        bytes.append(reinterpret_cast<const char*>(&glyph), sizeof glyph);
    const QByteArray digest = QCryptographicHash::hash(bytes, QCryptographicHash::Md5);
    QString tag;
    for (int i = 0; i < 6; ++i)
        tag += QChar(u'A' + static_cast<unsigned char>(digest[i]) % 26);
    return tag;
}

// A font file read and its font chosen, kept for the next document: reading and checking the
// tables costs more than cutting a subset, and the files of the font service never change.
struct PreparedFontFile {
    QByteArray file; // shares the data, so its address stays taken while the entry lives
    QString wantedName;
    std::size_t fallbackFont = 0;
    std::unique_ptr<TrueTypeCollection> collection;
    const TrueTypeFont* font = nullptr;

    // Tables every subset of this font takes over unchanged, deflated on first use: the bytes as
    // they stand in the subset (with their padding) and the deflated piece.
    struct DeflatedTable {
        QByteArray bytes;
        QByteArray deflated;
    };
    mutable std::mutex tablesMutex;
    mutable std::map<quint32, DeflatedTable> deflatedTables;

    // The last subsets cut, the newest last, and the glyphs of the last common characters asked for.
    mutable std::mutex subsetsMutex;
    mutable std::vector<std::shared_ptr<const PreparedSubset>> subsets;
    mutable QString commonCharacters;
    mutable std::vector<std::uint32_t> commonGlyphs;

    std::shared_ptr<const PreparedSubset> subset(const std::vector<std::uint32_t>& glyphs) const;
    std::vector<std::uint32_t> glyphsOf(const QString& characters, const FontFace& face) const;
};

// A subset of a prepared font file with its deflated bytes, made once for documents of the same glyphs.
struct PreparedSubset {
    std::vector<std::uint32_t> glyphs; // sorted
    QByteArray data;
    mutable std::mutex deflatedMutex;
    mutable QByteArray deflated;
};

std::shared_ptr<const PreparedSubset> PreparedFontFile::subset(const std::vector<std::uint32_t>& glyphs) const
{
    std::vector<std::uint32_t> sorted = glyphs;
    std::sort(sorted.begin(), sorted.end());
    {
        const std::lock_guard lock(subsetsMutex);
        for (auto entry = subsets.begin(); entry != subsets.end(); ++entry) {
            if ((*entry)->glyphs == sorted) {
                std::shared_ptr<const PreparedSubset> found = *entry;
                subsets.erase(entry);
                subsets.push_back(found);
                return found;
            }
        }
    }
    // Cut outside the lock: other threads go on with their own subsets meanwhile.
    auto made = std::make_shared<PreparedSubset>();
    made->data = font->packFont(glyphs);
    made->glyphs = std::move(sorted);
    constexpr std::size_t kKept = 4;
    const std::lock_guard lock(subsetsMutex);
    if (subsets.size() == kKept)
        subsets.erase(subsets.begin());
    subsets.push_back(made);
    return made;
}

std::vector<std::uint32_t> PreparedFontFile::glyphsOf(const QString& characters, const FontFace& face) const
{
    const std::lock_guard lock(subsetsMutex);
    if (commonCharacters != characters || commonGlyphs.empty()) {
        // One character at a time: no ligature or contextual form stands in for a character's glyph.
        commonGlyphs.clear();
        for (const QChar character : characters) {
            for (const FontFace::Glyph& glyph : face.shape(QString(character), kEm))
                if (glyph.index != 0)
                    commonGlyphs.push_back(glyph.index);
        }
        commonCharacters = characters;
    }
    return commonGlyphs;
}

namespace {

std::shared_ptr<const PreparedFontFile> preparedFontFile(const QByteArray& file, const QString& wantedName,
    std::size_t fallbackFont)
{
    static std::mutex mutex;
    static std::vector<std::shared_ptr<const PreparedFontFile>> cache;
    constexpr std::size_t kCached = 16;
    const std::lock_guard lock(mutex);
    for (const auto& entry : cache) {
        if (entry->file.constData() == file.constData() && entry->file.size() == file.size()
            && entry->wantedName == wantedName && entry->fallbackFont == fallbackFont)
            return entry;
    }
    auto entry = std::make_shared<PreparedFontFile>();
    entry->file = file;
    entry->wantedName = wantedName;
    entry->fallbackFont = fallbackFont;
    entry->collection = std::make_unique<TrueTypeCollection>(file);
    entry->font = &entry->collection->chooseFont(wantedName, ChecksumFaultAction::Warn, fallbackFont);
    if (cache.size() == kCached)
        cache.erase(cache.begin());
    cache.push_back(entry);
    return entry;
}

// Every document tells and asks again; the export goes on whatever the answer: a damaged table is
// embedded as it is.
void reportFontFaults(const PreparedFontFile& prepared, EngineHost& host)
{
    for (const QString& fault : prepared.collection->formatFaults())
        host.showMessage(engineMessage(QStringLiteral("fntFormatError")), fault, EngineHost::Icon::Error);
    for (const ChecksumFault& fault : prepared.collection->checksumFaults())
        (void)host.askYesNo(engineMessage(QStringLiteral("fntChecksumError")), fault.message(), EngineHost::Icon::Warning);
}

constexpr quint32 tableTag(const char (&name)[5])
{
    return quint32(quint8(name[0])) << 24 | quint32(quint8(name[1])) << 16 | quint32(quint8(name[2])) << 8
           | quint8(name[3]);
}

quint32 bigEndian32(const QByteArray& data, qsizetype at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData() + at);
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
}

} // namespace

QByteArray PdfFont::getFontFile(EngineHost& host)
{
    m_fontData = m_face->fileData();
    m_subsetTag.clear();
    m_prepared.reset();
    m_preparedSubset.reset();
    if (m_subset) {
        // The face's own family and real styles pick the right face of a collection file; a
        // synthesized style has no face of that name.
        const bool bold = (m_sourceFont.style() & FontStyle::Bold) && !m_face->synthesizeBold();
        const bool italic = (m_sourceFont.style() & FontStyle::Italic) && !m_face->synthesizeItalic();
        const QString wanted = TrueTypeCollection::wantedFullName(m_face->familyName(), bold, italic);
        m_prepared = preparedFontFile(m_fontData, wanted, std::size_t(m_face->faceIndex()));
        reportFontFaults(*m_prepared, host);
        std::vector<std::uint32_t> kept = m_usedGlyphs;
        if (!m_commonCharacters.isEmpty()) {
            const std::vector<std::uint32_t> common = m_prepared->glyphsOf(m_commonCharacters, *m_face);
            kept.insert(kept.end(), common.begin(), common.end());
            std::sort(kept.begin(), kept.end());
            kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
        }
        m_preparedSubset = m_prepared->subset(kept);
        m_fontData = m_preparedSubset->data;
        m_subsetTag = subsetTag(kept, getFontName());
    }
    return m_fontData;
}

QByteArray PdfFont::subsetFontFile(const QByteArray& file, const QString& wantedName,
                                   const std::vector<std::uint32_t>& glyphs, std::size_t fallbackFont, EngineHost& host)
{
    const std::shared_ptr<const PreparedFontFile> prepared = preparedFontFile(file, wantedName, fallbackFont);
    reportFontFaults(*prepared, host);
    return prepared->subset(glyphs)->data;
}

QByteArray PdfFont::deflatedFontData() const
{
    if (!m_preparedSubset || m_preparedSubset->data.constData() != m_fontData.constData())
        return deflatedFontFile(m_fontData, m_prepared.get());
    const std::lock_guard lock(m_preparedSubset->deflatedMutex);
    if (m_preparedSubset->deflated.isEmpty())
        m_preparedSubset->deflated = deflatedFontFile(m_fontData, m_prepared.get());
    return m_preparedSubset->deflated;
}

QByteArray PdfFont::deflatedFontFile(const QByteArray& data, const PreparedFontFile* prepared)
{
    const qsizetype tableCount = data.size() >= 12 ? (quint8(data[4]) << 8 | quint8(data[5])) : 0;
    if (!prepared || tableCount == 0 || data.size() < 12 + 16 * tableCount)
        return PdfDocumentWriter::deflated(data);

    // The tables in file order; each runs to the next one, its padding included.
    struct Table {
        quint32 tag;
        qsizetype offset;
    };
    std::vector<Table> tables;
    for (qsizetype i = 0; i < tableCount; ++i) {
        const qsizetype entry = 12 + 16 * i;
        const qsizetype offset = bigEndian32(data, entry + 8);
        if (offset >= 12 + 16 * tableCount && offset < data.size())
            tables.push_back({bigEndian32(data, entry), offset});
    }
    std::sort(tables.begin(), tables.end(), [](const Table& a, const Table& b) { return a.offset < b.offset; });

    // Glyph data, locations, widths and the header's checksums change with the glyphs kept.
    auto perSubset = [](quint32 tag) {
        return tag == tableTag("glyf") || tag == tableTag("loca") || tag == tableTag("hmtx") || tag == tableTag("head");
    };
    constexpr qsizetype kWorthAPiece = 256;
    std::vector<PdfDocumentWriter::DeflatePiece> pieces;
    qsizetype covered = 0; // bytes up to here are in pieces
    const std::lock_guard lock(prepared->tablesMutex);
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const qsizetype start = tables[i].offset;
        const qsizetype end = i + 1 < tables.size() ? tables[i + 1].offset : data.size();
        if (start < covered || end - start < kWorthAPiece || perSubset(tables[i].tag))
            continue;
        const QByteArrayView bytes = QByteArrayView(data).sliced(start, end - start);
        auto& cached = prepared->deflatedTables[tables[i].tag];
        if (cached.bytes.isEmpty()) {
            cached.bytes = bytes.toByteArray();
            cached.deflated = PdfDocumentWriter::deflatedPiece(bytes);
        }
        if (cached.bytes != bytes)
            continue;
        if (start > covered)
            pieces.push_back({start - covered, {}});
        pieces.push_back({end - start, cached.deflated});
        covered = end;
    }
    if (covered < data.size())
        pieces.push_back({data.size() - covered, {}});
    return PdfDocumentWriter::deflatedInPieces(data, pieces);
}

int PdfFont::stemV() const
{
    const double stem = m_metrics.weight / 65.0;
    return int(std::lround(stem * stem)) + 50;
}

QByteArray PdfFont::streamDictionary(qsizetype storedLength, qsizetype rawLength, bool compressed)
{
    QByteArray line = "<< /Length " + number(storedLength);
    if (compressed)
        line += "  /Filter /FlateDecode /Length1 " + number(rawLength);
    else
        line += " /Length1 " + number(storedLength);
    return line + " >>\r\n";
}

QByteArray PdfFont::fontDescriptorDictionary(int fontFileObject) const
{
    const QByteArray name = getFontName().toLatin1();
    const PdfOutlineMetrics& m = m_metrics;
    QByteArrayList lines{
        "<<",
        "/Type /FontDescriptor",
        "/FontName /" + baseFontName().toLatin1(),
        "/FontFamily /" + name,
        "/Flags 32",
        "/FontBBox [" + number(m.fontBox.left) + ' ' + number(m.fontBox.bottom) + ' ' +
            number(m.fontBox.right) + ' ' + number(m.fontBox.top) + " ]",
        "/ItalicAngle " + number(m.italicAngle),
        "/Ascent " + number(m.ascent),
        "/Descent " + number(m.descent),
        "/Leading " + number(m.internalLeading),
        "/CapHeight " + number(m.height),
        "/StemV " + number(stemV()),
        "/AvgWidth " + number(m.averageCharWidth),
        "/MxWidth " + number(m.maxCharWidth),
        "/MissingWidth " + number(m.averageCharWidth),
    };
    if (fontFileObject > 0)
        lines << "/FontFile2 " + reference(fontFileObject);
    lines << ">>";
    return pdfLines(lines);
}

QByteArray PdfFont::toUnicodeMap() const
{
    QByteArray cmapName = getFontName().toLatin1();
    cmapName.replace(',', '+');
    QByteArray map = pdfLines({
        "/CIDInit /ProcSet findresource begin",
        "12 dict begin",
        "begincmap",
        "/CIDSystemInfo",
        "<< /Registry (Adobe)",
        "/Ordering (UCS)",
        "/Supplement 0",
        ">> def",
        "/CMapName /" + cmapName + " def",
        "/CMapType 2 def",
        "1 begincodespacerange",
        "<0000> <FFFF>",
        "endcodespacerange",
    });
    std::vector<std::size_t> mapped;
    mapped.reserve(m_usedGlyphs.size());
    for (std::size_t i = 0; i < m_usedGlyphs.size(); ++i) {
        if (!m_usedTexts[i].isEmpty())
            mapped.push_back(i);
    }
    map.reserve(map.size() + 20 * qsizetype(mapped.size()) + 128);
    // A CMap section holds at most 100 entries.
    constexpr std::size_t kSection = 100;
    for (std::size_t first = 0; first < mapped.size(); first += kSection) {
        const std::size_t last = std::min(first + kSection, mapped.size());
        map.append(number(qint64(last - first))).append(" beginbfchar\r\n");
        for (std::size_t k = first; k < last; ++k) {
            map.append('<');
            appendPdfHexCode(map, m_usedGlyphs[mapped[k]]);
            map.append("> <");
            for (const QChar unit : m_usedTexts[mapped[k]])
                appendPdfHexCode(map, unit.unicode());
            map.append(">\r\n");
        }
        map.append("endbfchar\r\n");
    }
    return map + pdfLines({"endcmap", "CMapName currentdict /CMap defineresource pop", "end", "end"});
}

QByteArray PdfFont::cidSystemInfoDictionary()
{
    return pdfLines({"<<", "/Registry (Adobe) /Ordering (Identity) /Supplement 0", ">>"});
}

QByteArray PdfFont::descendantFontDictionary(int cidSystemInfoObject, int descriptorObject) const
{
    QByteArray widths = "/W [ ";
    widths.reserve(16 * qsizetype(m_usedGlyphs.size()) + 8);
    for (std::size_t i = 0; i < m_usedGlyphs.size(); ++i)
        widths.append(number(m_usedGlyphs[i])).append(" [").append(number(m_widths[i])).append("] ");
    widths += ']';
    return pdfLines({
        "<<",
        "/Type /Font",
        "/Subtype /CIDFontType2",
        "/BaseFont /" + baseFontName().toLatin1(),
        "/CIDSystemInfo " + reference(cidSystemInfoObject),
        "/FontDescriptor " + reference(descriptorObject),
        widths,
        ">>",
    });
}

QByteArray PdfFont::fontDictionary(int descendantObject, int toUnicodeObject) const
{
    return pdfLines({
        "<<",
        "/Type /Font",
        "/Subtype /Type0",
        "/BaseFont /" + baseFontName().toLatin1(),
        "/Encoding /Identity-H",
        "/DescendantFonts [" + reference(descendantObject) + ']',
        "/ToUnicode " + reference(toUnicodeObject),
        ">>",
    });
}

} // namespace quittung::report
