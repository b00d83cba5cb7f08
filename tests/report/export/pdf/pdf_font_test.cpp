#include "report/export/pdf/pdf_font.h"

#include "report/engine/font_service.h"
#include "report/export/pdf/true_type.h"

#include <gtest/gtest.h>

namespace quittung {
namespace {

TfrxFont reportFont(const QString& name, int style)
{
    TfrxFont font;
    font.SetName(name);
    font.SetStyle(style);
    return font;
}

TEST(PdfFont, StartsEmptyWithPacking)
{
    const TfrxPDFFont font(reportFont(QStringLiteral("Arial"), fsBold));
    EXPECT_EQ(font.SourceFont.Name(), QStringLiteral("Arial"));
    EXPECT_EQ(font.SourceFont.Style(), int(fsBold));
    EXPECT_TRUE(font.PackFont);
    EXPECT_TRUE(font.UsedAlphabet.empty());
    EXPECT_TRUE(font.Widths.empty());
    EXPECT_TRUE(font.UsedAlphabetUnicode.empty());
    EXPECT_TRUE(font.FontData.isEmpty());
}

TEST(PdfFont, FontNameEscapesAndAddsStyle)
{
    struct Case {
        QString face;
        int style;
        QString expected;
    };
    const Case cases[] = {
        {QStringLiteral("Arial"), 0, QStringLiteral("Arial")},
        {QStringLiteral("Arial"), fsBold, QStringLiteral("Arial,Bold")},
        {QStringLiteral("Times New Roman"), fsItalic, QStringLiteral("Times#20New#20Roman,Italic")},
        {QStringLiteral("Arial"), fsBold | fsItalic | fsUnderline, QStringLiteral("Arial,BoldItalic")},
        {QStringLiteral("A(b)%<c>[d]{e}/f"), 0, QStringLiteral("A#28b#29#25#3Cc#3E#5Bd#5D#7Be#7D#2Ff")},
        // Bytes of 128 and more are written as hex; East Asian faces carry no style.
        {QStringLiteral(u"Schrift Ä"), 0, QStringLiteral("Schrift#20#C3#84")},
        {QStringLiteral("MS UI Gothic"), fsBold, QStringLiteral("MS#20UI#20Gothic")},
        {QStringLiteral(u"ＭＳ 明朝"), fsItalic, QStringLiteral("#EF#BC#AD#EF#BC#B3#20#E6#98#8E#E6#9C#9D")},
    };
    for (const auto& c : cases) {
        const TfrxPDFFont font(reportFont(c.face, c.style));
        EXPECT_EQ(font.GetFontName(), c.expected) << c.face.toStdString();
    }
}

TEST(PdfFont, MetricsAreInThousandthsOfAnEm)
{
    for (const int style : {0, int(fsBold), int(fsItalic)}) {
        TfrxPDFFont font(reportFont(QStringLiteral("Arial"), style));
        font.FillOutlineTextMetrix();
        const auto& m = font.TextMetric;
        SCOPED_TRACE(style);
        EXPECT_GT(m.otmAscent, 500);
        EXPECT_LT(m.otmAscent, 1200);
        EXPECT_LT(m.otmDescent, 0);
        EXPECT_GT(m.tmHeight, 900);
        EXPECT_EQ(m.tmInternalLeading, m.tmHeight - 1000);
        EXPECT_GT(m.tmAveCharWidth, 200);
        EXPECT_GT(m.tmMaxCharWidth, m.tmAveCharWidth);
        EXPECT_LT(m.otmrcFontBox.left, m.otmrcFontBox.right);
        EXPECT_LT(m.otmrcFontBox.bottom, 0);
        EXPECT_GT(m.otmrcFontBox.top, m.otmAscent - 1);
        EXPECT_GE(m.tmDefaultChar, 0);
        EXPECT_EQ(m.tmWeight, (style & fsBold) ? 700 : 400);
        if (style & fsItalic) {
            EXPECT_LT(m.otmItalicAngle, 0); // leaning right: a negative angle
        } else {
            EXPECT_EQ(m.otmItalicAngle, 0);
        }
    }
}

TEST(PdfFont, RemapRecordsEachGlyphOnceWithItsCharacter)
{
    TfrxPDFFont font(reportFont(QStringLiteral("Arial"), 0));
    font.FillOutlineTextMetrix();
    const QString text = QStringLiteral(u"Quittung ÄÖÜäöüß€");
    const QString glyphs = font.RemapString(text, false);
    ASSERT_EQ(glyphs.size(), text.size());

    // "t" and "u" occur twice: one entry each, first-use order.
    const QString distinct = QStringLiteral(u"Quitng ÄÖÜäöüß€");
    ASSERT_EQ(font.UsedAlphabet.size(), std::size_t(distinct.size()));
    ASSERT_EQ(font.Widths.size(), font.UsedAlphabet.size());
    ASSERT_EQ(font.UsedAlphabetUnicode.size(), font.UsedAlphabet.size());
    for (qsizetype i = 0; i < distinct.size(); ++i) {
        EXPECT_EQ(font.UsedAlphabetUnicode[std::size_t(i)], distinct.at(i).unicode()) << i;
        EXPECT_GT(font.Widths[std::size_t(i)], 0) << i;
        EXPECT_NE(font.UsedAlphabet[std::size_t(i)], 0u) << i; // every character is in the font
    }
    // The returned string is the glyph indices, position by position.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto index = glyphs.at(i).unicode();
        std::size_t slot = 0;
        while (slot < font.UsedAlphabet.size() && font.UsedAlphabet[slot] != index)
            ++slot;
        ASSERT_LT(slot, font.UsedAlphabet.size());
        EXPECT_EQ(font.UsedAlphabetUnicode[slot], text.at(i).unicode()) << i;
    }

    // A second line adds nothing new and returns the same glyphs.
    EXPECT_EQ(font.RemapString(QStringLiteral("tunQ"), false).size(), 4);
    EXPECT_EQ(font.UsedAlphabet.size(), std::size_t(distinct.size()));
    EXPECT_TRUE(font.RemapString(QString(), false).isEmpty());
}

TEST(PdfFont, SameGlyphFromTwoCharactersKeepsTheFirst)
{
    // Characters with a canonical singleton equivalent (Kelvin sign and K, Ohm sign and Omega,
    // Angstrom sign and Å) shape to the same glyph when the face lacks a glyph of its own for
    // one of them; at least one pair does in the default face.
    const QString pairs[] = {QStringLiteral(u"\u212AK"), QStringLiteral(u"\u2126\u03A9"),
                             QStringLiteral(u"\u212B\u00C5"), QStringLiteral(u" \u00A0")};
    int checked = 0;
    for (const auto& pair : pairs) {
        for (const bool swapped : {false, true}) {
            const QString line = swapped ? QString(pair.at(1)) + pair.at(0) : pair;
            TfrxPDFFont font(reportFont(QStringLiteral("Arial"), 0));
            font.FillOutlineTextMetrix();
            const QString glyphs = font.RemapString(line, false);
            ASSERT_EQ(glyphs.size(), 2);
            if (glyphs.at(0) != glyphs.at(1))
                continue;
            ++checked;
            ASSERT_EQ(font.UsedAlphabet.size(), 1u);
            EXPECT_EQ(font.UsedAlphabetUnicode[0], line.at(0).unicode());
        }
    }
    EXPECT_GT(checked, 0) << "no character pair shared a glyph";
}

TEST(PdfFont, FewerGlyphsThanCharactersMapToTheDefaultCharacter)
{
    // A decomposed umlaut composes to one glyph; DejaVu Sans joins "ff" into a ligature.
    const std::pair<QString, QString> cases[] = {{QStringLiteral("Arial"), QStringLiteral(u"Ka\u0308se")},
                                                 {QStringLiteral("DejaVu Sans"), QStringLiteral("Griffel")}};
    for (const auto& [face, text] : cases) {
        SCOPED_TRACE(face.toStdString());
        TfrxPDFFont font(reportFont(face, 0));
        font.FillOutlineTextMetrix();
        const QString glyphs = font.RemapString(text, false);
        ASSERT_LT(glyphs.size(), text.size());
        ASSERT_FALSE(font.UsedAlphabet.empty());
        for (const auto character : font.UsedAlphabetUnicode)
            EXPECT_EQ(int(character), font.TextMetric.tmDefaultChar);
        // A later line with one glyph per character keeps what the first line recorded.
        font.RemapString(QStringLiteral("K"), false);
        EXPECT_EQ(int(font.UsedAlphabetUnicode.front()), font.TextMetric.tmDefaultChar);
    }
}

TEST(PdfFont, RightToLeftLineReadsCharactersFromTheEnd)
{
    TfrxPDFFont font(reportFont(QStringLiteral("Arial"), 0));
    font.FillOutlineTextMetrix();
    // Latin text in a right-to-left paragraph keeps its order; glyph 0 then stands for the
    // last character by the rule, whatever the shaping did.
    const QString text = QStringLiteral("ab");
    const QString glyphs = font.RemapString(text, true);
    ASSERT_EQ(glyphs.size(), 2);
    ASSERT_EQ(font.UsedAlphabetUnicode.size(), 2u);
    EXPECT_EQ(font.UsedAlphabetUnicode[0], u'b');
    EXPECT_EQ(font.UsedAlphabetUnicode[1], u'a');
}

TEST(PdfFont, PackedFontFileIsAValidSmallerSubset)
{
    for (const int style : {0, int(fsBold)}) {
        SCOPED_TRACE(style);
        TfrxPDFFont font(reportFont(QStringLiteral("Arial"), style));
        font.FillOutlineTextMetrix();
        font.RemapString(QStringLiteral(u"Quittung ÄÖÜäöüß€"), false);

        font.PackFont = false;
        const QByteArray whole = font.GetFontFile();
        ASSERT_FALSE(whole.isEmpty());

        font.PackFont = true;
        const QByteArray subset = font.GetFontFile();
        EXPECT_EQ(subset, font.FontData);
        ASSERT_FALSE(subset.isEmpty());
        EXPECT_LT(subset.size(), whole.size());

        TrueTypeCollection reread(subset);
        ASSERT_EQ(reread.fonts().size(), 1u);
        auto& packed = *reread.fonts().front();
        ASSERT_NO_THROW(packed.PrepareFont(ChecksumFaultAction::ThrowException));
        const auto& loca = packed.locations();
        for (std::size_t i = 0; i < font.UsedAlphabet.size(); ++i) {
            const auto glyph = font.UsedAlphabet[i];
            ASSERT_LT(glyph + 1, loca.size());
            // Used glyphs keep their outlines (the space has none).
            if (font.UsedAlphabetUnicode[i] != u' ') {
                EXPECT_GT(loca[glyph + 1], loca[glyph]) << glyph;
            }
        }
        // Glyph indices are unchanged: the subset's cmap still maps the characters to them.
        EXPECT_EQ(packed.glyphIndex(u'Q'), font.UsedAlphabet[0]);
    }
}

TEST(PdfFont, FaceWithoutTrueTypeOutlinesIsReplacedByArial)
{
    // Nimbus Sans is CFF-based OpenType: its glyphs cannot go into a TrueType font file.
    const QString cff = QStringLiteral("Nimbus Sans");
    ASSERT_TRUE(FontService::Instance().Face(cff, 0)->FilePath().endsWith(QStringLiteral(".otf")));
    TfrxPDFFont nimbus(reportFont(cff, 0));
    TfrxPDFFont arial(reportFont(QStringLiteral("Arial"), 0));
    nimbus.FillOutlineTextMetrix();
    arial.FillOutlineTextMetrix();
    const QString text = QStringLiteral(u"Quittung €");
    EXPECT_EQ(nimbus.RemapString(text, false), arial.RemapString(text, false));
    EXPECT_EQ(nimbus.Widths, arial.Widths);
    EXPECT_EQ(nimbus.TextMetric.otmAscent, arial.TextMetric.otmAscent);
    EXPECT_EQ(nimbus.GetFontName(), QStringLiteral("Nimbus#20Sans"));

    TrueTypeCollection embedded(nimbus.GetFontFile());
    embedded.fonts().front()->PrepareFont(ChecksumFaultAction::ThrowException);
    EXPECT_EQ(embedded.fonts().front()->fullName(), QStringLiteral("Liberation Sans"));
}

TEST(PdfFont, FontObjectTexts)
{
    TfrxPDFFont font(reportFont(QStringLiteral("Arial"), fsBold));
    font.TextMetric.tmHeight = 1149;
    font.TextMetric.tmInternalLeading = 149;
    font.TextMetric.tmAveCharWidth = 479;
    font.TextMetric.tmMaxCharWidth = 2000;
    font.TextMetric.tmWeight = 700;
    font.TextMetric.otmItalicAngle = -120;
    font.TextMetric.otmAscent = 905;
    font.TextMetric.otmDescent = -212;
    font.TextMetric.otmrcFontBox = {-628, 1055, 2000, -210};
    font.UsedAlphabet = {52, 3, 2573};
    font.Widths = {778, 278, 556};
    font.UsedAlphabetUnicode = {u'Q', u' ', u'\u20AC'};

    EXPECT_EQ(font.FontDescriptorDictionary(7), QByteArray("<<\r\n"
                                                          "/Type /FontDescriptor\r\n"
                                                          "/FontName /Arial,Bold\r\n"
                                                          "/FontFamily /Arial,Bold\r\n"
                                                          "/Flags 32\r\n"
                                                          "/FontBBox [-628 -210 2000 1055 ]\r\n"
                                                          "/ItalicAngle -120\r\n"
                                                          "/Ascent 905\r\n"
                                                          "/Descent -212\r\n"
                                                          "/Leading 149\r\n"
                                                          "/CapHeight 1149\r\n"
                                                          "/StemV 166\r\n"
                                                          "/AvgWidth 479\r\n"
                                                          "/MxWidth 2000\r\n"
                                                          "/MissingWidth 479\r\n"
                                                          "/FontFile2 7 0 R\r\n"
                                                          ">>\r\n"));
    EXPECT_FALSE(font.FontDescriptorDictionary(0).contains("/FontFile2"));
    EXPECT_EQ(font.ToUnicodeMap(), QByteArray("/CIDInit /ProcSet findresource begin\r\n"
                                              "12 dict begin\r\n"
                                              "begincmap\r\n"
                                              "/CIDSystemInfo\r\n"
                                              "<< /Registry (Adobe)\r\n"
                                              "/Ordering (UCS)\r\n"
                                              "/Supplement 0\r\n"
                                              ">> def\r\n"
                                              "/CMapName /Arial+Bold def\r\n"
                                              "/CMapType 2 def\r\n"
                                              "1 begincodespacerange\r\n"
                                              "<0000> <FFFF>\r\n"
                                              "endcodespacerange\r\n"
                                              "3 beginbfchar\r\n"
                                              "<0034> <0051>\r\n"
                                              "<0003> <0020>\r\n"
                                              "<0A0D> <20AC>\r\n"
                                              "endbfchar\r\n"
                                              "endcmap\r\n"
                                              "CMapName currentdict /CMap defineresource pop\r\n"
                                              "end\r\n"
                                              "end\r\n"));
    EXPECT_EQ(TfrxPDFFont::CidSystemInfoDictionary(),
              QByteArray("<<\r\n/Registry (Adobe) /Ordering (Identity) /Supplement 0\r\n>>\r\n"));
    EXPECT_EQ(font.DescendantFontDictionary(10, 8), QByteArray("<<\r\n"
                                                               "/Type /Font\r\n"
                                                               "/Subtype /CIDFontType2\r\n"
                                                               "/BaseFont /Arial,Bold\r\n"
                                                               "/CIDSystemInfo 10 0 R\r\n"
                                                               "/FontDescriptor 8 0 R\r\n"
                                                               "/W [ 52 [778] 3 [278] 2573 [556] ]\r\n"
                                                               ">>\r\n"));
    EXPECT_EQ(font.FontDictionary(11, 9), QByteArray("<<\r\n"
                                                     "/Type /Font\r\n"
                                                     "/Subtype /Type0\r\n"
                                                     "/BaseFont /Arial,Bold\r\n"
                                                     "/Encoding /Identity-H\r\n"
                                                     "/DescendantFonts [11 0 R]\r\n"
                                                     "/ToUnicode 9 0 R\r\n"
                                                     ">>\r\n"));
    EXPECT_EQ(TfrxPDFFont::StreamDictionary(1200, 5000, true),
              QByteArray("<< /Length 1200  /Filter /FlateDecode /Length1 5000 >>\r\n"));
    EXPECT_EQ(TfrxPDFFont::StreamDictionary(5000, 5000, false), QByteArray("<< /Length 5000 /Length1 5000 >>\r\n"));
}

TEST(PdfFont, StemWidthFromWeight)
{
    const std::pair<int, int> cases[] = {{400, 88}, {700, 166}, {0, 50}, {100, 52}, {900, 242}};
    TfrxPDFFont font(reportFont(QStringLiteral("Arial"), 0));
    for (const auto& [weight, stem] : cases) {
        font.TextMetric.tmWeight = weight;
        EXPECT_EQ(font.StemV(), stem) << weight;
    }
}

} // namespace
} // namespace quittung
