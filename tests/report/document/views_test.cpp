#include "report/document/band.h"
#include "report/document/line_view.h"
#include "report/document/memo_view.h"
#include "report/document/other_objects.h"
#include "report/document/page.h"
#include "report/document/shape_view.h"
#include "runtime/exception.h"

#include "property_checks.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace quittung;
using namespace quittung::checks;

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
    std::function<std::unique_ptr<TfrxComponent>()> create;
};

template <class T>
Kind kind(const char* className, const char* baseName, bool keeps)
{
    return {className, baseName, keeps, [] { return std::make_unique<T>(); }};
}

const std::vector<Kind>& allKinds()
{
    static const std::vector<Kind> kinds{
        kind<TfrxView>("TfrxView", "", false),
        kind<TfrxMemoView>("TfrxMemoView", "Memo", false),
        kind<TfrxCustomMemoView>("TfrxCustomMemoView", "CustomMemo", false),
        kind<TfrxShapeView>("TfrxShapeView", "Shape", false),
        kind<TfrxLineView>("TfrxLineView", "Line", false),
        kind<TfrxCustomLineView>("TfrxCustomLineView", "CustomLine", false),
        kind<TfrxSysMemoView>("TfrxSysMemoView", "SysMemo", true),
        kind<TfrxDMPMemoView>("TfrxDMPMemoView", "DMPMemo", true),
        kind<TfrxDMPLineView>("TfrxDMPLineView", "DMPLine", true),
        kind<TfrxPictureView>("TfrxPictureView", "Picture", true),
        kind<TfrxSubreport>("TfrxSubreport", "Subreport", true),
        kind<TfrxCheckBoxView>("TfrxCheckBoxView", "CheckBox", true),
        kind<TfrxDMPCommand>("TfrxDMPCommand", "DMPCommand", true),
        kind<TfrxReportTitle>("TfrxReportTitle", "ReportTitle", true),
        kind<TfrxReportSummary>("TfrxReportSummary", "ReportSummary", true),
        kind<TfrxPageHeader>("TfrxPageHeader", "PageHeader", true),
        kind<TfrxPageFooter>("TfrxPageFooter", "PageFooter", true),
        kind<TfrxHeader>("TfrxHeader", "Header", true),
        kind<TfrxFooter>("TfrxFooter", "Footer", true),
        kind<TfrxMasterData>("TfrxMasterData", "MasterData", true),
        kind<TfrxDetailData>("TfrxDetailData", "DetailData", true),
        kind<TfrxSubdetailData>("TfrxSubdetailData", "SubdetailData", true),
        kind<TfrxDataBand4>("TfrxDataBand4", "DataBand4", true),
        kind<TfrxDataBand5>("TfrxDataBand5", "DataBand5", true),
        kind<TfrxDataBand6>("TfrxDataBand6", "DataBand6", true),
        kind<TfrxGroupHeader>("TfrxGroupHeader", "GroupHeader", true),
        kind<TfrxGroupFooter>("TfrxGroupFooter", "GroupFooter", true),
        kind<TfrxChild>("TfrxChild", "Child", true),
        kind<TfrxColumnHeader>("TfrxColumnHeader", "ColumnHeader", true),
        kind<TfrxColumnFooter>("TfrxColumnFooter", "ColumnFooter", true),
        kind<TfrxOverlay>("TfrxOverlay", "Overlay", true),
        kind<TfrxNullBand>("TfrxNullBand", "NullBand", true),
    };
    return kinds;
}

} // namespace

TEST(ViewTables, EveryViewStartsWithTheCommonProperties)
{
    EXPECT_EQ(DescribeTable(TfrxView::CommonProperties()), commonViewRows);
    const PropertyTable& common = TfrxView::CommonProperties();
    EXPECT_EQ(Identifiers(common, "Align"),
        (QStringList{"baNone", "baLeft", "baRight", "baCenter", "baWidth", "baBottom", "baClient"}));
    EXPECT_EQ(Identifiers(common, "ShiftMode"), (QStringList{"smDontShift", "smAlways", "smWhenOverlapped"}));
    EXPECT_EQ(Identifiers(common, "Restrictions"),
        (QStringList{"rfDontModify", "rfDontSize", "rfDontMove", "rfDontDelete", "rfDontEdit"}));

    for (const Kind& k : allKinds()) {
        std::unique_ptr<TfrxComponent> object = k.create();
        if (!dynamic_cast<TfrxView*>(object.get()))
            continue;
        const QStringList rows = DescribeTable(object->Properties());
        EXPECT_EQ(rows.mid(0, commonViewRows.size()), commonViewRows) << k.className;
    }
}

TEST(ViewTables, ShapeTable)
{
    const TfrxShapeView shape;
    EXPECT_EQ(DescribeTable(shape.Properties()).mid(commonViewRows.size()), (QStringList{
        "BrushStyle Enum = bsSolid",
        "Color Color = 536870911",
        "Cursor Integer = 0",
        "Curve Integer = 0",
        "Frame Nested",
        "Shape Enum = skRectangle",
        "TagStr String = ''",
        "URL String = ''",
    }));
    EXPECT_EQ(Identifiers(shape.Properties(), "Shape"), (QStringList{"skRectangle", "skRoundRectangle", "skEllipse",
        "skTriangle", "skDiamond", "skDiagonal1", "skDiagonal2"}));
    EXPECT_EQ(Identifiers(shape.Properties(), "BrushStyle"), (QStringList{"bsSolid", "bsClear", "bsHorizontal",
        "bsVertical", "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"}));
}

TEST(ViewTables, LineTable)
{
    const TfrxLineView line;
    EXPECT_EQ(DescribeTable(line.Properties()).mid(commonViewRows.size()), (QStringList{
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
    EXPECT_EQ(Identifiers(line.Properties(), "StretchMode"),
        (QStringList{"smDontStretch", "smActualHeight", "smMaxHeight"}));
}

TEST(ViewTables, BandTable)
{
    TfrxMasterData band;
    EXPECT_EQ(DescribeTable(band.Properties()), (QStringList{
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
    EXPECT_FALSE(IsStored(band, "Font"));
    band.Font().SetSize(16);
    EXPECT_TRUE(IsStored(band, "Font"));
}

TEST(ViewKinds, NamesAndWhatTheyKeep)
{
    for (const Kind& k : allKinds()) {
        SCOPED_TRACE(k.className);
        std::unique_ptr<TfrxComponent> object = k.create();
        EXPECT_EQ(object->ClassName(), QString::fromLatin1(k.className));
        if (*k.baseName) {
            EXPECT_EQ(object->BaseName(), QString::fromLatin1(k.baseName));
        }
        EXPECT_EQ(object->KeepsUnknownAttributes(), k.keepsUnknownAttributes);
    }
}

TEST(ViewKinds, NewObjectsHoldTheirDeclaredDefaultsAndPropertiesAreWiredToTheirOwnFields)
{
    for (const Kind& k : allKinds()) {
        SCOPED_TRACE(k.className);
        ExpectHoldsDeclaredDefaults(*k.create());
        ExpectSettersReachTheirGetters(*k.create());
    }
}

TEST(ViewNames, FoundWithoutRegardToCaseAndKeptWhenRefused)
{
    TfrxReportPage page;
    auto* memo = page.Add<TfrxMemoView>();
    memo->SetName("Memo1");
    auto* shape = page.Add<TfrxShapeView>();
    shape->SetName("Shape1");

    EXPECT_EQ(page.FindObject("memo1"), memo);
    EXPECT_EQ(memo->FindObject("SHAPE1"), shape);
    EXPECT_EQ(page.FindObject("Memo2"), nullptr);

    try {
        shape->SetName("MEMO1");
        FAIL() << "a duplicate name was accepted";
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("prDupl"));
    }
    EXPECT_EQ(shape->Name(), QStringLiteral("Shape1"));

    try {
        shape->SetName("1abc");
        FAIL() << "a name that is no identifier was accepted";
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("''1abc'' ist kein gültiger Komponentenname"));
    }
    EXPECT_EQ(shape->Name(), QStringLiteral("Shape1"));
}

TEST(ViewNames, UniqueNamesFillTheFirstGap)
{
    TfrxReportPage page;
    auto* first = page.Add<TfrxMemoView>();
    first->SetName("Memo1");
    page.Add<TfrxMemoView>()->SetName("memo3");

    auto* second = page.Add<TfrxMemoView>();
    second->CreateUniqueName();
    EXPECT_EQ(second->Name(), QStringLiteral("Memo2"));
    auto* fourth = page.Add<TfrxMemoView>();
    fourth->CreateUniqueName();
    EXPECT_EQ(fourth->Name(), QStringLiteral("Memo4"));

    auto* shape = page.Add<TfrxShapeView>();
    shape->CreateUniqueName();
    EXPECT_EQ(shape->Name(), QStringLiteral("Shape1"));
    auto* line = page.Add<TfrxLineView>();
    line->CreateUniqueName();
    EXPECT_EQ(line->Name(), QStringLiteral("Line1"));
}

TEST(ViewPositions, AbsolutePositionAddsTheBandButNotThePage)
{
    TfrxReportPage page;
    page.SetLeftMargin(10);
    page.SetTopMargin(10);
    auto* band = page.Add<TfrxReportTitle>();
    band->SetBounds(0, 40, 700, 200);
    auto* memo = band->Add<TfrxMemoView>();
    memo->SetBounds(10.5, 20.25, 50, 30);

    EXPECT_DOUBLE_EQ(memo->AbsLeft(), 10.5);
    EXPECT_DOUBLE_EQ(memo->AbsTop(), 60.25);
    EXPECT_EQ(memo->GetRealBounds(), QRectF(10.5, 60.25, 50, 30));
}

TEST(ViewPositions, AfterPrintRestoresTheBoundsBeforePrintRecorded)
{
    TfrxShapeView shape;
    shape.SetBounds(1, 2, 3, 4);
    TfrxPageHeader band;
    band.SetBounds(0, 10, 700, 50);
    for (TfrxReportComponent* object : std::initializer_list<TfrxReportComponent*>{&shape, &band}) {
        const QRectF before(object->Left(), object->Top(), object->Width(), object->Height());
        object->BeforePrint();
        object->SetBounds(100, 200, 300, 400);
        object->AfterPrint();
        EXPECT_EQ(QRectF(object->Left(), object->Top(), object->Width(), object->Height()), before)
            << object->ClassName().toStdString();
    }
}

TEST(ViewTree, ClearDestroysChildrenWithTheirChildren)
{
    struct Tracked : TfrxMemoView {
        explicit Tracked(int* count) : destroyed(count) {}
        ~Tracked() override { ++*destroyed; }
        int* destroyed;
    };
    int destroyed = 0;
    TfrxReportPage page;
    auto* band = page.Add<TfrxMasterData>();
    band->Adopt(std::make_unique<Tracked>(&destroyed));
    band->Adopt(std::make_unique<Tracked>(&destroyed));
    page.Adopt(std::make_unique<Tracked>(&destroyed));

    page.Clear();
    EXPECT_EQ(destroyed, 3);
    EXPECT_TRUE(page.Objects().empty());
}

TEST(LineView, NonDiagonalLinesSnapToAnAxisBeforeDrawing)
{
    struct Case {
        double width, height;
        bool diagonal;
        double wantWidth, wantHeight;
        int wantTyp;
    };
    const Case cases[] = {
        {10, 10, false, 0, 10, ftLeft},
        {10, 2, false, 10, 0, ftTop},
        {2, 10, false, 0, 10, ftLeft},
        {0, 0, false, 0, 0, ftLeft},
        {18.89765, 0, false, 18.89765, 0, ftTop},
        // Diagonal lines are drawn as they are, frame sides untouched.
        {120, 0, true, 120, 0, ftBottom},
        {10, 10, true, 10, 10, ftBottom},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height << (c.diagonal ? " diagonal" : ""));
        TfrxLineView line;
        line.SetBounds(5, 5, c.width, c.height);
        line.SetDiagonal(c.diagonal);
        line.Frame().SetTyp(ftBottom);
        line.AdjustOrientation();
        EXPECT_EQ(line.Width(), c.wantWidth);
        EXPECT_EQ(line.Height(), c.wantHeight);
        EXPECT_EQ(line.Frame().Typ(), c.wantTyp);
        EXPECT_EQ(line.Left(), 5);
    }
}
