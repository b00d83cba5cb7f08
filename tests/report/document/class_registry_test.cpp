#include "report/document/class_registry.h"

#include "report/document/builtin_design.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/text_object.h"

#include "tests/support/qt_printers.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <typeinfo>

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

namespace {

QByteArray savedAlone(const ReportObject& object)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    object.saveToStream(buffer, false);
    return bytes;
}

} // namespace

// Preparation copies every object of a template for each receipt: a copy has all properties and
// the name of its source, neither parent nor children, and follows font changes of its own.
TEST(ClassRegistry, ACopyHasEveryPropertyOfItsSource)
{
    std::vector<std::unique_ptr<Report>> reports;
    for (const char* form : {"Quittung.Dat", "QuittungA4.Dat"}) {
        reports.push_back(std::make_unique<Report>());
        ASSERT_TRUE(reports.back()->loadFromFile(QStringLiteral(QUITTUNG_FORMS_DIR "/") + QString::fromLatin1(form)));
    }
    reports.push_back(std::make_unique<Report>());
    applyBuiltinDesign(*reports.back());
    auto* memo = reports.back()->pages(1)->add<TextObject>();
    memo->setName(QStringLiteral("Alles"));
    memo->setText(QStringLiteral("[Von] und [Fuer]"));
    memo->highlight().setActive(true);
    memo->highlight().setCondition(QStringLiteral("Value > 0"));
    memo->displayFormat().setFormatStr(QStringLiteral("%2.2n"));
    memo->setAutoWidth(true);
    memo->setRotation(90);
    memo->frame().setSides(AllFrameSides);
    memo->setHAlign(HAlign::Right);

    int copied = 0;
    for (const auto& report : reports) {
        for (const ReportObject* source : report->allObjects()) {
            SCOPED_TRACE(source->name().toStdString());
            const std::unique_ptr<ReportObject> copy = copyObject(*source);
            ASSERT_TRUE(copy);
            const ReportObject& made = *copy;
            EXPECT_EQ(typeid(made), typeid(*source));
            EXPECT_EQ(copy->parent(), nullptr);
            EXPECT_TRUE(copy->children().empty());
            EXPECT_EQ(savedAlone(*copy), savedAlone(*source));
            ++copied;
        }
    }
    EXPECT_GT(copied, 150);

    // The copy's font is its own: a change turns ParentFont off on the copy, not on the source.
    const std::unique_ptr<ReportObject> copy = copyObject(*memo);
    Font font = copy->font();
    font.setHeight(30);
    copy->setFont(font);
    EXPECT_FALSE(copy->parentFont());
    EXPECT_NE(memo->font().height(), 30);
}
