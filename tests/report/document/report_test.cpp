#include "report/document/text_object.h"
#include "report/document/page.h"
#include "report/document/report.h"

#include "property_checks.h"
#include "runtime/exception.h"

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::report;
using namespace quittung::report::checks;

namespace {

const QDateTime firstMoment(QDate(2020, 7, 3), QTime(12, 0));

// A report whose clock stands still until it is moved on.
class ClockedReport : public testing::Test {
protected:
    QDateTime now = firstMoment;
    Report report{[this] { return now; }};

    QStringList pageNames() const
    {
        QStringList names;
        for (int i = 0; i < report.pagesCount(); ++i)
            names.append(report.pages(i)->name());
        return names;
    }
};

} // namespace

TEST(Report, TableFollowsTheTemplateOrder)
{
    const Report report;
    EXPECT_EQ(describeTable(report.properties()), (QStringList{
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
    expectHoldsDeclaredDefaults(report);
    EXPECT_FALSE(report.dotMatrixReport());
    EXPECT_EQ(report.pagesCount(), 0);
    EXPECT_EQ(report.reportOptions().createDate(), 44015.5);
    EXPECT_EQ(report.reportOptions().lastChange(), 44015.5);
    EXPECT_EQ(report.systemVariables(), (QStringList{"Date", "Time", "Page", "Page#", "TotalPages", "TotalPages#",
        "Line", "Line#", "CopyName#"}));
    EXPECT_TRUE(report.errors().isEmpty());
    EXPECT_TRUE(report.fileName().isEmpty());
}

TEST(Report, VersionIsFixed)
{
    Report report;
    const PropertyInfo* version = report.properties().find("version");
    ASSERT_TRUE(version);
    version->set(report, QStringLiteral("3.0"));
    EXPECT_EQ(report.version(), QStringLiteral("4.13.2"));
}

TEST_F(ClockedReport, ClearResetsTheDocumentButNotTheComponentSettings)
{
    report.add<DataPage>()->setName("Data");
    report.add<ReportPage>()->add<TextObject>();
    report.variables().setValue(" Netto", Variant::null());
    report.styles().add();
    report.setDataSet("Kunden");
    report.setDataSetName("Kunden");
    report.setDotMatrixReport(true);
    report.setParentReport("Basis.fr3");
    report.setScriptLanguage("C++Script");
    report.setScriptText({"x"});
    report.setOnRunDialogs("a");
    report.setOnStartReport("b");
    report.setOnStopReport("c");
    report.setOnReportPrint("d");
    report.setIniFile("quittung.ini");
    report.setShowProgress(false);
    report.setStoreInDfm(false);
    report.setOldStyleProgress(true);
    report.setPreview("Vorschau");
    report.engineOptions().setDoublePass(true);
    report.engineOptions().setConvertNulls(false);
    report.engineOptions().setMaxMemSize(20);
    report.engineOptions().setSilentMode(true);
    report.previewOptions().setButtons(PreviewButton::Print | PreviewButton::Zoom);
    report.previewOptions().setZoom(2);
    report.previewOptions().setModal(false);
    report.previewOptions().setOutlineVisible(true);
    report.previewOptions().setPagesInCache(5);
    report.printOptions().setShowDialog(false);
    report.printOptions().setCopies(3);
    report.reportOptions().setAuthor("Tarvik");

    now = now.addDays(1);
    report.clear();

    EXPECT_EQ(report.pagesCount(), 0);
    EXPECT_EQ(report.variables().count(), 0);
    EXPECT_EQ(report.styles().count(), 0);
    EXPECT_TRUE(report.dataSet().isEmpty());
    EXPECT_TRUE(report.dataSetName().isEmpty());
    EXPECT_FALSE(report.dotMatrixReport());
    EXPECT_TRUE(report.parentReport().isEmpty());
    EXPECT_EQ(report.scriptLanguage(), QStringLiteral("PascalScript"));
    EXPECT_EQ(report.scriptText(), (QStringList{"begin", "", "end."}));
    EXPECT_TRUE(report.onRunDialogs().isEmpty());
    EXPECT_TRUE(report.onStartReport().isEmpty());
    EXPECT_TRUE(report.onStopReport().isEmpty());
    EXPECT_EQ(report.onReportPrint(), QStringLiteral("d"));
    EXPECT_EQ(report.iniFile(), QStringLiteral("quittung.ini"));
    EXPECT_FALSE(report.showProgress());
    EXPECT_FALSE(report.storeInDfm());
    EXPECT_TRUE(report.oldStyleProgress());
    EXPECT_EQ(report.preview(), QStringLiteral("Vorschau"));

    EXPECT_FALSE(report.engineOptions().doublePass());
    EXPECT_TRUE(report.engineOptions().convertNulls());
    EXPECT_EQ(report.engineOptions().maxMemSize(), 20);
    EXPECT_TRUE(report.engineOptions().silentMode());

    EXPECT_EQ(report.previewOptions().buttons(), PreviewButton::Print | PreviewButton::Zoom);
    EXPECT_EQ(report.previewOptions().zoom(), 2);
    EXPECT_FALSE(report.previewOptions().modal());
    EXPECT_FALSE(report.previewOptions().outlineVisible());
    EXPECT_EQ(report.previewOptions().pagesInCache(), 50);

    EXPECT_TRUE(report.printOptions().showDialog());
    EXPECT_EQ(report.printOptions().copies(), 1);
    EXPECT_TRUE(report.reportOptions().author().isEmpty());
    EXPECT_EQ(report.reportOptions().createDate(), 44016.5);
}

TEST_F(ClockedReport, PagesOutsideTheListFailWithTheIndex)
{
    report.add<DataPage>();
    report.add<ReportPage>();
    EXPECT_EQ(report.pagesCount(), 2);
    EXPECT_TRUE(dynamic_cast<ReportPage*>(report.pages(1)));
    for (int index : {5, 2, -1}) {
        try {
            report.pages(index);
            ADD_FAILURE() << "no error for " << index;
        } catch (const ListIndexError& error) {
            EXPECT_EQ(error.message(), QStringLiteral("Listenindex überschreitet das Maximum (%1)").arg(index));
        }
    }
}

TEST_F(ClockedReport, CheckDataPageAddsDataInFront)
{
    report.add<ReportPage>()->setName("Page1");
    report.add<ReportPage>()->setName("Page2");
    report.checkDataPage();
    EXPECT_EQ(pageNames(), (QStringList{"Data", "Page1", "Page2"}));
    EXPECT_TRUE(dynamic_cast<DataPage*>(report.pages(0)));
    // A second check finds it.
    report.checkDataPage();
    EXPECT_EQ(report.pagesCount(), 3);
}

TEST_F(ClockedReport, CheckDataPageTakesAnotherNameWhenDataIsTaken)
{
    report.add<ReportPage>()->add<TextObject>()->setName("data");
    report.checkDataPage();
    ASSERT_EQ(report.pagesCount(), 2);
    EXPECT_TRUE(dynamic_cast<DataPage*>(report.pages(0)));
    EXPECT_EQ(report.pages(0)->name(), QStringLiteral("DataPage1"));
}

TEST_F(ClockedReport, CheckDataPageLeavesADataPageWhereItIs)
{
    report.add<ReportPage>()->setName("Page1");
    report.add<DataPage>()->setName("Daten");
    report.checkDataPage();
    EXPECT_EQ(pageNames(), (QStringList{"Page1", "Daten"}));
}

TEST_F(ClockedReport, ErrorsAreSortedWithoutDuplicates)
{
    report.errors().add("Cannot find class TfrxChart");
    report.errors().add("'x' ist kein gültiger Integerwert");
    report.errors().add("cannot find class TfrxChart");
    report.errors().add("Cannot find class ");
    EXPECT_EQ(report.errors().strings(),
        (QStringList{"'x' ist kein gültiger Integerwert", "Cannot find class ", "Cannot find class TfrxChart"}));
    EXPECT_TRUE(report.errors().contains("CANNOT FIND CLASS TFRXCHART"));
}
