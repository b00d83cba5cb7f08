// Receipt PDF files as users get them, checked with the tools of Debian's PDF readers: qpdf for the
// file structure, pdftotext for the texts, pdffonts for the embedded fonts, mupdf for a second
// renderer, and poppler's rendering against the JPEG export of the same page.

#include "report/document/builtin_design.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/text_object.h"
#include "report/engine/pages/page_walk.h"
#include "report/engine/pages/report_preparer.h"
#include "report/export/image/image_export.h"
#include "report/export/pdf/pdf_export.h"
#include "tests/support/recording_engine_host.h"
#include "tests/support/tool_run.h"
#include "tools/example_receipt.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::report;

namespace {

// The payer holds every letter of German beyond ASCII, and the euro sign.
constexpr char16_t kUmlauts[] = u"ÄÖÜäöüß€";

void answerWithUmlauts(const QString& name, Variant& value)
{
    if (name == QLatin1String("Von"))
        value = Variant(QStringLiteral("Jürgen Öztürk ") + QString::fromUtf16(kUmlauts));
    else
        answerExampleReceipt(name, value);
}

// A receipt as the window makes it: the design or a template filled, prepared, and the PDF filter
// with the window's options.
struct ReceiptPdf {
    // payer: the receipt's "Von" in place of the umlauts.
    ReceiptPdf(const QString& form, bool copy, const QString& payer = {})
    {
        if (form == QLatin1String("builtin")) {
            applyBuiltinDesign(report);
            report.setLocaleSettings(FormatSettings::german());
        } else {
            EXPECT_TRUE(loadExampleReceipt(report, QStringLiteral(QUITTUNG_FORMS_DIR "/") + form, copy));
        }
        report.events().getValue = answerWithUmlauts;
        if (!payer.isNull()) {
            report.events().getValue = [payer](const QString& name, Variant& value) {
                if (name == QLatin1String("Von"))
                    value = Variant(payer);
                else
                    answerExampleReceipt(name, value);
            };
        }
        EXPECT_TRUE(engine.prepareReport()) << host.shown.join(u'\n').toStdString();
        filter.setShowDialog(false);
        filter.setShowProgress(false);
        filter.setEmbeddedFonts(true);
        filter.setAuthor(QStringLiteral("Varnel Quittungsprogramm"));
        filter.setSubject(QStringLiteral("Varnel Quittungsprogramm PDF-Export"));
        filter.setCreator(QStringLiteral("Varnel IT-Service"));
    }

    QString write(const QString& fileName)
    {
        filter.setFileName(fileName);
        EXPECT_TRUE(exportReport(engine, filter));
        EXPECT_TRUE(host.shown.isEmpty()) << host.shown.join(u'\n').toStdString();
        return fileName;
    }

    RecordingEngineHost host;
    Report report;
    ReportPreparer engine{report};
    PdfExport filter;
};

struct ReceiptCase {
    const char* form;
    bool copy;
    int pages;
};

void PrintTo(const ReceiptCase& c, std::ostream* out)
{
    *out << c.form << (c.copy ? " with copy" : "");
}

class ReceiptPdfWithTools : public testing::TestWithParam<ReceiptCase> {
protected:
    QTemporaryDir dir;
};

// Dark pixels of a page picture (text, frames, lines).
std::vector<bool> darkMask(const QImage& image)
{
    std::vector<bool> mask(std::size_t(image.width()) * std::size_t(image.height()));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            mask[std::size_t(y) * std::size_t(image.width()) + std::size_t(x)] = qGray(image.pixel(x, y)) < 128;
    return mask;
}

// The share of dark pixels of one picture with no dark pixel of the other within a pixel.
double unmatchedShare(const std::vector<bool>& mask, const std::vector<bool>& other, int width, int height)
{
    int dark = 0;
    int unmatched = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!mask[std::size_t(y) * std::size_t(width) + std::size_t(x)])
                continue;
            ++dark;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    const int nx = x + dx;
                    const int ny = y + dy;
                    near = nx >= 0 && ny >= 0 && nx < width && ny < height
                        && other[std::size_t(ny) * std::size_t(width) + std::size_t(nx)];
                }
            unmatched += near ? 0 : 1;
        }
    }
    return dark ? double(unmatched) / dark : 0;
}

} // namespace

TEST_P(ReceiptPdfWithTools, ReadersAcceptTheFileAndFindItsTextsAndFonts)
{
    const ReceiptCase& c = GetParam();
    ReceiptPdf receipt(QString::fromLatin1(c.form), c.copy);
    ASSERT_EQ(receipt.engine.preparedPages().count(), c.pages);
    const QString pdf = receipt.write(dir.filePath(QStringLiteral("receipt.pdf")));

    const ToolRun check = runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();
    EXPECT_TRUE(check.out.contains(QLatin1String("No syntax or stream encoding errors found")));
    EXPECT_FALSE(check.out.contains(QLatin1String("WARNING")) || !check.err.isEmpty()) << check.err.toStdString();

    const ToolRun text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_TRUE(text.err.isEmpty()) << text.err.toStdString();
    for (const QString& expected : {QString::fromUtf16(kUmlauts), QStringLiteral("Jürgen Öztürk"),
             QStringLiteral("EINHUNDERTNEUNZEHN"), QStringLiteral("Berlin")})
        EXPECT_TRUE(text.out.contains(expected)) << expected.toStdString() << " not in:\n" << text.out.toStdString();
    EXPECT_EQ(text.out.count(u'\f'), c.pages);

    // name, type, encoding, then "emb sub uni" for each font: embedded, a subset, with a ToUnicode map.
    const ToolRun fonts = runTool(QStringLiteral("pdffonts"), {pdf});
    const QStringList lines = fonts.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 2) << fonts.out.toStdString();
    for (const QString& line : lines.mid(2)) {
        EXPECT_TRUE(line.contains(QLatin1String("CID TrueType")) && line.contains(QLatin1String("Identity-H")))
            << line.toStdString();
        EXPECT_TRUE(line.contains(QLatin1String(" yes yes yes "))) << line.toStdString();
    }

    // mupdf renders every page and has nothing to say about the file.
    const ToolRun draw = runTool(QStringLiteral("mutool"),
        {QStringLiteral("draw"), QStringLiteral("-q"), QStringLiteral("-r"), QStringLiteral("48"), QStringLiteral("-o"),
            dir.filePath(QStringLiteral("mupdf-%d.png")), pdf});
    EXPECT_EQ(draw.exitCode, 0);
    // Debian's mupdf is built without colour management and says so whatever the file.
    QString drawWarnings = draw.err;
    drawWarnings.remove(QStringLiteral("warning: ICC support is not available"));
    EXPECT_TRUE(drawWarnings.trimmed().isEmpty()) << draw.err.toStdString();
    for (int page = 1; page <= c.pages; ++page)
        EXPECT_FALSE(QImage(dir.filePath(QStringLiteral("mupdf-%1.png").arg(page))).isNull()) << page;
}

// The PDF at 96 dpi shows what the JPEG export shows. Frames and lines fall on the same pixels; text
// lines start where the PDF's line rule puts them, which is up to a pixel to the right of the
// raster's start (gap and a hundredth of the size), and right-aligned lines end the shadow width
// further left. A page moved by two pixels is far beyond the share allowed.
TEST_P(ReceiptPdfWithTools, RenderedPagesMatchTheJpegExport)
{
    const ReceiptCase& c = GetParam();
    ReceiptPdf receipt(QString::fromLatin1(c.form), c.copy);
    const QString pdf = receipt.write(dir.filePath(QStringLiteral("receipt.pdf")));
    JpegExport jpeg;
    jpeg.setShowDialog(false);
    jpeg.setShowProgress(false);
    jpeg.setFileName(dir.filePath(QStringLiteral("receipt.jpg")));
    ASSERT_TRUE(exportReport(receipt.engine, jpeg));

    const ToolRun render = runTool(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"), pdf, dir.filePath(QStringLiteral("poppler"))});
    ASSERT_EQ(render.exitCode, 0) << render.err.toStdString();
    for (int page = 1; page <= c.pages; ++page) {
        SCOPED_TRACE(page);
        const QString suffix = QStringLiteral(".%1").arg(page);
        const QImage fromPdf(dir.filePath(QStringLiteral("poppler-%1.png").arg(page)));
        const QImage fromJpeg(JpegExport::imageFileName(jpeg.fileName(), suffix));
        ASSERT_FALSE(fromPdf.isNull());
        ASSERT_FALSE(fromJpeg.isNull()) << JpegExport::imageFileName(jpeg.fileName(), suffix).toStdString();
        // The page sizes round to whole pixels on both sides.
        ASSERT_LE(std::abs(fromPdf.width() - fromJpeg.width()), 1);
        ASSERT_LE(std::abs(fromPdf.height() - fromJpeg.height()), 1);
        const int width = std::min(fromPdf.width(), fromJpeg.width());
        const int height = std::min(fromPdf.height(), fromJpeg.height());
        const QImage a = fromPdf.copy(0, 0, width, height);
        const QImage b = fromJpeg.copy(0, 0, width, height);
        const std::vector<bool> pdfDark = darkMask(a);
        const std::vector<bool> jpegDark = darkMask(b);
        EXPECT_LT(unmatchedShare(pdfDark, jpegDark, width, height), 0.12);
        EXPECT_LT(unmatchedShare(jpegDark, pdfDark, width, height), 0.12);

        // The same comparison tells a shifted page apart.
        const QImage shifted = b.copy(2, 0, width, height);
        EXPECT_GT(unmatchedShare(pdfDark, darkMask(shifted), width, height), 0.18);
    }
}

INSTANTIATE_TEST_SUITE_P(Receipts, ReceiptPdfWithTools,
    testing::Values(ReceiptCase{"builtin", false, 1}, ReceiptCase{"Quittung.Dat", true, 2},
        ReceiptCase{"QuittungA4.Dat", false, 1}),
    [](const testing::TestParamInfo<ReceiptCase>& param) {
        return QString::fromLatin1(param.param.form).remove(u'.').toStdString() + (param.param.copy ? "WithCopy" : "");
    });

// The PDF's text layer gives back what was typed, whatever the payer: letters beyond Latin-1, a
// ligature character, a letter with a combining mark, a character no installed font has. Every
// other text of the page stays as it is.
class TextLayerWithTools : public testing::TestWithParam<const char*> {
protected:
    QTemporaryDir dir;
};

// Whitespace runs as one space: pdftotext joins and spaces lines of neighbouring objects its own way.
QString simplified(QString text)
{
    return text.replace(u'\f', u' ').simplified();
}

TEST_P(TextLayerWithTools, PdftotextGivesBackEveryTextOfThePage)
{
    const QString payer = QString::fromUtf8(GetParam());
    ReceiptPdf receipt(QStringLiteral("QuittungA4.Dat"), false, payer);
    const QString pdf = receipt.write(dir.filePath(QStringLiteral("receipt.pdf")));

    const ToolRun check = runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
    EXPECT_EQ(check.exitCode, 0) << check.output().toStdString();

    const ToolRun run = runTool(QStringLiteral("pdftotext"),
        {QStringLiteral("-raw"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString text = simplified(run.out);
    QStringList expected;
    PageWalkOptions options;
    options.totalPages = receipt.engine.preparedPages().count();
    walkPage(receipt.engine.preparedPages(), 0, options, [&](const ReportObject& object) {
        if (const auto* memo = dynamic_cast<const TextObjectBase*>(&object)) {
            for (const QString& line : memo->lines())
                if (!line.trimmed().isEmpty())
                    expected << simplified(line);
        }
        return true;
    });
    ASSERT_TRUE(expected.join(u'|').contains(simplified(payer))) << expected.join(u'|').toStdString();
    for (const QString& line : expected)
        EXPECT_TRUE(text.contains(line)) << line.toStdString() << " not in:\n" << run.out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Payers, TextLayerWithTools,
    testing::Values("Zoë Ångström", "Łódź Sp. z o.o.", "Ελένη Παπαδοπούλου", "Иванов", "Café 😀 GmbH",
        "Oﬃce ﬁnance", "e\u0301"),
    [](const testing::TestParamInfo<const char*>& param) { return "Payer" + std::to_string(param.index); });

// Whatever template loads, its PDF is a file qpdf accepts: the fuzz corpus and the receipt templates.
TEST(PdfExportWithTools, EveryTemplateThatLoadsGivesAFileQpdfAccepts)
{
    QStringList templates{QStringLiteral(QUITTUNG_FORMS_DIR "/Quittung.Dat"), QStringLiteral(QUITTUNG_FORMS_DIR "/QuittungA4.Dat")};
    QDirIterator corpus(QStringLiteral(QUITTUNG_FUZZ_CORPUS_DIR "/template"), QDir::Files);
    while (corpus.hasNext())
        templates << corpus.next();
    QTemporaryDir dir;
    for (const QString& path : templates) {
        SCOPED_TRACE(path.toStdString());
        RecordingEngineHost host;
        Report report;
        report.setLocaleSettings(FormatSettings::german());
        report.events().getValue = answerWithUmlauts;
        if (!report.loadFromFile(path))
            continue;
        for (int i = 0; i < report.pagesCount(); ++i)
            report.pages(i)->setVisible(true);
        ReportPreparer engine(report);
        if (!engine.prepareReport() || engine.preparedPages().count() == 0)
            continue;
        PdfExport filter;
        filter.setShowDialog(false);
        filter.setShowProgress(false);
        filter.setEmbeddedFonts(true);
        filter.setFileName(dir.filePath(QFileInfo(path).completeBaseName() + QStringLiteral(".pdf")));
        ASSERT_TRUE(exportReport(engine, filter));
        const ToolRun check = runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), filter.fileName()});
        EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();
    }
}
