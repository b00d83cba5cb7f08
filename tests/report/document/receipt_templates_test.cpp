// The receipt templates shipped in forms/: they load cleanly, fit their paper and carry the receipt
// and its copy with every value the program supplies.

#include "report/document/engine_host.h"
#include "report/document/memo_view.h"
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

QString FormPath(const char* name)
{
    return QStringLiteral(QUITTUNG_FORMS_DIR "/") + QLatin1String(name);
}

QStringList MemoTexts(const TfrxReportPage& page)
{
    QStringList texts;
    for (const auto& object : page.Children())
        if (const auto* memo = dynamic_cast<const TfrxMemoView*>(object.get()))
            texts << memo->Memo().join(QLatin1Char('\n'));
    return texts;
}

// The text object whose text names the variable.
const TfrxMemoView* MemoUsing(const TfrxReportPage& page, const QString& variable)
{
    for (const auto& object : page.Children())
        if (const auto* memo = dynamic_cast<const TfrxMemoView*>(object.get()))
            if (memo->Text().contains(QLatin1Char('[') + variable + QLatin1Char(']'))
                || memo->Text().contains(QLatin1Char('<') + variable + QLatin1Char('>')))
                return memo;
    return nullptr;
}

// The object as the template writes it, without its name.
QByteArray WrittenWithoutName(TfrxComponent& object)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    object.SaveToStream(buffer);
    return QString::fromUtf8(bytes).remove(QRegularExpression(QStringLiteral(" Name=\"[^\"]*\""))).toUtf8();
}

// The first line where two writings of a template differ, to keep a failure readable.
std::string FirstDifference(const QByteArray& actual, const QByteArray& expected)
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
        loaded = report.LoadFromFile(FormPath(GetParam().name));
        loadMessages = host.shown;
    }

    TfrxReportPage& ReceiptPage(int index)
    {
        auto* page = dynamic_cast<TfrxReportPage*>(report.Pages(index));
        if (!page)
            throw std::runtime_error("page " + std::to_string(index) + " is no report page");
        return *page;
    }

    TfrxReport report;
    bool loaded = false;
    QStringList loadMessages;
};

TEST_P(ReceiptTemplates, LoadsWithoutAnyMessage)
{
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(report.Errors().IsEmpty()) << report.Errors().Strings().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(loadMessages.isEmpty()) << loadMessages.join(QLatin1Char('\n')).toStdString();
}

TEST_P(ReceiptTemplates, HoldsTheDataPageAndTwoPortraitReceiptPages)
{
    ASSERT_EQ(report.PagesCount(), 3);
    const auto* data = dynamic_cast<TfrxDataPage*>(report.Pages(0));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->Name(), "Data");
    EXPECT_TRUE(data->Children().empty());
    for (int index : {1, 2}) {
        SCOPED_TRACE(index);
        const auto* page = dynamic_cast<TfrxReportPage*>(report.Pages(index));
        ASSERT_TRUE(page);
        EXPECT_TRUE(page->Visible());
        EXPECT_EQ(page->PaperSize(), GetParam().paperSize);
        EXPECT_EQ(page->Orientation(), TPrinterOrientation::poPortrait);
        EXPECT_EQ(page->Width(), GetParam().width);
        EXPECT_EQ(page->Height(), GetParam().height);
        for (double margin : {page->LeftMargin(), page->RightMargin(), page->TopMargin(), page->BottomMargin()})
            EXPECT_GE(margin, 10);
    }
}

TEST_P(ReceiptTemplates, PlacesUniquelyNamedObjectsDirectlyOnThePagesInsideThePrintableArea)
{
    ASSERT_EQ(report.PagesCount(), 3);
    std::set<QString> names;
    int objects = 0;
    for (int index : {1, 2}) {
        const TfrxReportPage& page = ReceiptPage(index);
        const double width = (page.PaperWidth() - page.LeftMargin() - page.RightMargin()) * PixelsPerMm;
        const double height = (page.PaperHeight() - page.TopMargin() - page.BottomMargin()) * PixelsPerMm;
        ASSERT_FALSE(page.Children().empty());
        for (const auto& object : page.Children()) {
            SCOPED_TRACE(object->Name().toStdString());
            EXPECT_TRUE(dynamic_cast<const TfrxView*>(object.get()));
            EXPECT_TRUE(object->Children().empty());
            EXPECT_FALSE(object->Name().isEmpty());
            names.insert(object->Name().toLower());
            ++objects;
            EXPECT_GE(object->Left(), 0);
            EXPECT_GE(object->Top(), 0);
            EXPECT_LE(object->Left() + object->Width(), width + 1e-6);
            EXPECT_LE(object->Top() + object->Height(), height + 1e-6);
        }
    }
    EXPECT_EQ(int(names.size()), objects);
}

TEST_P(ReceiptTemplates, UsesEveryReceiptVariableOnBothPagesAndMarksOnlyTheSecondAsCopy)
{
    ASSERT_EQ(report.PagesCount(), 3);
    for (int index : {1, 2}) {
        SCOPED_TRACE(index);
        for (const QString& variable : ReceiptVariables)
            EXPECT_TRUE(MemoUsing(ReceiptPage(index), variable)) << variable.toStdString();
    }
    EXPECT_EQ(MemoTexts(ReceiptPage(1)).filter(QStringLiteral("(Kopie)")).size(), 0);
    EXPECT_EQ(MemoTexts(ReceiptPage(2)).filter(QStringLiteral("(Kopie)")), QStringList{"(Kopie)"});
}

TEST_P(ReceiptTemplates, CopyIsTheReceiptPlusTheGreyMark)
{
    ASSERT_EQ(report.PagesCount(), 3);
    const auto& receipt = ReceiptPage(1).Children();
    const auto& copy = ReceiptPage(2).Children();
    ASSERT_EQ(copy.size(), receipt.size() + 1);
    for (std::size_t i = 0; i < receipt.size(); ++i) {
        SCOPED_TRACE(receipt[i]->Name().toStdString());
        EXPECT_EQ(WrittenWithoutName(*copy[i]), WrittenWithoutName(*receipt[i]));
    }
    const auto* mark = dynamic_cast<const TfrxMemoView*>(copy.back().get());
    ASSERT_TRUE(mark);
    EXPECT_EQ(mark->Memo(), QStringList{"(Kopie)"});
    EXPECT_EQ(mark->Font().Color(), clGray);
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
    ASSERT_EQ(report.PagesCount(), 3);
    for (int index : {1, 2}) {
        const TfrxReportPage& page = ReceiptPage(index);
        for (const Field& field : fields) {
            SCOPED_TRACE(field.variable);
            const TfrxMemoView* memo = MemoUsing(page, QLatin1String(field.variable));
            ASSERT_TRUE(memo);
            EXPECT_GE(memo->Font().Size(), 10);
            EXPECT_TRUE(memo->WordWrap());
            EXPECT_EQ(memo->WordBreak(), field.wordBreak);
            // The line height of the field's own font: the text measured at 600 dpi plus the spacing.
            const double lineHeight = std::round(memo->Font().Size() * 600.0 / 72.0) / 6.25 + memo->LineSpacing();
            const double inside = memo->Height() - 2 * memo->GapY() - memo->Frame().Width();
            EXPECT_GE(std::floor(inside / lineHeight), field.lines);
        }
        for (const char* amount : {"Netto", "SumSteuern", "Brutto"}) {
            SCOPED_TRACE(amount);
            const TfrxMemoView* memo = MemoUsing(page, QLatin1String(amount));
            ASSERT_TRUE(memo);
            EXPECT_TRUE(memo->Text().contains(QStringLiteral("--[<") + QLatin1String(amount) + "> #n%2,2f]--€"));
            EXPECT_EQ(memo->HAlign(), TfrxHAlign::haRight);
        }
    }
}

TEST_P(ReceiptTemplates, SavesBackByteForByte)
{
    QFile file(FormPath(GetParam().name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();

    QByteArray saved;
    QBuffer buffer(&saved);
    buffer.open(QIODevice::WriteOnly);
    report.SaveToStream(buffer);
    EXPECT_TRUE(saved == original) << FirstDifference(saved, original);
}

INSTANTIATE_TEST_SUITE_P(, ReceiptTemplates,
    testing::Values(TemplateFile{"Quittung.Dat", 11, 559, 794}, TemplateFile{"QuittungA4.Dat", 9, 794, 1123}),
    [](const testing::TestParamInfo<TemplateFile>& file) { return file.param.paperSize == 11 ? "A5" : "A4"; });

} // namespace
