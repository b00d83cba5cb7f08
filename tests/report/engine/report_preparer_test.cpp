#include "report/document/builtin_design.h"
#include "report/document/band.h"
#include "report/document/text_object.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/engine/pages/report_preparer.h"
#include "tools/example_receipt.h"
#include "tests/support/qt_printers.h"
#include "tests/support/recording_engine_host.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <map>

using namespace quittung;
using namespace quittung::report;

namespace {

const QDateTime kNow(QDate(2020, 7, 3), QTime(12, 0));

// A report answering the example receipt, recording every name it was asked for.
struct ReceiptReport {
    ReceiptReport()
    {
        report.setLocaleSettings(FormatSettings::german());
        report.events().getValue = [this](const QString& name, Variant& value) {
            asked << name;
            const auto found = answers.find(name);
            if (found != answers.end())
                value = found->second;
        };
    }

    TextObject* addMemo(const QString& name, const QString& text)
    {
        if (report.pagesCount() == 0) {
            report.add<DataPage>()->setName(QStringLiteral("Data"));
            report.add<ReportPage>()->setName(QStringLiteral("Page1"));
        }
        auto* memo = report.pages(1)->add<TextObject>();
        memo->setName(name);
        memo->setText(text);
        return memo;
    }

    // The texts of the output page's objects by name.
    QStringList outputTexts(int page = 0)
    {
        QStringList texts;
        const ReportPage* output = engine.preparedPages().page(page);
        if (!output)
            return texts;
        for (ReportObject* object : output->allObjects()) {
            if (auto* memo = dynamic_cast<TextObjectBase*>(object))
                texts << memo->name() + QLatin1Char('=') + memo->lines().join(QLatin1Char('|'));
        }
        return texts;
    }

    QByteArray document()
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        report.saveToStream(buffer);
        return bytes;
    }

    RecordingEngineHost host;
    Report report{[] { return kNow; }};
    ReportPreparer engine{report, [] { return kNow; }};
    std::map<QString, Variant> answers = exampleReceipt();
    QStringList asked;
};

} // namespace

TEST(Expressions, TextObjectsExpandTheirExpressions)
{
    const struct {
        const char* text;
        const char* output;
    } rows[] = {
        {"Nr. [QID]", "Nr. 12"},
        {"[Ort], [QDate]", "Berlin, 03.07.2020"},
        {"--[<Netto> #n%2,2f]--€", "--100,00--€"},
        {"--[<SumSteuern> #n%2,2f]--€", "--19,00--€"},
        {"Für: [Fuer]", "Für: Miete|Juli"},
        {"[Fuer]\r\nEnde", "Miete|Juli|Ende"},
        {"ohne Ausdruck", "ohne Ausdruck"},
        {"[QID] und [Klammer]", "12 und [x]"},
        {"['[QID]']", "[QID]"},
        {"[IIF(<MwSt> = '19', 'voll', 'ermäßigt')]", "voll"},
        {"[1 + 2 * 3]", "7"},
        {"[Leer]", ""},
        {"[<Brutto> #n%2.2f]", "119.00"},
    };
    for (const auto& row : rows) {
        ReceiptReport r;
        r.answers[QStringLiteral("Klammer")] = Variant(QStringLiteral("[x]"));
        r.answers[QStringLiteral("Leer")] = Variant::null();
        r.addMemo(QStringLiteral("Memo1"), QString::fromUtf8(row.text));
        EXPECT_TRUE(r.engine.prepareReport(true)) << row.text << r.host.shown.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(r.outputTexts(), QStringList(QStringLiteral("Memo1=") + QString::fromUtf8(row.output))) << row.text;
    }
}

TEST(Expressions, TheHostIsAskedWithTheNameAsItStands)
{
    ReceiptReport r;
    r.addMemo(QStringLiteral("Memo1"), QStringLiteral("[Ort], [QDate] [<Netto> #n%2,2f] [ QID ]"));
    r.engine.prepareReport(true);
    EXPECT_EQ(r.asked, QStringList({QStringLiteral("Ort"), QStringLiteral("QDate"), QStringLiteral("<Netto>"),
                           QStringLiteral("Netto"), QStringLiteral(" QID ")}));
}

// A preparer's own value source answers first; names it leaves empty go on to the report's event.
TEST(Expressions, ThePreparersValueSourceAnswersBeforeTheReport)
{
    ReceiptReport r;
    r.addMemo(QStringLiteral("Memo1"), QStringLiteral("[QID] [Ort]"));
    r.engine.setValueSource([](const QString& name, Variant& value) {
        if (name == QLatin1String("QID"))
            value = Variant(QStringLiteral("77"));
    });
    EXPECT_TRUE(r.engine.prepareReport(true));
    EXPECT_EQ(r.outputTexts(), QStringList(QStringLiteral("Memo1=77 Berlin")));
    EXPECT_EQ(r.asked, QStringList(QStringLiteral("Ort")));
}

TEST(Expressions, NumbersAreFormattedWithTheirOwnSeparator)
{
    ReceiptReport r;
    r.answers[QStringLiteral("Netto")] = Variant(1234.5);
    r.addMemo(QStringLiteral("Memo1"), QStringLiteral("--[<Netto> #n%2,2f]--€"));
    auto* zero = r.addMemo(QStringLiteral("Memo2"), QStringLiteral("[Null][NullText]"));
    zero->setHideZeros(true);
    r.answers[QStringLiteral("Null")] = Variant(qint64(0));
    r.answers[QStringLiteral("NullText")] = Variant(QStringLiteral("0"));
    r.addMemo(QStringLiteral("Memo3"), QStringLiteral("[QID]"))->setAllowExpressions(false);
    EXPECT_TRUE(r.engine.prepareReport(true));
    EXPECT_EQ(r.outputTexts(), QStringList({QStringLiteral("Memo1=--1234,50--€"), QStringLiteral("Memo2=0"),
                                   QStringLiteral("Memo3=[QID]")}));
}

TEST(Expressions, UnknownNamesAreReported)
{
    {
        ReceiptReport r;
        r.addMemo(QStringLiteral("Memo1"), QStringLiteral("[QID]"));
        r.addMemo(QStringLiteral("Memo2"), QStringLiteral("[Foo]"));
        EXPECT_FALSE(r.engine.prepareReport(true));
        EXPECT_EQ(r.host.shown, QStringList(QStringLiteral("Error|The following error(s) have occured:\r\n"
                                                           "Memo2: Error in expression 'Foo': Undeclared identifier: "
                                                           "'Foo'\r\n")));
        ASSERT_EQ(r.engine.preparedPages().count(), 1);
        EXPECT_TRUE(r.engine.preparedPages().page(0)->children().empty()) << "the page stays without its band";
    }
    {
        ReceiptReport r;
        r.addMemo(QStringLiteral("Memo1"), QStringLiteral("a[<Foo>]b"));
        EXPECT_FALSE(r.engine.prepareReport(true));
        EXPECT_EQ(r.outputTexts(), QStringList(QStringLiteral("Memo1=ab")));
        EXPECT_EQ(r.host.shown, QStringList(QStringLiteral("Error|The following error(s) have occured:\r\n"
                                                           "Unknown variable or datafield: Foo\r\n")));
    }
}

TEST(Expressions, OnlyAFloatDivisionByZeroIsIgnoredWhenAsked)
{
    const struct {
        const char* text;
        const char* error; // nothing: ignored, the value is null
    } rows[] = {
        {"a[1.5 / 0]b", nullptr},
        {"a[1 div 0]b", "Memo1: Division by zero"},
        // The host's own error is no division, though it reads like one.
        {"a[<Teiler>]b", "Memo1: Floating point division by zero"},
    };
    for (const auto& row : rows) {
        ReceiptReport r;
        r.report.engineOptions().setIgnoreDevByZero(true);
        r.report.events().getValue = [](const QString& name, Variant&) {
            if (name == QStringLiteral("Teiler"))
                throw Exception(QStringLiteral("Floating point division by zero"));
        };
        r.addMemo(QStringLiteral("Memo1"), QString::fromUtf8(row.text));
        EXPECT_EQ(r.engine.prepareReport(true), row.error == nullptr) << row.text;
        if (row.error) {
            EXPECT_EQ(r.host.shown, QStringList(QStringLiteral("Error|The following error(s) have occured:\r\n")
                                        + QString::fromUtf8(row.error) + QStringLiteral("\r\n")))
                << row.text;
        } else {
            EXPECT_EQ(r.outputTexts(), QStringList(QStringLiteral("Memo1=ab"))) << row.text;
        }
    }
}

TEST(Expressions, ReportVariablesHoldingTextAreEvaluatedAgain)
{
    ReceiptReport r;
    r.report.variables().setValue(QStringLiteral("Gesamt"), Variant(QStringLiteral("<Brutto> + 1")));
    r.report.variables().setValue(QStringLiteral("Selbst"), Variant(QStringLiteral("Selbst")));
    r.addMemo(QStringLiteral("Memo1"), QStringLiteral("[Gesamt]"));
    EXPECT_TRUE(r.engine.prepareReport(true));
    EXPECT_EQ(r.outputTexts(), QStringList(QStringLiteral("Memo1=120")));

    r.addMemo(QStringLiteral("Memo2"), QStringLiteral("[Selbst]"));
    EXPECT_FALSE(r.engine.prepareReport(true)) << "a variable holding itself ends, it does not recurse forever";
}

TEST(Expressions, AStringDoubledByAVariableEndsTheRunAtTheLimit)
{
    ReceiptReport r;
    // Each step stores the variable's string twice over, quoted, so that reading it back gives it.
    r.addMemo(QStringLiteral("Memo1"),
        QStringLiteral("[Set('a', '''x''')]")
            + QStringLiteral("[Set('a', '''' + <a> + <a> + '''')]").repeated(40));
    EXPECT_FALSE(r.engine.prepareReport(true));
    EXPECT_EQ(r.engine.errors().strings(), QStringList(QStringLiteral("Memo1: String too long")));
}

TEST(Expressions, FindBracketedExpressionKeepsQuotesAndNestingTogether)
{
    const struct {
        const char* text;
        qsizetype start;
        const char* expression;
        qsizetype i;
        qsizetype j;
    } rows[] = {
        {"Nr. [QID]", 4, "QID", 4, 8},
        {"[a[b]c]", 0, "a[b]c", 0, 6},
        {"['x]'] y", 0, "'x]'", 0, 5},
        {"[\"x]\"]", 0, "\"x]\"", 0, 5},
        {"kein", 3, "", 3, 3},
    };
    for (const auto& row : rows) {
        qsizetype i = row.start;
        qsizetype j = 0;
        const QString text = QString::fromUtf8(row.text);
        EXPECT_EQ(findBracketedExpression(text, QStringLiteral("["), QStringLiteral("]"), i, j),
            QString::fromUtf8(row.expression))
            << row.text;
        EXPECT_EQ(i, row.i) << row.text;
        EXPECT_EQ(j, row.j) << row.text;
    }
    qsizetype i = 0;
    qsizetype j = 0;
    EXPECT_EQ(findBracketedExpression(QStringLiteral("<<a>> x"), QStringLiteral("<<"), QStringLiteral(">>"), i, j),
        QStringLiteral("a"));
    EXPECT_EQ(j, 4);
}

TEST(Preparation, TheBuiltinDesignGivesOnePageAndTheDocumentStaysAsItWas)
{
    ReceiptReport r;
    applyBuiltinDesign(r.report);
    const QByteArray before = r.document();

    QList<QStringList> runs;
    for (int run = 0; run < 3; ++run) {
        EXPECT_TRUE(r.engine.prepareReport(true)) << r.host.shown.join(QLatin1Char('\n')).toStdString();
        ASSERT_EQ(r.engine.preparedPages().count(), 1);
        runs << r.outputTexts();
    }
    EXPECT_EQ(runs[0], runs[1]);
    EXPECT_EQ(runs[1], runs[2]);
    EXPECT_EQ(r.document(), before);

    const ReportPage* page = r.engine.preparedPages().page(0);
    ASSERT_EQ(page->children().size(), 1u);
    const auto* band = dynamic_cast<PageObjectsBand*>(page->children().front().get());
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->children().size(), 85u);
    EXPECT_EQ(band->children()[3]->name(), QStringLiteral("Memo1"));
    EXPECT_EQ(r.engine.preparedPages().pageSize(0), QSizeF(794, 1123));
    const QStringList texts = runs[0];
    for (const char* expected : {"Memo2=Nr. 12", "Memo4=--100,00--€|--19,00--€", "Memo6=--119,00--€",
             "Memo7=--EINHUNDERTNEUNZEHN--", "Memo10=Für: Miete|Juli", "Memo11=Berlin, 03.07.2020",
             "Memo38=(Kopie)", "Memo22=Berlin, 03.07.2020"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected;
}

// Preparation reads the template and writes only the output pages: after a run that fills texts,
// aligns objects and sets variables, and after one that fails in an expression halfway, the template
// saves byte for byte as before.
TEST(Preparation, TheTemplateIsNeverWrittenNotEvenByARunThatFails)
{
    ReceiptReport r;
    r.addMemo(QStringLiteral("Memo1"), QStringLiteral("[Set('Zwischen', 'QID')][Zwischen]"));
    r.addMemo(QStringLiteral("Memo2"), QStringLiteral("Nr. [QID]"))->setAlign(Align::Right);
    r.report.variables().setValue(QStringLiteral("Zwischen"), Variant(QStringLiteral("Ort")));
    const QByteArray before = r.document();

    EXPECT_TRUE(r.engine.prepareReport(true)) << r.host.shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(r.outputTexts().contains(QStringLiteral("Memo1=12"))) << r.outputTexts().join(u',').toStdString();
    EXPECT_EQ(r.document(), before);

    r.addMemo(QStringLiteral("Memo3"), QStringLiteral("[QID] [1 div 0]"));
    const QByteArray withFailure = r.document();
    EXPECT_FALSE(r.engine.prepareReport(true));
    EXPECT_EQ(r.document(), withFailure);
}

TEST(Preparation, HiddenPagesAndObjectsGiveNoOutput)
{
    ReceiptReport r;
    r.addMemo(QStringLiteral("Memo1"), QStringLiteral("A"));
    r.addMemo(QStringLiteral("Memo2"), QStringLiteral("[Foo]"))->setVisible(false);
    auto* second = r.report.add<ReportPage>();
    second->setName(QStringLiteral("Page2"));
    second->add<TextObject>()->setName(QStringLiteral("Memo3"));
    second->setPageCount(2);

    EXPECT_TRUE(r.engine.prepareReport(true));
    EXPECT_EQ(r.engine.preparedPages().count(), 3);
    second = dynamic_cast<ReportPage*>(r.report.pages(2));
    second->setVisible(false);
    EXPECT_TRUE(r.engine.prepareReport(true));
    EXPECT_EQ(r.engine.preparedPages().count(), 1);
    EXPECT_EQ(r.outputTexts(), QStringList(QStringLiteral("Memo1=A")));
    EXPECT_TRUE(r.engine.prepareReport(false));
    EXPECT_EQ(r.engine.preparedPages().count(), 2) << "without clearing, pages are added";
}

TEST(Preparation, AnErrorInTheFifthObjectEndsTheRun)
{
    ReceiptReport r;
    for (int i = 1; i <= 6; ++i)
        r.addMemo(QStringLiteral("Memo%1").arg(i), i == 5 ? QStringLiteral("[1 div 0]") : QStringLiteral("[QID]"));
    auto* second = r.report.add<ReportPage>();
    second->setName(QStringLiteral("Page2"));
    const QByteArray before = r.document();

    EXPECT_FALSE(r.engine.prepareReport(true));
    EXPECT_EQ(r.engine.preparedPages().count(), 1) << "no further pages";
    EXPECT_TRUE(r.engine.preparedPages().page(0)->children().empty());
    EXPECT_EQ(r.engine.errors().strings(), QStringList(QStringLiteral("Memo5: Division by zero")));
    EXPECT_EQ(r.document(), before);
}

TEST(Preparation, PagesWithBandsAreRefused)
{
    ReceiptReport r;
    r.addMemo(QStringLiteral("Memo1"), QStringLiteral("A"));
    r.report.pages(1)->add<MasterDataBand>()->setName(QStringLiteral("MasterData1"));
    EXPECT_FALSE(r.engine.prepareReport(true));
    EXPECT_EQ(r.engine.preparedPages().count(), 0);
    EXPECT_EQ(r.engine.errors().strings(),
        QStringList(QStringLiteral("The page Page1 holds bands, which this program does not prepare")));
}

TEST(Preparation, BothTemplatesGiveTheReceiptAndOnRequestItsCopy)
{
    for (const char* file : {"Quittung.Dat", "QuittungA4.Dat"}) {
        ReceiptReport r;
        ASSERT_TRUE(r.report.loadFromFile(QStringLiteral(QUITTUNG_FORMS_DIR "/") + QString::fromLatin1(file)));
        ASSERT_TRUE(r.host.shown.isEmpty()) << file;
        r.report.pages(2)->setVisible(false);
        EXPECT_TRUE(r.engine.prepareReport(true)) << file << r.host.shown.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(r.engine.preparedPages().count(), 1) << file;

        r.report.pages(2)->setVisible(true);
        EXPECT_TRUE(r.engine.prepareReport(true)) << file;
        ASSERT_EQ(r.engine.preparedPages().count(), 2) << file;
        for (int page = 0; page < 2; ++page) {
            const QString all = r.outputTexts(page).join(QLatin1Char('\n'));
            for (const char* expected : {"Nr. 12", "--100,00--€", "--19,00--€", "--119,00--€", "--EINHUNDERTNEUNZEHN--",
                     "Von: Muster GmbH", "Für: Miete|Juli", "Berlin, 03.07.2020", "+ 19 % MwSt. :"})
                EXPECT_TRUE(all.contains(QString::fromUtf8(expected))) << file << " page " << page << ": " << expected;
            EXPECT_EQ(all.contains(QStringLiteral("(Kopie)")), page == 1) << file;
            EXPECT_FALSE(all.contains(QLatin1Char('['))) << file << ": every expression is expanded";
        }
    }
}

TEST(Preparation, ObjectsAlignedInThePagesBandTakeTheirPlaceInIt)
{
    ReceiptReport r;
    const auto add = [&](const char* name, Align align, double left, double top, double width, double height) {
        TextObject* memo = r.addMemo(QString::fromLatin1(name), QString());
        memo->setBounds(left, top, width, height);
        memo->setAlign(align);
    };
    add("Client", Align::Client, 5, 5, 10, 10);
    add("Left", Align::Left, 50, 7, 20, 10);
    add("Right", Align::Right, 0, 8, 30, 10);
    add("Bottom", Align::Bottom, 40, 0, 15, 25);
    add("Centre", Align::Center, 0, 9, 40, 10);
    add("Width", Align::Width, 0, 60, 10, 12);
    add("Free", Align::None, 33, 44, 11, 12);
    auto* page = dynamic_cast<ReportPage*>(r.report.pages(1));
    page->setPaperWidth(148);
    page->setPaperHeight(210);
    page->setLeftMargin(10);
    page->setRightMargin(10);
    page->setTopMargin(10);
    page->setBottomMargin(10);
    const double width = 128 * PixelsPerMm;
    const double height = 190 * PixelsPerMm;
    const QByteArray before = r.document();

    ASSERT_TRUE(r.engine.prepareReport(true));
    const std::map<QString, QRectF> expected = {
        {QStringLiteral("Client"), QRectF(20, 0, width - 50, height - 25)},
        {QStringLiteral("Left"), QRectF(0, 7, 20, 10)},
        {QStringLiteral("Right"), QRectF(width - 30, 8, 30, 10)},
        {QStringLiteral("Bottom"), QRectF(40, height - 25, 15, 25)},
        {QStringLiteral("Centre"), QRectF((width - 40) / 2, 9, 40, 10)},
        {QStringLiteral("Width"), QRectF(20, 60, width - 50, 12)},
        {QStringLiteral("Free"), QRectF(33, 44, 11, 12)},
    };
    const ReportPage* output = r.engine.preparedPages().page(0);
    for (const auto& [name, bounds] : expected) {
        const ReportObject* object = output->findObject(name);
        ASSERT_NE(object, nullptr) << name.toStdString();
        EXPECT_EQ(QRectF(object->left(), object->top(), object->width(), object->height()), bounds)
            << name.toStdString();
    }
    EXPECT_EQ(r.document(), before) << "the design keeps its own bounds";
}

TEST(Preparation, ReportsProgressThroughTheHostAndStopsWhenCancelled)
{
    ReceiptReport r;
    r.addMemo(QStringLiteral("Memo1"), QStringLiteral("[QID]"));
    dynamic_cast<ReportPage*>(r.report.pages(1))->setPageCount(3);
    QStringList events;
    r.report.events().beginDoc = [&](const Report&) { events << QStringLiteral("BeginDoc"); };
    r.report.events().endDoc = [&](const Report&) { events << QStringLiteral("EndDoc"); };
    r.report.events().beforePrint
        = [&](ReportObject& object) { events << QStringLiteral("Before ") + object.className(); };
    r.report.events().afterPrint = [&](ReportObject& object) {
        const auto* memo = dynamic_cast<TextObject*>(&object);
        events << QStringLiteral("After ") + (memo ? memo->text().trimmed() : object.className());
    };

    // Without the old progress style no window shows, but every step lets the window system breathe.
    ASSERT_TRUE(r.engine.prepareReport(true));
    const QStringList page = {QStringLiteral("Before TfrxNullBand"), QStringLiteral("Before TfrxMemoView"),
        QStringLiteral("After 12"), QStringLiteral("After TfrxNullBand")};
    QStringList expected{QStringLiteral("BeginDoc")};
    for (int i = 1; i <= 3; ++i)
        expected << page;
    expected << QStringLiteral("EndDoc");
    EXPECT_EQ(events, expected);
    EXPECT_TRUE(r.host.progress.isEmpty());
    EXPECT_EQ(r.host.processed, 4);

    // The old style shows the window; Cancel on the second page ends the run after that page.
    r.report.setOldStyleProgress(true);
    r.host.cancelAfterMessages = 2;
    events.clear();
    EXPECT_FALSE(r.engine.prepareReport(true));
    EXPECT_EQ(r.host.progress, (QStringList{QStringLiteral("start:"), QStringLiteral("message:Preparing page 1"),
                                   QStringLiteral("message:Preparing page 2"), QStringLiteral("stop")}));
    EXPECT_EQ(r.engine.preparedPages().count(), 2);
    EXPECT_FALSE(events.contains(QStringLiteral("EndDoc")));
    EXPECT_TRUE(r.host.shown.isEmpty()) << "a cancel is no error";
}

TEST(Preparation, TheDocumentAndTheObjectsTheCallerHoldsStayAsTheyWere)
{
    ReceiptReport r;
    TextObject* memo = r.addMemo(QStringLiteral("Memo1"), QStringLiteral("[QID] [Set('Neu', 5)]"));
    memo->setAlign(Align::Client);
    TextObject* other = r.addMemo(QStringLiteral("Memo2"), QStringLiteral("[Ort]"));
    r.report.variables().setValue(QStringLiteral("Alt"), Variant(QStringLiteral("1")));
    // A host event changes the object it is handed, which is the output page's copy: what it
    // changes shows on the page and never reaches the document.
    r.report.events().beforePrint = [](ReportObject& object) {
        if (auto* view = dynamic_cast<View*>(&object))
            view->setColor(colors::Red);
        object.setTop(object.top() + 7);
    };
    const QByteArray before = r.document();

    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(r.engine.prepareReport(true));
        EXPECT_EQ(r.document(), before) << run;
        EXPECT_EQ(r.report.findObject(QStringLiteral("Memo1")), memo);
        EXPECT_EQ(memo->text(), QStringLiteral("[QID] [Set('Neu', 5)]\r\n"));
        EXPECT_EQ(other->color(), colors::None);
        EXPECT_EQ(r.report.variables().indexOf(QStringLiteral("Neu")), -1);
    }
    EXPECT_EQ(r.outputTexts(), (QStringList{QStringLiteral("Memo1=12 "), QStringLiteral("Memo2=Berlin")}));
    const auto* shown = dynamic_cast<const View*>(r.engine.preparedPages().page(0)->findObject(QStringLiteral("Memo2")));
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->color(), colors::Red);
}
