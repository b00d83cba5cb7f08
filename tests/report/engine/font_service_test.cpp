#include "report/engine/text/font_service.h"
#include "runtime/byte_reader.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRawFont>

using namespace quittung;
using namespace quittung::report;

namespace {

// The measuring em of a 10-point font at 600 pixels per inch.
constexpr double MeasuringEm = 83;

std::shared_ptr<const FontFace> arial(int style = 0)
{
    return FontService::instance().face(QStringLiteral("Arial"), style);
}

quint32 readU32(const QByteArray& data, qsizetype at)
{
    const auto* p = reinterpret_cast<const uchar*>(data.constData()) + at;
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
}

quint16 readU16(const QByteArray& data, qsizetype at)
{
    const auto* p = reinterpret_cast<const uchar*>(data.constData()) + at;
    return quint16(p[0] << 8 | p[1]);
}

void appendU32(QByteArray& out, quint32 value)
{
    out.append(char(value >> 24)).append(char(value >> 16)).append(char(value >> 8)).append(char(value));
}

// The tables of a single font file by tag.
QMap<QByteArray, QByteArray> tablesOf(const QByteArray& font)
{
    QMap<QByteArray, QByteArray> tables;
    const int count = readU16(font, 4);
    for (int t = 0; t < count; ++t) {
        const qsizetype record = 12 + 16 * t;
        tables.insert(font.mid(record, 4), font.mid(readU32(font, record + 8), readU32(font, record + 12)));
    }
    return tables;
}

// A collection file holding the given single fonts, each with its own copy of its tables.
QByteArray makeCollection(const std::vector<QByteArray>& fonts)
{
    QByteArray directories;
    QByteArray tableData;
    std::vector<quint32> directoryOffsets;
    const qsizetype headerSize = 12 + 4 * qsizetype(fonts.size());
    qsizetype directoriesSize = 0;
    for (const QByteArray& font : fonts)
        directoriesSize += 12 + 16 * readU16(font, 4);
    for (const QByteArray& font : fonts) {
        directoryOffsets.push_back(quint32(headerSize + directories.size()));
        const int count = readU16(font, 4);
        directories.append(font.left(12));
        for (int t = 0; t < count; ++t) {
            const qsizetype record = 12 + 16 * t;
            directories.append(font.mid(record, 8));
            appendU32(directories, quint32(headerSize + directoriesSize + tableData.size()));
            appendU32(directories, readU32(font, record + 12));
            tableData.append(font.mid(readU32(font, record + 8), readU32(font, record + 12)));
            while (tableData.size() % 4)
                tableData.append('\0');
        }
    }
    QByteArray out("ttcf");
    appendU32(out, 0x00010000);
    appendU32(out, quint32(fonts.size()));
    for (quint32 offset : directoryOffsets)
        appendU32(out, offset);
    return out + directories + tableData;
}

TEST(FontService, ArialResolvesToItsMetricCompatibleSubstituteInEveryStyle)
{
    struct Case {
        int style;
        const char* file;
    };
    for (const Case& c : {Case{0, "LiberationSans-Regular.ttf"}, Case{1, "LiberationSans-Bold.ttf"},
             Case{2, "LiberationSans-Italic.ttf"}, Case{3, "LiberationSans-BoldItalic.ttf"}}) {
        SCOPED_TRACE(c.file);
        const auto face = arial(c.style);
        ASSERT_TRUE(face);
        EXPECT_EQ(face->familyName(), QStringLiteral("Liberation Sans"));
        EXPECT_EQ(QFileInfo(face->filePath()).fileName(), QString::fromLatin1(c.file));
        EXPECT_EQ(face->faceIndex(), 0);
        EXPECT_EQ(face->unitsPerEm(), 2048);
        EXPECT_FALSE(face->synthesizeBold());
        EXPECT_FALSE(face->synthesizeItalic());
    }
}

TEST(FontService, FacesAreCachedWithoutRegardToCaseAndIgnoreUnderlineBits)
{
    EXPECT_EQ(arial(0).get(), FontService::instance().face(QStringLiteral("ARIAL"), 0).get());
    EXPECT_EQ(arial(1).get(), FontService::instance().face(QStringLiteral("arial"), 1 | 4 | 8).get());
    EXPECT_NE(arial(0).get(), arial(1).get());
}

TEST(FontService, MissingFamiliesStillGiveAFace)
{
    for (const char* family : {"Tahoma", "No Such Family 4711"}) {
        SCOPED_TRACE(family);
        const auto face = FontService::instance().face(QString::fromLatin1(family), 0);
        ASSERT_TRUE(face);
        EXPECT_FALSE(face->fileData().isEmpty());
        EXPECT_GT(face->cumulativeAdvances(QStringLiteral("Tahoma"), MeasuringEm).back(), 0);
    }
}

TEST(FontService, FileDataIsTheWholeTrueTypeFile)
{
    const auto face = arial();
    QFile file(face->filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(face->fileData(), file.readAll());
    const QByteArray tag = face->fileData().left(4);
    EXPECT_TRUE(tag == QByteArray("\0\1\0\0", 4) || tag == "true" || tag == "ttcf") << tag.toHex().constData();
}

TEST(FontService, AdvancesFollowTheMetricsOfTheFace)
{
    // Liberation Sans keeps Arial's widths: H is 1479 and a 1139 of 2048 units.
    const std::vector<double> advances = arial()->cumulativeAdvances(QStringLiteral("Ha"), MeasuringEm);
    ASSERT_EQ(advances.size(), 2u);
    EXPECT_DOUBLE_EQ(advances[0], 1479 * MeasuringEm / 2048);
    EXPECT_DOUBLE_EQ(advances[1], (1479 + 1139) * MeasuringEm / 2048);
    EXPECT_EQ(arial()->cumulativeAdvances(QStringLiteral("Quittung 84,03 €"), MeasuringEm),
        arial()->cumulativeAdvances(QStringLiteral("Quittung 84,03 €"), MeasuringEm));
    EXPECT_TRUE(arial()->cumulativeAdvances(QString(), MeasuringEm).empty());
}

TEST(FontService, KerningIsIncludedInOneMeasurement)
{
    const auto face = arial();
    const double pair = face->cumulativeAdvances(QStringLiteral("AV"), MeasuringEm).back();
    const double single = face->cumulativeAdvances(QStringLiteral("A"), MeasuringEm).back()
        + face->cumulativeAdvances(QStringLiteral("V"), MeasuringEm).back();
    EXPECT_LT(pair, single);
    // The glyph's own advance width stays the font's: A is 1366 of 2048 units.
    const std::vector<FontFace::Glyph> glyphs = face->shape(QStringLiteral("AV"), 2048);
    ASSERT_EQ(glyphs.size(), 2u);
    EXPECT_LT(glyphs[0].advance, 1366);
    EXPECT_EQ(face->glyphAdvance(glyphs[0].index), 1366);
}

TEST(FontService, ClustersShareTheirAdvanceAtTheFirstCharacter)
{
    // A base letter with a combining mark is one cluster: the mark adds nothing of its own.
    const std::vector<double> advances =
        arial()->cumulativeAdvances(QStringLiteral("e\u0301x"), MeasuringEm);
    ASSERT_EQ(advances.size(), 3u);
    EXPECT_GT(advances[0], 0);
    EXPECT_DOUBLE_EQ(advances[1], advances[0]);
    EXPECT_GT(advances[2], advances[1]);
}

TEST(FontService, ALineShapedAgainKeepsItsFaceAndScalesToTheSize)
{
    // Measuring, placing and the PDF's glyphs ask for the same line in turn, at different sizes.
    const QString text = QStringLiteral("Quittung 84,03 €");
    const auto face = arial();
    const auto other = FontService::instance().face(QStringLiteral("DejaVu Sans"), 0);
    ASSERT_NE(other->filePath(), face->filePath());
    const std::vector<FontFace::Glyph> first = face->shape(text, 1000);
    const std::vector<FontFace::Glyph> wider = other->shape(text, 1000);
    ASSERT_EQ(first.size(), wider.size());
    EXPECT_NE(first[0].advance, wider[0].advance) << "the other face's run, not the first one's";
    const std::vector<FontFace::Glyph> twice = face->shape(text, 2000);
    ASSERT_EQ(twice.size(), first.size());
    double total = 0;
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(twice[i].index, first[i].index);
        EXPECT_DOUBLE_EQ(twice[i].advance, 2 * first[i].advance);
        total += first[i].advance;
    }
    EXPECT_DOUBLE_EQ(face->cumulativeAdvances(text, 1000).back(), total);
}

TEST(FontService, ShapingGivesVisualOrderForRightToLeftText)
{
    const auto face = arial();
    const auto clustersOf = [&](const QString& text, bool rtl) {
        std::vector<int> clusters;
        for (const FontFace::Glyph& glyph : face->shape(text, 13, rtl))
            clusters.push_back(glyph.cluster);
        return clusters;
    };
    EXPECT_EQ(clustersOf(QStringLiteral("abc"), false), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(clustersOf(QStringLiteral("abc"), true), (std::vector<int>{0, 1, 2}));
    // Hebrew after Latin in a right-to-left paragraph: the Latin run stands at the right.
    EXPECT_EQ(clustersOf(QStringLiteral("abc \u05e9\u05dc\u05d5\u05dd"), true),
        (std::vector<int>{7, 6, 5, 4, 3, 0, 1, 2}));
    EXPECT_EQ(clustersOf(QStringLiteral("abc \u05e9\u05dc\u05d5\u05dd"), false),
        (std::vector<int>{0, 1, 2, 3, 7, 6, 5, 4}));
}

TEST(FontService, RawFontDrawsFromTheSameFile)
{
    const QRawFont raw = arial(1)->rawFont(13);
    ASSERT_TRUE(raw.isValid());
    EXPECT_EQ(raw.familyName(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(raw.weight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(raw.pixelSize(), 13);
    EXPECT_DOUBLE_EQ(arial(1)->rawFont(26).pixelSize(), 26);
    // The glyph indices of shaping are the raw font's.
    const std::vector<FontFace::Glyph> glyphs = arial(1)->shape(QStringLiteral("H"), 13);
    ASSERT_EQ(glyphs.size(), 1u);
    EXPECT_EQ(raw.glyphIndexesForString(QStringLiteral("H")).value(0), glyphs[0].index);
}

TEST(FontService, CollectionFacesBecomeFontsOfTheirOwn)
{
    const QByteArray regular = arial(0)->fileData();
    const QByteArray bold = arial(1)->fileData();
    const QByteArray collection = makeCollection({regular, bold});

    const QByteArray second = extractCollectionFace(collection, 1);
    ASSERT_FALSE(second.isEmpty());
    EXPECT_EQ(tablesOf(second), tablesOf(bold));
    QRawFont raw;
    raw.loadFromData(second, 13, QFont::PreferDefaultHinting);
    ASSERT_TRUE(raw.isValid());
    EXPECT_EQ(raw.weight(), QFont::Bold);

    EXPECT_EQ(tablesOf(extractCollectionFace(collection, 0)), tablesOf(regular));
    EXPECT_TRUE(extractCollectionFace(collection, 2).isEmpty());
    EXPECT_TRUE(extractCollectionFace(collection.left(collection.size() / 2), 1).isEmpty());
    EXPECT_EQ(extractCollectionFace(regular, 0), regular);
}

TEST(FontService, ACollectionFaceWhoseTablesOverlapIsBroken)
{
    const QByteArray regular = arial(0)->fileData();
    QByteArray collection = makeCollection({regular, regular});
    const qsizetype second = readU32(collection, 16);
    for (int t = 0; t < readU16(collection, second + 4); ++t) {
        putU32(collection, second + 12 + 16 * t + 8, 0);
        putU32(collection, second + 12 + 16 * t + 12, quint32(collection.size()));
    }
    EXPECT_EQ(tablesOf(extractCollectionFace(collection, 0)), tablesOf(regular));
    EXPECT_TRUE(extractCollectionFace(collection, 1).isEmpty());
}

} // namespace
