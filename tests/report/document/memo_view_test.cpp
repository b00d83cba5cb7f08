#include "report/document/band.h"
#include "report/document/memo_view.h"
#include "report/document/page.h"
#include "report/document/report.h"

#include "property_checks.h"

#include <gtest/gtest.h>

#include <functional>

using namespace quittung;
using namespace quittung::checks;

TEST(MemoTable, FollowsTheTemplateOrder)
{
    const TfrxMemoView memo;
    // The common part every view starts with is checked with the other views.
    const auto common = qsizetype(TfrxView::CommonProperties().all().size());
    EXPECT_EQ(DescribeTable(memo.Properties()).mid(common), (QStringList{
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
    EXPECT_EQ(Identifiers(memo.Properties(), "HAlign"), (QStringList{"haLeft", "haRight", "haCenter", "haBlock"}));
    EXPECT_EQ(Identifiers(memo.Properties(), "VAlign"), (QStringList{"vaTop", "vaBottom", "vaCenter"}));
}

TEST(MemoTable, FormatAndHighlight)
{
    TfrxMemoView memo;
    EXPECT_EQ(DescribeTable(memo.DisplayFormat().Properties()), (QStringList{
        "DecimalSeparator String = ''",
        "ThousandSeparator String = ''",
        "FormatStr String = ''",
        "Kind Enum = fkText",
    }));
    EXPECT_EQ(Identifiers(memo.DisplayFormat().Properties(), "Kind"),
        (QStringList{"fkText", "fkNumeric", "fkDateTime", "fkBoolean"}));
    EXPECT_EQ(DescribeTable(memo.Highlight().Properties()), (QStringList{
        "Active Boolean = False",
        "Font Nested",
        "Color Color = 536870911",
        "Condition String = ''",
    }));
    const TfrxFont& font = memo.Highlight().Font();
    EXPECT_EQ(font.Name(), QStringLiteral("Arial"));
    EXPECT_EQ(font.Size(), 10);
    EXPECT_EQ(font.Color(), clRed);
    EXPECT_EQ(font.Charset(), 1);
    // The object's own font is not the highlight's.
    EXPECT_EQ(memo.Font().Color(), clBlack);
}

TEST(MemoTable, ConditionalPropertiesAreStoredOnlyOnceChanged)
{
    struct Case {
        const char* property;
        std::function<void(TfrxMemoView&)> change;
    };
    const Case cases[] = {
        {"CharSpacing", [](TfrxMemoView& m) { m.SetCharSpacing(0.5); }},
        {"ExpressionDelimiters", [](TfrxMemoView& m) { m.SetExpressionDelimiters("<,>"); }},
        {"Font", [](TfrxMemoView& m) { m.Font().SetName("Tahoma"); }},
        {"Font", [](TfrxMemoView& m) { m.SetParentFont(false); }},
        {"GapX", [](TfrxMemoView& m) { m.SetGapX(0); }},
        {"GapY", [](TfrxMemoView& m) { m.SetGapY(2); }},
        {"Highlight", [](TfrxMemoView& m) { m.Highlight().SetCondition(" <Netto> > 0 "); }},
        {"LineSpacing", [](TfrxMemoView& m) { m.SetLineSpacing(0); }},
        {"ParagraphGap", [](TfrxMemoView& m) { m.SetParagraphGap(3); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.property);
        TfrxMemoView memo;
        EXPECT_FALSE(IsStored(memo, c.property));
        c.change(memo);
        EXPECT_TRUE(IsStored(memo, c.property));
    }

    TfrxMemoView memo;
    memo.Highlight().SetCondition(" \t ");
    memo.Highlight().SetActive(true);
    EXPECT_FALSE(IsStored(memo, "Highlight")) << "a blank condition";
    // The lines go out as the Text attribute, never as a property.
    memo.SetText("Netto :");
    EXPECT_FALSE(IsStored(memo, "Memo"));
}

TEST(MemoText, SplitsAtEachKindOfBreak)
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
        TfrxMemoView memo;
        memo.SetMemo({"old"});
        memo.SetText(c.text);
        EXPECT_EQ(memo.Memo(), c.lines);
    }
}

TEST(MemoText, JoinedFormEndsEveryLineWithCrLf)
{
    TfrxMemoView memo;
    EXPECT_EQ(memo.Text(), QString());
    memo.SetMemo({"Netto :", "", "+ [MwSt] % MwSt. :"});
    EXPECT_EQ(memo.Text(), QStringLiteral("Netto :\r\n\r\n+ [MwSt] % MwSt. :\r\n"));
    memo.SetText(memo.Text());
    EXPECT_EQ(memo.Memo(), (QStringList{"Netto :", "", "+ [MwSt] % MwSt. :"}));
}

TEST(MemoText, TemplateTextSurvivesAPreparation)
{
    TfrxMemoView memo;
    memo.SetText("Nr. [QID]");
    memo.SetBounds(1, 2, 3, 4);
    memo.BeforePrint();
    memo.SetText("Nr. 17");
    memo.SetHeight(40);
    memo.AfterPrint();
    EXPECT_EQ(memo.Memo(), QStringList{"Nr. [QID]"});
    EXPECT_EQ(memo.Height(), 4);
}

TEST(MemoRotation, KeptModulo360)
{
    const std::pair<int, int> cases[] = {{0, 0}, {90, 90}, {359, 359}, {360, 0}, {450, 90}, {720, 0}, {-90, 270},
        {-450, 270}};
    for (const auto& [given, kept] : cases) {
        TfrxMemoView memo;
        memo.SetRotation(given);
        EXPECT_EQ(memo.Rotation(), kept) << given;
    }
}

TEST(MemoFont, FollowsItsParentUntilChangedAndAgainWhenAskedTo)
{
    TfrxReportPage page;
    page.Font().SetName("Tahoma");
    auto* memo = page.Add<TfrxMemoView>();
    EXPECT_TRUE(memo->ParentFont());
    EXPECT_EQ(memo->Font().Name(), QStringLiteral("Tahoma")) << "attaching copies the parent's font";

    page.Font().SetHeight(-21);
    EXPECT_EQ(memo->Font().Size(), 16) << "a parent's change reaches a following child";
    EXPECT_TRUE(memo->ParentFont());

    memo->Font().SetStyle(fsBold);
    EXPECT_FALSE(memo->ParentFont());
    page.Font().SetHeight(-8);
    EXPECT_EQ(memo->Font().Height(), -21) << "a child with its own font keeps it";
    EXPECT_EQ(memo->Font().Style(), fsBold);

    memo->SetParentFont(true);
    EXPECT_TRUE(memo->ParentFont());
    EXPECT_EQ(memo->Font(), page.Font());
}

TEST(MemoFont, ParentChangeReachesObjectsInsideBands)
{
    TfrxReportPage page;
    auto* band = page.Add<TfrxReportTitle>();
    auto* inBand = band->Add<TfrxMemoView>();
    auto* own = band->Add<TfrxMemoView>();
    own->Font().SetColor(clGray);

    page.Font().SetColor(clRed);
    EXPECT_EQ(band->Font().Color(), clRed);
    EXPECT_EQ(inBand->Font().Color(), clRed);
    EXPECT_EQ(own->Font().Color(), clGray);
}

TEST(MemoFlowTo, ResolvedByNameInTheTree)
{
    TfrxReportPage page;
    auto* first = page.Add<TfrxMemoView>();
    first->SetName("Memo1");
    auto* second = page.Add<TfrxMemoView>();
    second->SetName("Memo2");
    EXPECT_EQ(first->FlowTo(), nullptr);
    first->SetFlowToName("memo2");
    EXPECT_EQ(first->FlowTo(), second);
    first->SetFlowToName("Nowhere");
    EXPECT_EQ(first->FlowTo(), nullptr);
}

TEST(MemoStyle, NamingAStyleOfTheReportTakesOverItsLook)
{
    TfrxReport report;
    TfrxStyleItem& style = report.Styles().Add();
    style.SetName(QStringLiteral("Hervorgehoben"));
    style.SetColor(clCream);
    style.Font().SetStyle(fsBold);
    style.Frame().SetTyp(15);
    auto* page = report.Add<TfrxReportPage>();
    auto* memo = page->Add<TfrxMemoView>();

    memo->SetStyle(QStringLiteral("hervorgehoben"));
    EXPECT_EQ(memo->Color(), clCream);
    EXPECT_EQ(memo->Font().Style(), fsBold);
    EXPECT_FALSE(memo->ParentFont());
    EXPECT_EQ(memo->Frame().Typ(), 15);

    // A name the style sheet does not hold is only kept.
    memo->SetStyle(QStringLiteral("Fehlt"));
    EXPECT_EQ(memo->Style(), QStringLiteral("Fehlt"));
    EXPECT_EQ(memo->Color(), clCream);
}
