#include "report/document/xml_document.h"

#include "runtime/exception.h"
#include "tests/support/qt_printers.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::report;

namespace {

const QByteArray kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>";

void load(XmlDocument& document, const QByteArray& bytes)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    document.loadFromStream(buffer);
}

// The load's error text, or "" when the layer accepted the bytes.
QString loadError(const QByteArray& bytes)
{
    XmlDocument document;
    try {
        load(document, bytes);
    } catch (const Exception& error) {
        return error.message();
    }
    return QString();
}

// The element names of the tree, depth first, with "(" and ")" around children.
QString shape(const XmlElement& item)
{
    QString result = item.name();
    if (item.count() > 0) {
        result += QLatin1Char('(');
        for (int i = 0; i < item.count(); ++i)
            result += (i ? QStringLiteral(",") : QString()) + shape(item.item(i));
        result += QLatin1Char(')');
    }
    return result;
}

QString shapeOf(const QByteArray& bytes)
{
    XmlDocument document;
    load(document, bytes);
    return shape(document.root());
}

} // namespace

TEST(XmlEscaping, AttributeValuesKeepNoRawMarkupCharacters)
{
    const struct {
        const char* value;
        const char* escaped;
        const char* readBack;
    } rows[] = {
        {"A&B", "A&#38;B", "A&B"},
        {"&quot;", "&#34;", "\""},
        {"Netto :\r\n+ [MwSt] % MwSt. :", "Netto :&#13;&#10;+ [MwSt] % MwSt. :", "Netto :\r\n+ [MwSt] % MwSt. :"},
        {"<b>\"x\"</b>", "&#60;b&#62;&#34;x&#34;&#60;/b&#62;", "<b>\"x\"</b>"},
        {"Gebühr €", "Gebühr €", "Gebühr €"},
        {"&amp;", "&#38;amp;", "&amp;"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(xmlEscape(QString::fromUtf8(row.value)), QString::fromUtf8(row.escaped)) << row.value;
        EXPECT_EQ(xmlUnescape(xmlEscape(QString::fromUtf8(row.value))), QString::fromUtf8(row.readBack)) << row.value;
    }
}

TEST(XmlEscaping, ReferencesAndEntitiesAreResolvedAndBareAmpersandsStay)
{
    const struct {
        const char* text;
        const char* value;
    } rows[] = {
        {"&#65;&#x42;&#$43;&#0x44;", "ABCD"}, {"&quot;&amp;&lt;&gt;", "\"&<>"}, {"A & B", "A & B"},
        {"&nbsp;", "&nbsp;"}, {"&#65", "&#65"}, {"&#zz;", "&#zz;"}, {"&#8364;", "€"}, {"&#128512;", "😀"},
        {"&#99999999;", "&#99999999;"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(xmlUnescape(QString::fromUtf8(row.text)), QString::fromUtf8(row.value)) << row.text;
}

TEST(XmlReading, TheLayerFollowsItsOwnTagRules)
{
    const struct {
        const char* body;
        const char* shape;
    } rows[] = {
        {"<A><B/><C></C></A>", "A(B,C)"},
        {"<A><B x=\"1\"/><C x=\"2\" /></A>", "A(B,C)"},
        // End tags match without regard to case; the end of the stream closes what is open.
        {"<TfrxReportPage></tfrxreportpage>", "TfrxReportPage"},
        {"<A><B><C/>", "A(B(C))"},
        // Comments may hold markup; "--->" does not end one.
        {"<A><!-- <B/> --><C/></A>", "A(C)"},
        {"<A><!-- x ---><D/> --><C/></A>", "A(C)"},
        {"<A><!-- unterminated <B/>", "A"},
        // Text between elements is ignored, and only the blank separates the name.
        {"<A>text<B/>more</A>", "A(B)"},
        {"<A><B\tx=\"1\"/></A>", "A(B\tx=\"1\")"},
        // Nothing after the root is read.
        {"<A/><B/>", "A"},
        {"", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(shapeOf(kDeclaration + row.body), QString::fromUtf8(row.shape)) << row.body;
    // Bytes before the first "<", such as a byte order mark and blank lines, are skipped.
    EXPECT_EQ(shapeOf("\xEF\xBB\xBF\r\n\r\n" + kDeclaration + "<A/>"), QStringLiteral("A"));
}

TEST(XmlReading, BrokenMarkupIsAnInvalidFileFormat)
{
    const QString invalid = QStringLiteral("Invalid file format");
    EXPECT_EQ(loadError("<A/>"), invalid) << "no declaration";
    EXPECT_EQ(loadError(kDeclaration + "<A><B x=\"<\"/></A>"), invalid) << "'<' inside a tag";
    EXPECT_EQ(loadError(kDeclaration + "<A><B x=\"1\""), invalid) << "end inside a tag";
    EXPECT_EQ(loadError(kDeclaration + "<A><B></C></A>"), invalid) << "end tag of another element";
    EXPECT_EQ(loadError(kDeclaration + "<A x=\"a>b\"/>"), QString()) << "quotes do not protect '>'";
    QByteArray deep = kDeclaration;
    for (int i = 0; i < 5000; ++i)
        deep += "<A>";
    EXPECT_EQ(loadError(deep), invalid) << "nesting without bound";
}

// Reading the objects of a template takes time growing with the square of their count.
TEST(XmlReading, MoreThan5000ElementsAreAnInvalidFileFormat)
{
    const auto withChildren = [](int count) {
        QByteArray bytes = kDeclaration + "<R>";
        for (int i = 0; i < count; ++i)
            bytes += "<B/>";
        return bytes + "</R>";
    };
    EXPECT_EQ(loadError(withChildren(4999)), QString());
    EXPECT_EQ(loadError(withChildren(5000)), QStringLiteral("Invalid file format"));
    EXPECT_EQ(loadError(withChildren(1000000)), QStringLiteral("Invalid file format"));
}

TEST(XmlReading, AttributeTextIsKeptRawAndDecodedByTheDeclaration)
{
    XmlDocument document;
    load(document, kDeclaration + "<R a=\"Gebühr\"><P b=\"1\" ld=\"0\"></P><Q b=\"2\" ld=\"0\"/></R>");
    EXPECT_FALSE(document.isOldFormat());
    EXPECT_EQ(document.root().text(), QStringLiteral("a=\"Gebühr\""));
    // The prepared-page store's mark goes from elements with children only.
    EXPECT_EQ(document.root().item(0).text(), QStringLiteral("b=\"1\""));
    EXPECT_EQ(document.root().item(1).text(), QStringLiteral("b=\"2\" ld=\"0\""));

    // Without "standalone=" a 1.0 declaration is the old format: 8-bit attribute text.
    load(document, "<?xml version=\"1.0\" encoding=\"utf-8\"?><R a=\"Geb\xC3\xBChr\"/>");
    EXPECT_TRUE(document.isOldFormat());
    EXPECT_EQ(document.root().getProp(QStringLiteral("a")), QStringLiteral("GebÃ¼hr"));
    load(document, "<?xml version=\"1.1\" encoding=\"utf-8\"?><R/>");
    EXPECT_FALSE(document.isOldFormat());
}

TEST(XmlElement, AttributesAreFoundWithoutRegardToCaseAndEditedInPlace)
{
    XmlElement item;
    item.setText(QStringLiteral("Name=\"Memo1\" Text=\"a&#13;&#10;b\" Left=\"10\""));
    EXPECT_EQ(item.getProp(QStringLiteral("text")), QStringLiteral("a\r\nb"));
    EXPECT_TRUE(item.propExists(QStringLiteral("LEFT")));
    EXPECT_FALSE(item.propExists(QStringLiteral("Lef")));
    EXPECT_EQ(item.getProp(QStringLiteral("Top")), QString());

    item.setProp(QStringLiteral("Left"), QStringLiteral("<20>"));
    item.setProp(QStringLiteral("Top"), QStringLiteral("5"));
    item.deleteProp(QStringLiteral("Text"));
    EXPECT_EQ(item.text(), QStringLiteral("Name=\"Memo1\" Left=\"&#60;20&#62;\" Top=\"5\""));
}

TEST(XmlWriting, ElementsAreIndentedTwoBlanksPerLevelWithCrLf)
{
    XmlDocument document;
    document.setAutoIndent(true);
    XmlElement& root = document.root();
    root.setName(QStringLiteral("TfrxReport"));
    root.setText(QStringLiteral("Version=\"4.13.2\""));
    XmlElement& page = root.add();
    page.setName(QStringLiteral("TfrxReportPage"));
    page.setText(QStringLiteral(" Name=\"Page1\""));
    XmlElement& memo = page.add();
    memo.setName(QStringLiteral("TfrxMemoView"));
    memo.setText(QStringLiteral("Name=\"Memo1\" Text=\"Für\""));
    XmlElement& valued = root.add();
    valued.setName(QStringLiteral("item"));
    valued.setValue(QStringLiteral("content"));

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    document.saveToStream(buffer);
    EXPECT_EQ(bytes, kDeclaration + "\r\n"
                     "<TfrxReport Version=\"4.13.2\">\r\n"
                     "  <TfrxReportPage Name=\"Page1\">\r\n"
                     "    <TfrxMemoView Name=\"Memo1\" Text=\"F\xC3\xBCr\"/>\r\n"
                     "  </TfrxReportPage>\r\n"
                     "  <item>content</item>\r\n"
                     "</TfrxReport>\r\n");

    XmlDocument again;
    load(again, bytes);
    EXPECT_EQ(shape(again.root()), QStringLiteral("TfrxReport(TfrxReportPage(TfrxMemoView),item)"));
    EXPECT_EQ(again.root().item(0).item(0).getProp(QStringLiteral("Text")), QStringLiteral("Für"));
}
