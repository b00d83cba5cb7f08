#include "report/document/builtin_design.h"

#include "report/document/text_object.h"
#include "report/document/page.h"
#include "report/document/report.h"

#include "property_checks.h"
#include "runtime/exception.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <stdexcept>

using namespace quittung;
using namespace quittung::report;
using namespace quittung::report::checks;

namespace {

class BuiltinDesign : public testing::Test {
protected:
    BuiltinDesign() { applyBuiltinDesign(report); }

    ReportObject& object(const QString& name)
    {
        ReportObject* object = report.findObject(name);
        if (!object)
            throw std::runtime_error("no object " + name.toStdString());
        return *object;
    }

    Report report;
};

// Floats with all their digits, so a position one step off the designed decimal shows.
QString exactText(const PropertyInfo& info, const PropValue& value)
{
    if (const auto* real = std::get_if<double>(&value))
        return QString::number(*real, 'g', QLocale::FloatingPointShortest);
    return propertyValueText(info, value);
}

// A property's value as text, reached through the property tables by a path such as "Frame.sides".
QString propertyText(PropertyObject& object, const QString& path)
{
    const QString head = path.section(QLatin1Char('.'), 0, 0);
    const PropertyInfo* info = object.properties().find(head);
    if (!info)
        return QStringLiteral("no property ") + head;
    if (info->type == PropType::Nested)
        return propertyText(*info->nested(object), path.section(QLatin1Char('.'), 1));
    return exactText(*info, info->get(object));
}

// Every property of the two objects except Name and Top, nested settings included.
void expectSameProperties(PropertyObject& original, PropertyObject& copy, const QString& path = QString())
{
    for (const PropertyInfo& info : original.properties()) {
        const QString name = path + info.name;
        if (name == QLatin1String("Top"))
            continue;
        SCOPED_TRACE(name.toStdString());
        if (info.type == PropType::Nested) {
            expectSameProperties(*info.nested(original), *info.nested(copy), name + QLatin1Char('.'));
        } else if (info.get) {
            EXPECT_EQ(exactText(info, info.get(copy)), exactText(info, info.get(original)));
        }
    }
}

} // namespace

TEST_F(BuiltinDesign, HoldsTheDataPageAndOneA4PageOfObjectsInDrawingOrder)
{
    ASSERT_EQ(report.pagesCount(), 2);
    const auto* data = dynamic_cast<DataPage*>(report.pages(0));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->name(), "Data");
    EXPECT_EQ(data->width(), 1000);
    EXPECT_EQ(data->height(), 1000);
    EXPECT_TRUE(data->children().empty());

    const auto* page = dynamic_cast<ReportPage*>(report.pages(1));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->name(), "Page1");
    EXPECT_EQ(page->paperSize(), 9);
    EXPECT_EQ(page->orientation(), PageOrientation::Portrait);
    EXPECT_EQ(page->paperWidth(), 210);
    EXPECT_EQ(page->paperHeight(), 297);
    for (double margin : {page->leftMargin(), page->rightMargin(), page->topMargin(), page->bottomMargin()})
        EXPECT_EQ(margin, 10);

    QStringList names;
    for (const auto& object : page->children()) {
        names.append(object->name());
        EXPECT_TRUE(object->children().empty()) << object->name().toStdString();
    }
    EXPECT_EQ(names, (QStringList{"Shape3", "Shape1", "Shape2", "Memo1", "Memo2", "Memo3", "Memo4", "Memo5",
        "Memo6", "Line1", "Memo7", "Memo8", "Memo9", "Memo10", "Memo11", "Line5", "Shape7", "Memo24", "Line7",
        "Line8", "Line3", "Shape6", "Shape8", "Shape11", "Memo12", "Memo13", "Memo14", "Memo15", "Memo16",
        "Memo17", "Line2", "Memo18", "Memo19", "Memo20", "Memo21", "Memo22", "Line4", "Shape12", "Memo23",
        "Memo38", "Line6", "Line9", "Line10", "Line11", "Line12", "Line14", "Line15", "Line16", "Line17",
        "Line18", "Line19", "Line20", "Line21", "Line22", "Line23", "Line24", "Line25", "Line26", "Line13",
        "Line27", "Line28", "Line29", "Line30", "Line31", "Line32", "Line33", "Line34", "Line35", "Line36",
        "Line37", "Line38", "Line39", "Line40", "Line41", "Line42", "Line43", "Line44", "Line45", "Line46",
        "Line47", "Line48", "Line49", "Line50", "Line51", "Line52"}));

    try {
        report.pages(2);
        ADD_FAILURE() << "the design has a third page";
    } catch (const ListIndexError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("Listenindex überschreitet das Maximum (2)"));
    }
}

TEST_F(BuiltinDesign, ObjectsHoldTheirDesignedValues)
{
    struct Case {
        const char* object;
        const char* property;
        QString expected;
    };
    const Case cases[] = {
        {"Shape3", "Color", "15984349"},
        {"Shape3", "Width", "491.3389"},
        {"Shape1", "Color", "15793151"},
        {"Shape1", "Frame.Typ", "0"},
        {"Shape7", "Color", "16777215"},
        {"Shape7", "Frame.Color", "16777215"},
        {"Shape7", "Frame.BottomLine.Color", "16777215"},
        {"Memo1", "Font.Height", "-21"},
        {"Memo1", "Memo", "[Quittung]"},
        {"Memo3", "Memo", "[Netto :,+ [MwSt] % MwSt. :]"},
        {"Memo4", "Memo", "[--[<Netto> #n%2,2f]--€,--[<SumSteuern> #n%2,2f]--€]"},
        {"Memo4", "HAlign", "haRight"},
        {"Memo4", "VAlign", "vaTop"},
        {"Memo4", "Color", "536870911"},
        {"Memo6", "Font.Style", "1"},
        {"Memo6", "ParentFont", "False"},
        {"Memo7", "HAlign", "haCenter"},
        {"Memo7", "VAlign", "vaCenter"},
        {"Memo7", "Frame.Typ", "15"},
        {"Memo7", "WordBreak", "True"},
        {"Memo7", "Color", "15793151"},
        {"Memo8", "WordBreak", "False"},
        {"Memo8", "Font.Height", "-11"},
        {"Memo9", "VAlign", "vaCenter"},
        {"Memo9", "HAlign", "haLeft"},
        {"Memo10", "Memo", "[Für: [Fuer]]"},
        {"Memo10", "Height", "60.47248"},
        {"Memo24", "Font.Height", "-8"},
        {"Memo24", "Font.Color", "8421504"},
        {"Memo38", "Memo", "[(Kopie)]"},
        {"Memo38", "Font.Color", "8421504"},
        {"Memo38", "Font.Height", "-13"},
        {"Memo38", "HAlign", "haRight"},
        {"Memo38", "Top", "480.00031"},
        {"Memo21", "Top", "665.19728"},
        {"Shape6", "Top", "453.5436"},
        {"Line1", "Diagonal", "True"},
        {"Line1", "Height", "0"},
        {"Line7", "Top", "207.87415"},
        {"Line7", "Frame.Typ", "4"},
        {"Line7", "Frame.Color", "0"},
        {"Line3", "Top", "623.62245"},
        {"Line8", "Left", "0"},
        {"Line8", "Top", "415.7483"},
        {"Line10", "Left", "113.3859"},
        {"Line10", "Frame.Color", "8421504"},
        {"Line10", "Frame.LeftLine.Color", "8421504"},
        {"Line10", "Frame.Typ", "4"},
        {"Line10", "Diagonal", "False"},
        {"Line26", "Left", "680.3154"},
        {"Line13", "Top", "831.4966"},
        {"Line33", "Left", "264.5671"},
        {"Line45", "Left", "9.77953"},
        {"Line45", "Width", "0"},
        {"Line45", "Height", "7.55906"},
        {"Line45", "Frame.Typ", "1"},
        {"Line52", "Left", "6"},
        {"Line52", "Top", "776.52953"},
        {"Line52", "Width", "7.55906"},
        {"Line52", "Frame.Typ", "4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.object) + "." + c.property);
        EXPECT_EQ(propertyText(object(c.object), c.property), c.expected);
    }
}

TEST_F(BuiltinDesign, EveryTextHasItsOwnArialFont)
{
    int texts = 0;
    for (ReportObject* object : report.pages(1)->objects()) {
        const auto* memo = dynamic_cast<TextObject*>(object);
        if (!memo)
            continue;
        SCOPED_TRACE(memo->name().toStdString());
        ++texts;
        EXPECT_FALSE(memo->parentFont());
        EXPECT_EQ(memo->font().name(), "Arial");
        EXPECT_EQ(memo->font().charset(), 1);
        EXPECT_EQ(memo->font().size(), qRound(-memo->font().height() * 72 / 96.0));
    }
    EXPECT_EQ(texts, 25);
}

TEST_F(BuiltinDesign, CopyRepeatsTheReceiptOneHundredTenMillimetresLower)
{
    const std::pair<const char*, const char*> pairs[] = {
        {"Shape3", "Shape6"}, {"Shape1", "Shape8"}, {"Shape2", "Shape11"}, {"Memo1", "Memo12"},
        {"Memo2", "Memo13"}, {"Memo3", "Memo14"}, {"Memo4", "Memo15"}, {"Memo5", "Memo16"},
        {"Memo6", "Memo17"}, {"Line1", "Line2"}, {"Memo7", "Memo18"}, {"Memo8", "Memo19"},
        {"Memo9", "Memo20"}, {"Memo10", "Memo21"}, {"Memo11", "Memo22"}, {"Line5", "Line4"},
        {"Shape7", "Shape12"}, {"Memo24", "Memo23"},
    };
    for (const auto& [originalName, copyName] : pairs) {
        SCOPED_TRACE(std::string(originalName) + " / " + copyName);
        ReportObject& original = object(originalName);
        ReportObject& copy = object(copyName);
        EXPECT_EQ(copy.className(), original.className());
        EXPECT_NEAR(copy.top() - original.top(), 415.7483, 1e-9);
        expectSameProperties(original, copy);
    }
}

TEST_F(BuiltinDesign, CarriesTheReportSettings)
{
    EXPECT_EQ(report.version(), "4.13.2");
    EXPECT_FALSE(report.dotMatrixReport());
    EXPECT_EQ(report.iniFile(), "\\Software\\Tarvik");
    EXPECT_EQ(report.previewOptions().buttons(), 4095);
    EXPECT_EQ(report.previewOptions().zoom(), 1.0);
    EXPECT_EQ(report.printOptions().printer(), "Default");
    EXPECT_EQ(report.printOptions().printOnSheet(), 0);
    EXPECT_EQ(report.reportOptions().createDate(), 44014.5821982407);
    EXPECT_EQ(report.reportOptions().lastChange(), 44018.6557033912);
    EXPECT_EQ(report.scriptLanguage(), "PascalScript");
    EXPECT_EQ(report.scriptText(), (QStringList{"begin", "", "end."}));

    QStringList headers;
    for (int i = 0; i < report.variables().count(); ++i) {
        headers.append(report.variables().item(i).name());
        EXPECT_TRUE(report.variables().item(i).value().isNull()) << i;
    }
    EXPECT_EQ(headers, (QStringList{" Netto", " Brutto", " SumSteuern", " QID", " QDate", " Von", " Fuer", " Ort",
        " BetragInWorten"}));
    EXPECT_EQ(report.styles().count(), 0);
}

TEST(BuiltinDesignReapplied, ReplacesWhatTheReportHeld)
{
    Report report;
    applyBuiltinDesign(report);
    report.previewOptions().setZoom(2);
    report.variables().setValue("Extra", 1);
    report.add<ReportPage>()->setName("Page2");
    applyBuiltinDesign(report);
    EXPECT_EQ(report.pagesCount(), 2);
    EXPECT_EQ(report.pages(1)->objects().size(), 85u);
    EXPECT_EQ(report.variables().count(), 9);
    EXPECT_EQ(report.previewOptions().zoom(), 1.0);
}
