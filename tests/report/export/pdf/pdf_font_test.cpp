#include "report/export/pdf/pdf_font.h"

#include "report/engine/text/font_file.h"
#include "report/engine/text/font_service.h"
#include "report/export/pdf/true_type.h"
#include "tests/support/recording_engine_host.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

namespace quittung::report {
namespace {

Font reportFont(const QString& name, FontStyles style)
{
    Font font;
    font.setName(name);
    font.setStyle(style);
    return font;
}

// A table of a plain font file, for reading and changing in place.
ByteReader tableOf(const QByteArray& file, const char* tag)
{
    return FontFile(file).table(*FontFile(file).directory(0).find(tag));
}

qsizetype tableOffset(const QByteArray& file, const char* tag)
{
    return FontFile(file).directory(0).find(tag)->offset;
}

// Liberation Sans under the family name `family` (as long as "Liberation Sans"), changed by
// `change`, made known to fontconfig for this process, so that the font service resolves the name
// to it. The name table's checksum is left as it was when `keepNameChecksum` is set.
void addChangedLiberationSans(const QString& family, const std::function<void(QByteArray&)>& change,
                              bool keepNameChecksum = false)
{
    static QTemporaryDir dir;
    QByteArray font = FontService::instance().face(QStringLiteral("Arial"), 0)->fileData();
    const FontFile file(font);
    const TableDirectory directory = file.directory(0);
    const FontTableEntry& name = *directory.find("name");
    QByteArray names = file.table(name).bytes(0, name.length);
    const QString original = QStringLiteral("Liberation Sans");
    ASSERT_EQ(family.size(), original.size());
    names.replace(original.toLatin1(), family.toLatin1());
    auto utf16 = [](const QString& text) {
        QByteArray out;
        for (const QChar c : text)
            out.append(char(c.unicode() >> 8)).append(char(c.unicode()));
        return out;
    };
    names.replace(utf16(original), utf16(family));
    font.replace(name.offset, name.length, names);
    change(font);
    for (const FontTableEntry& entry : directory.entries) {
        if (entry.tag == "head" || (keepNameChecksum && entry.tag == "name"))
            continue;
        const qsizetype at = 12 + 16 * (&entry - directory.entries.data());
        putU32(font, at + 4, tableChecksum(font.mid(entry.offset, entry.length)));
    }
    const QString path = dir.filePath(family + QStringLiteral(".ttf"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    ASSERT_EQ(out.write(font), font.size());
    out.close();
    ASSERT_TRUE(FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(path.toUtf8().constData())));
    ASSERT_EQ(FontService::instance().face(family, 0)->filePath(), path);
}

// The advance width hmtx gives a glyph, in 1/1000 em.
int hmtxWidth(const FontFace& face, std::uint32_t glyph)
{
    const QByteArray file = FontFile(face.fileData()).singleFont(std::size_t(face.faceIndex()));
    const std::uint16_t longMetrics = tableOf(file, "hhea").u16(34);
    const std::uint16_t advance = tableOf(file, "hmtx").u16(4 * std::min<qsizetype>(glyph, longMetrics - 1));
    return int(std::lround(advance * 1000.0 / tableOf(file, "head").u16(18)));
}

TEST(PdfFont, StartsEmptyWithPacking)
{
    const PdfFont font(reportFont(QStringLiteral("Arial"), FontStyle::Bold));
    EXPECT_EQ(font.sourceFont().name(), QStringLiteral("Arial"));
    EXPECT_EQ(font.sourceFont().style(), FontStyles(FontStyle::Bold));
    EXPECT_TRUE(font.subset());
    EXPECT_TRUE(font.usedGlyphs().empty());
    EXPECT_TRUE(font.widths().empty());
    EXPECT_TRUE(font.usedTexts().empty());
    EXPECT_TRUE(font.fontData().isEmpty());
}

TEST(PdfFont, FontNameEscapesAndAddsStyle)
{
    struct Case {
        QString face;
        FontStyles style;
        QString expected;
    };
    const Case cases[] = {
        {QStringLiteral("Arial"), {}, QStringLiteral("Arial")},
        {QStringLiteral("Arial"), FontStyle::Bold, QStringLiteral("Arial,Bold")},
        {QStringLiteral("Times New Roman"), FontStyle::Italic, QStringLiteral("Times#20New#20Roman,Italic")},
        {QStringLiteral("Arial"), FontStyle::Bold | FontStyle::Italic | FontStyle::Underline,
            QStringLiteral("Arial,BoldItalic")},
        {QStringLiteral("A(b)%<c>[d]{e}/f"), {}, QStringLiteral("A#28b#29#25#3Cc#3E#5Bd#5D#7Be#7D#2Ff")},
        // Bytes of 128 and more are written as hex; East Asian faces carry no style.
        {QStringLiteral(u"Schrift Ä"), {}, QStringLiteral("Schrift#20#C3#84")},
        {QStringLiteral("MS UI Gothic"), FontStyle::Bold, QStringLiteral("MS#20UI#20Gothic")},
        {QStringLiteral(u"ＭＳ 明朝"), FontStyle::Italic, QStringLiteral("#EF#BC#AD#EF#BC#B3#20#E6#98#8E#E6#9C#9D")},
        // Meiryo is looked up under its English name but keeps its style.
        {QStringLiteral(u"メイリオ"), FontStyle::Bold, QStringLiteral("#E3#83#A1#E3#82#A4#E3#83#AA#E3#82#AA,Bold")},
    };
    for (const auto& c : cases) {
        const PdfFont font(reportFont(c.face, c.style));
        EXPECT_EQ(font.getFontName(), c.expected) << c.face.toStdString();
    }
}

TEST(PdfFont, MetricsAreInThousandthsOfAnEm)
{
    for (const FontStyles style : {FontStyles(), FontStyles(FontStyle::Bold), FontStyles(FontStyle::Italic)}) {
        PdfFont font(reportFont(QStringLiteral("Arial"), style));
        font.fillOutlineTextMetrics();
        const auto& m = font.metrics();
        SCOPED_TRACE(style.toInt());
        EXPECT_GT(m.ascent, 500);
        EXPECT_LT(m.ascent, 1200);
        EXPECT_LT(m.descent, 0);
        EXPECT_GT(m.height, 900);
        EXPECT_EQ(m.internalLeading, m.height - 1000);
        EXPECT_GT(m.averageCharWidth, 200);
        EXPECT_GT(m.maxCharWidth, m.averageCharWidth);
        EXPECT_LT(m.fontBox.left, m.fontBox.right);
        EXPECT_LT(m.fontBox.bottom, 0);
        EXPECT_GT(m.fontBox.top, m.ascent - 1);
        EXPECT_GE(m.defaultChar, 0);
        EXPECT_EQ(m.weight, (style & FontStyle::Bold) ? 700 : 400);
        if (style & FontStyle::Italic) {
            EXPECT_LT(m.italicAngle, 0); // leaning right: a negative angle
        } else {
            EXPECT_EQ(m.italicAngle, 0);
        }
    }
}

TEST(PdfFont, MetricsAreTheCellLayoutMeasures)
{
    // Windows metrics of zero: the cell comes from hhea, in layout and in the PDF alike.
    const QString zeroWindowsMetrics = QStringLiteral("Quittung Test A");
    addChangedLiberationSans(zeroWindowsMetrics, [](QByteArray& font) {
        const qsizetype os2 = tableOffset(font, "OS/2");
        putU16(font, os2 + 74, 0);
        putU16(font, os2 + 76, 0);
        const qsizetype hhea = tableOffset(font, "hhea");
        putU16(font, hhea + 4, 1900);
        putU16(font, hhea + 6, std::uint16_t(-500));
    });
    struct Case {
        QString family;
        FontStyles style;
        int ascent;
        int descent;
    };
    const Case cases[] = {
        {QStringLiteral("Arial"), {}, 905, -212},
        {QStringLiteral("Arial"), FontStyle::Bold | FontStyle::Italic, 905, -212},
        {QStringLiteral("DejaVu Sans"), {}, 928, -236},
        {zeroWindowsMetrics, {}, 928, -244},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.family.toStdString());
        PdfFont font(reportFont(c.family, c.style));
        font.fillOutlineTextMetrics();
        const auto face = FontService::instance().face(c.family, c.style.toInt());
        const auto& m = font.metrics();
        EXPECT_EQ(m.ascent, c.ascent);
        EXPECT_EQ(m.descent, c.descent);
        EXPECT_EQ(m.ascent, std::lround(face->ascent(1000)));
        EXPECT_EQ(m.descent, -std::lround(face->descent(1000)));
        EXPECT_EQ(m.height, std::lround(face->ascent(1000) + face->descent(1000)));
        EXPECT_EQ(m.internalLeading, m.height - 1000);
        // The box is head's, so it holds the outlines whatever the cell is.
        const auto& f = face->metrics();
        EXPECT_EQ(m.fontBox.top, std::lround(f.yMax * 1000.0 / face->unitsPerEm()));
        EXPECT_EQ(m.fontBox.bottom, std::lround(f.yMin * 1000.0 / face->unitsPerEm()));
    }
}

TEST(PdfFont, GlyphWidthsAreTheFontsOwnWhateverTextCameFirst)
{
    // Kerned pairs in both orders: the shaped advance of A next to V is smaller than its width.
    const QStringList texts{QStringLiteral("Quittung"), QStringLiteral("AV"), QStringLiteral("VA"),
                            QStringLiteral("Gesamt :"), QStringLiteral("--EINHUNDERTNEUNZEHN--")};
    PdfFont forwards(reportFont(QStringLiteral("Arial"), {}));
    PdfFont backwards(reportFont(QStringLiteral("Arial"), {}));
    for (qsizetype i = 0; i < texts.size(); ++i) {
        forwards.remapString(texts.at(i), false);
        backwards.remapString(texts.at(texts.size() - 1 - i), false);
    }
    const auto face = FontService::instance().face(QStringLiteral("Arial"), 0);
    for (const PdfFont* font : {&forwards, &backwards}) {
        ASSERT_EQ(font->widths().size(), font->usedGlyphs().size());
        for (std::size_t i = 0; i < font->usedGlyphs().size(); ++i) {
            const std::uint32_t glyph = font->usedGlyphs()[i];
            EXPECT_EQ(font->widths()[i], hmtxWidth(*face, glyph)) << glyph;
            EXPECT_EQ(font->glyphWidth(glyph), hmtxWidth(*face, glyph)) << glyph;
        }
    }

    // The kerning stays in the shaped glyphs, for the positions in the page content.
    const auto pair = forwards.remapGlyphs(QStringLiteral("AV"), false);
    ASSERT_EQ(pair.size(), 2u);
    EXPECT_EQ(forwards.glyphWidth(pair[0].index), 667);
    EXPECT_LT(std::lround(pair[0].advance), 667);
}

TEST(PdfFont, RemapRecordsEachGlyphOnceWithItsCharacter)
{
    PdfFont font(reportFont(QStringLiteral("Arial"), {}));
    font.fillOutlineTextMetrics();
    const QString text = QStringLiteral(u"Quittung ÄÖÜäöüß€");
    bool readsBack = false;
    const auto shaped = font.remapGlyphs(text, false, &readsBack);
    EXPECT_TRUE(readsBack);
    QString glyphs;
    for (const auto& glyph : shaped)
        glyphs.append(QChar(char16_t(glyph.index)));
    EXPECT_EQ(font.remapString(text, false), glyphs);
    ASSERT_EQ(glyphs.size(), text.size());

    // "t" and "u" occur twice: one entry each, first-use order.
    const QString distinct = QStringLiteral(u"Quitng ÄÖÜäöüß€");
    ASSERT_EQ(font.usedGlyphs().size(), std::size_t(distinct.size()));
    ASSERT_EQ(font.widths().size(), font.usedGlyphs().size());
    ASSERT_EQ(font.usedTexts().size(), font.usedGlyphs().size());
    for (qsizetype i = 0; i < distinct.size(); ++i) {
        EXPECT_EQ(font.usedTexts()[std::size_t(i)], QString(distinct.at(i))) << i;
        EXPECT_GT(font.widths()[std::size_t(i)], 0) << i;
        EXPECT_NE(font.usedGlyphs()[std::size_t(i)], 0u) << i; // every character is in the font
    }
    // The returned string is the glyph indices, position by position.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto index = glyphs.at(i).unicode();
        std::size_t slot = 0;
        while (slot < font.usedGlyphs().size() && font.usedGlyphs()[slot] != index)
            ++slot;
        ASSERT_LT(slot, font.usedGlyphs().size());
        EXPECT_EQ(font.usedTexts()[slot], QString(text.at(i))) << i;
    }

    // A second line adds nothing new, returns the same glyphs and reads back as it is.
    EXPECT_EQ(font.remapGlyphs(QStringLiteral("tunQ"), false, &readsBack).size(), 4u);
    EXPECT_TRUE(readsBack);
    EXPECT_EQ(font.usedGlyphs().size(), std::size_t(distinct.size()));
    EXPECT_TRUE(font.remapString(QString(), false).isEmpty());
}

// What each glyph stands for in the ToUnicode map, and which lines the map alone reads back: lines
// in order through one font, each with whether it reads back, then the texts the map must hold.
TEST(PdfFont, GlyphsStandForAllTheirCharactersAndNeverForOthers)
{
    struct Line {
        QString text;
        bool readsBack;
        bool rtl = false;
    };
    struct Case {
        const char* name;
        QString face;
        std::vector<Line> lines;
        QStringList texts;
    };
    const Case cases[] = {
        // A decomposed umlaut composes to one glyph, which stands for both characters; the
        // precomposed letter then shows the same glyph for another text.
        {"combining mark", QStringLiteral("Arial"),
            {{QStringLiteral(u"Ka\u0308se"), true}, {QStringLiteral(u"Käse"), false}, {QStringLiteral(u"Ka\u0308se"), true}},
            {QStringLiteral("K"), QStringLiteral(u"a\u0308"), QStringLiteral("s"), QStringLiteral("e")}},
        // DejaVu Sans joins "ff" into a ligature; the typed ligature character is a glyph of its own.
        {"ligature", QStringLiteral("DejaVu Sans"),
            {{QStringLiteral("Griffel"), true}, {QStringLiteral(u"Oﬃce ﬁnance"), true}},
            {QStringLiteral("ff"), QStringLiteral(u"ﬃ"), QStringLiteral(u"ﬁ")}},
        // The emoji has no glyph: the missing glyph maps to nothing, the letters around it to themselves.
        {"missing glyph", QStringLiteral("Arial"),
            {{QStringLiteral(u"Café 😀 GmbH"), false}, {QStringLiteral("Von: Beratung"), true}},
            {QStringLiteral("V"), QStringLiteral("a"), QStringLiteral("f"), QStringLiteral("m"), QStringLiteral(u"é")}},
        // Latin text in a right-to-left paragraph keeps its order and its characters.
        {"right to left", QStringLiteral("Arial"), {{QStringLiteral("ab"), true, true}},
            {QStringLiteral("a"), QStringLiteral("b")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PdfFont font(reportFont(c.face, {}));
        font.fillOutlineTextMetrics();
        for (const Line& line : c.lines) {
            bool readsBack = !line.readsBack;
            font.remapGlyphs(line.text, line.rtl, &readsBack);
            EXPECT_EQ(readsBack, line.readsBack) << line.text.toStdString();
        }
        for (const QString& text : c.texts) {
            EXPECT_EQ(std::count(font.usedTexts().begin(), font.usedTexts().end(), text), 1) << text.toStdString();
        }
        // One glyph stands for the space, the space's own; the missing glyph stands for nothing.
        EXPECT_LE(std::count(font.usedTexts().begin(), font.usedTexts().end(), QStringLiteral(" ")), 1);
        for (std::size_t i = 0; i < font.usedGlyphs().size(); ++i) {
            if (font.usedGlyphs()[i] == 0)
                EXPECT_TRUE(font.usedTexts()[i].isEmpty());
        }
    }
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
            PdfFont font(reportFont(QStringLiteral("Arial"), {}));
            font.fillOutlineTextMetrics();
            bool readsBack = true;
            const auto glyphs = font.remapGlyphs(line, false, &readsBack);
            ASSERT_EQ(glyphs.size(), 2u);
            if (glyphs.at(0).index != glyphs.at(1).index)
                continue;
            ++checked;
            ASSERT_EQ(font.usedGlyphs().size(), 1u);
            EXPECT_EQ(font.usedTexts()[0], QString(line.at(0)));
            // The map cannot say the second character: the line carries its text itself.
            EXPECT_FALSE(readsBack);
        }
    }
    EXPECT_GT(checked, 0) << "no character pair shared a glyph";
}

TEST(PdfFont, PackedFontFileIsAValidSmallerSubset)
{
    for (const FontStyles style : {FontStyles(), FontStyles(FontStyle::Bold)}) {
        SCOPED_TRACE(style.toInt());
        PdfFont font(reportFont(QStringLiteral("Arial"), style));
        font.fillOutlineTextMetrics();
        font.remapString(QStringLiteral(u"Quittung ÄÖÜäöüß€"), false);

        font.setSubset(false);
        const QByteArray whole = font.getFontFile();
        ASSERT_FALSE(whole.isEmpty());
        EXPECT_EQ(font.baseFontName(), font.getFontName());

        font.setSubset(true);
        const QByteArray subset = font.getFontFile();
        EXPECT_EQ(subset, font.fontData());
        // A subset is named with a tag of its glyphs in front, so readers know it is one.
        EXPECT_EQ(font.baseFontName(), PdfFont::subsetTag(font.usedGlyphs(), font.getFontName()) + u'+' + font.getFontName());
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z]{6}$")).match(PdfFont::subsetTag(font.usedGlyphs())).hasMatch());
        EXPECT_NE(PdfFont::subsetTag(font.usedGlyphs()), PdfFont::subsetTag({0, 1}));
        EXPECT_TRUE(font.descendantFontDictionary(1, 2).contains("/BaseFont /" + font.baseFontName().toLatin1()));
        ASSERT_FALSE(subset.isEmpty());
        EXPECT_LT(subset.size(), whole.size());

        TrueTypeCollection reread(subset);
        ASSERT_EQ(reread.fonts().size(), 1u);
        auto& packed = *reread.fonts().front();
        ASSERT_NO_THROW(packed.prepareFont(ChecksumFaultAction::ThrowException));
        const auto& loca = packed.locations();
        for (std::size_t i = 0; i < font.usedGlyphs().size(); ++i) {
            const auto glyph = font.usedGlyphs()[i];
            ASSERT_LT(glyph + 1, loca.size());
            // Used glyphs keep their outlines (the space has none).
            if (font.usedTexts()[i] != QStringLiteral(" ")) {
                EXPECT_GT(loca[glyph + 1], loca[glyph]) << glyph;
            }
        }
        // Glyph indices are unchanged: the subset's cmap still maps the characters to them.
        EXPECT_EQ(packed.glyphIndex(u'Q'), font.usedGlyphs()[0]);
    }
}

// With common characters, documents of different words embed one and the same subset, which
// holds every common character's outline while the font's tables still list only the used glyphs.
TEST(PdfFont, CommonCharactersMakeDocumentsShareTheirSubset)
{
    const QString common = QStringLiteral(u"0123456789abcdefghijklmnopqrstuvwxyzäöüß€");
    const auto document = [&](const QString& text) {
        auto font = std::make_unique<PdfFont>(reportFont(QStringLiteral("Arial"), {}));
        font->fillOutlineTextMetrics();
        font->remapString(text, false);
        font->setCommonCharacters(common);
        font->getFontFile();
        return font;
    };
    const auto first = document(QStringLiteral(u"einhundert Euro"));
    const auto second = document(QStringLiteral(u"zwölf Euro"));
    // A text beyond the common characters gets a subset of its own.
    const auto third = document(QStringLiteral(u"zwölf Euro – Ω"));

    EXPECT_EQ(first->fontData(), second->fontData());
    EXPECT_EQ(first->baseFontName(), second->baseFontName());
    EXPECT_EQ(first->deflatedFontData(), second->deflatedFontData());
    QByteArray inflated(second->fontData().size(), '\0');
    uLongf inflatedSize = uLongf(inflated.size());
    const QByteArray deflated = second->deflatedFontData();
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(inflated.data()), &inflatedSize,
                  reinterpret_cast<const Bytef*>(deflated.constData()), uLong(deflated.size())),
        Z_OK);
    EXPECT_EQ(inflated, second->fontData());
    EXPECT_NE(third->fontData(), second->fontData());
    EXPECT_NE(third->baseFontName(), second->baseFontName());
    // Bold has the same glyph numbers, and so the same set, but a tag of its own.
    PdfFont bold(reportFont(QStringLiteral("Arial"), FontStyle::Bold));
    bold.fillOutlineTextMetrics();
    bold.remapString(QStringLiteral(u"zwölf Euro"), false);
    bold.setCommonCharacters(common);
    bold.getFontFile();
    EXPECT_NE(bold.baseFontName().left(6), second->baseFontName().left(6));

    // Used glyphs only in the font's widths ("/W [ g [w] g [w] … ]") and text map.
    ASSERT_EQ(second->usedGlyphs().size(), 10u);
    EXPECT_EQ(second->descendantFontDictionary(1, 2).count(" ["), 11);
    EXPECT_TRUE(second->toUnicodeMap().contains("\r\n10 beginbfchar\r\n"));

    TrueTypeCollection reread(second->fontData());
    auto& packed = *reread.fonts().front();
    ASSERT_NO_THROW(packed.prepareFont(ChecksumFaultAction::ThrowException));
    const auto& loca = packed.locations();
    for (const QChar character : common) {
        const quint32 glyph = packed.glyphIndex(character.unicode());
        ASSERT_NE(glyph, 0u) << int(character.unicode());
        EXPECT_GT(loca[glyph + 1], loca[glyph]) << "no outline for " << int(character.unicode());
    }
    // A glyph neither used nor common is not in the subset.
    const quint32 capitalQ = packed.glyphIndex(u'Q');
    EXPECT_EQ(loca[capitalQ + 1], loca[capitalQ]);
}

TEST(PdfFont, ChecksumFaultOfTheFontFileIsAQuestionOfTheExport)
{
    const QString family = QStringLiteral("Quittung Test B");
    addChangedLiberationSans(family, [](QByteArray&) {}, true);
    PdfFont font(reportFont(family, {}));
    font.remapString(QStringLiteral("Quittung"), false);
    const QByteArray& file = FontService::instance().face(family, 0)->fileData();
    const FontTableEntry name = *FontFile(file).directory(0).find("name");
    RecordingEngineHost host;
    const QByteArray subset = font.getFontFile();
    EXPECT_EQ(host.shown, QStringList{QStringLiteral("Font table checksum error|Table ID \"name\" checksum error.%1 %2")
                                          .arg(tableChecksum(file.mid(name.offset, name.length)))
                                          .arg(name.checksum)});
    EXPECT_EQ(tableChecksum(subset), 0xB1B0AFBAu);
}

TEST(PdfFont, FaceWithoutTrueTypeOutlinesIsReplacedByArial)
{
    // Nimbus Sans is CFF-based OpenType: its glyphs cannot go into a TrueType font file.
    const QString cff = QStringLiteral("Nimbus Sans");
    ASSERT_TRUE(FontService::instance().face(cff, 0)->filePath().endsWith(QStringLiteral(".otf")));
    PdfFont nimbus(reportFont(cff, {}));
    PdfFont arial(reportFont(QStringLiteral("Arial"), {}));
    nimbus.fillOutlineTextMetrics();
    arial.fillOutlineTextMetrics();
    const QString text = QStringLiteral(u"Quittung €");
    EXPECT_EQ(nimbus.remapString(text, false), arial.remapString(text, false));
    EXPECT_EQ(nimbus.widths(), arial.widths());
    EXPECT_EQ(nimbus.metrics().ascent, arial.metrics().ascent);
    EXPECT_EQ(nimbus.getFontName(), QStringLiteral("Nimbus#20Sans"));

    TrueTypeCollection embedded(nimbus.getFontFile());
    embedded.fonts().front()->prepareFont(ChecksumFaultAction::ThrowException);
    EXPECT_EQ(embedded.fonts().front()->fullName(), QStringLiteral("Liberation Sans"));
}

TEST(PdfFont, FontObjectTexts)
{
    PdfFont font(reportFont(QStringLiteral("Arial"), FontStyle::Bold));
    PdfOutlineMetrics metrics;
    metrics.height = 1149;
    metrics.internalLeading = 149;
    metrics.averageCharWidth = 479;
    metrics.maxCharWidth = 2000;
    metrics.weight = 700;
    metrics.italicAngle = -120;
    metrics.ascent = 905;
    metrics.descent = -212;
    metrics.fontBox = {-628, 1055, 2000, -210};
    font.setMetrics(metrics);
    font.setUsedGlyphs({52, 3, 2573, 2574, 2575}, {778, 278, 556, 500, 500},
        {QStringLiteral("Q"), QStringLiteral(" "), QStringLiteral(u"\u20AC"), QString(), QStringLiteral(u"ﬃ😀")});

    EXPECT_EQ(font.fontDescriptorDictionary(7), QByteArray("<<\r\n"
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
    EXPECT_FALSE(font.fontDescriptorDictionary(0).contains("/FontFile2"));
    EXPECT_EQ(font.toUnicodeMap(), QByteArray("/CIDInit /ProcSet findresource begin\r\n"
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
                                              "4 beginbfchar\r\n"
                                              "<0034> <0051>\r\n"
                                              "<0003> <0020>\r\n"
                                              "<0A0D> <20AC>\r\n"
                                              "<0A0F> <FB03D83DDE00>\r\n"
                                              "endbfchar\r\n"
                                              "endcmap\r\n"
                                              "CMapName currentdict /CMap defineresource pop\r\n"
                                              "end\r\n"
                                              "end\r\n"));
    // A CMap section holds at most 100 entries; glyphs without a text have none.
    std::vector<std::uint32_t> many(250);
    std::vector<QString> texts(250);
    for (std::size_t i = 0; i < many.size(); ++i) {
        many[i] = std::uint32_t(i + 1);
        texts[i] = i % 10 == 0 ? QString() : QString(QChar(char16_t(0x4E00 + i)));
    }
    font.setUsedGlyphs(many, std::vector<int>(250, 500), texts);
    const QByteArray manyMap = font.toUnicodeMap();
    EXPECT_EQ(manyMap.count("100 beginbfchar\r\n"), 2);
    EXPECT_EQ(manyMap.count("25 beginbfchar\r\n"), 1);
    EXPECT_EQ(manyMap.count("endbfchar\r\n"), 3);
    EXPECT_FALSE(manyMap.contains("<000B> <"));
    font.setUsedGlyphs({52, 3, 2573, 2574, 2575}, {778, 278, 556, 500, 500},
        {QStringLiteral("Q"), QStringLiteral(" "), QStringLiteral(u"\u20AC"), QString(), QStringLiteral(u"ﬃ😀")});

    EXPECT_EQ(PdfFont::cidSystemInfoDictionary(),
              QByteArray("<<\r\n/Registry (Adobe) /Ordering (Identity) /Supplement 0\r\n>>\r\n"));
    EXPECT_EQ(font.descendantFontDictionary(10, 8), QByteArray("<<\r\n"
                                                               "/Type /Font\r\n"
                                                               "/Subtype /CIDFontType2\r\n"
                                                               "/BaseFont /Arial,Bold\r\n"
                                                               "/CIDSystemInfo 10 0 R\r\n"
                                                               "/FontDescriptor 8 0 R\r\n"
                                                               "/W [ 52 [778] 3 [278] 2573 [556] 2574 [500] 2575 [500] ]\r\n"
                                                               ">>\r\n"));
    EXPECT_EQ(font.fontDictionary(11, 9), QByteArray("<<\r\n"
                                                     "/Type /Font\r\n"
                                                     "/Subtype /Type0\r\n"
                                                     "/BaseFont /Arial,Bold\r\n"
                                                     "/Encoding /Identity-H\r\n"
                                                     "/DescendantFonts [11 0 R]\r\n"
                                                     "/ToUnicode 9 0 R\r\n"
                                                     ">>\r\n"));
    EXPECT_EQ(PdfFont::streamDictionary(1200, 5000, true),
              QByteArray("<< /Length 1200  /Filter /FlateDecode /Length1 5000 >>\r\n"));
    EXPECT_EQ(PdfFont::streamDictionary(5000, 5000, false), QByteArray("<< /Length 5000 /Length1 5000 >>\r\n"));
}

TEST(PdfFont, StemWidthFromWeight)
{
    const std::pair<int, int> cases[] = {{400, 88}, {700, 166}, {0, 50}, {100, 52}, {900, 242}};
    PdfFont font(reportFont(QStringLiteral("Arial"), {}));
    for (const auto& [weight, stem] : cases) {
        PdfOutlineMetrics metrics;
        metrics.weight = weight;
        font.setMetrics(metrics);
        EXPECT_EQ(font.stemV(), stem) << weight;
    }
}

} // namespace
} // namespace quittung::report
