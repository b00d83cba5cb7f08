#include "report/document/band.h"
#include "report/document/line_object.h"
#include "report/document/text_object.h"
#include "report/document/other_objects.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/shape_object.h"
#include "runtime/exception.h"

#include "property_checks.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace quittung;
using namespace quittung::report;
using namespace quittung::report::checks;

namespace {

const QStringList commonViewRows{
    "Tag Integer = 0",
    "Description String = ''",
    "Align Enum = baNone",
    "Printable Boolean = True",
    "ShiftMode Enum = smAlways",
    "Left Float = 0",
    "Top Float = 0",
    "Width Float = 0",
    "Height Float = 0",
    "GroupIndex Integer = 0",
    "Restrictions Set = 0",
    "Visible Boolean = True",
    "OnAfterData String = ''",
    "OnAfterPrint String = ''",
    "OnBeforePrint String = ''",
    "OnPreviewClick String = ''",
    "OnPreviewDblClick String = ''",
    "Hint String = ''",
    "ShowHint Boolean = (always)",
};

struct Kind {
    const char* className;
    const char* baseName;
    bool keepsUnknownAttributes;
    std::function<std::unique_ptr<ReportObject>()> create;
};

template <class T>
Kind kind(const char* className, const char* baseName, bool keeps)
{
    return {className, baseName, keeps, [] { return std::make_unique<T>(); }};
}

const std::vector<Kind>& allKinds()
{
    static const std::vector<Kind> kinds{
        kind<View>("TfrxView", "", false),
        kind<TextObject>("TfrxMemoView", "Memo", false),
        kind<TextObjectBase>("TfrxCustomMemoView", "CustomMemo", false),
        kind<ShapeObject>("TfrxShapeView", "Shape", false),
        kind<LineObject>("TfrxLineView", "Line", false),
        kind<LineObjectBase>("TfrxCustomLineView", "CustomLine", false),
        kind<SystemTextObject>("TfrxSysMemoView", "SysMemo", true),
        kind<DotMatrixTextObject>("TfrxDMPMemoView", "DMPMemo", true),
        kind<DotMatrixLineObject>("TfrxDMPLineView", "DMPLine", true),
        kind<PictureObject>("TfrxPictureView", "Picture", true),
        kind<SubreportObject>("TfrxSubreport", "Subreport", true),
        kind<CheckBoxObject>("TfrxCheckBoxView", "CheckBox", true),
        kind<DotMatrixCommand>("TfrxDMPCommand", "DMPCommand", true),
        kind<ReportTitleBand>("TfrxReportTitle", "ReportTitle", true),
        kind<ReportSummaryBand>("TfrxReportSummary", "ReportSummary", true),
        kind<PageHeaderBand>("TfrxPageHeader", "PageHeader", true),
        kind<PageFooterBand>("TfrxPageFooter", "PageFooter", true),
        kind<HeaderBand>("TfrxHeader", "Header", true),
        kind<FooterBand>("TfrxFooter", "Footer", true),
        kind<MasterDataBand>("TfrxMasterData", "MasterData", true),
        kind<DetailDataBand>("TfrxDetailData", "DetailData", true),
        kind<SubdetailDataBand>("TfrxSubdetailData", "SubdetailData", true),
        kind<DataBand4>("TfrxDataBand4", "DataBand4", true),
        kind<DataBand5>("TfrxDataBand5", "DataBand5", true),
        kind<DataBand6>("TfrxDataBand6", "DataBand6", true),
        kind<GroupHeaderBand>("TfrxGroupHeader", "GroupHeader", true),
        kind<GroupFooterBand>("TfrxGroupFooter", "GroupFooter", true),
        kind<ChildBand>("TfrxChild", "Child", true),
        kind<ColumnHeaderBand>("TfrxColumnHeader", "ColumnHeader", true),
        kind<ColumnFooterBand>("TfrxColumnFooter", "ColumnFooter", true),
        kind<OverlayBand>("TfrxOverlay", "Overlay", true),
        kind<PageObjectsBand>("TfrxNullBand", "NullBand", true),
    };
    return kinds;
}

} // namespace

TEST(ViewTables, EveryViewStartsWithTheCommonProperties)
{
    EXPECT_EQ(describeTable(View::commonProperties()), commonViewRows);
    const PropertyTable& common = View::commonProperties();
    EXPECT_EQ(identifiers(common, "Align"),
        (QStringList{"baNone", "baLeft", "baRight", "baCenter", "baWidth", "baBottom", "baClient"}));
    EXPECT_EQ(identifiers(common, "ShiftMode"), (QStringList{"smDontShift", "smAlways", "smWhenOverlapped"}));
    EXPECT_EQ(identifiers(common, "Restrictions"),
        (QStringList{"rfDontModify", "rfDontSize", "rfDontMove", "rfDontDelete", "rfDontEdit"}));

    for (const Kind& k : allKinds()) {
        std::unique_ptr<ReportObject> object = k.create();
        if (!dynamic_cast<View*>(object.get()))
            continue;
        const QStringList rows = describeTable(object->properties());
        EXPECT_EQ(rows.mid(0, commonViewRows.size()), commonViewRows) << k.className;
    }
}

TEST(ViewTables, ShapeTable)
{
    const ShapeObject shape;
    EXPECT_EQ(describeTable(shape.properties()).mid(commonViewRows.size()), (QStringList{
        "BrushStyle Enum = bsSolid",
        "Color Color = 536870911",
        "Cursor Integer = 0",
        "Curve Integer = 0",
        "Frame Nested",
        "Shape Enum = skRectangle",
        "TagStr String = ''",
        "URL String = ''",
    }));
    EXPECT_EQ(identifiers(shape.properties(), "Shape"), (QStringList{"skRectangle", "skRoundRectangle", "skEllipse",
        "skTriangle", "skDiamond", "skDiagonal1", "skDiagonal2"}));
    EXPECT_EQ(identifiers(shape.properties(), "BrushStyle"), (QStringList{"bsSolid", "bsClear", "bsHorizontal",
        "bsVertical", "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"}));
}

TEST(ViewTables, LineTable)
{
    const LineObject line;
    EXPECT_EQ(describeTable(line.properties()).mid(commonViewRows.size()), (QStringList{
        "StretchMode Enum = smDontStretch",
        "TagStr String = ''",
        "ArrowEnd Boolean = False",
        "ArrowLength Integer = 20",
        "ArrowSolid Boolean = False",
        "ArrowStart Boolean = False",
        "ArrowWidth Integer = 5",
        "Frame Nested",
        "Diagonal Boolean = False",
    }));
    EXPECT_EQ(identifiers(line.properties(), "StretchMode"),
        (QStringList{"smDontStretch", "smActualHeight", "smMaxHeight"}));
}

TEST(ViewTables, BandTable)
{
    MasterDataBand band;
    EXPECT_EQ(describeTable(band.properties()), (QStringList{
        "Tag Integer = 0",
        "Description String = ''",
        "Font Nested if",
        "Height Float = 0",
        "Left Float = 0",
        "ParentFont Boolean = True",
        "Restrictions Set = 0",
        "Top Float = 0",
        "Vertical Boolean = False",
        "Visible Boolean = True",
        "Width Float = 0",
        "OnAfterCalcHeight String = ''",
        "OnAfterPrint String = ''",
        "OnBeforePrint String = ''",
    }));
    EXPECT_FALSE(isStored(band, "Font"));
    band.font().setSize(16);
    EXPECT_TRUE(isStored(band, "Font"));
}

TEST(ViewKinds, NamesAndWhatTheyKeep)
{
    for (const Kind& k : allKinds()) {
        SCOPED_TRACE(k.className);
        std::unique_ptr<ReportObject> object = k.create();
        EXPECT_EQ(object->className(), QString::fromLatin1(k.className));
        if (*k.baseName) {
            EXPECT_EQ(object->baseName(), QString::fromLatin1(k.baseName));
        }
        EXPECT_EQ(object->keepsUnknownAttributes(), k.keepsUnknownAttributes);
    }
}

TEST(ViewKinds, NewObjectsHoldTheirDeclaredDefaultsAndPropertiesAreWiredToTheirOwnFields)
{
    for (const Kind& k : allKinds()) {
        SCOPED_TRACE(k.className);
        expectHoldsDeclaredDefaults(*k.create());
        expectSettersReachTheirGetters(*k.create());
    }
}

TEST(ViewNames, FoundWithoutRegardToCaseAndKeptWhenRefused)
{
    ReportPage page;
    auto* memo = page.add<TextObject>();
    memo->setName("Memo1");
    auto* shape = page.add<ShapeObject>();
    shape->setName("Shape1");

    EXPECT_EQ(page.findObject("memo1"), memo);
    EXPECT_EQ(memo->findObject("SHAPE1"), shape);
    EXPECT_EQ(page.findObject("Memo2"), nullptr);

    try {
        shape->setName("MEMO1");
        FAIL() << "a duplicate name was accepted";
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("prDupl"));
    }
    EXPECT_EQ(shape->name(), QStringLiteral("Shape1"));

    try {
        shape->setName("1abc");
        FAIL() << "a name that is no identifier was accepted";
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("''1abc'' ist kein gültiger Komponentenname"));
    }
    EXPECT_EQ(shape->name(), QStringLiteral("Shape1"));
}

TEST(ViewNames, CopiesKeepTheNamesOfTheirObjectsOnlyWhereTheyAreFree)
{
    Report report;
    auto* page = report.add<ReportPage>();
    page->setName("Page1");
    page->add<TextObject>()->setName("Memo1");

    ReportPage elsewhere;
    elsewhere.assignAll(*page);
    ASSERT_EQ(elsewhere.children().size(), 1U);
    EXPECT_EQ(elsewhere.children().front()->name(), QStringLiteral("Memo1"));

    auto* copy = report.add<ReportPage>();
    copy->assignAll(*page);
    ASSERT_EQ(copy->children().size(), 1U);
    EXPECT_EQ(copy->children().front()->name(), QString()) << "the original keeps its name";
}

TEST(ViewNames, UniqueNamesFillTheFirstGap)
{
    ReportPage page;
    auto* first = page.add<TextObject>();
    first->setName("Memo1");
    page.add<TextObject>()->setName("memo3");

    auto* second = page.add<TextObject>();
    second->createUniqueName();
    EXPECT_EQ(second->name(), QStringLiteral("Memo2"));
    auto* fourth = page.add<TextObject>();
    fourth->createUniqueName();
    EXPECT_EQ(fourth->name(), QStringLiteral("Memo4"));

    auto* shape = page.add<ShapeObject>();
    shape->createUniqueName();
    EXPECT_EQ(shape->name(), QStringLiteral("Shape1"));
    auto* line = page.add<LineObject>();
    line->createUniqueName();
    EXPECT_EQ(line->name(), QStringLiteral("Line1"));
}

TEST(ViewPositions, AbsolutePositionAddsTheBandButNotThePage)
{
    ReportPage page;
    page.setLeftMargin(10);
    page.setTopMargin(10);
    auto* band = page.add<ReportTitleBand>();
    band->setBounds(0, 40, 700, 200);
    auto* memo = band->add<TextObject>();
    memo->setBounds(10.5, 20.25, 50, 30);

    EXPECT_DOUBLE_EQ(memo->absLeft(), 10.5);
    EXPECT_DOUBLE_EQ(memo->absTop(), 60.25);
    EXPECT_EQ(memo->getRealBounds(), QRectF(10.5, 60.25, 50, 30));
}

TEST(ViewPositions, AfterPrintRestoresTheBoundsBeforePrintRecorded)
{
    ShapeObject shape;
    shape.setBounds(1, 2, 3, 4);
    PageHeaderBand band;
    band.setBounds(0, 10, 700, 50);
    for (OutputObject* object : std::initializer_list<OutputObject*>{&shape, &band}) {
        const QRectF before(object->left(), object->top(), object->width(), object->height());
        object->beforePrint();
        object->setBounds(100, 200, 300, 400);
        object->afterPrint();
        EXPECT_EQ(QRectF(object->left(), object->top(), object->width(), object->height()), before)
            << object->className().toStdString();
    }
}

TEST(ViewTree, ClearDestroysChildrenWithTheirChildren)
{
    struct Tracked : TextObject {
        explicit Tracked(int* count) : destroyed(count) {}
        ~Tracked() override { ++*destroyed; }
        int* destroyed;
    };
    int destroyed = 0;
    ReportPage page;
    auto* band = page.add<MasterDataBand>();
    band->adopt(std::make_unique<Tracked>(&destroyed));
    band->adopt(std::make_unique<Tracked>(&destroyed));
    page.adopt(std::make_unique<Tracked>(&destroyed));

    page.clear();
    EXPECT_EQ(destroyed, 3);
    EXPECT_TRUE(page.objects().empty());
}

TEST(LineObject, NonDiagonalLinesSnapToAnAxisBeforeDrawing)
{
    struct Case {
        double width, height;
        bool diagonal;
        double wantWidth, wantHeight;
        FrameSides wantTyp;
    };
    const Case cases[] = {
        {10, 10, false, 0, 10, FrameSide::Left},
        {10, 2, false, 10, 0, FrameSide::Top},
        {2, 10, false, 0, 10, FrameSide::Left},
        {0, 0, false, 0, 0, FrameSide::Left},
        {18.89765, 0, false, 18.89765, 0, FrameSide::Top},
        // Diagonal lines are drawn as they are, frame sides untouched.
        {120, 0, true, 120, 0, FrameSide::Bottom},
        {10, 10, true, 10, 10, FrameSide::Bottom},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height << (c.diagonal ? " diagonal" : ""));
        LineObject line;
        line.setBounds(5, 5, c.width, c.height);
        line.setDiagonal(c.diagonal);
        line.frame().setSides(FrameSide::Bottom);
        line.adjustOrientation();
        EXPECT_EQ(line.width(), c.wantWidth);
        EXPECT_EQ(line.height(), c.wantHeight);
        EXPECT_EQ(line.frame().sides(), c.wantTyp);
        EXPECT_EQ(line.left(), 5);
    }
}
