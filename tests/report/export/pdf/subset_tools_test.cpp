// The subsets checked by tools that know nothing of our code: the OpenType sanitizer browsers use,
// and fontTools comparing every outline with the font it was cut from.

#include "report/engine/font_service.h"
#include "report/export/pdf/pdf_font.h"

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quittung {
namespace {

struct ToolResult {
    int exitCode = -1;
    QString output;
};

ToolResult run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000))
        return {-1, program + QStringLiteral(" did not run: ") + process.errorString()};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

struct Case {
    const char* family;
    int style;
    const char* text;
};

class SubsetToolsTest : public ::testing::TestWithParam<Case> {};

TEST_P(SubsetToolsTest, SanitizerAcceptsAndFontToolsReadsTheOutlines)
{
    const Case& c = GetParam();
    TfrxFont report;
    report.SetName(QString::fromUtf8(c.family));
    report.SetStyle(c.style);
    TfrxPDFFont font(report);
    font.FillOutlineTextMetrix();
    const QString text = QString::fromUtf8(c.text);
    font.RemapString(text, false);
    const QByteArray subset = font.GetFontFile();
    ASSERT_FALSE(subset.isEmpty());

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("subset.ttf"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    ASSERT_EQ(out.write(subset), subset.size());
    out.close();

    const ToolResult sanitized = run(QStringLiteral(QUITTUNG_OTS_SANITIZE), {path, dir.filePath("clean.ttf")});
    EXPECT_EQ(sanitized.exitCode, 0) << sanitized.output.toStdString();

    const auto face = FontService::Instance().Face(report.Name(), c.style);
    QStringList glyphs;
    for (const auto glyph : font.UsedAlphabet)
        glyphs << QString::number(glyph);
    const ToolResult compared = run(QStringLiteral(QUITTUNG_PYTHON3),
                                    {QStringLiteral(QUITTUNG_CHECK_SUBSET), face->FilePath(),
                                     QString::number(face->FaceIndex()), path, glyphs.join(','), text});
    EXPECT_EQ(compared.exitCode, 0) << compared.output.toStdString();
}

// Arial is Liberation Sans here; WenQuanYi's mono face is the second face of a collection file.
INSTANTIATE_TEST_SUITE_P(DebianFonts, SubsetToolsTest,
                         ::testing::Values(Case{"Arial", 0, "Quittung ÄÖÜäöüß€"},
                                           Case{"Arial", fsBold, "Quittung ÄÖÜäöüß€"},
                                           Case{"DejaVu Sans", 0, "Quittung ÄÖÜäöüß€ Ωπ"},
                                           Case{"WenQuanYi Micro Hei Mono", 0, "Quittung ÄÖÜäöüß€ 收据"}),
                         [](const ::testing::TestParamInfo<Case>& param) {
                             QString name = QString::fromUtf8(param.param.family) +
                                            (param.param.style & fsBold ? QStringLiteral("Bold") : QString());
                             return name.remove(QLatin1Char(' ')).toStdString();
                         });

} // namespace
} // namespace quittung
