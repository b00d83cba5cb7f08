// The receipt templates shipped in forms/: they load cleanly, fit their paper and carry the receipt
// and its copy with every value the program supplies.

#include "report/document/engine_host.h"
#include "report/document/text_object.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/units.h"
#include "tests/support/qt_printers.h"
#include "tests/support/recording_engine_host.h"

#include <QBuffer>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>
#include <string>

using namespace quittung;
using namespace quittung::report;

namespace {


struct TemplateFile {
    const char* name;
    int paperSize;
    double width; // report pixels
    double height;
};

void PrintTo(const TemplateFile& file, std::ostream* os)
{
    *os << file.name;
}

const QStringList ReceiptVariables{"QID", "Ort", "QDate", "Von", "Fuer", "Netto", "MwSt", "Brutto", "BetragInWorten",
    "SumSteuern"};

QString formPath(const char* name)
{
    return QStringLiteral(QUITTUNG_FORMS_DIR "/") + QLatin1String(name);
}

QStringList memoTexts(const ReportPage& page)
{
    QStringList texts;
    for (const auto& object : page.children())
        if (const auto* memo = dynamic_cast<const TextObject*>(object.get()))
            texts << memo->lines().join(QLatin1Char('\n'));
    return texts;
}

// The text object whose text names the variable.
const TextObject* memoUsing(const ReportPage& page, const QString& variable)
{
    for (const auto& object : page.children())
        if (const auto* memo = dynamic_cast<const TextObject*>(object.get()))
            if (memo->text().contains(QLatin1Char('[') + variable + QLatin1Char(']'))
                || memo->text().contains(QLatin1Char('<') + variable + QLatin1Char('>')))
                return memo;
    return nullptr;
}

// The object as the template writes it, without its name.
QByteArray writtenWithoutName(ReportObject& object)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    object.saveToStream(buffer);
    return QString::fromUtf8(bytes).remove(QRegularExpression(QStringLiteral(" Name=\"[^\"]*\""))).toUtf8();
}

// The first line where two writings of a template differ, to keep a failure readable.
std::string firstDifference(const QByteArray& actual, const QByteArray& expected)
{
    const QList<QByteArray> actualLines = actual.split('\n');
    const QList<QByteArray> expectedLines = expected.split('\n');
    for (qsizetype i = 0; i < std::min(actualLines.size(), expectedLines.size()); ++i)
        if (actualLines[i] != expectedLines[i])
            return "line " + std::to_string(i + 1) + ":\n  " + actualLines[i].toStdString() + "\nexpected\n  "
                + expectedLines[i].toStdString();
    return "lengths " + std::to_string(actual.size()) + " and " + std::to_string(expected.size());
}

class ReceiptTemplates : public testing::TestWithParam<TemplateFile> {
protected:
    ReceiptTemplates()
    {
        RecordingEngineHost host;
        loaded = report.loadFromFile(formPath(GetParam().name));
        loadMessages = host.shown;
    }

    ReportPage& receiptPage(int index)
    {
        auto* page = dynamic_cast<ReportPage*>(report.pages(index));
        if (!page)
            throw std::runtime_error("page " + std::to_string(index) + " is no report page");
        return *page;
    }

    Report report;
    bool loaded = false;
    QStringList loadMessages;
};

TEST_P(ReceiptTemplates, LoadsWithoutAnyMessage)
{
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(report.errors().isEmpty()) << report.errors().strings().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(loadMessages.isEmpty()) << loadMessages.join(QLatin1Char('\n')).toStdString();
}

TEST_P(ReceiptTemplates, HoldsTheDataPageAndTwoPortraitReceiptPages)
{
    ASSERT_EQ(report.pagesCount(), 3);
    const auto* data = dynamic_cast<DataPage*>(report.pages(0));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->name(), "Data");
    EXPECT_TRUE(data->children().empty());
    for (int index : {1, 2}) {
        SCOPED_TRACE(index);
        const auto* page = dynamic_cast<ReportPage*>(report.pages(index));
        ASSERT_TRUE(page);
        EXPECT_TRUE(page->visible());
        EXPECT_EQ(page->paperSize(), GetParam().paperSize);
        EXPECT_EQ(page->orientation(), PageOrientation::Portrait);
        EXPECT_EQ(page->width(), GetParam().width);
        EXPECT_EQ(page->height(), GetParam().height);
        for (double margin : {page->leftMargin(), page->rightMargin(), page->topMargin(), page->bottomMargin()})
            EXPECT_GE(margin, 10);
    }
}

TEST_P(ReceiptTemplates, PlacesUniquelyNamedObjectsDirectlyOnThePagesInsideThePrintableArea)
{
    ASSERT_EQ(report.pagesCount(), 3);
    std::set<QString> names;
    int objects = 0;
    for (int index : {1, 2}) {
        const ReportPage& page = receiptPage(index);
        const double width = (page.paperWidth() - page.leftMargin() - page.rightMargin()) * PixelsPerMm;
        const double height = (page.paperHeight() - page.topMargin() - page.bottomMargin()) * PixelsPerMm;
        ASSERT_FALSE(page.children().empty());
        for (const auto& object : page.children()) {
            SCOPED_TRACE(object->name().toStdString());
            EXPECT_TRUE(dynamic_cast<const View*>(object.get()));
            EXPECT_TRUE(object->children().empty());
            EXPECT_FALSE(object->name().isEmpty());
            names.insert(object->name().toLower());
            ++objects;
            EXPECT_GE(object->left(), 0);
            EXPECT_GE(object->top(), 0);
            EXPECT_LE(object->left() + object->width(), width + 1e-6);
            EXPECT_LE(object->top() + object->height(), height + 1e-6);
        }
    }
    EXPECT_EQ(int(names.size()), objects);
}

TEST_P(ReceiptTemplates, UsesEveryReceiptVariableOnBothPagesAndMarksOnlyTheSecondAsCopy)
{
    ASSERT_EQ(report.pagesCount(), 3);
    for (int index : {1, 2}) {
        SCOPED_TRACE(index);
        for (const QString& variable : ReceiptVariables)
            EXPECT_TRUE(memoUsing(receiptPage(index), variable)) << variable.toStdString();
    }
    EXPECT_EQ(memoTexts(receiptPage(1)).filter(QStringLiteral("(Kopie)")).size(), 0);
    EXPECT_EQ(memoTexts(receiptPage(2)).filter(QStringLiteral("(Kopie)")), QStringList{"(Kopie)"});
}

TEST_P(ReceiptTemplates, CopyIsTheReceiptPlusTheGreyMark)
{
    ASSERT_EQ(report.pagesCount(), 3);
    const auto& receipt = receiptPage(1).children();
    const auto& copy = receiptPage(2).children();
    ASSERT_EQ(copy.size(), receipt.size() + 1);
    for (std::size_t i = 0; i < receipt.size(); ++i) {
        SCOPED_TRACE(receipt[i]->name().toStdString());
        EXPECT_EQ(writtenWithoutName(*copy[i]), writtenWithoutName(*receipt[i]));
    }
    const auto* mark = dynamic_cast<const TextObject*>(copy.back().get());
    ASSERT_TRUE(mark);
    EXPECT_EQ(mark->lines(), QStringList{"(Kopie)"});
    EXPECT_EQ(mark->font().color(), colors::Gray);
}

// Room for the longest values: the lines a field shows in its own font inside its frame and gaps.
TEST_P(ReceiptTemplates, FieldsHaveRoomForLongValuesAndAmountsStandRight)
{
    struct Field {
        const char* variable;
        int lines;
        bool wordBreak;
    };
    const Field fields[] = {
        {"Fuer", 4, false},
        {"BetragInWorten", 2, true},
        {"Von", 2, false},
    };
    ASSERT_EQ(report.pagesCount(), 3);
    for (int index : {1, 2}) {
        const ReportPage& page = receiptPage(index);
        for (const Field& field : fields) {
            SCOPED_TRACE(field.variable);
            const TextObject* memo = memoUsing(page, QLatin1String(field.variable));
            ASSERT_TRUE(memo);
            EXPECT_GE(memo->font().size(), 10);
            EXPECT_TRUE(memo->wordWrap());
            EXPECT_EQ(memo->wordBreak(), field.wordBreak);
            // The line height of the field's own font: the text measured at 600 dpi plus the spacing.
            const double lineHeight = std::round(memo->font().size() * 600.0 / 72.0) / 6.25 + memo->lineSpacing();
            const double inside = memo->height() - 2 * memo->gapY() - memo->frame().width();
            EXPECT_GE(std::floor(inside / lineHeight), field.lines);
        }
        for (const char* amount : {"Netto", "SumSteuern", "Brutto"}) {
            SCOPED_TRACE(amount);
            const TextObject* memo = memoUsing(page, QLatin1String(amount));
            ASSERT_TRUE(memo);
            EXPECT_TRUE(memo->text().contains(QStringLiteral("--[<") + QLatin1String(amount) + "> #n%2,2f]--€"));
            EXPECT_EQ(memo->hAlign(), HAlign::Right);
        }
    }
}

TEST_P(ReceiptTemplates, SavesBackByteForByte)
{
    QFile file(formPath(GetParam().name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();

    QByteArray saved;
    QBuffer buffer(&saved);
    buffer.open(QIODevice::WriteOnly);
    report.saveToStream(buffer);
    EXPECT_TRUE(saved == original) << firstDifference(saved, original);
}

INSTANTIATE_TEST_SUITE_P(, ReceiptTemplates,
    testing::Values(TemplateFile{"Quittung.Dat", 11, 559, 794}, TemplateFile{"QuittungA4.Dat", 9, 794, 1123}),
    [](const testing::TestParamInfo<TemplateFile>& file) { return file.param.paperSize == 11 ? "A5" : "A4"; });

} // namespace
