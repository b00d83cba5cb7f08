// The subsets checked by tools that know nothing of our code: the OpenType sanitizer browsers use,
// and fontTools comparing every outline with the font it was cut from.

#include "report/engine/text/font_service.h"
#include "report/export/pdf/pdf_font.h"
#include "tests/support/tool_run.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quittung::report {
namespace {

struct Case {
    const char* family;
    FontStyles style;
    const char* text;
};

class SubsetWithTools : public ::testing::TestWithParam<Case> {};

TEST_P(SubsetWithTools, SanitizerAcceptsAndFontToolsReadsTheOutlines)
{
    const Case& c = GetParam();
    Font report;
    report.setName(QString::fromUtf8(c.family));
    report.setStyle(c.style);
    PdfFont font(report);
    font.fillOutlineTextMetrics();
    const QString text = QString::fromUtf8(c.text);
    font.remapString(text, false);
    const QByteArray subset = font.getFontFile();
    ASSERT_FALSE(subset.isEmpty());

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("subset.ttf"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    ASSERT_EQ(out.write(subset), subset.size());
    out.close();

    const ToolRun sanitized = runTool(QStringLiteral(QUITTUNG_OTS_SANITIZE), {path, dir.filePath("clean.ttf")});
    EXPECT_EQ(sanitized.exitCode, 0) << sanitized.output().toStdString();

    const auto face = FontService::instance().face(report.name(), c.style);
    QStringList glyphs;
    for (const auto glyph : font.usedGlyphs())
        glyphs << QString::number(glyph);
    const ToolRun compared = runTool(QStringLiteral(QUITTUNG_PYTHON3),
                                    {QStringLiteral(QUITTUNG_CHECK_SUBSET), face->filePath(),
                                     QString::number(face->faceIndex()), path, glyphs.join(','), text});
    EXPECT_EQ(compared.exitCode, 0) << compared.output().toStdString();
}

// Arial is Liberation Sans here; WenQuanYi's mono face is the second face of a collection file.
INSTANTIATE_TEST_SUITE_P(DebianFonts, SubsetWithTools,
                         ::testing::Values(Case{"Arial", {}, "Quittung ÄÖÜäöüß€"},
                                           Case{"Arial", FontStyle::Bold, "Quittung ÄÖÜäöüß€"},
                                           Case{"DejaVu Sans", {}, "Quittung ÄÖÜäöüß€ Ωπ"},
                                           Case{"WenQuanYi Micro Hei Mono", {}, "Quittung ÄÖÜäöüß€ 收据"}),
                         [](const ::testing::TestParamInfo<Case>& param) {
                             QString name = QString::fromUtf8(param.param.family) +
                                            (param.param.style & FontStyle::Bold ? QStringLiteral("Bold") : QString());
                             return name.remove(QLatin1Char(' ')).toStdString();
                         });

} // namespace
} // namespace quittung::report
