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
    std::shared_ptr<const FontFace> face() const;
};

} // namespace quittung
