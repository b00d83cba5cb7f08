#include "report/document/text_object.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/shape_object.h"
#include "report/engine/pages/report_preparer.h"
#include "report/engine/pages/view_drawing.h"
#include "report/export/image/image_export.h"
#include "runtime/exception.h"
#include "tools/example_receipt.h"
#include "tests/support/recording_engine_host.h"
#include "tests/support/tool_run.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace quittung;
using namespace quittung::report;

namespace {

// The pixel size of a JPEG file as djpeg decodes it; an invalid size when the file does not decode.
QSize decodedSize(const QString& fileName)
{
    const QString djpeg = toolPath(QStringLiteral("djpeg"));
    if (djpeg.isEmpty())
        return {};
    QProcess process;
    process.start(djpeg, {QStringLiteral("-pnm"), fileName});
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    // "P6\n<width> <height>\n255\n" before the pixels.
    const QList<QByteArray> header = process.readAllStandardOutput().left(64).split('\n');
    if (header.size() < 3 || header[0] != "P6")
        return {};
    const QList<QByteArray> size = header[1].split(' ');
    return size.size() == 2 ? QSize(size[0].toInt(), size[1].toInt()) : QSize();
}

bool isDark(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 80;
}

// A report of A5 pages with margins 0 and black boxes where a test wants them.
struct BoxReport {
    explicit BoxReport(int pages = 1)
    {
        report.add<DataPage>()->setName(QStringLiteral("Data"));
        for (int i = 1; i <= pages; ++i) {
            auto* page = report.add<ReportPage>();
            page->setName(QStringLiteral("Page%1").arg(i));
            page->setPaperWidth(148);
            page->setPaperHeight(210);
        }
    }

    ShapeObject* addBox(int page, double left, double top, double width, double height)
    {
        auto* box = report.pages(page)->add<ShapeObject>();
        box->createUniqueName();
        box->setBounds(left, top, width, height);
        box->setColor(colors::Black);
        return box;
    }

    bool exportTo(const QString& fileName)
    {
        if (engine.preparedPages().count() == 0) {
            EXPECT_TRUE(engine.prepareReport()) << host.shown.join(QLatin1Char('\n')).toStdString();
        }
        filter.setShowDialog(false);
        filter.setFileName(fileName);
        return exportReport(engine, filter);
    }

    RecordingEngineHost host;
    Report report;
    ReportPreparer engine{report};
    JpegExport filter;
};

// The receipt template filled with the example receipt, one or both receipt pages.
struct Receipt {
    Receipt(const char* form, bool copy)
    {
        EXPECT_TRUE(loadExampleReceipt(report, QStringLiteral(QUITTUNG_FORMS_DIR "/") + QString::fromLatin1(form), copy));
        EXPECT_TRUE(engine.prepareReport()) << host.shown.join(QLatin1Char('\n')).toStdString();
        filter.setShowDialog(false);
    }

    RecordingEngineHost host;
    Report report;
    ReportPreparer engine{report};
    JpegExport filter;
};

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

TEST(JpegExport, TheScreenHas96PixelsPerInchHere)
{
    // The sizes below assume it, as the offscreen platform gives.
    ASSERT_EQ(ImageExport::screenPixelsPerInch(), 96);
}

TEST(JpegExport, ImageFileNameReplacesTheExtension)
{
    const struct {
        const char* fileName;
        const char* suffix;
        const char* expected;
    } cases[] = {
        {"/p/JPG/12-03.07.2020-Muster GmbH.JPG", ".1", "/p/JPG/12-03.07.2020-Muster GmbH.1.jpg"},
        {"/p/JPG/12-03.07.2020-Muster GmbH.JPG", "", "/p/JPG/12-03.07.2020-Muster GmbH.jpg"},
        {"/p/JPG/Quittung", ".1", "/p/JPG/Quittung.1.jpg"},
        {"/p/a.b/Quittung", ".2", "/p/a.b/Quittung.2.jpg"},
        {"Quittung.jpeg", ".3", "Quittung.3.jpg"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JpegExport::imageFileName(QString::fromUtf8(c.fileName), QString::fromLatin1(c.suffix)),
            QString::fromUtf8(c.expected));
}

TEST(JpegExportWithTools, ReceiptWritesOneNumberedFilePerPage)
{
    for (const bool copy : {false, true}) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("JPG")));
        Receipt r("Quittung.Dat", copy);
        r.filter.setFileName(dir.path() + QStringLiteral("/JPG/12-03.07.2020-Muster GmbH.JPG"));
        EXPECT_TRUE(exportReport(r.engine, r.filter));
        EXPECT_TRUE(r.host.shown.isEmpty()) << r.host.shown.join(QLatin1Char('\n')).toStdString();

        QStringList expected{QStringLiteral("12-03.07.2020-Muster GmbH.1.jpg")};
        if (copy)
            expected << QStringLiteral("12-03.07.2020-Muster GmbH.2.jpg");
        ASSERT_EQ(filesIn(dir.path() + QStringLiteral("/JPG")), expected);
        for (const QString& file : expected) {
            const QString path = dir.path() + QStringLiteral("/JPG/") + file;
            EXPECT_EQ(decodedSize(path), QSize(559, 794)) << file.toStdString();
            QFile bytes(path);
            ASSERT_TRUE(bytes.open(QIODevice::ReadOnly));
            const QByteArray jpeg = bytes.readAll();
            EXPECT_EQ(jpeg.mid(6, 5), QByteArray("JFIF\0", 5)) << "a JFIF header";
            EXPECT_EQ(jpeg.mid(13, 5), QByteArray("\0\0\1\0\1", 5)) << "no resolution, aspect 1:1";
            EXPECT_TRUE(jpeg.contains(QByteArray("\xFF\xC0", 2))) << "baseline";
            EXPECT_FALSE(jpeg.contains(QByteArray("\xFF\xC2", 2))) << "not progressive";
        }
    }
}

TEST(JpegExport, FileNameWithoutExtensionGetsTheSuffix)
{
    QTemporaryDir dir;
    BoxReport r;
    r.addBox(1, 10, 10, 10, 10);
    EXPECT_TRUE(r.exportTo(dir.path() + QStringLiteral("/Quittung")));
    EXPECT_EQ(filesIn(dir.path()), QStringList(QStringLiteral("Quittung.1.jpg")));
}

TEST(JpegExportWithTools, CropCutsToThePaintedArea)
{
    QTemporaryDir dir;
    BoxReport r;
    // The page colour paints the whole printable area, which must not count.
    static_cast<ReportPage*>(r.report.pages(1))->setColor(colors::Gray);
    r.addBox(1, 10, 20, 50, 10);
    r.addBox(1, 60, 40, 40, 10);
    r.filter.setCropImages(true);
    EXPECT_TRUE(r.exportTo(dir.path() + QStringLiteral("/crop.jpg")));
    const QString file = dir.path() + QStringLiteral("/crop.1.jpg");
    EXPECT_EQ(decodedSize(file), QSize(91, 31));
    const QImage image(file);
    EXPECT_TRUE(isDark(image, 5, 5));    // first box
    EXPECT_TRUE(isDark(image, 70, 25));  // second box
    EXPECT_FALSE(isDark(image, 70, 5));  // the page colour between them
}

// Paper and object sizes come from the template; no side of an image grows beyond 30000 pixels,
// whether it is a page of its own or cut to what was painted.
TEST(JpegExportWithTools, ImagesAreNeverLargerThanTheLimit)
{
    const struct {
        double paperWidth;
        double paperHeight;
        double boxWidth;
        bool crop;
        QSize size;
    } cases[] = {
        {10000, 10, 20, false, QSize(30000, 38)},
        {10, 10000, 20, false, QSize(38, 30000)},
        {148, 210, 1e6, true, QSize(30000, 6)},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        BoxReport r;
        auto* page = static_cast<ReportPage*>(r.report.pages(1));
        page->setPaperWidth(c.paperWidth);
        page->setPaperHeight(c.paperHeight);
        r.addBox(1, 0, 0, c.boxWidth, 5);
        r.filter.setCropImages(c.crop);
        EXPECT_TRUE(r.exportTo(dir.path() + QStringLiteral("/large.jpg")));
        EXPECT_TRUE(r.host.shown.isEmpty()) << r.host.shown.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(decodedSize(dir.path() + QStringLiteral("/large.1.jpg")), c.size) << c.paperWidth << ' ' << c.boxWidth;
    }
}

TEST(JpegExportWithTools, AnAutoWidthTextIsCroppedAtItsMeasuredWidth)
{
    QTemporaryDir dir;
    BoxReport r;
    auto* memo = r.report.pages(1)->add<TextObject>();
    memo->setName(QStringLiteral("Title"));
    memo->setBounds(20, 20, 300, 20);
    memo->setAutoWidth(true);
    memo->setText(QStringLiteral("Quittung"));
    r.filter.setCropImages(true);
    EXPECT_TRUE(r.exportTo(dir.path() + QStringLiteral("/auto.jpg")));
    const QSize size = decodedSize(dir.path() + QStringLiteral("/auto.1.jpg"));
    EXPECT_EQ(size.height(), 21);
    EXPECT_GT(size.width(), 45);
    EXPECT_LT(size.width(), 65);
}

TEST(JpegExportWithTools, StackedPagesMakeOneImage)
{
    QTemporaryDir dir;
    BoxReport r(2);
    r.addBox(1, 0, 0, 20, 20);
    r.addBox(2, 0, 0, 20, 20);
    r.filter.setSeparateFiles(false);
    EXPECT_TRUE(r.exportTo(dir.path() + QStringLiteral("/stack.JPG")));
    EXPECT_EQ(filesIn(dir.path()), QStringList(QStringLiteral("stack.jpg")));
    const QString file = dir.path() + QStringLiteral("/stack.jpg");
    EXPECT_EQ(decodedSize(file), QSize(559, 1588));
    const QImage image(file);
    EXPECT_TRUE(isDark(image, 10, 10));
    EXPECT_FALSE(isDark(image, 10, 790));
    EXPECT_TRUE(isDark(image, 10, 797));
    EXPECT_TRUE(isDark(image, 10, 810));
    EXPECT_FALSE(isDark(image, 10, 818));
}

TEST(JpegExport, NotPrintableViewsAreMissingUnlessAsked)
{
    for (const bool exportNotPrintable : {false, true}) {
        QTemporaryDir dir;
        BoxReport r;
        r.addBox(1, 100, 100, 50, 50)->setPrintable(false);
        r.addBox(1, 300, 100, 50, 50);
        r.filter.setExportNotPrintable(exportNotPrintable);
        EXPECT_TRUE(r.exportTo(dir.path() + QStringLiteral("/p.jpg")));
        const QImage image(dir.path() + QStringLiteral("/p.1.jpg"));
        ASSERT_EQ(image.size(), QSize(559, 794));
        EXPECT_EQ(isDark(image, 125, 125), exportNotPrintable);
        EXPECT_TRUE(isDark(image, 325, 125));
    }
}

TEST(JpegExport, MissingFolderReportsEachPageAndGoesOn)
{
    QTemporaryDir dir;
    const QString base = dir.path() + QStringLiteral("/JPG/12-03.07.2020-Muster GmbH");
    BoxReport r(2);
    EXPECT_TRUE(r.exportTo(base + QStringLiteral(".JPG")));
    ASSERT_EQ(r.host.shown.size(), 2);
    for (int page = 1; page <= 2; ++page) {
        EXPECT_EQ(r.host.shown[page - 1], QStringLiteral("Error|Datei \"%1.%2.jpg\" kann nicht erstellt werden. ")
                                              .arg(base)
                                              .arg(page)
                + QStringLiteral("No such file or directory"));
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());

    r.report.engineOptions().setNewSilentMode(SilentMode::Silent);
    r.host.shown.clear();
    EXPECT_TRUE(r.exportTo(base + QStringLiteral(".JPG")));
    EXPECT_TRUE(r.host.shown.isEmpty());
    EXPECT_EQ(r.engine.errors().strings().size(), 2);

    r.report.engineOptions().setNewSilentMode(SilentMode::Rethrow);
    r.engine.errors().clear();
    EXPECT_THROW(r.exportTo(base + QStringLiteral(".JPG")), Exception);
}

TEST(JpegExportWithTools, ExistingFileIsReplaced)
{
    QTemporaryDir dir;
    const QString file = dir.path() + QStringLiteral("/r.1.jpg");
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("not a picture");
    }
    BoxReport r;
    r.filter.setShowDialog(false);
    EXPECT_TRUE(r.exportTo(dir.path() + QStringLiteral("/r.jpg")));
    EXPECT_TRUE(r.host.shown.isEmpty());
    EXPECT_EQ(decodedSize(file), QSize(559, 794));
    EXPECT_EQ(filesIn(dir.path()), QStringList(QStringLiteral("r.1.jpg")));
}

TEST(JpegExport, MonochromeHoldsOnlyBlackAndWhite)
{
    QTemporaryDir dir;
    BoxReport r;
    r.addBox(1, 10, 10, 100, 100)->setColor(colors::Red);
    r.addBox(1, 200, 10, 100, 100)->setColor(0xE0E0E0);
    r.filter.setMonochrome(true);
    r.filter.setJpegQuality(100);
    EXPECT_TRUE(r.exportTo(dir.path() + QStringLiteral("/m.jpg")));
    const QImage image(dir.path() + QStringLiteral("/m.1.jpg"));
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(isDark(image, 60, 60));   // red is darker than the threshold
    EXPECT_FALSE(isDark(image, 250, 60)); // light grey turns white
    const QColor inside = image.pixelColor(60, 60);
    EXPECT_LT(std::abs(inside.red() - inside.green()), 20) << "no colour left";
}

TEST(JpegExport, NoFileNameExportsNothing)
{
    BoxReport r;
    EXPECT_TRUE(r.engine.prepareReport());
    r.filter.setShowDialog(false);
    struct Counting : JpegExport {
        int pages = 0;
        void startPage(const ReportPage& page, int index) override
        {
            ++pages;
            JpegExport::startPage(page, index);
        }
    } counting;
    counting.setShowDialog(false);
    EXPECT_TRUE(exportReport(r.engine, counting));
    EXPECT_EQ(counting.pages, 0);
}

// The page images the JPEG export paints, kept instead of encoded.
QList<QImage> exportedImages(ReportPreparer& engine)
{
    struct Capturing : ImageExport {
        void saveImage() override { images << m_bitmap.convertToFormat(QImage::Format_RGB32); }
        QList<QImage> images;
    } capturing;
    capturing.setShowDialog(false);
    capturing.setFileName(QStringLiteral("unused"));
    EXPECT_TRUE(exportReport(engine, capturing));
    return capturing.images;
}

// What the preview draws of a prepared page at scale 1, on white paper of the page's size.
QImage previewOf(const PreparedPages& pages, int index)
{
    const QSizeF size = pages.pageSize(index);
    QImage preview(int(size.width()), int(size.height()), QImage::Format_RGB32);
    preview.fill(Qt::white);
    QPainter painter(&preview);
    drawPage(pages, index, painter, 1, 1, 0, 0);
    return preview;
}

TEST(JpegExport, PaintsExactlyWhatThePreviewDraws)
{
    Receipt r("Quittung.Dat", true);
    const QList<QImage> images = exportedImages(r.engine);
    ASSERT_EQ(images.size(), 2);
    for (int page = 0; page < 2; ++page)
        EXPECT_TRUE(images[page] == previewOf(r.engine.preparedPages(), page)) << page;
}

TEST(JpegExportWithTools, CancelLeavesTheBegunPageWritten)
{
    QTemporaryDir dir;
    BoxReport r(3);
    for (int page = 1; page <= 3; ++page)
        r.addBox(page, 10, 10, 20, 20);
    r.host.cancelAfterMessages = 2;
    EXPECT_TRUE(r.exportTo(dir.path() + QStringLiteral("/c.jpg")));
    EXPECT_EQ(filesIn(dir.path()), (QStringList{QStringLiteral("c.1.jpg"), QStringLiteral("c.2.jpg")}));
    EXPECT_EQ(decodedSize(dir.path() + QStringLiteral("/c.2.jpg")), QSize(559, 794));
    // Only the background of the begun page was painted.
    EXPECT_TRUE(isDark(QImage(dir.path() + QStringLiteral("/c.1.jpg")), 20, 20));
    EXPECT_FALSE(isDark(QImage(dir.path() + QStringLiteral("/c.2.jpg")), 20, 20));
}

TEST(JpegExport, DefaultPathGoesInFrontOfABareFileName)
{
    QTemporaryDir dir;
    BoxReport r;
    r.filter.setDefaultPath(dir.path());
    EXPECT_TRUE(r.exportTo(QStringLiteral("bare.jpg")));
    EXPECT_EQ(filesIn(dir.path()), QStringList(QStringLiteral("bare.1.jpg")));
}

TEST(JpegExport, PageColourFrameHighlightsAndMarginsLookAsInThePreview)
{
    BoxReport r(2);
    for (int i = 1; i <= 2; ++i) {
        auto* page = static_cast<ReportPage*>(r.report.pages(i));
        page->setColor(0x00FFFF); // yellow paper area
        page->frame().setSides(AllFrameSides);
        page->frame().setWidth(2);
        page->setLeftMargin(5);
        page->setRightMargin(20);
        page->setTopMargin(8);
        page->setMirrorMargins(true);
        r.addBox(i, 10, 10, 40, 20);
        auto* memo = page->add<TextObject>();
        memo->createUniqueName();
        memo->setBounds(10, 40, 200, 30);
        memo->setText(QStringLiteral("Hervorgehoben"));
        memo->highlight().setActive(true);
        memo->highlight().font().setStyle(FontStyle::Bold);
        memo->highlight().font().setColor(colors::Black);
        memo->highlight().setColor(colors::Red);
        auto* hidden = page->add<TextObject>();
        hidden->setName(QStringLiteral("Hidden%1").arg(i));
        hidden->setBounds(10, 80, 200, 30);
        hidden->setText(QStringLiteral("Versteckt"));
    }
    ASSERT_TRUE(r.engine.prepareReport());
    // Hidden after preparing, as a page loaded from elsewhere could hold it.
    for (int i = 0; i < 2; ++i)
        r.engine.preparedPages().page(i)->findObject(QStringLiteral("Hidden%1").arg(i + 1))->setVisible(false);

    const QList<QImage> images = exportedImages(r.engine);
    ASSERT_EQ(images.size(), 2);
    for (int page = 0; page < 2; ++page) {
        const QImage preview = previewOf(r.engine.preparedPages(), page);
        EXPECT_TRUE(images[page] == preview) << page;
        // The page is yellow inside its margins, which differ on the mirrored second page.
        const int left = int(((page == 1 ? 20 : 5) + 1) * PixelsPerMm);
        EXPECT_EQ(preview.pixel(left, int(30 * PixelsPerMm)), qRgb(255, 255, 0)) << page;
        EXPECT_EQ(preview.pixel(int(2 * PixelsPerMm), int(30 * PixelsPerMm)), qRgb(255, 255, 255)) << page;
        // The highlight's fill shows under its text.
        EXPECT_EQ(preview.pixel(int(left + 150), int(8 * PixelsPerMm + 40 + 27)), qRgb(255, 0, 0)) << page;
    }
    // The prepared pages are as the engine made them.
    EXPECT_EQ(r.engine.preparedPages().page(0)->children().front()->left(), 0);
}
