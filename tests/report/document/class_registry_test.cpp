#include "report/document/class_registry.h"

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::report;

TEST(ClassRegistry, CreatesEveryObjectKindByName)
{
    const char* const kinds[] = {
        "TfrxReport", "TfrxDataPage", "TfrxReportPage", "TfrxMemoView", "TfrxShapeView", "TfrxLineView",
        "TfrxDialogPage", "TfrxDMPPage",
        "TfrxReportTitle", "TfrxReportSummary", "TfrxPageHeader", "TfrxPageFooter", "TfrxHeader", "TfrxFooter",
        "TfrxMasterData", "TfrxDetailData", "TfrxSubdetailData", "TfrxDataBand4", "TfrxDataBand5", "TfrxDataBand6",
        "TfrxGroupHeader", "TfrxGroupFooter", "TfrxChild", "TfrxColumnHeader", "TfrxColumnFooter", "TfrxOverlay",
        "TfrxNullBand",
        "TfrxCustomMemoView", "TfrxSysMemoView", "TfrxCustomLineView", "TfrxPictureView", "TfrxSubreport",
        "TfrxCheckBoxView", "TfrxDMPMemoView", "TfrxDMPLineView", "TfrxDMPCommand",
    };
    for (const char* kind : kinds) {
        const QString name = QString::fromLatin1(kind);
        SCOPED_TRACE(kind);
        EXPECT_TRUE(isKnownClass(name));
        const std::unique_ptr<ReportObject> object = createObject(name.toLower());
        ASSERT_TRUE(object);
        EXPECT_EQ(object->className(), name);
    }
}

TEST(ClassRegistry, SettingsAreKnownButNoObjects)
{
    for (const char* settings : {"TfrxFrame", "tfrxhighlight", "TfrxStyleItem"}) {
        SCOPED_TRACE(settings);
        EXPECT_TRUE(isKnownClass(QString::fromLatin1(settings)));
        EXPECT_EQ(createObject(QString::fromLatin1(settings)), nullptr);
    }
}

TEST(ClassRegistry, OtherNamesAreUnknown)
{
    for (const char* name : {"", "TfrxChartView", "TfrxPage", "TfrxView", "TfrxBand", "TfrxMemo", "Memo1"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(isKnownClass(QString::fromLatin1(name)));
        EXPECT_EQ(createObject(QString::fromLatin1(name)), nullptr);
    }
}
