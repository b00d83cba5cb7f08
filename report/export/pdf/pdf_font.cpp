#include "report/export/pdf/pdf_font.h"

#include "report/engine/font_service.h"
#include "report/export/pdf/byte_reader.h"
#include "report/export/pdf/true_type.h"

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

bool isEastAsianFace(const QString& name)
{
    static const QStringList faces{QStringLiteral(u"ＭＳ ゴシック"), QStringLiteral(u"ＭＳ Ｐゴシック"),
                                   QStringLiteral(u"ＭＳ 明朝"), QStringLiteral(u"ＭＳ Ｐ明朝"),
                                   QStringLiteral("MS UI Gothic")};
    return faces.contains(name);
}

} // namespace

TfrxPDFFont::TfrxPDFFont(const TfrxFont& font) : SourceFont(font) {}

std::shared_ptr<const FontFace> TfrxPDFFont::face() const
{
    return FontService::Instance().Face(SourceFont.Name(), SourceFont.Style() & (fsBold | fsItalic));
}

void TfrxPDFFont::FillOutlineTextMetrix()
{
    if (auto metrics = readMetrics(*face())) {
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
    const auto glyphs = face()->Shape(text, kEm, rtl);
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
    const auto source = face();
    FontData = source->FileData();
    if (PackFont) {
        // The face's own family and real styles pick the right face of a collection file; a
        // synthesized style has no face of that name.
        const bool bold = (SourceFont.Style() & fsBold) && !source->SynthesizeBold();
        const bool italic = (SourceFont.Style() & fsItalic) && !source->SynthesizeItalic();
        const QString wanted = TrueTypeCollection::wantedFullName(source->FamilyName(), bold, italic);
        FontData = TrueTypeCollection(FontData).PackFont(wanted, UsedAlphabet);
    }
    return FontData;
}

} // namespace quittung
