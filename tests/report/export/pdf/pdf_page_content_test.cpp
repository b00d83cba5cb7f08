#include "report/export/pdf/pdf_page_content.h"

#include "report/document/other_objects.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/shape_object.h"
#include "report/document/text_object.h"
#include "report/engine/text/text_layout.h"
#include "report/engine/pages/view_drawing.h"
#include "report/export/pdf/pdf_document.h"

#include <QBuffer>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::report;

namespace {

// One A5 page without margins and the content writer for it.
struct PageContent {
    PageContent()
    {
        page = report.add<ReportPage>();
        page->setPaperWidth(148);
        page->setPaperHeight(210);
        for (const auto setMargin : {&ReportPage::setLeftMargin, &ReportPage::setRightMargin, &ReportPage::setTopMargin,
                 &ReportPage::setBottomMargin})
            (page->*setMargin)(0);
        buffer.open(QIODevice::WriteOnly);
    }

    TextObject* addText(const QStringList& lines, double left = 20, double top = 30, double width = 200,
        double height = 40)
    {
        auto* memo = page->add<TextObject>();
        memo->createUniqueName();
        memo->setBounds(left, top, width, height);
        memo->setLines(lines);
        memo->font().setName(QStringLiteral("Arial"));
        memo->font().setSize(10);
        return memo;
    }

    // The content of the objects, written in order.
    QByteArray contentOf(std::initializer_list<ReportObject*> objects)
    {
        content = std::make_unique<PdfPageContent>(document, options, *page, 0, nullptr);
        for (ReportObject* object : objects)
            content->writeObject(*object);
        return content->content();
    }

    Report report;
    ReportPage* page = nullptr;
    QBuffer buffer;
    PdfDocumentWriter document{buffer};
    PdfContentOptions options;
    std::unique_ptr<PdfPageContent> content;
};

} // namespace

TEST(PdfPageContent, ColoursAndDashPatterns)
{
    PageContent page;
    PdfPageContent content(page.document, page.options, *page.page, 0, nullptr);
    const std::pair<Color, const char*> colours[] = {{colors::Black, "0 0 0"}, {colors::White, "1 1 1"},
        {colors::Cream, "1.00 0.98 0.94"}, {colors::Gray, "0.50 0.50 0.50"}, {0x0A0A0A, "0.04 0.04 0.04"},
        {colors::None, "1.00 1.00 1.00"}, {colors::Cream, "1.00 0.98 0.94"}};
    for (const auto& [colour, text] : colours)
        EXPECT_EQ(content.colorText(colour), QByteArray(text)) << colour;

    const std::tuple<FrameStyle, double, const char*> dashes[] = {{FrameStyle::Dash, 1, "[6.00 ] 0 d"},
        {FrameStyle::Dash, 2, "[12.00 ] 0 d"}, {FrameStyle::Dot, 1, "[2.00 6.00 ] 0 d"},
        {FrameStyle::DashDot, 1, "[6.00 6.00 2.00 6.00 ] 0 d"},
        {FrameStyle::DashDotDot, 1, "[6.00 6.00 2.00 6.00 2.00 6.00 ] 0 d"}, {FrameStyle::Solid, 3, "[] 0 d"},
        {FrameStyle::Double, 1, "[] 0 d"}};
    for (const auto& [style, width, text] : dashes)
        EXPECT_EQ(PdfPageContent::dashLine(style, width), QByteArray(text)) << text;
}

TEST(PdfPageContent, APageColourIsWrittenInHundredthsCutFrom256Steps)
{
    PageContent page;
    page.page->setColor(0x0A80FF); // blue 10, green 128, red 255
    page.page->setLeftMargin(10);
    PdfPageContent content(page.document, page.options, *page.page, 0, nullptr);
    content.writePageColor(*page.page);
    EXPECT_TRUE(content.content().startsWith("0.00 w\r\n1 0.50 0.03 RG\r\n1 0.50 0.03 rg\r\n28.35 0.00 m\r\n"))
        << content.content().toStdString();
}

// Shapes are stroked without a colour and filled and stroked with one; an unticked check box and an
// empty text object write nothing of their own.
TEST(PdfPageContent, WhatEachObjectWrites)
{
    PageContent page;
    auto* clear = page.page->add<ShapeObject>();
    clear->setBounds(10, 10, 40, 20);
    auto* filled = page.page->add<ShapeObject>();
    filled->setBounds(10, 10, 40, 20);
    filled->setColor(colors::Cream);
    EXPECT_EQ(page.contentOf({clear}), QByteArray("[] 0 d\r\n0 0 0 RG\r\n0.75 w\r\n1.00 1.00 1.00 rg\r\n"
                                                  "7.50 573.00 \r\n30.00 15.00 re\r\nS\r\n"));
    EXPECT_TRUE(page.contentOf({filled}).endsWith("1.00 0.98 0.94 rg\r\n7.50 573.00 \r\n30.00 15.00 re\r\nB\r\n"));

    auto* box = page.page->add<CheckBoxObject>();
    box->setBounds(10, 10, 20, 20);
    box->keptAttributes().push_back({QStringLiteral("Checked"), QStringLiteral("False")});
    EXPECT_TRUE(page.contentOf({box}).isEmpty());

    const QByteArray empty = page.contentOf({page.addText({})});
    EXPECT_FALSE(empty.contains("Tf")) << empty.toStdString();
    EXPECT_FALSE(empty.contains("BT"));
    const QByteArray blankLines = page.contentOf({page.addText({QString(), QString()})});
    EXPECT_TRUE(blankLines.contains("/F0 10 Tf\r\n0 0 0 rg\r\n")) << blankLines.toStdString();
    EXPECT_FALSE(blankLines.contains("BT"));
}

TEST(PdfPageContent, ADashedFrameSideKeepsItsWidthInPoints)
{
    PageContent page;
    TextObject* memo = page.addText({QStringLiteral("x")});
    memo->frame().setSides(FrameSide::Top);
    memo->frame().setStyle(FrameStyle::Dash);
    memo->frame().setWidth(2);
    const QByteArray content = page.contentOf({memo});
    EXPECT_TRUE(content.contains("0 0 0 RG\r\n[12.00 ] 0 d\r\n1.50 w\r\n15.00 573.00 m\r\n165.00 573.00 l\r\nS\r\n"))
        << content.toStdString();
}

// A right-aligned line ends the shadow width and half a gap inside the object, with or without a
// shadow: at AbsLeft + 200 − 4 − 1 + size × 0.01 for a gap of 2.
TEST(PdfPageContent, ARightAlignedLineEndsInsideTheShadowWidth)
{
    PageContent page;
    TextObject* memo = page.addText({QStringLiteral("Summe")});
    memo->setGapX(2);
    memo->setHAlign(HAlign::Right);
    const QByteArray content = page.contentOf({memo});
    const QRegularExpressionMatch td
        = QRegularExpression(QStringLiteral("BT\r\n(-?[0-9.]+) (-?[0-9.]+) Td\r\n")).match(QString::fromLatin1(content));
    ASSERT_TRUE(td.hasMatch()) << content.toStdString();
    const double lineWidth = layOutText(*memo).lineWidth(0);
    const double end = td.captured(1).toDouble() + lineWidth * 0.75;
    EXPECT_NEAR(end, (20 + 200 - 4 - 1 + 10 * 0.01) * 0.75, 0.005);
}

// With tags in use the object is a picture; without a "<" the same object is text.
TEST(PdfPageContent, TextWithTagsBecomesAnImage)
{
    PageContent page;
    TextObject* tagged = page.addText({QStringLiteral("<b>Summe</b>")});
    tagged->setAllowHtmlTags(true);
    const QByteArray image = page.contentOf({tagged});
    EXPECT_TRUE(image.contains("/Im0 Do")) << image.toStdString();
    EXPECT_FALSE(image.contains("BT"));
    ASSERT_EQ(page.document.images.size(), 1u);

    TextObject* plain = page.addText({QStringLiteral("Summe")});
    plain->setAllowHtmlTags(true);
    const QByteArray text = page.contentOf({plain});
    EXPECT_TRUE(text.contains("BT")) << text.toStdString();
    EXPECT_FALSE(text.contains("Do"));
}

TEST(PdfPageContent, TheSamePictureTwiceOnAPageIsStoredOnce)
{
    PageContent page;
    auto* first = page.page->add<PictureObject>();
    first->setBounds(10, 10, 30, 30);
    first->setColor(colors::Cream);
    auto* second = page.page->add<PictureObject>();
    second->setBounds(100, 50, 30, 30);
    second->setColor(colors::Cream);
    const QByteArray content = page.contentOf({first, second});
    EXPECT_EQ(page.document.images.size(), 1u);
    EXPECT_EQ(content.count("/Im0 Do"), 2);
    EXPECT_EQ(page.document.pageImages, std::vector<int>{0});
}

// Kerned pairs move glyphs closer than their widths say: the line is written with TJ, and the
// adjustment between "A" and "V" moves the "V" to the left.
TEST(PdfPageContent, KernedGlyphsStandWhereTheLayoutPutsThem)
{
    PageContent page;
    const QByteArray content = page.contentOf({page.addText({QStringLiteral("AV")}, 20, 30, 300, 40)});
    const QRegularExpressionMatch tj = QRegularExpression(QStringLiteral("\\[<([0-9A-F]{4})> (-?[0-9]+) <([0-9A-F]{4})>\\] TJ"))
                                           .match(QString::fromLatin1(content));
    ASSERT_TRUE(tj.hasMatch()) << content.toStdString();
    EXPECT_GT(tj.captured(2).toInt(), 30);
    EXPECT_LT(tj.captured(2).toInt(), 150);

    const QByteArray plain = page.contentOf({page.addText({QStringLiteral("II")}, 20, 30, 300, 40)});
    EXPECT_TRUE(plain.contains("> Tj\r\n")) << plain.toStdString();
}

// A line the font's ToUnicode map cannot read back carries its text as /ActualText around its
// glyphs, inside the text object; a line it reads back is written bare.
TEST(PdfPageContent, LinesTheTextMapCannotReadBackCarryTheirText)
{
    PageContent page;
    const QByteArray content = page.contentOf({page.addText({QStringLiteral(u"Käse"), QStringLiteral(u"😀 Ka\u0308se")})});
    const QByteArray span = "/Span << /ActualText <FEFFD83DDE000020004B0061030800730065> >> BDC\r\n";
    ASSERT_EQ(content.count(span), 1) << content.toStdString();
    const qsizetype at = content.indexOf(span);
    const QRegularExpression spanned(QStringLiteral("^BT\\r\\n[^\\r]+ Td\\r\\n/Span [^\\r]+ BDC\\r\\n[^\\r]+ T[jJ]\\r\\nEMC\\r\\nET\\r\\n"));
    EXPECT_TRUE(spanned.match(QString::fromLatin1(content.mid(content.lastIndexOf("BT\r\n", at)))).hasMatch())
        << content.toStdString();
    EXPECT_EQ(content.count("BDC"), 1);
    EXPECT_EQ(content.count("EMC"), 1);
}
