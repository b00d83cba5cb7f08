#include "report/document/xml_document.h"

#include "runtime/exception.h"
#include "tests/support/qt_printers.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace quittung;

namespace {

const QByteArray kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>";

void load(TfrxXMLDocument& document, const QByteArray& bytes)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    document.LoadFromStream(buffer);
}

// The load's error text, or "" when the layer accepted the bytes.
QString loadError(const QByteArray& bytes)
{
    TfrxXMLDocument document;
    try {
        load(document, bytes);
    } catch (const Exception& error) {
        return error.message();
    }
    return QString();
}

// The element names of the tree, depth first, with "(" and ")" around children.
QString shape(const TfrxXMLItem& item)
{
    QString result = item.Name();
    if (item.Count() > 0) {
        result += QLatin1Char('(');
        for (int i = 0; i < item.Count(); ++i)
            result += (i ? QStringLiteral(",") : QString()) + shape(item.GetItems(i));
        result += QLatin1Char(')');
    }
    return result;
}

QString shapeOf(const QByteArray& bytes)
{
    TfrxXMLDocument document;
    load(document, bytes);
    return shape(document.Root());
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
        EXPECT_EQ(XmlEscape(QString::fromUtf8(row.value)), QString::fromUtf8(row.escaped)) << row.value;
        EXPECT_EQ(XmlUnescape(XmlEscape(QString::fromUtf8(row.value))), QString::fromUtf8(row.readBack)) << row.value;
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
        EXPECT_EQ(XmlUnescape(QString::fromUtf8(row.text)), QString::fromUtf8(row.value)) << row.text;
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

TEST(XmlReading, AttributeTextIsKeptRawAndDecodedByTheDeclaration)
{
    TfrxXMLDocument document;
    load(document, kDeclaration + "<R a=\"Gebühr\"><P b=\"1\" ld=\"0\"></P><Q b=\"2\" ld=\"0\"/></R>");
    EXPECT_FALSE(document.OldVersion);
    EXPECT_EQ(document.Root().Text(), QStringLiteral("a=\"Gebühr\""));
    // The prepared-page store's mark goes from elements with children only.
    EXPECT_EQ(document.Root().GetItems(0).Text(), QStringLiteral("b=\"1\""));
    EXPECT_EQ(document.Root().GetItems(1).Text(), QStringLiteral("b=\"2\" ld=\"0\""));

    // Without "standalone=" a 1.0 declaration is the old format: 8-bit attribute text.
    load(document, "<?xml version=\"1.0\" encoding=\"utf-8\"?><R a=\"Geb\xC3\xBChr\"/>");
    EXPECT_TRUE(document.OldVersion);
    EXPECT_EQ(document.Root().GetProp(QStringLiteral("a")), QStringLiteral("GebÃ¼hr"));
    load(document, "<?xml version=\"1.1\" encoding=\"utf-8\"?><R/>");
    EXPECT_FALSE(document.OldVersion);
}

TEST(XmlItem, AttributesAreFoundWithoutRegardToCaseAndEditedInPlace)
{
    TfrxXMLItem item;
    item.SetText(QStringLiteral("Name=\"Memo1\" Text=\"a&#13;&#10;b\" Left=\"10\""));
    EXPECT_EQ(item.GetProp(QStringLiteral("text")), QStringLiteral("a\r\nb"));
    EXPECT_TRUE(item.PropExists(QStringLiteral("LEFT")));
    EXPECT_FALSE(item.PropExists(QStringLiteral("Lef")));
    EXPECT_EQ(item.GetProp(QStringLiteral("Top")), QString());

    item.SetProp(QStringLiteral("Left"), QStringLiteral("<20>"));
    item.SetProp(QStringLiteral("Top"), QStringLiteral("5"));
    item.DeleteProp(QStringLiteral("Text"));
    EXPECT_EQ(item.Text(), QStringLiteral("Name=\"Memo1\" Left=\"&#60;20&#62;\" Top=\"5\""));
}

TEST(XmlWriting, ElementsAreIndentedTwoBlanksPerLevelWithCrLf)
{
    TfrxXMLDocument document;
    document.AutoIndent = true;
    TfrxXMLItem& root = document.Root();
    root.SetName(QStringLiteral("TfrxReport"));
    root.SetText(QStringLiteral("Version=\"4.13.2\""));
    TfrxXMLItem& page = root.Add();
    page.SetName(QStringLiteral("TfrxReportPage"));
    page.SetText(QStringLiteral(" Name=\"Page1\""));
    TfrxXMLItem& memo = page.Add();
    memo.SetName(QStringLiteral("TfrxMemoView"));
    memo.SetText(QStringLiteral("Name=\"Memo1\" Text=\"Für\""));
    TfrxXMLItem& valued = root.Add();
    valued.SetName(QStringLiteral("item"));
    valued.SetValue(QStringLiteral("content"));

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    document.SaveToStream(buffer);
    EXPECT_EQ(bytes, kDeclaration + "\r\n"
                     "<TfrxReport Version=\"4.13.2\">\r\n"
                     "  <TfrxReportPage Name=\"Page1\">\r\n"
                     "    <TfrxMemoView Name=\"Memo1\" Text=\"F\xC3\xBCr\"/>\r\n"
                     "  </TfrxReportPage>\r\n"
                     "  <item>content</item>\r\n"
                     "</TfrxReport>\r\n");

    TfrxXMLDocument again;
    load(again, bytes);
    EXPECT_EQ(shape(again.Root()), QStringLiteral("TfrxReport(TfrxReportPage(TfrxMemoView),item)"));
    EXPECT_EQ(again.Root().GetItems(0).GetItems(0).GetProp(QStringLiteral("Text")), QStringLiteral("Für"));
}
