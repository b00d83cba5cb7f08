#include "report/document/band.h"
#include "report/document/text_object.h"
#include "report/document/page.h"
#include "report/document/report.h"

#include "property_checks.h"

#include <gtest/gtest.h>

#include <functional>

using namespace quittung;
using namespace quittung::report;
using namespace quittung::report::checks;

TEST(TextObjectTable, FollowsTheTemplateOrder)
{
    const TextObject memo;
    // The common part every view starts with is checked with the other views.
    const auto common = qsizetype(View::commonProperties().all().size());
    EXPECT_EQ(describeTable(memo.properties()).mid(common), (QStringList{
        "StretchMode Enum = smDontStretch",
        "FirstParaBreak Boolean = False",
        "LastParaBreak Boolean = False",
        "Cursor Integer = 0",
        "TagStr String = ''",
        "URL String = ''",
        "AutoWidth Boolean = False",
        "AllowExpressions Boolean = True",
        "AllowHTMLTags Boolean = False",
        "BrushStyle Enum = bsSolid",
        "CharSpacing Float = 0 if",
        "Clipped Boolean = True",
        "Color Color = 536870911",
        "DataField String = ''",
        "DataSet Reference = ''",
        "DataSetName String = ''",
        "DisplayFormat Nested",
        "ExpressionDelimiters String = '[,]' if",
        "FlowTo Reference = ''",
        "Font Nested if",
        "Frame Nested",
        "GapX Float = 2 if",
        "GapY Float = 1 if",
        "HAlign Enum = haLeft",
        "HideZeros Boolean = False",
        "Highlight Nested if",
        "LineSpacing Float = 2 if",
        "Memo StringList = [] if",
        "ParagraphGap Float = 0 if",
        "ParentFont Boolean = True",
        "Rotation Integer = 0",
        "RTLReading Boolean = False",
        "Style String = ''",
        "SuppressRepeated Boolean = False",
        "Underlines Boolean = False",
        "UseDefaultCharset Boolean = False",
        "WordBreak Boolean = False",
        "WordWrap Boolean = True",
        "Wysiwyg Boolean = True",
        "VAlign Enum = vaTop",
    }));
    EXPECT_EQ(identifiers(memo.properties(), "HAlign"), (QStringList{"haLeft", "haRight", "haCenter", "haBlock"}));
    EXPECT_EQ(identifiers(memo.properties(), "VAlign"), (QStringList{"vaTop", "vaBottom", "vaCenter"}));
}

TEST(TextObjectTable, FormatAndHighlight)
{
    TextObject memo;
    EXPECT_EQ(describeTable(memo.displayFormat().properties()), (QStringList{
        "DecimalSeparator String = ''",
        "ThousandSeparator String = ''",
        "FormatStr String = ''",
        "Kind Enum = fkText",
    }));
    EXPECT_EQ(identifiers(memo.displayFormat().properties(), "Kind"),
        (QStringList{"fkText", "fkNumeric", "fkDateTime", "fkBoolean"}));
    EXPECT_EQ(describeTable(memo.highlight().properties()), (QStringList{
        "Active Boolean = False",
        "Font Nested",
        "Color Color = 536870911",
        "Condition String = ''",
    }));
    const Font& font = memo.highlight().font();
    EXPECT_EQ(font.name(), QStringLiteral("Arial"));
    EXPECT_EQ(font.size(), 10);
    EXPECT_EQ(font.color(), colors::Red);
    EXPECT_EQ(font.charset(), 1);
    // The object's own font is not the highlight's.
    EXPECT_EQ(memo.font().color(), colors::Black);
}

TEST(TextObjectTable, ConditionalPropertiesAreStoredOnlyOnceChanged)
{
    struct Case {
        const char* property;
        std::function<void(TextObject&)> change;
    };
    const Case cases[] = {
        {"CharSpacing", [](TextObject& m) { m.setCharSpacing(0.5); }},
        {"ExpressionDelimiters", [](TextObject& m) { m.setExpressionDelimiters("<,>"); }},
        {"Font", [](TextObject& m) { m.font().setName("Tahoma"); }},
        {"Font", [](TextObject& m) { m.setParentFont(false); }},
        {"GapX", [](TextObject& m) { m.setGapX(0); }},
        {"GapY", [](TextObject& m) { m.setGapY(2); }},
        {"Highlight", [](TextObject& m) { m.highlight().setCondition(" <Netto> > 0 "); }},
        {"LineSpacing", [](TextObject& m) { m.setLineSpacing(0); }},
        {"ParagraphGap", [](TextObject& m) { m.setParagraphGap(3); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.property);
        TextObject memo;
        EXPECT_FALSE(isStored(memo, c.property));
        c.change(memo);
        EXPECT_TRUE(isStored(memo, c.property));
    }

    TextObject memo;
    memo.highlight().setCondition(" \t ");
    memo.highlight().setActive(true);
    EXPECT_FALSE(isStored(memo, "Highlight")) << "a blank condition";
    // The lines go out as the Text attribute, never as a property.
    memo.setText("Netto :");
    EXPECT_FALSE(isStored(memo, "Memo"));
}

TEST(TextObjectText, SplitsAtEachKindOfBreak)
{
    const QChar ls(0x2028);
    struct Case {
        const char* what;
        QString text;
        QStringList lines;
    };
    const Case cases[] = {
        {"CR LF", "Netto :\r\n+ [MwSt] % MwSt. :", {"Netto :", "+ [MwSt] % MwSt. :"}},
        {"lone CR", "a\rb", {"a", "b"}},
        {"lone LF", "a\nb", {"a", "b"}},
        {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
        {"CR CR", "a\r\rb", {"a", "", "b"}},
        {"line separator", QString("a") + ls + "b", {"a", "b"}},
        {"CR LF U+2028 is one break", QString("a\r\n") + ls + "b", {"a", "b"}},
        {"LF U+2028 is one break", QString("a\n") + ls + "b", {"a", "b"}},
        {"CR U+2028 is one break", QString("a\r") + ls + "b", {"a", "b"}},
        {"U+2028 twice", QString("a") + ls + ls + "b", {"a", "", "b"}},
        {"NUL ends the text", QString("a\r\nb") + QChar(0) + "c\r\nd", {"a", "b"}},
        {"trailing break", "a\r\n", {"a"}},
        {"two trailing breaks", "a\r\n\r\n", {"a", ""}},
        {"only a break", "\n", {""}},
        {"empty", "", {}},
        {"leading break", "\r\nx", {"", "x"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TextObject memo;
        memo.setLines({"old"});
        memo.setText(c.text);
        EXPECT_EQ(memo.lines(), c.lines);
    }
}

TEST(TextObjectText, JoinedFormEndsEveryLineWithCrLf)
{
    TextObject memo;
    EXPECT_EQ(memo.text(), QString());
    memo.setLines({"Netto :", "", "+ [MwSt] % MwSt. :"});
    EXPECT_EQ(memo.text(), QStringLiteral("Netto :\r\n\r\n+ [MwSt] % MwSt. :\r\n"));
    memo.setText(memo.text());
    EXPECT_EQ(memo.lines(), (QStringList{"Netto :", "", "+ [MwSt] % MwSt. :"}));
}

TEST(TextObjectText, TemplateTextSurvivesAPreparation)
{
    TextObject memo;
    memo.setText("Nr. [QID]");
    memo.setBounds(1, 2, 3, 4);
    memo.beforePrint();
    memo.setText("Nr. 17");
    memo.setHeight(40);
    memo.afterPrint();
    EXPECT_EQ(memo.lines(), QStringList{"Nr. [QID]"});
    EXPECT_EQ(memo.height(), 4);
}

TEST(TextObjectRotation, KeptModulo360)
{
    const std::pair<int, int> cases[] = {{0, 0}, {90, 90}, {359, 359}, {360, 0}, {450, 90}, {720, 0}, {-90, 270},
        {-450, 270}};
    for (const auto& [given, kept] : cases) {
        TextObject memo;
        memo.setRotation(given);
        EXPECT_EQ(memo.rotation(), kept) << given;
    }
}

TEST(TextObjectFont, FollowsItsParentUntilChangedAndAgainWhenAskedTo)
{
    ReportPage page;
    page.font().setName("Tahoma");
    auto* memo = page.add<TextObject>();
    EXPECT_TRUE(memo->parentFont());
    EXPECT_EQ(memo->font().name(), QStringLiteral("Tahoma")) << "attaching copies the parent's font";

    page.font().setHeight(-21);
    EXPECT_EQ(memo->font().size(), 16) << "a parent's change reaches a following child";
    EXPECT_TRUE(memo->parentFont());

    memo->font().setStyle(FontStyle::Bold);
    EXPECT_FALSE(memo->parentFont());
    page.font().setHeight(-8);
    EXPECT_EQ(memo->font().height(), -21) << "a child with its own font keeps it";
    EXPECT_EQ(memo->font().style(), FontStyle::Bold);

    memo->setParentFont(true);
    EXPECT_TRUE(memo->parentFont());
    EXPECT_EQ(memo->font(), page.font());
}

TEST(TextObjectFont, ParentChangeReachesObjectsInsideBands)
{
    ReportPage page;
    auto* band = page.add<ReportTitleBand>();
    auto* inBand = band->add<TextObject>();
    auto* own = band->add<TextObject>();
    own->font().setColor(colors::Gray);

    page.font().setColor(colors::Red);
    EXPECT_EQ(band->font().color(), colors::Red);
    EXPECT_EQ(inBand->font().color(), colors::Red);
    EXPECT_EQ(own->font().color(), colors::Gray);
}

TEST(TextObjectFlowTo, ResolvedByNameInTheTree)
{
    ReportPage page;
    auto* first = page.add<TextObject>();
    first->setName("Memo1");
    auto* second = page.add<TextObject>();
    second->setName("Memo2");
    EXPECT_EQ(first->flowTo(), nullptr);
    first->setFlowToName("memo2");
    EXPECT_EQ(first->flowTo(), second);
    first->setFlowToName("Nowhere");
    EXPECT_EQ(first->flowTo(), nullptr);
}

TEST(TextObjectStyle, NamingAStyleOfTheReportTakesOverItsLook)
{
    Report report;
    Style& style = report.styles().add();
    style.setName(QStringLiteral("Hervorgehoben"));
    style.setColor(colors::Cream);
    style.font().setStyle(FontStyle::Bold);
    style.frame().setSides(AllFrameSides);
    auto* page = report.add<ReportPage>();
    auto* memo = page->add<TextObject>();

    memo->setStyle(QStringLiteral("hervorgehoben"));
    EXPECT_EQ(memo->color(), colors::Cream);
    EXPECT_EQ(memo->font().style(), FontStyle::Bold);
    EXPECT_FALSE(memo->parentFont());
    EXPECT_EQ(memo->frame().sides(), 15);

    // A name the style sheet does not hold is only kept.
    memo->setStyle(QStringLiteral("Fehlt"));
    EXPECT_EQ(memo->style(), QStringLiteral("Fehlt"));
    EXPECT_EQ(memo->color(), colors::Cream);
}
