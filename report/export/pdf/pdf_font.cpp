#include "report/export/pdf/pdf_font.h"

#include "report/engine/font_service.h"
#include "runtime/byte_reader.h"
#include "report/export/pdf/true_type.h"

#include <QByteArrayList>
#include <QStringList>

#include <cmath>
#include <optional>

namespace quittung {

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
    const FaceTables tables(ExtractCollectionFace(face.FileData(), face.FaceIndex()));
    const auto head = tables.table("head");
    const auto hhea = tables.table("hhea");
    if (!head || !hhea)
        return std::nullopt;
    try {
        const int upem = head->u16(18);
        if (upem == 0)
            return std::nullopt;
        PdfOutlineMetrics m;
        m.otmrcFontBox.left = scaled(head->s16(36), upem);
        m.otmrcFontBox.bottom = scaled(head->s16(38), upem);
        m.otmrcFontBox.right = scaled(head->s16(40), upem);
        m.otmrcFontBox.top = scaled(head->s16(42), upem);
        m.tmMaxCharWidth = scaled(hhea->u16(10), upem);

        const double hheaAscent = hhea->s16(4);
        const double hheaDescent = hhea->s16(6); // negative
        double winAscent = hheaAscent;
        double winDescent = -hheaDescent;
        double typoAscent = hheaAscent;
        double typoDescent = hheaDescent;
        m.tmWeight = (face.SynthesizeBold() ? 700 : 400);
        if (const auto os2 = tables.table("OS/2"); os2 && os2->size() >= 78) {
            m.tmAveCharWidth = scaled(os2->s16(2), upem);
            m.tmWeight = os2->u16(4);
            typoAscent = os2->s16(68);
            typoDescent = os2->s16(70);
            winAscent = os2->u16(74);
            winDescent = os2->u16(76);
            // usDefaultChar exists from version 2 on; older tables mean the space.
            if (os2->u16(0) >= 2 && os2->size() >= 96 && os2->u16(90) != 0)
                m.tmDefaultChar = os2->u16(90);
        } else {
            m.tmAveCharWidth = m.tmMaxCharWidth / 2;
        }
        // The cell height uses the Windows ascent and descent, as the face service's Ascent and
        // Descent do; the outline ascent and descent are the typographic ones.
        m.tmHeight = scaled(winAscent + winDescent, upem);
        m.tmInternalLeading = m.tmHeight - int(kEm);
        m.otmAscent = scaled(typoAscent, upem);
        m.otmDescent = scaled(typoDescent, upem);
        if (const auto post = tables.table("post"); post && post->size() >= 8) {
            // Fixed 16.16 degrees, reported in tenths of a degree.
            const auto raw = std::int32_t(post->u32(4));
            m.otmItalicAngle = int(std::lround(raw / 65536.0 * 10.0));
        }
        return m;
    } catch (...) {
        return std::nullopt;
    }
}

// Only TrueType outlines can be embedded as the PDF's font file.
bool hasTrueTypeOutlines(const FontFace& face)
{
    const QByteArray file = ExtractCollectionFace(face.FileData(), face.FaceIndex());
    const FaceTables tables(file);
    return file.startsWith(QByteArray::fromHex("00010000")) && tables.table("glyf") && tables.table("loca") &&
           tables.table("hmtx");
}

// The face the text is shaped, measured and embedded with. A face in another format (CFF-based
// OpenType, Type 1, bitmaps) is replaced by the face "Arial" resolves to, for all three alike, so
// the glyph numbers in the text always belong to the embedded file.
std::shared_ptr<const FontFace> embeddableFace(const TfrxFont& font)
{
    FontService& service = FontService::Instance();
    auto face = service.Face(font.Name(), font.Style() & (fsBold | fsItalic));
    if (hasTrueTypeOutlines(*face))
        return face;
    return service.Face(QStringLiteral("Arial"), font.Style() & (fsBold | fsItalic));
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

TfrxPDFFont::TfrxPDFFont(const TfrxFont& font) : SourceFont(font), m_face(embeddableFace(font)) {}

void TfrxPDFFont::FillOutlineTextMetrix()
{
    if (auto metrics = readMetrics(*m_face)) {
        TextMetric = *metrics;
        return;
    }
    if (auto arial = readMetrics(*FontService::Instance().Face(QStringLiteral("Arial"), 0)))
        TextMetric = *arial;
}

QString TfrxPDFFont::RemapString(const QString& text, bool rtl)
{
    if (text.isEmpty())
        return {};
    const auto glyphs = m_face->Shape(text, kEm, rtl);
    const bool oneToOne = glyphs.size() == std::size_t(text.size());
    QString result;
    result.reserve(qsizetype(glyphs.size()));
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const auto& glyph = glyphs[i];
        result.append(QChar(char16_t(glyph.index)));
        bool known = false;
        for (const auto used : UsedAlphabet)
            if (used == glyph.index) {
                known = true;
                break;
            }
        if (known)
            continue;
        UsedAlphabet.push_back(glyph.index);
        Widths.push_back(int(std::lround(glyph.advance)));
        char16_t character = char16_t(TextMetric.tmDefaultChar);
        if (oneToOne) {
            // Glyphs come in visual order, so a right-to-left line is read from its end.
            const qsizetype at = rtl ? text.size() - 1 - qsizetype(i) : qsizetype(i);
            character = text.at(at).unicode();
        }
        UsedAlphabetUnicode.push_back(character);
    }
    return result;
}

QString TfrxPDFFont::GetFontName() const
{
    const QString face = SourceFont.Name();
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
        const bool bold = SourceFont.Style() & fsBold;
        const bool italic = SourceFont.Style() & fsItalic;
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

QByteArray TfrxPDFFont::GetFontFile()
{
    const auto& source = m_face;
    FontData = source->FileData();
    if (PackFont) {
        // The face's own family and real styles pick the right face of a collection file; a
        // synthesized style has no face of that name.
        const bool bold = (SourceFont.Style() & fsBold) && !source->SynthesizeBold();
        const bool italic = (SourceFont.Style() & fsItalic) && !source->SynthesizeItalic();
        const QString wanted = TrueTypeCollection::wantedFullName(source->FamilyName(), bold, italic);
        FontData = TrueTypeCollection(FontData).PackFont(wanted, UsedAlphabet, ChecksumFaultAction::Warn,
                                                         std::size_t(source->FaceIndex()));
    }
    return FontData;
}

int TfrxPDFFont::StemV() const
{
    const double stem = TextMetric.tmWeight / 65.0;
    return int(std::lround(stem * stem)) + 50;
}

QByteArray TfrxPDFFont::StreamDictionary(qsizetype storedLength, qsizetype rawLength, bool compressed)
{
    QByteArray line = "<< /Length " + number(storedLength);
    if (compressed)
        line += "  /Filter /FlateDecode /Length1 " + number(rawLength);
    else
        line += " /Length1 " + number(storedLength);
    return line + " >>\r\n";
}

QByteArray TfrxPDFFont::FontDescriptorDictionary(int fontFileObject) const
{
    const QByteArray name = GetFontName().toLatin1();
    const PdfOutlineMetrics& m = TextMetric;
    QByteArrayList lines{
        "<<",
        "/Type /FontDescriptor",
        "/FontName /" + name,
        "/FontFamily /" + name,
        "/Flags 32",
        "/FontBBox [" + number(m.otmrcFontBox.left) + ' ' + number(m.otmrcFontBox.bottom) + ' ' +
            number(m.otmrcFontBox.right) + ' ' + number(m.otmrcFontBox.top) + " ]",
        "/ItalicAngle " + number(m.otmItalicAngle),
        "/Ascent " + number(m.otmAscent),
        "/Descent " + number(m.otmDescent),
        "/Leading " + number(m.tmInternalLeading),
        "/CapHeight " + number(m.tmHeight),
        "/StemV " + number(StemV()),
        "/AvgWidth " + number(m.tmAveCharWidth),
        "/MxWidth " + number(m.tmMaxCharWidth),
        "/MissingWidth " + number(m.tmAveCharWidth),
    };
    if (fontFileObject > 0)
        lines << "/FontFile2 " + reference(fontFileObject);
    lines << ">>";
    return pdfLines(lines);
}

QByteArray TfrxPDFFont::ToUnicodeMap() const
{
    auto hex4 = [](std::uint32_t value) { return QByteArray::number(value, 16).toUpper().rightJustified(4, '0'); };
    QByteArray cmapName = GetFontName().toLatin1();
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
        number(qint64(UsedAlphabet.size())) + " beginbfchar",
    };
    for (std::size_t i = 0; i < UsedAlphabet.size(); ++i)
        lines << '<' + hex4(UsedAlphabet[i]) + "> <" + hex4(UsedAlphabetUnicode[i]) + '>';
    lines << "endbfchar"
          << "endcmap"
          << "CMapName currentdict /CMap defineresource pop"
          << "end"
          << "end";
    return pdfLines(lines);
}

QByteArray TfrxPDFFont::CidSystemInfoDictionary()
{
    return pdfLines({"<<", "/Registry (Adobe) /Ordering (Identity) /Supplement 0", ">>"});
}

QByteArray TfrxPDFFont::DescendantFontDictionary(int cidSystemInfoObject, int descriptorObject) const
{
    QByteArray widths = "/W [ ";
    for (std::size_t i = 0; i < UsedAlphabet.size(); ++i)
        widths += number(UsedAlphabet[i]) + " [" + number(Widths[i]) + "] ";
    widths += ']';
    return pdfLines({
        "<<",
        "/Type /Font",
        "/Subtype /CIDFontType2",
        "/BaseFont /" + GetFontName().toLatin1(),
        "/CIDSystemInfo " + reference(cidSystemInfoObject),
        "/FontDescriptor " + reference(descriptorObject),
        widths,
        ">>",
    });
}

QByteArray TfrxPDFFont::FontDictionary(int descendantObject, int toUnicodeObject) const
{
    return pdfLines({
        "<<",
        "/Type /Font",
        "/Subtype /Type0",
        "/BaseFont /" + GetFontName().toLatin1(),
        "/Encoding /Identity-H",
        "/DescendantFonts [" + reference(descendantObject) + ']',
        "/ToUnicode " + reference(toUnicodeObject),
        ">>",
    });
}

} // namespace quittung
