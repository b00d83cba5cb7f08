#include "report/document/memo_view.h"
#include "report/document/page.h"
#include "report/document/report.h"

#include "property_checks.h"
#include "runtime/exception.h"

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::checks;

namespace {

const QDateTime firstMoment(QDate(2020, 7, 3), QTime(12, 0));

// A report whose clock stands still until it is moved on.
class ClockedReport : public testing::Test {
protected:
    QDateTime now = firstMoment;
    TfrxReport report{[this] { return now; }};

    QStringList PageNames() const
    {
        QStringList names;
        for (int i = 0; i < report.PagesCount(); ++i)
            names.append(report.Pages(i)->Name());
        return names;
    }
};

} // namespace

TEST(Report, TableFollowsTheTemplateOrder)
{
    const TfrxReport report;
    EXPECT_EQ(DescribeTable(report.Properties()), (QStringList{
        "Tag Integer = 0",
        "Version String = '4.13.2'",
        "ParentReport String = ''",
        "DataSet Reference = ''",
        "DataSetName String = ''",
        "DotMatrixReport Boolean = (always)",
        "EngineOptions Nested",
        "IniFile String = '\\Software\\Tarvik'",
        "OldStyleProgress Boolean = False",
        "Preview Reference = ''",
        "PreviewOptions Nested",
        "PrintOptions Nested",
        "ReportOptions Nested",
        "ScriptLanguage String = 'PascalScript'",
        "ScriptText StringList = [begin,,end.]",
        "ShowProgress Boolean = True",
        "StoreInDFM Boolean = True",
        "OnRunDialogs String = ''",
        "OnStartReport String = ''",
        "OnStopReport String = ''",
        "OnReportPrint String = ''",
    }));
}

TEST_F(ClockedReport, NewReportIsClearedOnce)
{
    ExpectHoldsDeclaredDefaults(report);
    EXPECT_FALSE(report.DotMatrixReport());
    EXPECT_EQ(report.PagesCount(), 0);
    EXPECT_EQ(report.ReportOptions().CreateDate(), 44015.5);
    EXPECT_EQ(report.ReportOptions().LastChange(), 44015.5);
    EXPECT_EQ(report.SystemVariables(), (QStringList{"Date", "Time", "Page", "Page#", "TotalPages", "TotalPages#",
        "Line", "Line#", "CopyName#"}));
    EXPECT_TRUE(report.Errors().IsEmpty());
    EXPECT_TRUE(report.FileName().isEmpty());
}

TEST(Report, VersionIsFixed)
{
    TfrxReport report;
    const PropertyInfo* version = report.Properties().find("version");
    ASSERT_TRUE(version);
    version->set(report, QStringLiteral("3.0"));
    EXPECT_EQ(report.Version(), QStringLiteral("4.13.2"));
}

TEST_F(ClockedReport, ClearResetsTheDocumentButNotTheComponentSettings)
{
    report.Add<TfrxDataPage>()->SetName("Data");
    report.Add<TfrxReportPage>()->Add<TfrxMemoView>();
    report.Variables().SetValue(" Netto", Variant::null());
    report.Styles().Add();
    report.SetDataSet("Kunden");
    report.SetDataSetName("Kunden");
    report.SetDotMatrixReport(true);
    report.SetParentReport("Basis.fr3");
    report.SetScriptLanguage("C++Script");
    report.SetScriptText({"x"});
    report.SetOnRunDialogs("a");
    report.SetOnStartReport("b");
    report.SetOnStopReport("c");
    report.SetOnReportPrint("d");
    report.SetIniFile("quittung.ini");
    report.SetShowProgress(false);
    report.SetStoreInDFM(false);
    report.SetOldStyleProgress(true);
    report.SetPreview("Vorschau");
    report.EngineOptions().SetDoublePass(true);
    report.EngineOptions().SetConvertNulls(false);
    report.EngineOptions().SetMaxMemSize(20);
    report.EngineOptions().SetSilentMode(true);
    report.PreviewOptions().SetButtons(pbPrint | pbZoom);
    report.PreviewOptions().SetZoom(2);
    report.PreviewOptions().SetModal(false);
    report.PreviewOptions().SetOutlineVisible(true);
    report.PreviewOptions().SetPagesInCache(5);
    report.PrintOptions().SetShowDialog(false);
    report.PrintOptions().SetCopies(3);
    report.ReportOptions().SetAuthor("Tarvik");

    now = now.addDays(1);
    report.Clear();

    EXPECT_EQ(report.PagesCount(), 0);
    EXPECT_EQ(report.Variables().Count(), 0);
    EXPECT_EQ(report.Styles().Count(), 0);
    EXPECT_TRUE(report.DataSet().isEmpty());
    EXPECT_TRUE(report.DataSetName().isEmpty());
    EXPECT_FALSE(report.DotMatrixReport());
    EXPECT_TRUE(report.ParentReport().isEmpty());
    EXPECT_EQ(report.ScriptLanguage(), QStringLiteral("PascalScript"));
    EXPECT_EQ(report.ScriptText(), (QStringList{"begin", "", "end."}));
    EXPECT_TRUE(report.OnRunDialogs().isEmpty());
    EXPECT_TRUE(report.OnStartReport().isEmpty());
    EXPECT_TRUE(report.OnStopReport().isEmpty());
    EXPECT_EQ(report.OnReportPrint(), QStringLiteral("d"));
    EXPECT_EQ(report.IniFile(), QStringLiteral("quittung.ini"));
    EXPECT_FALSE(report.ShowProgress());
    EXPECT_FALSE(report.StoreInDFM());
    EXPECT_TRUE(report.OldStyleProgress());
    EXPECT_EQ(report.Preview(), QStringLiteral("Vorschau"));

    EXPECT_FALSE(report.EngineOptions().DoublePass());
    EXPECT_TRUE(report.EngineOptions().ConvertNulls());
    EXPECT_EQ(report.EngineOptions().MaxMemSize(), 20);
    EXPECT_TRUE(report.EngineOptions().SilentMode());

    EXPECT_EQ(report.PreviewOptions().Buttons(), pbPrint | pbZoom);
    EXPECT_EQ(report.PreviewOptions().Zoom(), 2);
    EXPECT_FALSE(report.PreviewOptions().Modal());
    EXPECT_FALSE(report.PreviewOptions().OutlineVisible());
    EXPECT_EQ(report.PreviewOptions().PagesInCache(), 50);

    EXPECT_TRUE(report.PrintOptions().ShowDialog());
    EXPECT_EQ(report.PrintOptions().Copies(), 1);
    EXPECT_TRUE(report.ReportOptions().Author().isEmpty());
    EXPECT_EQ(report.ReportOptions().CreateDate(), 44016.5);
}

TEST_F(ClockedReport, PagesOutsideTheListFailWithTheIndex)
{
    report.Add<TfrxDataPage>();
    report.Add<TfrxReportPage>();
    EXPECT_EQ(report.PagesCount(), 2);
    EXPECT_TRUE(dynamic_cast<TfrxReportPage*>(report.Pages(1)));
    for (int index : {5, 2, -1}) {
        try {
            report.Pages(index);
            ADD_FAILURE() << "no error for " << index;
        } catch (const EListError& error) {
            EXPECT_EQ(error.message(), QStringLiteral("Listenindex überschreitet das Maximum (%1)").arg(index));
        }
    }
}

TEST_F(ClockedReport, CheckDataPageAddsDataInFront)
{
    report.Add<TfrxReportPage>()->SetName("Page1");
    report.Add<TfrxReportPage>()->SetName("Page2");
    report.CheckDataPage();
    EXPECT_EQ(PageNames(), (QStringList{"Data", "Page1", "Page2"}));
    EXPECT_TRUE(dynamic_cast<TfrxDataPage*>(report.Pages(0)));
    // A second check finds it.
    report.CheckDataPage();
    EXPECT_EQ(report.PagesCount(), 3);
}

TEST_F(ClockedReport, CheckDataPageTakesAnotherNameWhenDataIsTaken)
{
    report.Add<TfrxReportPage>()->Add<TfrxMemoView>()->SetName("data");
    report.CheckDataPage();
    ASSERT_EQ(report.PagesCount(), 2);
    EXPECT_TRUE(dynamic_cast<TfrxDataPage*>(report.Pages(0)));
    EXPECT_EQ(report.Pages(0)->Name(), QStringLiteral("DataPage1"));
}

TEST_F(ClockedReport, CheckDataPageLeavesADataPageWhereItIs)
{
    report.Add<TfrxReportPage>()->SetName("Page1");
    report.Add<TfrxDataPage>()->SetName("Daten");
    report.CheckDataPage();
    EXPECT_EQ(PageNames(), (QStringList{"Page1", "Daten"}));
}

TEST_F(ClockedReport, ErrorsAreSortedWithoutDuplicates)
{
    report.Errors().Add("Cannot find class TfrxChart");
    report.Errors().Add("'x' ist kein gültiger Integerwert");
    report.Errors().Add("cannot find class TfrxChart");
    report.Errors().Add("Cannot find class ");
    EXPECT_EQ(report.Errors().Strings(),
        (QStringList{"'x' ist kein gültiger Integerwert", "Cannot find class ", "Cannot find class TfrxChart"}));
    EXPECT_TRUE(report.Errors().Contains("CANNOT FIND CLASS TFRXCHART"));
}
