#include "report/export/pdf/pdf_font.h"

#include "report/engine/font_service.h"
#include "runtime/byte_reader.h"
#include "report/export/pdf/true_type.h"

#include <QByteArrayList>
#include <QStringList>

#include <cmath>
#include <optional>

namespace quittung::report {

namespace {

// Glyph units: every shape and metric is taken at an em of 1000.
constexpr double kEm = 1000.0;

// The table directory of one face, enough to find the few tables the metrics come from.
class FaceTables {
public:
    explicit FaceTables(const QByteArray& file) : m_file(file) {}

    std::optional<ByteReader> table(const char* tag) const
    {
        try {
            const ByteReader all(m_file);
            const std::uint16_t count = all.u16(4);
            const QByteArray wanted(tag, 4);
            for (std::uint16_t i = 0; i < count; ++i) {
                const qsizetype entry = 12 + 16 * qsizetype(i);
                if (all.bytes(entry, 4) != wanted)
                    continue;
                return all.sub(all.u32(entry + 8), all.u32(entry + 12));
            }
        } catch (...) {
            // A damaged directory counts as a face without the table.
        }
        return std::nullopt;
    }

private:
    QByteArray m_file;
};

int scaled(double value, int unitsPerEm)
{
    return int(std::lround(value * kEm / unitsPerEm));
}

// Reads the metrics; nullopt when the face lacks the tables every outline font has.
std::optional<PdfOutlineMetrics> readMetrics(const FontFace& face)
{
    const FaceTables tables(extractCollectionFace(face.fileData(), face.faceIndex()));
    const auto head = tables.table("head");
    const auto hhea = tables.table("hhea");
    if (!head || !hhea)
        return std::nullopt;
    try {
        const int upem = head->u16(18);
        if (upem == 0)
            return std::nullopt;
        PdfOutlineMetrics m;
        m.fontBox.left = scaled(head->s16(36), upem);
        m.fontBox.bottom = scaled(head->s16(38), upem);
        m.fontBox.right = scaled(head->s16(40), upem);
        m.fontBox.top = scaled(head->s16(42), upem);
        m.maxCharWidth = scaled(hhea->u16(10), upem);

        const double hheaAscent = hhea->s16(4);
        const double hheaDescent = hhea->s16(6); // negative
        double winAscent = hheaAscent;
        double winDescent = -hheaDescent;
        double typoAscent = hheaAscent;
        double typoDescent = hheaDescent;
        m.weight = (face.synthesizeBold() ? 700 : 400);
        if (const auto os2 = tables.table("OS/2"); os2 && os2->size() >= 78) {
            m.averageCharWidth = scaled(os2->s16(2), upem);
            m.weight = os2->u16(4);
            typoAscent = os2->s16(68);
            typoDescent = os2->s16(70);
            winAscent = os2->u16(74);
            winDescent = os2->u16(76);
            // usDefaultChar exists from version 2 on; older tables mean the space.
            if (os2->u16(0) >= 2 && os2->size() >= 96 && os2->u16(90) != 0)
                m.defaultChar = os2->u16(90);
        } else {
            m.averageCharWidth = m.maxCharWidth / 2;
        }
        // The cell height uses the Windows ascent and descent, as the face service's Ascent and
        // Descent do; the outline ascent and descent are the typographic ones.
        m.height = scaled(winAscent + winDescent, upem);
        m.internalLeading = m.height - int(kEm);
        m.ascent = scaled(typoAscent, upem);
        m.descent = scaled(typoDescent, upem);
        if (const auto post = tables.table("post"); post && post->size() >= 8) {
            // Fixed 16.16 degrees, reported in tenths of a degree.
            const auto raw = std::int32_t(post->u32(4));
            m.italicAngle = int(std::lround(raw / 65536.0 * 10.0));
        }
        return m;
    } catch (...) {
        return std::nullopt;
    }
}

// Only TrueType outlines can be embedded as the PDF's font file.
bool hasTrueTypeOutlines(const FontFace& face)
{
    const QByteArray file = extractCollectionFace(face.fileData(), face.faceIndex());
    const FaceTables tables(file);
    return file.startsWith(QByteArray::fromHex("00010000")) && tables.table("glyf") && tables.table("loca") &&
           tables.table("hmtx");
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
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + "\r\n";
    return out;
}

bool isEastAsianFace(const QString& name)
{
    static const QStringList faces{QStringLiteral(u"ＭＳ ゴシック"), QStringLiteral(u"ＭＳ Ｐゴシック"),
                                   QStringLiteral(u"ＭＳ 明朝"), QStringLiteral(u"ＭＳ Ｐ明朝"),
                                   QStringLiteral("MS UI Gothic")};
    return faces.contains(name);
}

} // namespace

PdfFont::PdfFont(const Font& font) : m_sourceFont(font), m_face(embeddableFace(font)) {}

void PdfFont::fillOutlineTextMetrics()
{
    if (auto metrics = readMetrics(*m_face)) {
        m_metrics = *metrics;
        return;
    }
    if (auto arial = readMetrics(*FontService::instance().face(QStringLiteral("Arial"), 0)))
        m_metrics = *arial;
}

QString PdfFont::remapString(const QString& text, bool rtl)
{
    if (text.isEmpty())
        return {};
    const auto glyphs = m_face->shape(text, kEm, rtl);
    const bool oneToOne = glyphs.size() == std::size_t(text.size());
    QString result;
    result.reserve(qsizetype(glyphs.size()));
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const auto& glyph = glyphs[i];
        result.append(QChar(char16_t(glyph.index)));
        bool known = false;
        for (const auto used : m_usedGlyphs)
            if (used == glyph.index) {
                known = true;
                break;
            }
        if (known)
            continue;
        m_usedGlyphs.push_back(glyph.index);
        m_widths.push_back(int(std::lround(glyph.advance)));
        char16_t character = char16_t(m_metrics.defaultChar);
        if (oneToOne) {
            // Glyphs come in visual order, so a right-to-left line is read from its end.
            const qsizetype at = rtl ? text.size() - 1 - qsizetype(i) : qsizetype(i);
            character = text.at(at).unicode();
        }
        m_usedCharacters.push_back(character);
    }
    return result;
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
    if (!isEastAsianFace(face)) {
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

QByteArray PdfFont::getFontFile()
{
    const auto& source = m_face;
    m_fontData = source->fileData();
    if (m_subset) {
        // The face's own family and real styles pick the right face of a collection file; a
        // synthesized style has no face of that name.
        const bool bold = (m_sourceFont.style() & FontStyle::Bold) && !source->synthesizeBold();
        const bool italic = (m_sourceFont.style() & FontStyle::Italic) && !source->synthesizeItalic();
        const QString wanted = TrueTypeCollection::wantedFullName(source->familyName(), bold, italic);
        m_fontData = TrueTypeCollection(m_fontData).packFont(wanted, m_usedGlyphs, ChecksumFaultAction::Warn,
                                                         std::size_t(source->faceIndex()));
    }
    return m_fontData;
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
        "/FontName /" + name,
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
    auto hex4 = [](std::uint32_t value) { return QByteArray::number(value, 16).toUpper().rightJustified(4, '0'); };
    QByteArray cmapName = getFontName().toLatin1();
    cmapName.replace(',', '+');
    QByteArrayList lines{
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
        number(qint64(m_usedGlyphs.size())) + " beginbfchar",
    };
    for (std::size_t i = 0; i < m_usedGlyphs.size(); ++i)
        lines << '<' + hex4(m_usedGlyphs[i]) + "> <" + hex4(m_usedCharacters[i]) + '>';
    lines << "endbfchar"
          << "endcmap"
          << "CMapName currentdict /CMap defineresource pop"
          << "end"
          << "end";
    return pdfLines(lines);
}

QByteArray PdfFont::cidSystemInfoDictionary()
{
    return pdfLines({"<<", "/Registry (Adobe) /Ordering (Identity) /Supplement 0", ">>"});
}

QByteArray PdfFont::descendantFontDictionary(int cidSystemInfoObject, int descriptorObject) const
{
    QByteArray widths = "/W [ ";
    for (std::size_t i = 0; i < m_usedGlyphs.size(); ++i)
        widths += number(m_usedGlyphs[i]) + " [" + number(m_widths[i]) + "] ";
    widths += ']';
    return pdfLines({
        "<<",
        "/Type /Font",
        "/Subtype /CIDFontType2",
        "/BaseFont /" + getFontName().toLatin1(),
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
        "/BaseFont /" + getFontName().toLatin1(),
        "/Encoding /Identity-H",
        "/DescendantFonts [" + reference(descendantObject) + ']',
        "/ToUnicode " + reference(toUnicodeObject),
        ">>",
    });
}

} // namespace quittung::report
