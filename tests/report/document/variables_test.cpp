#include "report/document/styles.h"
#include "report/document/variables.h"

#include "property_checks.h"
#include "runtime/exception.h"

#include "tests/support/qt_printers.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::report;
using namespace quittung::report::checks;

namespace {

const QStringList receiptCategories{"Netto", "Brutto", "SumSteuern", "QID", "QDate", "Von", "Fuer", "Ort",
    "BetragInWorten"};

// The variable list of the built-in receipt design: category headers only.
class ReceiptVariables : public testing::Test {
protected:
    void SetUp() override
    {
        for (const QString& category : receiptCategories)
            variables.setValue(QLatin1Char(' ') + category, Variant::null());
    }

    QStringList names() const
    {
        QStringList names;
        for (int i = 0; i < variables.count(); ++i)
            names.append(variables.item(i).name());
        return names;
    }

    QStringList headers() const
    {
        QStringList headers;
        for (const QString& category : receiptCategories)
            headers.append(QLatin1Char(' ') + category);
        return headers;
    }

    QStringList variablesOf(const QString& category) const
    {
        QStringList list{"stale"};
        variables.getVariablesList(category, list);
        return list;
    }

    Variables variables;
};

} // namespace

TEST(Variable, TableIsNameAndValue)
{
    Variable variable;
    EXPECT_EQ(describeTable(variable.properties()),
        (QStringList{"Name String = (always)", "Value Variant = (always)"}));
}

TEST_F(ReceiptVariables, HeadersAreFoundOnlyWithTheirBlank)
{
    EXPECT_EQ(variables.indexOf("Netto"), -1);
    EXPECT_EQ(variables.indexOf(" Netto"), 0);
    EXPECT_EQ(variables.indexOf(" betraginworten"), 8);
    EXPECT_TRUE(variables.item(0).isCategory());
}

TEST_F(ReceiptVariables, CategoriesAreTheHeaderNamesWithoutTheBlank)
{
    QStringList list{"kept"};
    variables.getCategoriesList(list);
    EXPECT_EQ(list, receiptCategories);
    list = QStringList{"kept"};
    variables.getCategoriesList(list, false);
    EXPECT_EQ(list, QStringList{"kept"} + receiptCategories);
}

TEST_F(ReceiptVariables, ValuesByName)
{
    EXPECT_TRUE(variables.getValue("Netto").isNull());
    variables.setValue("netto", Variant(QStringLiteral("84,03")));
    EXPECT_EQ(variables.count(), 10);
    variables.setValue("NETTO", Variant(5));
    EXPECT_EQ(variables.count(), 10);
    EXPECT_EQ(variables.item(9).name(), QStringLiteral("netto"));
    EXPECT_EQ(variables.getValue("Netto"), Variant(5));
}

TEST_F(ReceiptVariables, AddVariableNeedsAnExistingCategory)
{
    variables.addVariable("Nothing", "X", Variant(1));
    EXPECT_EQ(names(), headers());
}

TEST_F(ReceiptVariables, AddVariableGoesToTheEndOfItsCategory)
{
    variables.addVariable("netto", "Betrag", Variant(1));
    variables.addVariable("Netto", "Satz", Variant(2));
    variables.addVariable("BetragInWorten", "Worte", Variant(3));
    // An existing name anywhere only gets the new value.
    variables.addVariable("Ort", "betrag", Variant(4));
    QStringList expected = headers();
    expected.insert(1, "Betrag");
    expected.insert(2, "Satz");
    expected.append("Worte");
    EXPECT_EQ(names(), expected);
    EXPECT_EQ(variables.getValue("Betrag"), Variant(4));
}

TEST_F(ReceiptVariables, VariablesOfACategory)
{
    variables.addVariable("Brutto", "B1", Variant(1));
    variables.addVariable("Brutto", "B2", Variant(2));
    variables.insert(0).setName("Frei");
    EXPECT_EQ(variablesOf("Brutto"), (QStringList{"B1", "B2"}));
    EXPECT_EQ(variablesOf(""), QStringList{"Frei"});
    EXPECT_EQ(variablesOf("Netto"), QStringList{});
    EXPECT_EQ(variablesOf("Nothing"), QStringList{});
}

TEST_F(ReceiptVariables, DeletingCategoriesAndVariables)
{
    variables.addVariable("Brutto", "B1", Variant(1));
    variables.addVariable("Brutto", "B2", Variant(2));
    variables.addVariable("SumSteuern", "S1", Variant(3));
    variables.deleteCategory("Brutto");
    variables.deleteCategory("Nothing");
    variables.deleteVariable("s1");
    variables.deleteVariable("Nothing");
    QStringList expected = headers();
    expected.removeAt(1);
    EXPECT_EQ(names(), expected);
    // The last category runs to the end of the list.
    variables.addVariable("BetragInWorten", "W", Variant(4));
    variables.deleteCategory("BetragInWorten");
    EXPECT_EQ(names(), expected.mid(0, 7));
}

TEST(Variables, IndexOutsideTheList)
{
    Variables variables;
    variables.add().setName("A");
    try {
        variables.item(1);
        FAIL() << "no error";
    } catch (const ListIndexError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("Listenindex überschreitet das Maximum (1)"));
    }
    EXPECT_THROW(variables.remove(-1), ListIndexError);
}

TEST(Styles, TableAndFindByName)
{
    Styles styles;
    Style& title = styles.add();
    EXPECT_EQ(describeTable(title.properties()),
        (QStringList{"Name String = (always)", "Color Color = (always)", "Font Nested", "Frame Nested"}));
    title.setName("Title");
    styles.add().setName("Body");
    EXPECT_EQ(styles.find("TITLE"), &title);
    EXPECT_EQ(styles.find("Footer"), nullptr);
    EXPECT_EQ(title.color(), colors::None);
    expectSettersReachTheirGetters(title);
    styles.clear();
    EXPECT_EQ(styles.count(), 0);
}

TEST(VariablesFile, TheListTravelsAsAnXmlDocumentOfItsOwn)
{
    Variables variables;
    variables.add().setName(QStringLiteral(" Netto"));
    Variable& rate = variables.add();
    rate.setName(QStringLiteral("Satz"));
    rate.setValue(Variant(QStringLiteral("19 % \"voll\"")));
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        variables.saveToStream(buffer);
    }
    EXPECT_EQ(bytes, QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\r\n"
                                "<variables>\r\n"
                                "  <item Name=\" Netto\" Value=\"\"/>\r\n"
                                "  <item Name=\"Satz\" Value=\"19 % &#34;voll&#34;\"/>\r\n"
                                "</variables>\r\n"));
    Variables again;
    again.add().setName(QStringLiteral("Alt"));
    QBuffer input(&bytes);
    input.open(QIODevice::ReadOnly);
    again.loadFromStream(input);
    ASSERT_EQ(again.count(), 2);
    EXPECT_EQ(again.item(1).value(), Variant(QStringLiteral("19 % \"voll\"")));

    // Another document empties the list and adds nothing.
    QByteArray other("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><TfrxReport><item Name=\"X\"/></TfrxReport>");
    QBuffer otherInput(&other);
    otherInput.open(QIODevice::ReadOnly);
    again.loadFromStream(otherInput);
    EXPECT_EQ(again.count(), 0);
}
