#include "report/export/pdf/pdf_export.h"

#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/shape_object.h"
#include "report/engine/pages/report_preparer.h"
#include "report/export/pdf/pdf_document.h"
#include "report/export/pdf/pdf_font.h"
#include "runtime/exception.h"
#include "tests/support/recording_engine_host.h"
#include "tests/support/tool_run.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QtEndian>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>

namespace quittung::report {
namespace {

// Deflated stream data as it was before; qUncompress() wants the size in front, high byte first.
QByteArray inflated(const QByteArray& deflated, qsizetype rawSize)
{
    QByteArray stored(4, '\0');
    qToBigEndian(quint32(rawSize), stored.data());
    return qUncompress(stored + deflated);
}

const QDateTime TestTime(QDate(2024, 3, 7), QTime(9, 5, 3));
const QUuid TestGuid(QStringLiteral("{0a1b2c3d-4e5f-6a7b-8c9d-0e1f2a3b4c5d}"));

Font reportFont(FontStyles style)
{
    Font font;
    font.setName(QStringLiteral("Arial"));
    font.setStyle(style);
    return font;
}

// Stands in for the page content where a test needs what it registers: fonts, links, a failure.
class TestPdfExport : public PdfExport {
public:
    // Called with the document and the page's index at the first object of every page.
    std::function<void(PdfDocumentWriter&, int)> onPage;

    void startPage(const ReportPage& page, int index) override
    {
        PdfExport::startPage(page, index);
        m_index = index;
        m_pageBegun = true;
    }
    void exportObject(const ReportObject& object) override
    {
        PdfExport::exportObject(object);
        if (m_pageBegun && onPage) {
            m_pageBegun = false;
            onPage(*document(), m_index);
        }
    }

    // A font used on the current page: found or added, the glyphs of `text` recorded.
    static void useFont(PdfDocumentWriter& document, FontStyles style, const QString& text)
    {
        for (PdfDocumentFont& entry : document.fonts) {
            if (entry.font->sourceFont().style() == style) {
                entry.font->remapString(text, false);
                return;
            }
        }
        auto font = std::make_unique<PdfFont>(reportFont(style));
        font->fillOutlineTextMetrics();
        font->remapString(text, false);
        document.fonts.push_back({std::move(font), 0});
    }

private:
    int m_index = 0;
    bool m_pageBegun = false;
};

// A report of A5 pages, each with one black box, exported as PDF with a fixed clock and GUID.
struct PdfReport {
    explicit PdfReport(int pages = 1)
    {
        report.setClock([] { return TestTime; });
        report.add<DataPage>()->setName(QStringLiteral("Data"));
        for (int i = 1; i <= pages; ++i) {
            auto* page = report.add<ReportPage>();
            page->setName(QStringLiteral("Page%1").arg(i));
            page->setPaperWidth(148);
            page->setPaperHeight(210);
            auto* box = page->add<ShapeObject>();
            box->createUniqueName();
            box->setBounds(10, 10, 50, 20);
            box->setColor(colors::Black);
        }
        filter.setShowDialog(false);
        filter.setUuidSource([] { return TestGuid; });
    }

    bool exportTo(QIODevice* stream, const QString& fileName = {})
    {
        if (engine.preparedPages().count() == 0) {
            EXPECT_TRUE(engine.prepareReport()) << host.shown.join(QLatin1Char('\n')).toStdString();
        }
        filter.setStream(stream);
        filter.setFileName(fileName);
        return exportReport(engine, filter);
    }

    // The document written into memory.
    QByteArray pdf()
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(exportTo(&buffer)) << host.shown.join(QLatin1Char('\n')).toStdString();
        return buffer.data();
    }

    RecordingEngineHost host;
    Report report;
    ReportPreparer engine{report};
    TestPdfExport filter;
};

// The objects of a document by number, each the text from its "n 0 obj" line to its "endobj",
// found through the cross-reference table, which is checked on the way.
std::map<int, QByteArray> objectsOf(const QByteArray& pdf)
{
    std::map<int, QByteArray> objects;
    const qsizetype startxref = pdf.lastIndexOf("startxref\r\n");
    EXPECT_GT(startxref, 0);
    const qsizetype xref = pdf.mid(startxref + 11).split('\r').value(0).toLongLong();
    EXPECT_EQ(pdf.mid(xref, 6), "xref\r\n") << "startxref is the offset of the xref line";
    const qsizetype sizeLineEnd = pdf.indexOf("\r\n", xref + 6);
    const int size = pdf.mid(xref + 8, sizeLineEnd - xref - 8).toInt();
    const qsizetype entries = sizeLineEnd + 2;
    EXPECT_EQ(pdf.mid(entries, 20), "0000000000 65535 f\r\n");
    for (int n = 1; n < size; ++n) {
        const QByteArray entry = pdf.mid(entries + 20 * n, 20);
        EXPECT_TRUE(entry.endsWith(" 00000 n\r\n")) << "entry " << n << " is 20 bytes: " << entry.constData();
        const qsizetype offset = entry.left(10).toLongLong();
        const QByteArray head = QByteArray::number(n) + " 0 obj\r\n";
        EXPECT_EQ(pdf.mid(offset, head.size()), head) << "object " << n;
        objects[n] = pdf.mid(offset, pdf.indexOf("endobj", offset) - offset);
    }
    EXPECT_EQ(pdf.mid(entries + 20 * size, 9), "trailer\r\n");
    return objects;
}

QByteArray trailerOf(const QByteArray& pdf)
{
    return pdf.mid(pdf.lastIndexOf("trailer\r\n"));
}

// The number the entry `key` of a dictionary refers to ("/Info 12 0 R" gives 12).
int referenceIn(const QByteArray& dictionary, const char* key)
{
    const QRegularExpression pattern(QRegularExpression::escape(QLatin1String(key)) + QStringLiteral(" (\\d+) 0 R"));
    return pattern.match(QString::fromLatin1(dictionary)).captured(1).toInt();
}

QString writeTemp(const QTemporaryDir& dir, const QByteArray& pdf)
{
    const QString path = dir.filePath(QStringLiteral("out.pdf"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pdf);
    return path;
}

void expectQpdfAccepts(const QByteArray& pdf, const QStringList& options = {})
{
    QTemporaryDir dir;
    const ToolRun check = runTool(QStringLiteral("qpdf"), options + QStringList{QStringLiteral("--check"), writeTemp(dir, pdf)});
    EXPECT_EQ(check.exitCode, 0) << check.output().toStdString();
    EXPECT_TRUE(check.output().contains(QStringLiteral("No syntax or stream encoding errors"))) << check.output().toStdString();
}

TEST(PdfExportWithTools, TwoPagesWithOneEmbeddedFontNumberTheirObjects)
{
    PdfReport r(2);
    r.filter.setEmbeddedFonts(true);
    r.filter.onPage = [](PdfDocumentWriter& document, int) {
        TestPdfExport::useFont(document, {}, QStringLiteral("Quittung"));
    };
    const QByteArray pdf = r.pdf();
    ASSERT_TRUE(pdf.startsWith("%PDF-1.5\r\n2 0 obj\r\n"));
    const std::map<int, QByteArray> objects = objectsOf(pdf);
    ASSERT_EQ(objects.size(), 13u);
    const struct {
        int number;
        const char* holds;
    } layout[] = {
        {1, "/Type /Pages"}, {2, "/Filter /FlateDecode"}, {3, "/Subtype /Type0"}, {4, "/Type /Page\r\n"},
        {5, "/Filter /FlateDecode"}, {6, "/Type /Page\r\n"}, {7, "/Length1"}, {8, "/Type /FontDescriptor"},
        {9, "/Filter /FlateDecode"}, {10, "/Ordering (Identity)"}, {11, "/Subtype /CIDFontType2"},
        {12, "/CreationDate"}, {13, "/Type /Catalog"},
    };
    for (const auto& object : layout)
        EXPECT_TRUE(objects.at(object.number).contains(object.holds)) << object.number << " " << object.holds;
    // Pages before fonts: the page tree, page 1 and its font dictionary are written last of their kind.
    EXPECT_GT(pdf.indexOf("\n1 0 obj"), pdf.indexOf("\n3 0 obj"));
    EXPECT_GT(pdf.indexOf("\n3 0 obj"), pdf.indexOf("\n11 0 obj"));
    EXPECT_TRUE(objects.at(1).contains("/Kids [4 0 R 6 0 R ]\r\n/Count 2\r\n"));
    EXPECT_TRUE(objects.at(8).contains("/FontFile2 7 0 R"));
    EXPECT_TRUE(objects.at(3).contains("/DescendantFonts [11 0 R]\r\n/ToUnicode 9 0 R\r\n"));
    EXPECT_TRUE(pdf.contains("\r\nxref\r\n0 14\r\n"));
    const QByteArray trailer = trailerOf(pdf);
    EXPECT_TRUE(trailer.contains("/Size 14\r\n/Root 13 0 R\r\n/Info 12 0 R\r\n"));
    EXPECT_TRUE(pdf.endsWith("%%EOF\r\n"));
    expectQpdfAccepts(pdf);
}

TEST(PdfExportWithTools, PageResourcesListEveryFontUsedSoFar)
{
    PdfReport r(3);
    // Arial on page 1, Arial bold on page 2, Arial again on page 3.
    r.filter.onPage = [](PdfDocumentWriter& document, int index) {
        TestPdfExport::useFont(document, index == 1 ? FontStyles(FontStyle::Bold) : FontStyles(), QStringLiteral("Ab"));
    };
    const QByteArray pdf = r.pdf();
    const std::map<int, QByteArray> objects = objectsOf(pdf);
    const QList<QByteArray> kids = objects.at(1).split('[').at(1).split(']').at(0).split(' ');
    ASSERT_GE(kids.size(), 9);
    const QByteArray expected[] = {
        "/Font << /F0 3 0 R >>\r\n",
        "/Font << /F0 3 0 R /F1 6 0 R >>\r\n",
        "/Font << /F0 3 0 R /F1 6 0 R >>\r\n",
    };
    for (int page = 0; page < 3; ++page) {
        const QByteArray& object = objects.at(kids.at(3 * page).toInt());
        EXPECT_TRUE(object.contains(expected[page])) << page << object.constData();
        EXPECT_FALSE(object.contains("/Annots")) << page;
        EXPECT_FALSE(object.contains("/XObject")) << page;
    }
    EXPECT_TRUE(objects.at(6).contains("/BaseFont /Arial,Bold"));
    expectQpdfAccepts(pdf);
}

TEST(PdfExport, ContentStreamLengths)
{
    for (const bool compressed : {true, false}) {
        PdfReport r;
        r.filter.setCompressed(compressed);
        const std::map<int, QByteArray> objects = objectsOf(r.pdf());
        const QByteArray& content = objects.at(2);
        const QRegularExpressionMatch lengths = QRegularExpression(QStringLiteral(
            "^2 0 obj\r\n<< (/Filter /FlateDecode )?/Length (\\d+)( /Length1 (\\d+))? >>\r\nstream\r\n"))
                                                    .match(QString::fromLatin1(content));
        ASSERT_TRUE(lengths.hasMatch()) << content.constData();
        EXPECT_EQ(lengths.hasCaptured(1), compressed);
        EXPECT_EQ(lengths.hasCaptured(3), compressed);
        const qsizetype data = content.indexOf("stream\r\n") + 8;
        const qsizetype end = content.indexOf("endstream");
        // Deflated data is followed by a line break; plain content ends with its own.
        EXPECT_EQ(end - data, lengths.captured(2).toInt() + (compressed ? 2 : 0));
        if (compressed) {
            EXPECT_EQ(inflated(content.mid(data, lengths.captured(2).toInt()), lengths.captured(4).toInt()).size(),
                lengths.captured(4).toInt());
        }
    }
}

TEST(PdfExport, StreamsDeflatedInPiecesReadAsOneStream)
{
    const QByteArray data = QByteArray("0123456789abcdef").repeated(300) + QByteArray(5000, 'x') + "tail";
    const QByteArray ahead = PdfDocumentWriter::deflatedPiece(QByteArrayView(data).sliced(1000, 4800));
    const QByteArray inPieces = PdfDocumentWriter::deflatedInPieces(
        data, {{1000, {}}, {4800, ahead}, {data.size() - 5800, {}}});
    EXPECT_EQ(inflated(inPieces, data.size()), data);
    EXPECT_EQ(inflated(PdfDocumentWriter::deflatedInPieces(data, {{data.size(), {}}}), data.size()), data);
    EXPECT_THROW(PdfDocumentWriter::deflatedInPieces(data, {{1000, {}}}), std::invalid_argument);
    EXPECT_THROW(PdfDocumentWriter::deflatedInPieces(data, {{1000, {}}, {data.size(), {}}}), std::invalid_argument);

    // Fonts reuse the tables an earlier subset of the same file deflated: every subset still reads
    // back as its own bytes.
    for (const QString& text : {QStringLiteral("Quittung"), QStringLiteral(u"ÄÖÜäöüß€ 0123456789"),
             QStringLiteral("Quittung")}) {
        for (const bool subset : {true, false}) {
            PdfFont font(Font{});
            font.fillOutlineTextMetrics();
            font.remapString(text, false);
            font.setSubset(subset);
            const QByteArray file = font.getFontFile();
            EXPECT_EQ(inflated(font.deflatedFontData(), file.size()), file) << text.toStdString() << subset;
        }
    }
}

TEST(PdfExport, InformationDictionary)
{
    PdfReport r;
    r.filter.setAuthor(QStringLiteral(u"Müller"));
    r.filter.setCreator(QStringLiteral("Quittung"));
    const QByteArray pdf = r.pdf();
    const std::map<int, QByteArray> objects = objectsOf(pdf);
    const QByteArray& info = objects.at(referenceIn(trailerOf(pdf), "/Info"));
    EXPECT_TRUE(info.contains("<<\r\n/Title <FEFF>\r\n/Author <FEFF004D00FC006C006C00650072>\r\n"
                              "/Subject <FEFF>\r\n/Keywords <FEFF>\r\n/Creator <FEFF0051007500690074007400750"
                              "06E0067>\r\n/Producer <FEFF>\r\n"
                              "/CreationDate (D:20240307090503)\r\n/ModDate (D:20240307090503)\r\n>>\r\n"))
        << info.constData();
    // The identifier is the MD5 digest of the GUID's upper-case text with braces.
    const QByteArray id = QCryptographicHash::hash("{0A1B2C3D-4E5F-6A7B-8C9D-0E1F2A3B4C5D}", QCryptographicHash::Md5).toHex();
    EXPECT_TRUE(trailerOf(pdf).contains("/ID [<" + id + "><" + id + ">]\r\n"));
    EXPECT_FALSE(trailerOf(pdf).contains("/Encrypt"));
}

TEST(PdfExport, CatalogViewerPreferences)
{
    const struct {
        std::function<void(PdfExport&)> set;
        const char* preferences;
    } cases[] = {
        {[](PdfExport&) {}, "/ViewerPreferences <<\r\n/PrintScaling /None\r\n>>\r\n"},
        {[](PdfExport& f) { f.setTitle(QStringLiteral("Quittung")); f.setPrintScaling(true); },
            "/ViewerPreferences <<\r\n/DisplayDocTitle true\r\n>>\r\n"},
        {[](PdfExport& f) {
             f.setHideToolbar(true);
             f.setHideMenubar(true);
             f.setHideWindowUi(true);
             f.setFitWindow(true);
             f.setCenterWindow(true);
         },
            "/ViewerPreferences <<\r\n/HideToolbar true\r\n/HideMenubar true\r\n/HideWindowUI true\r\n"
            "/FitWindow true\r\n/CenterWindow true\r\n/PrintScaling /None\r\n>>\r\n"},
    };
    for (const auto& c : cases) {
        PdfReport r;
        c.set(r.filter);
        const QByteArray pdf = r.pdf();
        const QByteArray catalog = objectsOf(pdf).at(referenceIn(trailerOf(pdf), "/Root"));
        EXPECT_TRUE(catalog.contains(QByteArray("<<\r\n/Type /Catalog\r\n/Pages 1 0 R\r\n/PageMode /UseNone\r\n")
                                     + c.preferences + ">>\r\n"))
            << catalog.constData();
    }
}

TEST(PdfExportWithTools, OutlineTakesTheExportedPagesDepthFirst)
{
    PdfReport r(3);
    r.filter.setOutline(true);
    r.filter.setPageNumbers(QStringLiteral("1,3"));
    r.filter.setOutlineItems({
        {QStringLiteral("A"), 0, 100, {{QStringLiteral("A1"), 0, 200, {}}, {QStringLiteral("A2"), 1, 0, {}},
                                          {QStringLiteral("A3"), 2, 40, {}}}},
        {QStringLiteral("B"), 1, 0, {{QStringLiteral("B1"), 0, 0, {}}}},
        {QStringLiteral("C"), 2, 0, {}},
    });
    const QByteArray pdf = r.pdf();
    const std::map<int, QByteArray> objects = objectsOf(pdf);
    // Pages 1 and 3 are objects 3 and 5; B and A2 are on page 2, which was not exported.
    EXPECT_TRUE(objects.at(1).contains("/Kids [3 0 R 5 0 R ]"));
    const double height = QRegularExpression(QStringLiteral("/MediaBox \\[0 0 \\S+ (\\S+) \\]"))
                              .match(QString::fromLatin1(objects.at(3)))
                              .captured(1)
                              .toDouble();
    auto dest = [&](int page, double top) {
        return "/Dest [" + QByteArray::number(page) + " 0 R /XYZ 0 " + QByteArray::number(qRound64(height - top * 0.75))
            + " 0]\r\n";
    };
    const int root = 7;
    EXPECT_TRUE(objects.at(root - 1).contains("/CreationDate"));
    const QByteArray expected[] = {
        "/Type /Outlines\r\n/Count 2\r\n/First 8 0 R\r\n/Last 11 0 R\r\n>>",
        "/Title <FEFF0041>\r\n/Parent 7 0 R\r\n/Next 11 0 R\r\n/First 9 0 R\r\n/Last 10 0 R\r\n/Count 2\r\n"
        + dest(3, 100),
        "/Title <FEFF00410031>\r\n/Parent 8 0 R\r\n/Next 10 0 R\r\n" + dest(3, 200),
        "/Title <FEFF00410033>\r\n/Parent 8 0 R\r\n/Prev 9 0 R\r\n" + dest(5, 40),
        "/Title <FEFF0043>\r\n/Parent 7 0 R\r\n/Prev 8 0 R\r\n" + dest(5, 0),
    };
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(objects.at(root + i).contains(expected[i])) << "object " << root + i << "\n" << objects.at(root + i).constData();
    const QByteArray& catalog = objects.at(referenceIn(trailerOf(pdf), "/Root"));
    EXPECT_TRUE(catalog.contains("/PageMode /UseOutlines\r\n/Outlines 7 0 R\r\n"));
    EXPECT_EQ(objects.size(), 12u);
    expectQpdfAccepts(pdf);

    // Nothing left to show: no outline objects.
    r.filter.setPageNumbers(QStringLiteral("2"));
    r.filter.setOutlineItems({{QStringLiteral("A"), 0, 0, {{QStringLiteral("A2"), 1, 0, {}}}}});
    const QByteArray none = r.pdf();
    const std::map<int, QByteArray> few = objectsOf(none);
    EXPECT_EQ(few.size(), 5u);
    EXPECT_TRUE(few.at(5).contains("/PageMode /UseOutlines\r\n/Outlines 0 0 R\r\n"));
    expectQpdfAccepts(none);
}

TEST(PdfExportWithTools, LinkAnnotations)
{
    PdfReport r(3);
    r.filter.setPageNumbers(QStringLiteral("1-2"));
    r.filter.onPage = [](PdfDocumentWriter& document, int index) {
        if (index != 0)
            return;
        auto link = [&](const QString& uri, int page, int y) {
            const int number = document.reserveObject();
            document.annotations.push_back({number, "10.00 20.00 30.00 40.00", uri, page, y});
            document.pageAnnotations.push_back(number);
        };
        link(QStringLiteral("https://example.org/a(b)"), -1, 0);
        link(QStringLiteral(u"https://example.org/ä"), -1, 0);
        link(QStringLiteral("https://example.org/a)b("), -1, 0);
        link({}, 1, 300);
        link({}, 2, 300); // page 3 is not exported
    };
    const QByteArray pdf = r.pdf();
    const std::map<int, QByteArray> objects = objectsOf(pdf);
    // The links are objects 2 to 6, reserved before page 1's content (7) and page object (8).
    EXPECT_TRUE(objects.at(8).contains("/Annots [\r\n2 0 R\r\n3 0 R\r\n4 0 R\r\n5 0 R\r\n6 0 R\r\n]\r\n/Resources <<"))
        << objects.at(8).constData();
    const QByteArray web = "<<\r\n/Type /Annot\r\n/Subtype /Link\r\n/Rect [10.00 20.00 30.00 40.00]\r\n/BS << /W 0 >>\r\n"
                           "/A <<\r\n/URI ";
    EXPECT_TRUE(objects.at(2).contains(web + "(https://example.org/a(b))\r\n/Type /Action\r\n/S /URI\r\n>>\r\n>>"))
        << objects.at(2).constData();
    EXPECT_TRUE(objects.at(3).contains(web + "<00680074007400700073003A002F002F006500780061006D0070006C0065002E006F"
                                             "00720067002F00E4>\r\n"));
    EXPECT_TRUE(objects.at(4).contains(web + "<"));
    const QByteArray jump = "/Rect [10.00 20.00 30.00 40.00]\r\n/Border [16 16 0]\r\n";
    EXPECT_TRUE(objects.at(5).contains(jump + "/Dest [10 0 R /XYZ null 300 null]\r\n>>\r\n"));
    EXPECT_TRUE(objects.at(6).contains(jump + ">>\r\n")) << "no destination outside the exported pages";
    expectQpdfAccepts(pdf);
}

TEST(PdfExportWithTools, ProtectionEncryptsForTheStandardHandler)
{
    PdfReport r(2);
    r.filter.setUserPassword("geheim");
    r.filter.setOwnerPassword("chef");
    r.filter.setTitle(QStringLiteral(u"Quittung (Kopie) Nr. 5 – ä"));
    r.filter.setProtectionFlags(PdfExport::Permission::Print | PdfExport::Permission::Copy);
    r.filter.setOutline(true);
    r.filter.setOutlineItems({{QStringLiteral(u"Übersicht\\"), 1, 0, {}}});
    r.filter.onPage = [](PdfDocumentWriter& document, int index) {
        TestPdfExport::useFont(document, {}, QStringLiteral("Quittung"));
        if (index == 0) {
            const int number = document.reserveObject();
            document.annotations.push_back({number, "0 0 10 10", QStringLiteral(u"https://example.org/ä"), -1, 0});
            document.pageAnnotations.push_back(number);
        }
    };
    const QByteArray pdf = r.pdf();
    EXPECT_FALSE(pdf.contains("<FEFF")) << "texts are encrypted";
    EXPECT_FALSE(pdf.contains("<0068")) << "so are links";
    EXPECT_TRUE(trailerOf(pdf).contains("/Encrypt <<\r\n/Filter /Standard\r\n/V 2\r\n/R 3\r\n/Length 128\r\n/P -44\r\n/O ("));

    QTemporaryDir dir;
    const QString path = writeTemp(dir, pdf);
    for (const char* password : {"geheim", "chef"})
        expectQpdfAccepts(pdf, {QStringLiteral("--password=") + QLatin1String(password)});
    const ToolRun refused = runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), path});
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_TRUE(refused.output().contains(QStringLiteral("invalid password"))) << refused.output().toStdString();

    const ToolRun encryption = runTool(QStringLiteral("qpdf"),
        {QStringLiteral("--password=geheim"), QStringLiteral("--show-encryption"), path});
    for (const char* line : {"R = 3", "P = -44", "User password = geheim", "print high resolution: allowed",
             "extract for any purpose: allowed", "modify annotations: not allowed", "modify other: not allowed"})
        EXPECT_TRUE(encryption.output().contains(QLatin1String(line))) << line << "\n" << encryption.output().toStdString();

    // The texts decrypt to what was set.
    const ToolRun info = runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-upw"), QStringLiteral("geheim"), path});
    EXPECT_TRUE(info.output().contains(QStringLiteral(u"Title:           Quittung (Kopie) Nr. 5 – ä\n"))) << info.output().toStdString();
    EXPECT_TRUE(info.output().contains(QStringLiteral("CreationDate:"))) << info.output().toStdString();
    const ToolRun link = runTool(QStringLiteral("qpdf"),
        {QStringLiteral("--password=geheim"), QStringLiteral("--show-object=2"), path});
    EXPECT_TRUE(link.output().contains(QStringLiteral("/URI <00680074"))) << link.output().toStdString();
    const ToolRun outline = runTool(QStringLiteral("mutool"),
        {QStringLiteral("show"), QStringLiteral("-p"), QStringLiteral("geheim"), path, QStringLiteral("outline")});
    EXPECT_TRUE(outline.output().contains(QStringLiteral(u"Übersicht\\"))) << outline.output().toStdString();
}

TEST(PdfExportWithTools, WritesIntoTheFileAndOpensIt)
{
    QTemporaryDir dir;
    PdfReport r;
    r.filter.setOpenAfterExport(true);
    r.filter.setDefaultPath(dir.path());
    ASSERT_TRUE(r.exportTo(nullptr, QStringLiteral("Quittung.pdf")));
    const QString path = dir.filePath(QStringLiteral("Quittung.pdf"));
    EXPECT_EQ(r.host.opened, QStringList(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.endsWith("%%EOF\r\n"));
    expectQpdfAccepts(pdf);

    // Into a stream nothing is opened.
    r.host.opened.clear();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(r.exportTo(&buffer));
    EXPECT_TRUE(r.host.opened.isEmpty());
    // A second export starts afresh, with its own identifier.
    r.filter.setUuidSource({});
    const QByteArray again = r.pdf();
    EXPECT_EQ(again.size(), buffer.data().size());
    EXPECT_NE(trailerOf(again), trailerOf(buffer.data()));
}

TEST(PdfExport, FileThatCannotBeCreatedIsReported)
{
    QTemporaryDir dir;
    PdfReport r;
    r.filter.setOpenAfterExport(true);
    const QString path = dir.filePath(QStringLiteral("PDF/Quittung.pdf"));
    EXPECT_FALSE(r.exportTo(nullptr, path));
    ASSERT_EQ(r.host.shown.size(), 1);
    EXPECT_TRUE(r.host.shown[0].contains(QStringLiteral("Datei \"%1\" kann nicht erstellt werden. ").arg(path)))
        << r.host.shown[0].toStdString();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(r.host.opened.isEmpty());
    // Neither file nor stream: nothing to write to, and nothing to report.
    r.host.shown.clear();
    r.exportTo(nullptr);
    EXPECT_TRUE(r.host.shown.isEmpty());
}

// An export that fails leaves no file under its name, and an older file of that name as it was; the
// filter lets go of everything and exports again.
TEST(PdfExportWithTools, AFailedExportLeavesNoFileAndTheNextSucceeds)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quittung.pdf"));
    {
        PdfReport r(2);
        r.filter.onPage = [](PdfDocumentWriter&, int) { throw Exception(QStringLiteral("kaputt")); };
        EXPECT_FALSE(r.exportTo(nullptr, path));
        EXPECT_TRUE(r.host.shown.join(QString()).contains(QStringLiteral("kaputt")));
        EXPECT_FALSE(QFile::exists(path));
        EXPECT_TRUE(QDir(dir.path()).isEmpty());
    }
    {
        PdfReport r;
        ASSERT_TRUE(r.exportTo(nullptr, path));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray first = file.readAll();
        file.close();
        r.filter.onPage = [](PdfDocumentWriter&, int) { throw Exception(QStringLiteral("kaputt")); };
        EXPECT_FALSE(r.exportTo(nullptr, path));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), first);
        file.close();
        r.filter.onPage = nullptr;
        r.host.shown.clear();
        // A device is no file to replace.
        EXPECT_FALSE(r.exportTo(nullptr, QStringLiteral("/dev/full")));
        EXPECT_TRUE(r.host.shown.join(QString()).contains(QStringLiteral("Datei \"/dev/full\" kann nicht erstellt werden.")))
            << r.host.shown.join(QString()).toStdString();
        r.host.shown.clear();
        EXPECT_TRUE(r.exportTo(nullptr, path));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        expectQpdfAccepts(file.readAll());
    }
}

// The page colour, when the page content writes it: a component of 10 is 0.03.
TEST(PdfExport, PageColorComponents)
{
    PdfReport r;
    static_cast<ReportPage*>(r.report.pages(1))->setColor(Color(10 | 128 << 8 | 255 << 16));
    r.filter.setCompressed(false);
    const QByteArray content = objectsOf(r.pdf()).at(2);
    EXPECT_TRUE(content.contains("0.03 0.50 1 RG\r\n0.03 0.50 1 rg\r\n")) << content.constData();
}

} // namespace
} // namespace quittung::report
