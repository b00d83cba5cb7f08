#include "runtime/byte_reader.h"
#include "report/engine/text/font_service.h"
#include "report/export/pdf/pdf_font.h"
#include "report/export/pdf/true_type.h"
#include "runtime/exception.h"
#include "tests/support/recording_engine_host.h"


#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <set>

using namespace quittung;
using namespace quittung::report;

namespace {

// Fonts of the Debian packages the tests install, found through fontconfig as the program finds them.
struct InstalledFont {
    const char* family;
    int style; // bold 1, italic 2
};

void PrintTo(const InstalledFont& font, std::ostream* out)
{
    *out << font.family << (font.style & 1 ? " Bold" : "");
}

const InstalledFont kRegular{"Liberation Sans", 0};
const InstalledFont kBold{"Liberation Sans", 1};
const InstalledFont kDejaVu{"DejaVu Sans", 0};
const InstalledFont kMicroHei{"WenQuanYi Micro Hei", 0};

// The whole file holding the face; empty when fontconfig has only a substitute or a made-up style.
QByteArray readFile(const InstalledFont& font)
{
    const std::shared_ptr<const FontFace> face = FontService::instance().face(QString::fromUtf8(font.family), font.style);
    if (face->familyName() != QString::fromUtf8(font.family) || face->synthesizeBold() || face->synthesizeItalic())
        return {};
    return face->fileData();
}

QString errorOf(const QByteArray& data, ChecksumFaultAction action = ChecksumFaultAction::IgnoreChecksum)
{
    try {
        TrueTypeCollection collection(data);
        collection.fonts().front()->prepareFont(action);
        collection.fonts().front()->addUsedGlyphs({1, 2, 3});
        (void)collection.fonts().front()->packFont();
    } catch (const Exception& error) {
        return error.message();
    }
    return QStringLiteral("no error");
}

// The error of cutting the file's first font down for a PDF export, which asks about checksum faults.
QString exportError(const QByteArray& data)
{
    try {
        (void)PdfFont::subsetFontFile(data, QString(), {1, 2, 3}, 0);
    } catch (const Exception& error) {
        return error.message();
    }
    return QStringLiteral("no error");
}

// The directory entry of a tag: index, offset of the entry in the file.
qsizetype entryOf(const QByteArray& file, const char* tag)
{
    const ByteReader reader(file);
    for (qsizetype i = 0; i < reader.u16(4); ++i)
        if (reader.bytes(12 + 16 * i, 4) == tag)
            return 12 + 16 * i;
    return -1;
}

// The outline bytes of a glyph by the font's (already prepared) location table.
QByteArray outline(const TrueTypeFont& font, std::uint32_t glyph)
{
    const QByteArray& glyf = font.tables().at("glyf").data;
    return glyf.mid(font.locations()[glyph], font.locations()[glyph + 1] - font.locations()[glyph]);
}

// A plain font file's font, prepared.
TrueTypeFont prepared(const QByteArray& file, ChecksumFaultAction action = ChecksumFaultAction::ThrowException)
{
    TrueTypeFont font(file, 0);
    font.prepareFont(action);
    return font;
}

std::set<std::uint32_t> components(const QByteArray& glyph)
{
    std::set<std::uint32_t> result;
    const ByteReader reader(glyph);
    if (glyph.size() < 10 || reader.s16(0) >= 0)
        return result;
    qsizetype at = 10;
    for (;;) {
        const std::uint16_t flags = reader.u16(at);
        result.insert(reader.u16(at + 2));
        at += 4 + ((flags & 1) ? 4 : 2) + ((flags & 8) ? 2 : (flags & 0x40) ? 4 : (flags & 0x80) ? 8 : 0);
        if (!(flags & 0x20))
            return result;
    }
}

// The glyphs a subset of the used ones must keep: glyph 0 and every component, at any depth.
std::set<std::uint32_t> keptGlyphs(const TrueTypeFont& font, std::vector<std::uint32_t> pending)
{
    std::set<std::uint32_t> kept;
    pending.push_back(0);
    while (!pending.empty()) {
        const std::uint32_t g = pending.back();
        pending.pop_back();
        if (kept.insert(g).second)
            for (std::uint32_t c : components(outline(font, g)))
                pending.push_back(c);
    }
    return kept;
}

// The kept glyphs have their source outlines byte for byte, all others none.
void expectOnlyKeptOutlines(const TrueTypeFont& packed, const TrueTypeFont& source,
                            const std::set<std::uint32_t>& kept)
{
    for (std::uint32_t g = 0; g < packed.glyphCount(); ++g) {
        if (kept.count(g)) {
            EXPECT_EQ(outline(packed, g), outline(source, g)) << g;
        } else {
            EXPECT_TRUE(outline(packed, g).isEmpty()) << g;
        }
    }
}

TEST(ByteReaderTest, ChecksumPadsTheLastWord)
{
    const struct {
        QByteArray data;
        std::uint32_t sum;
    } cases[] = {
        {QByteArray(), 0},
        {QByteArray::fromHex("01"), 0x01000000u},
        {QByteArray::fromHex("0000000100000002"), 3},
        {QByteArray::fromHex("ffffffff000000020304"), 0x03040001u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tableChecksum(c.data), c.sum) << c.data.toHex().constData();
}

class SubsetTest : public ::testing::TestWithParam<InstalledFont> {};

TEST_P(SubsetTest, KeepsExactlyTheUsedOutlinesAndAValidFile)
{
    const QByteArray file = readFile(GetParam());
    ASSERT_FALSE(file.isEmpty()) << GetParam().family;
    RecordingEngineHost host;

    TrueTypeCollection source(file);
    ASSERT_EQ(source.fonts().size(), 1u);
    TrueTypeFont& original = *source.fonts().front();
    original.prepareFont(ChecksumFaultAction::ThrowException);
    EXPECT_FALSE(original.fullName().isEmpty());

    const QString text = QStringLiteral("Quittung ÄÖÜäöüß€");
    std::vector<std::uint32_t> used;
    for (QChar c : text) {
        const std::uint16_t glyph = original.glyphIndex(c.unicode());
        ASSERT_NE(glyph, 0) << int(c.unicode());
        used.push_back(glyph);
    }
    const std::set<std::uint32_t> expected = keptGlyphs(original, used);

    // The umlauts are composites in these fonts, so their components are kept too.
    EXPECT_GT(expected.size(), std::set<std::uint32_t>(used.begin(), used.end()).size() + 1);
    TrueTypeCollection packer(file);
    const QByteArray subset = packer.packFont(original.fullName(), used, ChecksumFaultAction::ThrowException);
    EXPECT_TRUE(host.shown.isEmpty()) << host.shown.join(QLatin1Char('\n')).toStdString();
    const QByteArray sourceOs2 = original.tables().at("OS/2").data;

    EXPECT_EQ(subset.size() % 4, 0);
    EXPECT_EQ(tableChecksum(subset), 0xB1B0AFBAu);

    // Directory: sorted by tag, 4-byte aligned, each checksum right, no dropped table.
    const ByteReader reader(subset);
    const std::uint16_t count = reader.u16(4);
    EXPECT_EQ(reader.u16(6), 16 * (1 << reader.u16(8)));
    EXPECT_LE(reader.u16(6), count * 16);
    EXPECT_EQ(reader.u16(10), count * 16 - reader.u16(6));
    for (qsizetype i = 0; i < count; ++i) {
        const QByteArray tag = reader.bytes(12 + 16 * i, 4);
        if (i > 0) {
            EXPECT_LT(reader.bytes(12 + 16 * (i - 1), 4), tag);
        }
        EXPECT_FALSE(TrueTypeFont::isDropped(tag)) << tag.constData();
        const std::uint32_t offset = reader.u32(12 + 16 * i + 8);
        QByteArray data = reader.bytes(offset, reader.u32(12 + 16 * i + 12));
        EXPECT_EQ(offset % 4, 0u);
        if (tag == "head")
            putU32(data, 8, 0);
        EXPECT_EQ(tableChecksum(data), reader.u32(12 + 16 * i + 4)) << tag.constData();
    }
    EXPECT_EQ(reader.u32(reader.u32(entryOf(subset, "post") + 8)), 0x00030000u);
    EXPECT_EQ(reader.u32(entryOf(subset, "post") + 12), 32u);
    EXPECT_EQ(reader.u32(entryOf(subset, "OS/2") + 12), 96u);
    // A shorter source table (DejaVu's is version 1, 86 bytes) is padded with zeros.
    const QByteArray os2 = reader.bytes(reader.u32(entryOf(subset, "OS/2") + 8), 96);
    EXPECT_EQ(os2.left(sourceOs2.size()), sourceOs2.left(96));
    EXPECT_EQ(os2.mid(sourceOs2.size()), QByteArray(96 - std::min<qsizetype>(96, sourceOs2.size()), '\0'));

    // Read back: same glyph indices, only the kept outlines, identical bytes.
    const TrueTypeFont packed = prepared(subset);
    EXPECT_EQ(packed.fullName(), original.fullName());
    ASSERT_EQ(packed.glyphCount(), original.glyphCount());
    EXPECT_EQ(packed.shortLocations(), original.shortLocations());
    for (QChar c : text)
        EXPECT_EQ(packed.glyphIndex(c.unicode()), original.glyphIndex(c.unicode()));
    expectOnlyKeptOutlines(packed, original, expected);
    // Widths: the kept glyphs' entries as in the source, every other glyph's zero.
    const QByteArray sourceMetrics = original.tables().at("hmtx").data;
    const QByteArray metrics = packed.tables().at("hmtx").data;
    ASSERT_EQ(metrics.size(), sourceMetrics.size());
    const std::uint32_t longMetrics = ByteReader(original.tables().at("hhea").data).u16(34);
    for (std::uint32_t g = 0; g < original.glyphCount(); ++g) {
        const qsizetype at = g < longMetrics ? 4 * qsizetype(g) : 4 * qsizetype(longMetrics) + 2 * qsizetype(g - longMetrics);
        const qsizetype length = g < longMetrics ? 4 : 2;
        const QByteArray entry = expected.count(g) ? sourceMetrics.mid(at, length) : QByteArray(length, '\0');
        ASSERT_EQ(metrics.mid(at, length), entry) << g;
    }
    EXPECT_EQ(packed.locations().back(), std::uint32_t(packed.tables().at("glyf").data.size()));
    EXPECT_LT(packed.tables().at("glyf").data.size(), original.tables().at("glyf").data.size() / 20);
}

INSTANTIATE_TEST_SUITE_P(DebianFonts, SubsetTest, ::testing::Values(kRegular, kBold, kDejaVu));

// The font with its location table rewritten in the short format (offsets halved), in place.
QByteArray withShortLocations(QByteArray font)
{
    const ByteReader reader(font);
    const qsizetype head = reader.u32(entryOf(font, "head") + 8);
    const qsizetype locaEntry = entryOf(font, "loca");
    const qsizetype loca = reader.u32(locaEntry + 8);
    const qsizetype entries = reader.u32(locaEntry + 12) / 4;
    for (qsizetype i = 0; i < entries; ++i)
        putU16(font, loca + 2 * i, std::uint16_t(reader.u32(loca + 4 * i) / 2));
    putU32(font, locaEntry + 12, std::uint32_t(2 * entries));
    putU16(font, head + 50, 0);
    return font;
}

TEST(TrueTypeFontTest, LastLocationIsTheEndOfTheGlyphDataInBothFormats)
{
    const QByteArray file = readFile(kRegular);
    ASSERT_FALSE(file.isEmpty());
    RecordingEngineHost host;
    const TrueTypeFont source = prepared(file, ChecksumFaultAction::IgnoreChecksum);
    ASSERT_FALSE(source.shortLocations());
    // A first subset is small enough for the short format; its last glyph is one of the kept.
    const std::uint32_t last = source.glyphCount() - 1;
    const QByteArray small = TrueTypeCollection(file).packFont(QString(), {36, 68, 100, last});

    for (const bool shortFormat : {false, true}) {
        SCOPED_TRACE(shortFormat);
        const QByteArray input = shortFormat ? withShortLocations(small) : small;
        TrueTypeCollection packer(input);
        const QByteArray packed = packer.packFont(QString(), {36, 68}, ChecksumFaultAction::IgnoreChecksum);
        EXPECT_EQ(tableChecksum(packed), 0xB1B0AFBAu);
        const TrueTypeFont font = prepared(packed);
        EXPECT_EQ(font.shortLocations(), shortFormat);
        ASSERT_EQ(font.glyphCount(), source.glyphCount());
        const qsizetype glyfLength = ByteReader(packed).u32(entryOf(packed, "glyf") + 12);
        EXPECT_EQ(font.locations().back(), std::uint32_t(glyfLength));
        EXPECT_EQ(font.locations()[last], std::uint32_t(glyfLength)); // the last glyph is now empty
        for (std::uint32_t g : {0u, 36u, 68u})
            EXPECT_EQ(outline(font, g), outline(source, g)) << g;
        EXPECT_TRUE(outline(font, 100).isEmpty());
    }
    EXPECT_TRUE(host.shown.isEmpty());
}

TEST(TrueTypeFontTest, CompositeKeepsItsComponentsAtEveryDepth)
{
    // In DejaVu Sans, U+01C4 (DŽ) is built from D and Ž, and Ž in turn from Z and a caron: all of
    // them are needed to draw it.
    const QByteArray file = readFile(kDejaVu);
    ASSERT_FALSE(file.isEmpty());
    RecordingEngineHost host;
    const TrueTypeFont source = prepared(file, ChecksumFaultAction::IgnoreChecksum);
    const std::uint32_t dz = source.glyphIndex(u'\u01C4');
    const std::uint32_t zcaron = source.glyphIndex(u'\u017D');
    ASSERT_TRUE(components(outline(source, dz)).count(zcaron));
    ASSERT_TRUE(components(outline(source, zcaron)).count(source.glyphIndex(u'Z')));

    const TrueTypeFont font = prepared(TrueTypeCollection(file).packFont(QString(), {dz}));
    const std::set<std::uint32_t> needed = keptGlyphs(source, {dz});
    EXPECT_TRUE(needed.count(source.glyphIndex(u'Z')));
    expectOnlyKeptOutlines(font, source, needed);
}

TEST(TrueTypeFontTest, PackingLeavesTheFontAsReadSoEverySubsetIsWhole)
{
    const QByteArray file = readFile(kRegular);
    ASSERT_FALSE(file.isEmpty());
    const TrueTypeFont source = prepared(file);
    TrueTypeFont font = prepared(file);
    // Ä is a composite of A and the dieresis.
    const std::uint32_t a = font.glyphIndex(u'A');
    const std::uint32_t umlaut = font.glyphIndex(u'\u00C4');
    ASSERT_FALSE(components(outline(font, umlaut)).empty());

    const QByteArray first = font.packFont({a});
    EXPECT_EQ(font.packFont({a}), first);
    expectOnlyKeptOutlines(prepared(first), source, keptGlyphs(source, {a}));
    const QByteArray second = font.packFont({a, umlaut});
    expectOnlyKeptOutlines(prepared(second), source, keptGlyphs(source, {a, umlaut}));
    for (const char* tag : {"glyf", "loca", "head"})
        EXPECT_EQ(font.tables().at(tag).data, source.tables().at(tag).data) << tag;

    // The keep list grows the same way.
    font.addUsedGlyphs({a});
    EXPECT_EQ(font.packFont(), first);
    font.addUsedGlyphs({umlaut});
    EXPECT_EQ(font.packFont(), second);
}

TEST(TrueTypeFontTest, DropsSignatureDeviceMetricsAndLayoutTables)
{
    // Liberation 2 carries neither signature nor device metrics, so two of its small tables are given
    // their tags; its layout tables (GPOS, GSUB, GDEF, kern) go as they are.
    QByteArray file = readFile(kRegular);
    ASSERT_FALSE(file.isEmpty());
    const std::uint16_t sourceCount = ByteReader(file).u16(4);
    int layoutTables = 0;
    for (const char* tag : {"GPOS", "GSUB", "GDEF", "kern"})
        layoutTables += entryOf(file, tag) >= 0 ? 1 : 0;
    ASSERT_GT(layoutTables, 0);
    file.replace(entryOf(file, "FFTM"), 4, "DSIG");
    file.replace(entryOf(file, "gasp"), 4, "hdmx");
    TrueTypeCollection collection(file);
    const QByteArray subset = collection.packFont(QString(), {36});
    for (const char* tag : {"DSIG", "hdmx", "GPOS", "GSUB", "GDEF", "kern"})
        EXPECT_EQ(entryOf(subset, tag), -1) << tag;
    EXPECT_GE(entryOf(subset, "hmtx"), 0);
    EXPECT_EQ(ByteReader(subset).u16(4), sourceCount - 2 - layoutTables);
    EXPECT_EQ(collection.fonts().front()->directory().numTables, sourceCount - 2 - layoutTables);
    EXPECT_EQ(tableChecksum(subset), 0xB1B0AFBAu);
}

TEST(TrueTypeFontTest, BadInputsGiveErrors)
{
    const QByteArray font = readFile(kRegular);
    ASSERT_FALSE(font.isEmpty());
    const QByteArray format = "TrueType font format error";

    QByteArray beyond = font;
    putU32(beyond, entryOf(font, "glyf") + 8, std::uint32_t(font.size() - 10));
    QByteArray hugeLength = font;
    putU32(hugeLength, entryOf(font, "loca") + 12, 0xFFFFFFF0u);
    QByteArray manyTables = font;
    putU16(manyTables, 4, 0xFFFF);
    // Every entry names the whole file: each copy of the tables would be a thousand files long.
    QByteArray overlapping = font;
    for (qsizetype i = 0; i < ByteReader(font).u16(4); ++i) {
        putU32(overlapping, 12 + 16 * i + 8, 0);
        putU32(overlapping, 12 + 16 * i + 12, std::uint32_t(font.size()));
    }
    QByteArray noHead = font;
    noHead.replace(entryOf(font, "head"), 4, "DSIG");
    QByteArray noGlyf = font;
    noGlyf.replace(entryOf(font, "glyf"), 4, "hdmx");
    QByteArray badLocaFormat = font;
    putU16(badLocaFormat, ByteReader(font).u32(entryOf(font, "head") + 8) + 50, 7);
    auto renamed = [&](const char* tag) {
        QByteArray copy = font;
        copy.replace(entryOf(font, tag), 4, "zzzz");
        return copy;
    };
    auto cmapFormat = [&](std::uint16_t subtableFormat) {
        QByteArray copy = font;
        const ByteReader cmap(font, ByteReader(font).u32(entryOf(font, "cmap") + 8),
                              ByteReader(font).u32(entryOf(font, "cmap") + 12));
        for (qsizetype i = 0; i < cmap.u16(2); ++i)
            if (cmap.u16(4 + 8 * i) == 3 && cmap.u16(6 + 8 * i) == 1)
                putU16(copy, ByteReader(font).u32(entryOf(font, "cmap") + 8) + cmap.u32(8 + 8 * i), subtableFormat);
        return copy;
    };
    QByteArray ttcVersion = QByteArray("ttcf") + QByteArray::fromHex("00030000000000010000000c");
    QByteArray ttcCount = QByteArray("ttcf") + QByteArray::fromHex("00010000ffffffff");
    QByteArray ttcOffset = QByteArray("ttcf") + QByteArray::fromHex("0001000000000001ffffff00");

    const struct {
        const char* name;
        QByteArray data;
        QString message;
    } cases[] = {
        {"empty", QByteArray(), QString::fromLatin1(format)},
        {"three bytes", QByteArray::fromHex("000100"), QString::fromLatin1(format)},
        {"CFF font", QByteArray("OTTO") + font.mid(4), QString::fromLatin1(format)},
        {"truncated directory", font.left(12 + 16 * 3), QString::fromLatin1(format)},
        {"only the header", font.left(12), QString::fromLatin1(format)},
        {"table beyond the end", beyond, QString::fromLatin1(format)},
        {"huge table length", hugeLength, QString::fromLatin1(format)},
        {"table count too large", manyTables, QString::fromLatin1(format)},
        {"tables overlapping", overlapping, QString::fromLatin1(format)},
        {"half the file", font.left(font.size() / 2), QString::fromLatin1(format)},
        {"no head", noHead, QStringLiteral("FontHeader not found.")},
        {"no glyf", noGlyf, QStringLiteral("Glyphs not found.")},
        {"location format 7", badLocaFormat, QStringLiteral("Unsupported Index to Location format")},
        {"no maxp", renamed("maxp"), QStringLiteral("MaximuProfile not found.")},
        {"no hhea", renamed("hhea"), QStringLiteral("HorizontalHeader not found.")},
        {"no OS/2", renamed("OS/2"), QStringLiteral("OS2WindowsMetrics table not found.")},
        {"no loca", renamed("loca"), QStringLiteral("IndexToLocation not found.")},
        {"no cmap", renamed("cmap"), QStringLiteral("CMAP not found.")},
        {"no name", renamed("name"), QStringLiteral("Name not found.")},
        {"no post", renamed("post"), QStringLiteral("no error")},
        // Packing copies the horizontal metrics of the kept glyphs; without them no subset is made.
        {"no hmtx", renamed("hmtx"), QStringLiteral("HorizontalMetrics not found.")},
        {"cmap format 0", cmapFormat(0), QStringLiteral("TO DO: ByteEncoding cmap format not implemented")},
        {"cmap format 2", cmapFormat(2), QStringLiteral("TO DO: HighByteMapping cmap format not implemented")},
        {"cmap format 6", cmapFormat(6), QStringLiteral("TO DO: TrimmedTable cmap format not implemented")},
        {"cmap format 12 is passed over", cmapFormat(12), QStringLiteral("no error")},
        {"collection version 3", ttcVersion, QStringLiteral("Unknown font collection version")},
        {"collection count", ttcCount, QString::fromLatin1(format)},
        {"collection offset", ttcOffset, QString::fromLatin1(format)},
    };
    RecordingEngineHost host;
    for (const auto& c : cases)
        EXPECT_EQ(errorOf(c.data), c.message) << c.name;
}

TEST(TrueTypeFontTest, ChecksumMismatchFollowsTheAction)
{
    QByteArray font = readFile(kRegular);
    ASSERT_FALSE(font.isEmpty());
    const qsizetype entry = entryOf(font, "name");
    const std::uint32_t stored = ByteReader(font).u32(entry + 4);
    putU32(font, entry + 4, stored + 1);
    const QString text = QStringLiteral("Table ID \"name\" checksum error.%1 %2").arg(stored).arg(stored + 1);

    {
        // Reading reports the fault and asks nothing; the export puts the question.
        RecordingEngineHost host;
        TrueTypeFont parsed(font, 0);
        parsed.prepareFont(ChecksumFaultAction::Warn);
        ASSERT_EQ(parsed.checksumFaults().size(), 1u);
        EXPECT_EQ(parsed.checksumFaults().front().message(), text);
        EXPECT_TRUE(host.shown.isEmpty());
    }
    {
        RecordingEngineHost host;
        host.answer = false;
        EXPECT_EQ(exportError(font), QStringLiteral("no error"));
        EXPECT_EQ(host.shown, QStringList{QStringLiteral("Font table checksum error|") + text});
    }
    {
        RecordingEngineHost host;
        EXPECT_EQ(errorOf(font, ChecksumFaultAction::ThrowException), text);
        EXPECT_EQ(errorOf(font, ChecksumFaultAction::IgnoreChecksum), QStringLiteral("no error"));
        EXPECT_TRUE(host.shown.isEmpty());
    }
}

TEST(TrueTypeFontTest, DuplicateTagKeepsTheFirstAndSaysSo)
{
    QByteArray font = readFile(kRegular);
    ASSERT_FALSE(font.isEmpty());
    const qsizetype gasp = entryOf(font, "gasp");
    ASSERT_GT(gasp, 12);
    const QByteArray previous = font.mid(gasp - 16, 4);
    font.replace(gasp, 4, previous);
    TrueTypeCollection collection(font);
    TrueTypeFont& parsed = *collection.fonts().front();
    parsed.prepareFont(ChecksumFaultAction::ThrowException);
    EXPECT_EQ(parsed.formatFaults(), QStringList{QStringLiteral("Duplicate table \"%1\"").arg(QString::fromLatin1(previous))});
    EXPECT_EQ(parsed.tables().at(previous).offset, ByteReader(font).u32(gasp - 16 + 8));
    EXPECT_FALSE(parsed.hasTable("gasp"));

    // An export tells its own host, once per document.
    RecordingEngineHost host;
    (void)PdfFont::subsetFontFile(font, QString(), {1, 2, 3}, 0, host);
    (void)PdfFont::subsetFontFile(font, QString(), {1, 2, 3}, 0, host);
    ASSERT_EQ(host.shown.size(), 2);
    EXPECT_TRUE(host.shown.front().startsWith(QStringLiteral("Font format error|Duplicate table")));
}

// A name table of 5000 full-name records over one text of 600 characters, each record naming a
// prefix of 1 to 300 characters of it, US English first: each name is kept once and names of more
// than 255 characters not at all. Records may name up to 64 KB each, 65535 of them.
TEST(TrueTypeFontTest, NameRecordsGiveEachShortFullNameOnce)
{
    QByteArray font = readFile(kRegular);
    ASSERT_FALSE(font.isEmpty());
    const int count = 5000;
    const int storage = 6 + 12 * count;
    QByteArray name(storage + 2 * 600, '\0');
    putU16(name, 2, std::uint16_t(count));
    putU16(name, 4, std::uint16_t(storage));
    QString text;
    for (int i = 0; i < 600; ++i) {
        text += QChar(char16_t(0x4E00 + i));
        putU16(name, storage + 2 * i, std::uint16_t(0x4E00 + i));
    }
    for (int i = 0; i < count; ++i) {
        const qsizetype record = 6 + 12 * i;
        putU16(name, record, 3);
        putU16(name, record + 2, 1);
        putU16(name, record + 4, i == 0 ? 0x0409 : 0x0407);
        putU16(name, record + 6, 4);
        putU16(name, record + 8, std::uint16_t(2 * (1 + i % 300)));
    }
    font.append(QByteArray((4 - font.size() % 4) % 4, '\0'));
    putU32(font, entryOf(font, "name") + 8, std::uint32_t(font.size()));
    putU32(font, entryOf(font, "name") + 12, std::uint32_t(name.size()));
    font.append(name);

    const TrueTypeFont parsed = prepared(font, ChecksumFaultAction::IgnoreChecksum);
    QStringList expected;
    for (int length = 1; length <= 255; ++length)
        expected << text.left(length);
    EXPECT_EQ(parsed.fullNames(), expected);
}

// A collection file of whole font files, their table offsets moved to where they now lie.
QByteArray collectionOf(const std::vector<QByteArray>& fonts, std::uint32_t version)
{
    QByteArray file = QByteArray("ttcf") + QByteArray(8 + 4 * qsizetype(fonts.size()), '\0');
    putU32(file, 4, version);
    putU32(file, 8, std::uint32_t(fonts.size()));
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        const auto base = std::uint32_t(file.size());
        putU32(file, 12 + 4 * qsizetype(i), base);
        QByteArray font = fonts[i];
        for (qsizetype t = 0; t < ByteReader(font).u16(4); ++t)
            putU32(font, 12 + 16 * t + 8, ByteReader(font).u32(12 + 16 * t + 8) + base);
        file.append(font);
        file.append(QByteArray((4 - file.size() % 4) % 4, '\0'));
    }
    return file;
}

TEST(TrueTypeCollectionTest, ChoosesTheFontByFullNameElseTheLast)
{
    const QByteArray regular = readFile(kRegular);
    const QByteArray bold = readFile(kBold);
    ASSERT_FALSE(regular.isEmpty());
    ASSERT_FALSE(bold.isEmpty());
    const std::vector<std::uint32_t> glyphs{36, 37, 38};
    auto packedAlone = [&](const QByteArray& file) { return TrueTypeCollection(file).packFont(QString(), glyphs); };

    const struct {
        const char* wanted;
        std::uint32_t version;
        const QByteArray& expected;
    } cases[] = {
        {"Liberation Sans", 0x00010000, regular},
        {"Liberation Sans Bold", 0x00020000, bold},
        {"Nimbus Sans", 0x00010000, bold},
    };
    RecordingEngineHost host;
    for (const auto& c : cases) {
        TrueTypeCollection collection(collectionOf({regular, bold}, c.version));
        ASSERT_EQ(collection.fonts().size(), 2u);
        EXPECT_EQ(collection.packFont(QString::fromLatin1(c.wanted), glyphs, ChecksumFaultAction::ThrowException),
                  packedAlone(c.expected))
            << c.wanted;
    }
    EXPECT_TRUE(host.shown.isEmpty());
}

TEST(TrueTypeCollectionTest, RealCollectionByAnyOfItsFullNames)
{
    const QByteArray file = readFile(kMicroHei);
    ASSERT_FALSE(file.isEmpty());
    RecordingEngineHost host;
    const struct {
        const char* wanted;
        std::size_t fallback;
        const char* chosen;
    } cases[] = {
        {"WenQuanYi Micro Hei Mono", SIZE_MAX, "WenQuanYi Micro Hei Mono"},
        {"WenQuanYi Micro Hei", SIZE_MAX, "WenQuanYi Micro Hei"},
        {"文泉驿等宽微米黑", 0, "WenQuanYi Micro Hei Mono"},
        // No face of that name: the face the text was shaped with, else the last.
        {"Liberation Sans", 0, "WenQuanYi Micro Hei"},
        {"Liberation Sans", SIZE_MAX, "WenQuanYi Micro Hei Mono"},
    };
    for (const auto& c : cases) {
        TrueTypeCollection collection(file);
        ASSERT_EQ(collection.fonts().size(), 2u);
        const QByteArray subset = collection.packFont(QString::fromUtf8(c.wanted), {100}, ChecksumFaultAction::Warn,
                                                      c.fallback);
        TrueTypeCollection packed(subset);
        packed.fonts().front()->prepareFont(ChecksumFaultAction::ThrowException);
        EXPECT_EQ(packed.fonts().front()->fullName(), QString::fromUtf8(c.chosen)) << c.wanted;
    }
    // Its "head" checksums include the stored adjustment, which is no damage worth a question.
    EXPECT_TRUE(host.shown.isEmpty()) << host.shown.join(QLatin1Char('\n')).toStdString();
}

TEST(TrueTypeCollectionTest, WantedFullNames)
{
    EXPECT_EQ(TrueTypeCollection::wantedFullName(QStringLiteral("Arial"), false, false), QStringLiteral("Arial"));
    EXPECT_EQ(TrueTypeCollection::wantedFullName(QStringLiteral("Arial"), true, true),
              QStringLiteral("Arial Bold Italic"));
    EXPECT_EQ(TrueTypeCollection::wantedFullName(QStringLiteral("ＭＳ 明朝"), true, false),
              QStringLiteral("MS Mincho Bold"));
    EXPECT_EQ(TrueTypeCollection::wantedFullName(QStringLiteral(u"メイリオ"), false, true),
              QStringLiteral("Meiryo Italic"));
    EXPECT_EQ(TrueTypeCollection::wantedFullName(QStringLiteral("MS UI Gothic"), false, false),
              QStringLiteral("MS UI Gothic"));
}

} // namespace
