#pragma once

#include "report/document/font.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace quittung {

class FontFace;

// The font's outline metrics, all in 1/1000 em (PDF glyph units); the italic angle in tenths of a
// degree. The box is left, top, right, bottom with y upwards, so top is the highest point.
struct PdfOutlineMetrics {
    int tmHeight = 0;
    int tmInternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    int tmWeight = 0;
    int tmDefaultChar = 32;
    int otmItalicAngle = 0;
    int otmAscent = 0;
    int otmDescent = 0;
    struct Box {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    } otmrcFontBox;
};

// One distinct font of a PDF document: the glyphs its text used and the font file to embed.
class TfrxPDFFont {
public:
    explicit TfrxPDFFont(const TfrxFont& font);

    // Reads the metrics from the face's own tables; a face without them takes Arial's.
    void FillOutlineTextMetrix();
    // The line as glyph indices (one 16-bit unit per glyph, visual order); records new glyphs.
    QString RemapString(const QString& text, bool rtl);
    // The PDF font name: escaped face name and style.
    QString GetFontName() const;
    // The font file (subset to the used glyphs when PackFont); also kept in FontData.
    QByteArray GetFontFile();

    // The font's PDF objects: each dictionary as it stands between the object line and "endobj",
    // every line ending with CR LF; the arguments are the object numbers referred to.
    // The dictionary line of the font file and ToUnicode streams, for stored (possibly deflated)
    // and raw data lengths.
    static QByteArray StreamDictionary(qsizetype storedLength, qsizetype rawLength, bool compressed);
    // fontFileObject 0: the font is not embedded.
    QByteArray FontDescriptorDictionary(int fontFileObject) const;
    // The text of the ToUnicode stream, before any deflating.
    QByteArray ToUnicodeMap() const;
    static QByteArray CidSystemInfoDictionary();
    QByteArray DescendantFontDictionary(int cidSystemInfoObject, int descriptorObject) const;
    QByteArray FontDictionary(int descendantObject, int toUnicodeObject) const;
    // The descriptor's stem width, from the weight.
    int StemV() const;

    TfrxFont SourceFont;
    QString Name;
    PdfOutlineMetrics TextMetric;
    std::vector<std::uint32_t> UsedAlphabet;
    std::vector<int> Widths;
    std::vector<char16_t> UsedAlphabetUnicode;
    QByteArray FontData;
    bool PackFont = true;
    int Reference = 0;
    bool Saved = false;

private:
    // Shaping, metrics and the font file all come from this face.
    std::shared_ptr<const FontFace> m_face;
};

} // namespace quittung
