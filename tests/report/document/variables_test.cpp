#include "report/document/styles.h"
#include "report/document/variables.h"

#include "property_checks.h"
#include "runtime/exception.h"

#include "tests/support/qt_printers.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::checks;

namespace {

const QStringList receiptCategories{"Netto", "Brutto", "SumSteuern", "QID", "QDate", "Von", "Fuer", "Ort",
    "BetragInWorten"};

// The variable list of the built-in receipt design: category headers only.
class ReceiptVariables : public testing::Test {
protected:
    void SetUp() override
    {
        for (const QString& category : receiptCategories)
            variables.SetValue(QLatin1Char(' ') + category, Variant::null());
    }

    QStringList Names() const
    {
        QStringList names;
        for (int i = 0; i < variables.Count(); ++i)
            names.append(variables.Items(i).Name());
        return names;
    }

    QStringList Headers() const
    {
        QStringList headers;
        for (const QString& category : receiptCategories)
            headers.append(QLatin1Char(' ') + category);
        return headers;
    }

    QStringList VariablesOf(const QString& category) const
    {
        QStringList list{"stale"};
        variables.GetVariablesList(category, list);
        return list;
    }

    TfrxVariables variables;
};

} // namespace

TEST(Variable, TableIsNameAndValue)
{
    TfrxVariable variable;
    EXPECT_EQ(DescribeTable(variable.Properties()),
        (QStringList{"Name String = (always)", "Value Variant = (always)"}));
}

TEST_F(ReceiptVariables, HeadersAreFoundOnlyWithTheirBlank)
{
    EXPECT_EQ(variables.IndexOf("Netto"), -1);
    EXPECT_EQ(variables.IndexOf(" Netto"), 0);
    EXPECT_EQ(variables.IndexOf(" betraginworten"), 8);
    EXPECT_TRUE(variables.Items(0).IsCategory());
}

TEST_F(ReceiptVariables, CategoriesAreTheHeaderNamesWithoutTheBlank)
{
    QStringList list{"kept"};
    variables.GetCategoriesList(list);
    EXPECT_EQ(list, receiptCategories);
    list = QStringList{"kept"};
    variables.GetCategoriesList(list, false);
    EXPECT_EQ(list, QStringList{"kept"} + receiptCategories);
}

TEST_F(ReceiptVariables, ValuesByName)
{
    EXPECT_TRUE(variables.GetValue("Netto").isNull());
    variables.SetValue("netto", Variant(QStringLiteral("84,03")));
    EXPECT_EQ(variables.Count(), 10);
    variables.SetValue("NETTO", Variant(5));
    EXPECT_EQ(variables.Count(), 10);
    EXPECT_EQ(variables.Items(9).Name(), QStringLiteral("netto"));
    EXPECT_EQ(variables.GetValue("Netto"), Variant(5));
}

TEST_F(ReceiptVariables, AddVariableNeedsAnExistingCategory)
{
    variables.AddVariable("Nothing", "X", Variant(1));
    EXPECT_EQ(Names(), Headers());
}

TEST_F(ReceiptVariables, AddVariableGoesToTheEndOfItsCategory)
{
    variables.AddVariable("netto", "Betrag", Variant(1));
    variables.AddVariable("Netto", "Satz", Variant(2));
    variables.AddVariable("BetragInWorten", "Worte", Variant(3));
    // An existing name anywhere only gets the new value.
    variables.AddVariable("Ort", "betrag", Variant(4));
    QStringList expected = Headers();
    expected.insert(1, "Betrag");
    expected.insert(2, "Satz");
    expected.append("Worte");
    EXPECT_EQ(Names(), expected);
    EXPECT_EQ(variables.GetValue("Betrag"), Variant(4));
}

TEST_F(ReceiptVariables, VariablesOfACategory)
{
    variables.AddVariable("Brutto", "B1", Variant(1));
    variables.AddVariable("Brutto", "B2", Variant(2));
    variables.Insert(0).SetName("Frei");
    EXPECT_EQ(VariablesOf("Brutto"), (QStringList{"B1", "B2"}));
    EXPECT_EQ(VariablesOf(""), QStringList{"Frei"});
    EXPECT_EQ(VariablesOf("Netto"), QStringList{});
    EXPECT_EQ(VariablesOf("Nothing"), QStringList{});
}

TEST_F(ReceiptVariables, DeletingCategoriesAndVariables)
{
    variables.AddVariable("Brutto", "B1", Variant(1));
    variables.AddVariable("Brutto", "B2", Variant(2));
    variables.AddVariable("SumSteuern", "S1", Variant(3));
    variables.DeleteCategory("Brutto");
    variables.DeleteCategory("Nothing");
    variables.DeleteVariable("s1");
    variables.DeleteVariable("Nothing");
    QStringList expected = Headers();
    expected.removeAt(1);
    EXPECT_EQ(Names(), expected);
    // The last category runs to the end of the list.
    variables.AddVariable("BetragInWorten", "W", Variant(4));
    variables.DeleteCategory("BetragInWorten");
    EXPECT_EQ(Names(), expected.mid(0, 7));
}

TEST(Variables, IndexOutsideTheList)
{
    TfrxVariables variables;
    variables.Add().SetName("A");
    try {
        variables.Items(1);
        FAIL() << "no error";
    } catch (const EListError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("Listenindex überschreitet das Maximum (1)"));
    }
    EXPECT_THROW(variables.Delete(-1), EListError);
}

TEST(Styles, TableAndFindByName)
{
    TfrxStyles styles;
    TfrxStyleItem& title = styles.Add();
    EXPECT_EQ(DescribeTable(title.Properties()),
        (QStringList{"Name String = (always)", "Color Color = (always)", "Font Nested", "Frame Nested"}));
    title.SetName("Title");
    styles.Add().SetName("Body");
    EXPECT_EQ(styles.Find("TITLE"), &title);
    EXPECT_EQ(styles.Find("Footer"), nullptr);
    EXPECT_EQ(title.Color(), clNone);
    ExpectSettersReachTheirGetters(title);
    styles.Clear();
    EXPECT_EQ(styles.Count(), 0);
}

TEST(VariablesFile, TheListTravelsAsAnXmlDocumentOfItsOwn)
{
    TfrxVariables variables;
    variables.Add().SetName(QStringLiteral(" Netto"));
    TfrxVariable& rate = variables.Add();
    rate.SetName(QStringLiteral("Satz"));
    rate.SetValue(Variant(QStringLiteral("19 % \"voll\"")));
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        variables.SaveToStream(buffer);
    }
    EXPECT_EQ(bytes, QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\r\n"
                                "<variables>\r\n"
                                "  <item Name=\" Netto\" Value=\"\"/>\r\n"
                                "  <item Name=\"Satz\" Value=\"19 % &#34;voll&#34;\"/>\r\n"
                                "</variables>\r\n"));
    TfrxVariables again;
    again.Add().SetName(QStringLiteral("Alt"));
    QBuffer input(&bytes);
    input.open(QIODevice::ReadOnly);
    again.LoadFromStream(input);
    ASSERT_EQ(again.Count(), 2);
    EXPECT_EQ(again.Items(1).Value(), Variant(QStringLiteral("19 % \"voll\"")));

    // Another document empties the list and adds nothing.
    QByteArray other("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><TfrxReport><item Name=\"X\"/></TfrxReport>");
    QBuffer otherInput(&other);
    otherInput.open(QIODevice::ReadOnly);
    again.LoadFromStream(otherInput);
    EXPECT_EQ(again.Count(), 0);
}
