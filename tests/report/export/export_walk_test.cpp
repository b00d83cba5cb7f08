#include "report/document/band.h"
#include "report/document/text_object.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/engine/pages/page_walk.h"
#include "report/engine/pages/report_preparer.h"
#include "report/export/export_filter.h"
#include "runtime/exception.h"
#include "tests/support/recording_engine_host.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::report;

namespace {

// A report of a few pages, each with one text object "MemoN", prepared in the engine.
struct PreparedReport {
    explicit PreparedReport(int pages)
    {
        report.add<DataPage>()->setName(QStringLiteral("Data"));
        for (int i = 1; i <= pages; ++i) {
            auto* page = report.add<ReportPage>();
            page->setName(QStringLiteral("Page%1").arg(i));
            page->setLeftMargin(10);
            page->setTopMargin(5);
            auto* memo = page->add<TextObject>();
            memo->setName(QStringLiteral("Memo%1").arg(i));
            memo->setBounds(7, 3, 100, 20);
            memo->setText(QStringLiteral("Text"));
        }
        if (pages > 0)
            prepare();
    }

    void prepare()
    {
        EXPECT_TRUE(engine.prepareReport()) << host.shown.join(QLatin1Char('\n')).toStdString();
        // What the export does is counted from here.
        host.progress.clear();
        host.processed = 0;
    }

    ReportPage& page(int index) { return *engine.preparedPages().page(index); }

    RecordingEngineHost host;
    Report report;
    ReportPreparer engine{report};
};

// Records the calls of the walk; objects by name (bands, which have none here, by class).
class RecordingFilter : public ExportFilter {
public:
    RecordingFilter()
    {
        setShowDialog(false);
        setOnBeginExport([this](ExportFilter&) { calls << QStringLiteral("Begin"); });
    }

    int showModal() override
    {
        calls << QStringLiteral("ShowModal");
        return modalResult;
    }
    bool start() override
    {
        calls << QStringLiteral("Start");
        return startResult;
    }
    void startPage(const ReportPage& page, int index) override
    {
        calls << QStringLiteral("StartPage %1").arg(index);
        origin = pageOrigin(page, index);
    }
    void exportObject(const ReportObject& object) override
    {
        const QString name = object.name().isEmpty() ? object.className() : object.name();
        calls << name;
        if (const auto* memo = dynamic_cast<const TextObjectBase*>(&object))
            texts << memo->text().trimmed();
        sizes << QSizeF(object.width(), object.height());
        // Where the object lands on the paper.
        positions << origin + QPointF(object.absLeft(), object.absTop());
        if (name == failOn)
            throw Exception(QStringLiteral("Kaputt"));
    }
    void finishPage(const ReportPage&, int index) override { calls << QStringLiteral("FinishPage %1").arg(index); }
    void finish() override { calls << QStringLiteral("Finish"); }

    QStringList calls;
    QStringList texts;
    QList<QPointF> positions;
    QPointF origin;
    QList<QSizeF> sizes;
    int modalResult = 1;
    bool startResult = true;
    QString failOn;
};

QStringList pageCalls(int index, const QString& memo)
{
    return {QStringLiteral("StartPage %1").arg(index), QStringLiteral("_pagebackground"), QStringLiteral("TfrxNullBand"),
        memo, QStringLiteral("FinishPage %1").arg(index)};
}

} // namespace

TEST(ExportWalk, CallsTheFilterPageByPageWithProgress)
{
    PreparedReport r(2);
    RecordingFilter filter;
    EXPECT_TRUE(exportReport(r.engine, filter));

    const QStringList expected = QStringList{QStringLiteral("Begin"), QStringLiteral("Start")}
        + pageCalls(0, QStringLiteral("Memo1")) + pageCalls(1, QStringLiteral("Memo2"))
        + QStringList{QStringLiteral("Finish")};
    EXPECT_EQ(filter.calls, expected);
    EXPECT_EQ(r.host.progress, (QStringList{QStringLiteral("start:"), QStringLiteral("message:Exporting page 1"),
                                   QStringLiteral("message:Exporting page 2"), QStringLiteral("stop")}));
    EXPECT_EQ(r.host.processed, 2);
    EXPECT_TRUE(r.host.shown.isEmpty());
    EXPECT_EQ(filter.report(), &r.report);
    EXPECT_TRUE(filter.creationTime().isValid());
}

TEST(ExportWalk, PlacesThePageAtItsMarginsAndLeavesTheStoreAsItWas)
{
    PreparedReport r(2);
    r.page(0).setRightMargin(20);
    r.page(1).setRightMargin(20);
    r.page(1).setMirrorMargins(true);
    RecordingFilter filter;
    ASSERT_TRUE(exportReport(r.engine, filter));

    const double top = 5 * PixelsPerMm;
    // background, band, memo on page 1; the same on page 2 from the right margin.
    const QList<QPointF> expected{{10 * PixelsPerMm, top}, {10 * PixelsPerMm, top}, {10 * PixelsPerMm + 7, top + 3},
        {20 * PixelsPerMm, top}, {20 * PixelsPerMm, top}, {20 * PixelsPerMm + 7, top + 3}};
    ASSERT_EQ(filter.positions.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(filter.positions[i].x(), expected[i].x(), 1e-9) << i;
        EXPECT_NEAR(filter.positions[i].y(), expected[i].y(), 1e-9) << i;
    }
    EXPECT_EQ(r.page(0).findObject(QStringLiteral("Memo1"))->absLeft(), 7);

    RecordingFilter again;
    ASSERT_TRUE(exportReport(r.engine, again));
    EXPECT_EQ(again.calls, filter.calls);
    EXPECT_EQ(again.positions, filter.positions);
}

TEST(ExportWalk, BackgroundCarriesThePageColourAndCoversThePrintableArea)
{
    PreparedReport r(1);
    r.page(0).setColor(colors::Red);
    r.page(0).frame().setSides(AllFrameSides);
    struct BackgroundFilter : RecordingFilter {
        void exportObject(const ReportObject& object) override
        {
            if (const auto* view = dynamic_cast<const View*>(&object); view && object.name() == QLatin1String("_pagebackground")) {
                color = view->color();
                frame = view->frame().sides();
                size = QSizeF(view->width(), view->height());
                className = view->className();
            }
        }
        Color color = colors::None;
        int frame = 0;
        QSizeF size;
        QString className;
    } filter;
    ASSERT_TRUE(exportReport(r.engine, filter));
    EXPECT_EQ(filter.color, colors::Red);
    EXPECT_EQ(filter.frame, 15);
    EXPECT_EQ(filter.className, QStringLiteral("TfrxPictureView"));
    EXPECT_DOUBLE_EQ(filter.size.width(), (210 - 10) * PixelsPerMm);
    EXPECT_DOUBLE_EQ(filter.size.height(), (297 - 5) * PixelsPerMm);
}

TEST(ExportWalk, WithoutPagesStartAndFinishStillRun)
{
    PreparedReport r(0);
    RecordingFilter filter;
    EXPECT_TRUE(exportReport(r.engine, filter));
    EXPECT_EQ(filter.calls, (QStringList{QStringLiteral("Begin"), QStringLiteral("Start"), QStringLiteral("Finish")}));
}

TEST(ExportWalk, PageRangeSelectsPages)
{
    const struct {
        const char* range;
        QStringList pages;
    } cases[] = {
        {"", {QStringLiteral("StartPage 0"), QStringLiteral("StartPage 1"), QStringLiteral("StartPage 2")}},
        {"2-", {QStringLiteral("StartPage 1"), QStringLiteral("StartPage 2")}},
        {"1,3", {QStringLiteral("StartPage 0"), QStringLiteral("StartPage 2")}},
        {" 1 - 2 ", {QStringLiteral("StartPage 0"), QStringLiteral("StartPage 1")}},
        {"3", {QStringLiteral("StartPage 2")}},
        // A range naming no page of the report exports none; it is not the empty range.
        {"9", {}},
        {"2147483646-2147483647", {}},
        {"1-999999999", {QStringLiteral("StartPage 0"), QStringLiteral("StartPage 1"), QStringLiteral("StartPage 2")}},
    };
    PreparedReport r(3);
    for (const auto& c : cases) {
        RecordingFilter filter;
        filter.setPageNumbers(QString::fromLatin1(c.range));
        EXPECT_TRUE(exportReport(r.engine, filter)) << c.range;
        EXPECT_EQ(filter.calls.filter(QStringLiteral("StartPage")), c.pages) << c.range;
        EXPECT_EQ(filter.calls.filter(QStringLiteral("FinishPage")).size(), c.pages.size()) << c.range;
    }
}

TEST(ExportWalk, ParsePageNumbersReadsListsAndRanges)
{
    EXPECT_TRUE(parsePageNumbers(QString(), 5).isAll());
    EXPECT_EQ(parsePageNumbers(QString(), 5).pages(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(parsePageNumbers(QStringLiteral("1,3,5-7"), 9).pages(), (std::vector<int>{1, 3, 5, 6, 7}));
    EXPECT_EQ(parsePageNumbers(QStringLiteral("4-"), 6).pages(), (std::vector<int>{4, 5, 6}));
    for (const char* bad : {"1,x", "a-3", "1,,2"})
        EXPECT_THROW(parsePageNumbers(QString::fromLatin1(bad), 3), ConvertError) << bad;
}

// Ranges are cut to the report's pages while they are read: a hostile range neither overflows a
// counter nor lists pages that do not exist.
TEST(ExportWalk, PageRangesAreCutToThePageCount)
{
    const struct {
        const char* range;
        int pageCount;
        bool all;
        std::vector<int> pages;
    } cases[] = {
        {"", 3, true, {1, 2, 3}},
        {"   ", 3, true, {1, 2, 3}},
        {"9", 2, false, {}},
        {"0", 2, false, {}},
        {"2147483646-2147483647", 2, false, {}},
        {"2147483647", 2, false, {}},
        {"1-999999999", 3, false, {1, 2, 3}},
        {"1-2147483647,2147483647-1", 3, false, {1, 2, 3}},
        {"0-2", 3, false, {1, 2}},
        {"5-3", 9, false, {}},
        {"3-3", 9, false, {3}},
        {" 1 , 3 - 4 ", 5, false, {1, 3, 4}},
        {"2-", 5, false, {2, 3, 4, 5}},
        {"7-", 5, false, {}},
        {"4,2,4,1-2", 5, false, {1, 2, 4}},
        {"1-2", 0, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.range);
        const PageSelection selection = parsePageNumbers(QString::fromLatin1(c.range), c.pageCount);
        EXPECT_EQ(selection.isAll(), c.all);
        EXPECT_EQ(selection.pages(), c.pages);
        EXPECT_EQ(selection.count(), int(c.pages.size()));
        for (const int page : {-1, 0, c.pageCount + 1, 2147483647})
            EXPECT_FALSE(selection.contains(page)) << page;
    }
}

TEST(ExportWalk, BadPartOfAPageRangeNamesItself)
{
    const struct {
        const char* range;
        const char* part;
    } cases[] = {
        {"1,x", "x"},
        {"a-3", "a"},
        {"1,,2", ""},
        {"1,", ""},
        {"-", ""},
        {"-3", ""},
        {"1-2-3", "2-3"},
        {"1-99999999999", "99999999999"},
    };
    for (const auto& c : cases) {
        try {
            parsePageNumbers(QString::fromLatin1(c.range), 3);
            ADD_FAILURE() << c.range;
        } catch (const ConvertError& error) {
            EXPECT_EQ(error.message(), QStringLiteral("'%1' ist kein gültiger Integerwert").arg(QString::fromLatin1(c.part)))
                << c.range;
        }
    }
}

TEST(ExportWalk, BadPageRangeIsAnErrorOfTheExport)
{
    PreparedReport r(3);
    RecordingFilter filter;
    filter.setPageNumbers(QStringLiteral("1,x"));
    EXPECT_FALSE(exportReport(r.engine, filter));
    EXPECT_TRUE(filter.calls.isEmpty());
    EXPECT_EQ(r.host.shown, QStringList(QStringLiteral(
                                "Error|The following error(s) have occured:\r\n'x' ist kein gültiger Integerwert\r\n")));
}

TEST(ExportWalk, OptionsDialogOnlyWithShowDialog)
{
    const struct {
        bool showDialog;
        int modalResult;
        bool result;
        QStringList firstCalls;
    } cases[] = {
        {false, 2, true, {QStringLiteral("Begin"), QStringLiteral("Start")}},
        {true, 1, true, {QStringLiteral("ShowModal"), QStringLiteral("Begin"), QStringLiteral("Start")}},
        {true, 2, false, {QStringLiteral("ShowModal")}},
    };
    PreparedReport r(1);
    for (const auto& c : cases) {
        RecordingFilter filter;
        filter.setShowDialog(c.showDialog);
        filter.modalResult = c.modalResult;
        EXPECT_EQ(exportReport(r.engine, filter), c.result);
        EXPECT_EQ(filter.calls.mid(0, c.firstCalls.size()), c.firstCalls);
        EXPECT_EQ(filter.calls.contains(QStringLiteral("Finish")), c.result);
    }
}

TEST(ExportWalk, StartFalseEndsWithoutFinish)
{
    PreparedReport r(2);
    RecordingFilter filter;
    filter.startResult = false;
    EXPECT_TRUE(exportReport(r.engine, filter));
    EXPECT_EQ(filter.calls, (QStringList{QStringLiteral("Begin"), QStringLiteral("Start")}));
    EXPECT_TRUE(r.host.progress.isEmpty());
}

TEST(ExportWalk, ErrorInAFilterEndsTheExportWithTheErrorBox)
{
    PreparedReport r(2);
    RecordingFilter filter;
    filter.failOn = QStringLiteral("Memo1");
    EXPECT_FALSE(exportReport(r.engine, filter));
    EXPECT_EQ(filter.calls, (QStringList{QStringLiteral("Begin"), QStringLiteral("Start")} + pageCalls(0, QStringLiteral("Memo1"))
                                + QStringList{QStringLiteral("Finish")}));
    EXPECT_EQ(r.host.progress.last(), QStringLiteral("stop"));
    EXPECT_EQ(r.host.shown, QStringList(QStringLiteral("Error|The following error(s) have occured:\r\nKaputt\r\n")));
    EXPECT_EQ(r.engine.errors().strings(), QStringList(QStringLiteral("Kaputt")));
}

TEST(ExportWalk, SilentModesDecideHowAnErrorIsReported)
{
    PreparedReport silent(1);
    silent.report.engineOptions().setNewSilentMode(SilentMode::Silent);
    RecordingFilter quiet;
    quiet.failOn = QStringLiteral("Memo1");
    EXPECT_FALSE(exportReport(silent.engine, quiet));
    EXPECT_TRUE(silent.host.shown.isEmpty());
    EXPECT_EQ(silent.engine.errors().strings(), QStringList(QStringLiteral("Kaputt")));

    PreparedReport rethrow(1);
    rethrow.report.engineOptions().setNewSilentMode(SilentMode::Rethrow);
    RecordingFilter loud;
    loud.failOn = QStringLiteral("Memo1");
    EXPECT_THROW(exportReport(rethrow.engine, loud), Exception);
    EXPECT_TRUE(loud.calls.contains(QStringLiteral("Finish")));
}

TEST(ExportWalk, CancelEndsAfterTheBackgroundOfTheBegunPage)
{
    PreparedReport r(3);
    r.host.cancelAfterMessages = 2;
    RecordingFilter filter;
    EXPECT_TRUE(exportReport(r.engine, filter));
    EXPECT_EQ(filter.calls, (QStringList{QStringLiteral("Begin"), QStringLiteral("Start")} + pageCalls(0, QStringLiteral("Memo1"))
                                + QStringList{QStringLiteral("StartPage 1"), QStringLiteral("_pagebackground"),
                                    QStringLiteral("FinishPage 1"), QStringLiteral("Finish")}));
    EXPECT_EQ(r.host.progress.last(), QStringLiteral("stop"));
    EXPECT_TRUE(r.host.shown.isEmpty());
}

TEST(ExportWalk, ProgressNeedsTheFilterAndTheReport)
{
    for (const auto& [filterShows, reportShows] : {std::pair{true, false}, std::pair{false, true}}) {
        PreparedReport r(1);
        r.report.setShowProgress(reportShows);
        RecordingFilter filter;
        filter.setShowProgress(filterShows);
        EXPECT_TRUE(exportReport(r.engine, filter));
        EXPECT_TRUE(r.host.progress.isEmpty());
        EXPECT_EQ(filter.calls.size(), 8);
    }
}

TEST(ExportWalk, BandsFollowSuppressPageHeadersFootersAndDataOnly)
{
    PreparedReport r(3);
    for (int i = 0; i < 3; ++i) {
        r.page(i).add<PageHeaderBand>()->setName(QStringLiteral("Header%1").arg(i));
        r.page(i).add<PageFooterBand>()->setName(QStringLiteral("Footer%1").arg(i));
        auto* data = r.page(i).add<MasterDataBand>();
        data->setName(QStringLiteral("Data%1").arg(i));
        data->add<TextObject>()->setName(QStringLiteral("Row%1").arg(i));
    }
    const auto bandsOf = [](const QStringList& calls) {
        QStringList names;
        for (const QString& call : calls) {
            if (call.startsWith(QLatin1String("Header")) || call.startsWith(QLatin1String("Footer"))
                || call.startsWith(QLatin1String("Row")) || call.startsWith(QLatin1String("Memo")))
                names << call;
        }
        return names;
    };

    RecordingFilter all;
    ASSERT_TRUE(exportReport(r.engine, all));
    EXPECT_EQ(bandsOf(all.calls).size(), 12);

    RecordingFilter suppressed;
    suppressed.setSuppressPageHeadersFooters(true);
    ASSERT_TRUE(exportReport(r.engine, suppressed));
    EXPECT_EQ(bandsOf(suppressed.calls),
        (QStringList{QStringLiteral("Memo1"), QStringLiteral("Header0"), QStringLiteral("Row0"), QStringLiteral("Memo2"),
            QStringLiteral("Row1"), QStringLiteral("Memo3"), QStringLiteral("Footer2"), QStringLiteral("Row2")}));

    RecordingFilter dataOnly;
    dataOnly.setDataOnly(true);
    ASSERT_TRUE(exportReport(r.engine, dataOnly));
    EXPECT_EQ(dataOnly.calls.filter(QRegularExpression(QStringLiteral("^(?!StartPage|FinishPage|Begin|Start|Finish)"))),
        (QStringList{QStringLiteral("Row0"), QStringLiteral("Row1"), QStringLiteral("Row2")}));
}

TEST(ExportWalk, TextObjectsAreCompletedForTheOutputOnly)
{
    PreparedReport r(2);
    auto* memo = dynamic_cast<TextObjectBase*>(r.page(0).findObject(QStringLiteral("Memo1")));
    ASSERT_NE(memo, nullptr);
    memo->setText(QStringLiteral("Seite von [TotalPages#]"));
    memo->highlight().setActive(true);
    memo->highlight().font().setName(QStringLiteral("Courier New"));
    QString fontSeen;
    struct FontFilter : RecordingFilter {
        QString* font = nullptr;
        void exportObject(const ReportObject& object) override
        {
            RecordingFilter::exportObject(object);
            if (object.name() == QLatin1String("Memo1"))
                *font = object.font().name();
        }
    } filter;
    filter.font = &fontSeen;
    ASSERT_TRUE(exportReport(r.engine, filter));
    EXPECT_EQ(filter.texts.first(), QStringLiteral("Seite von 2"));
    EXPECT_EQ(fontSeen, QStringLiteral("Courier New"));
    EXPECT_EQ(memo->text().trimmed(), QStringLiteral("Seite von [TotalPages#]"));
    EXPECT_NE(memo->font().name(), QStringLiteral("Courier New"));
}

TEST(ExportWalk, AutoWidthTextsReachTheFilterAtTheirMeasuredWidth)
{
    PreparedReport r(1);
    auto* memo = dynamic_cast<TextObject*>(r.report.findObject(QStringLiteral("Memo1")));
    memo->setBounds(7, 3, 300, 20);
    memo->setText(QStringLiteral("Quittung"));
    memo->setAutoWidth(true);
    auto* right = dynamic_cast<TextObject*>(memo->parent()->add<TextObject>());
    right->setName(QStringLiteral("Right"));
    right->setBounds(7, 30, 300, 20);
    right->setText(QStringLiteral("Quittung"));
    right->setAutoWidth(true);
    right->setHAlign(HAlign::Right);
    r.prepare();

    RecordingFilter filter;
    ASSERT_TRUE(exportReport(r.engine, filter));
    ASSERT_EQ(filter.sizes.size(), 4);
    const double left = 10 * PixelsPerMm;
    const double width = filter.sizes[2].width();
    EXPECT_GT(width, 45);
    EXPECT_LT(width, 65);
    EXPECT_DOUBLE_EQ(filter.positions[2].x(), left + 7);
    // Right-aligned text keeps its right edge.
    EXPECT_DOUBLE_EQ(filter.sizes[3].width(), width);
    EXPECT_DOUBLE_EQ(filter.positions[3].x() + width, left + 307);
    // The prepared page keeps the design width for the next export.
    const auto* prepared = dynamic_cast<TextObject*>(r.page(0).findObject(QStringLiteral("Right")));
    EXPECT_EQ(prepared->width(), 300);
    EXPECT_EQ(prepared->left(), 7);
}

TEST(ExportWalk, StampsTheFilterByTheReportsClock)
{
    PreparedReport r(1);
    const QDateTime moment(QDate(2020, 7, 3), QTime(14, 5, 9));
    r.report.setClock([&] { return moment; });
    RecordingFilter filter;
    ASSERT_TRUE(exportReport(r.engine, filter));
    EXPECT_EQ(filter.creationTime(), moment);
}
