#include "report/document/band.h"
#include "report/document/memo_view.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/engine/engine.h"
#include "report/export/export_filter.h"
#include "runtime/exception.h"
#include "tests/support/recording_engine_host.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace quittung;

namespace {

// A report of a few pages, each with one text object "MemoN", prepared in the engine.
struct PreparedReport {
    explicit PreparedReport(int pages)
    {
        report.Add<TfrxDataPage>()->SetName(QStringLiteral("Data"));
        for (int i = 1; i <= pages; ++i) {
            auto* page = report.Add<TfrxReportPage>();
            page->SetName(QStringLiteral("Page%1").arg(i));
            page->SetLeftMargin(10);
            page->SetTopMargin(5);
            auto* memo = page->Add<TfrxMemoView>();
            memo->SetName(QStringLiteral("Memo%1").arg(i));
            memo->SetBounds(7, 3, 100, 20);
            memo->SetText(QStringLiteral("Text"));
        }
        if (pages > 0)
            prepare();
    }

    void prepare()
    {
        EXPECT_TRUE(engine.PrepareReport()) << host.shown.join(QLatin1Char('\n')).toStdString();
        // What the export does is counted from here.
        host.progress.clear();
        host.processed = 0;
    }

    TfrxReportPage& page(int index) { return *engine.PreviewPages().Page(index); }

    RecordingEngineHost host;
    TfrxReport report;
    TfrxEngine engine{report};
};

// Records the calls of the walk; objects by name (bands, which have none here, by class).
class RecordingFilter : public TfrxCustomExportFilter {
public:
    RecordingFilter()
    {
        SetShowDialog(false);
        OnBeginExport = [this](TfrxCustomExportFilter&) { calls << QStringLiteral("Begin"); };
    }

    int ShowModal() override
    {
        calls << QStringLiteral("ShowModal");
        return modalResult;
    }
    bool Start() override
    {
        calls << QStringLiteral("Start");
        return startResult;
    }
    void StartPage(TfrxReportPage&, int index) override { calls << QStringLiteral("StartPage %1").arg(index); }
    void ExportObject(TfrxComponent& object) override
    {
        const QString name = object.Name().isEmpty() ? object.ClassName() : object.Name();
        calls << name;
        if (auto* memo = dynamic_cast<TfrxCustomMemoView*>(&object))
            texts << memo->Text().trimmed();
        sizes << QSizeF(object.Width(), object.Height());
        positions << QPointF(object.AbsLeft(), object.AbsTop());
        if (name == failOn)
            throw Exception(QStringLiteral("Kaputt"));
    }
    void FinishPage(TfrxReportPage&, int index) override { calls << QStringLiteral("FinishPage %1").arg(index); }
    void Finish() override { calls << QStringLiteral("Finish"); }

    QStringList calls;
    QStringList texts;
    QList<QPointF> positions;
    QList<QSizeF> sizes;
    int modalResult = 1;
    bool startResult = true;
    QString failOn;
};

QStringList PageCalls(int index, const QString& memo)
{
    return {QStringLiteral("StartPage %1").arg(index), QStringLiteral("_pagebackground"), QStringLiteral("TfrxNullBand"),
        memo, QStringLiteral("FinishPage %1").arg(index)};
}

} // namespace

TEST(ExportWalk, CallsTheFilterPageByPageWithProgress)
{
    PreparedReport r(2);
    RecordingFilter filter;
    EXPECT_TRUE(Export(r.engine, filter));

    const QStringList expected = QStringList{QStringLiteral("Begin"), QStringLiteral("Start")}
        + PageCalls(0, QStringLiteral("Memo1")) + PageCalls(1, QStringLiteral("Memo2")) + QStringList{QStringLiteral("Finish")};
    EXPECT_EQ(filter.calls, expected);
    EXPECT_EQ(r.host.progress, (QStringList{QStringLiteral("start:"), QStringLiteral("message:Exporting page 1"),
                                   QStringLiteral("message:Exporting page 2"), QStringLiteral("stop")}));
    EXPECT_EQ(r.host.processed, 2);
    EXPECT_TRUE(r.host.shown.isEmpty());
    EXPECT_EQ(filter.Report(), &r.report);
    EXPECT_TRUE(filter.CreationTime().isValid());
}

TEST(ExportWalk, PlacesThePageAtItsMarginsAndLeavesTheStoreAsItWas)
{
    PreparedReport r(2);
    r.page(0).SetRightMargin(20);
    r.page(1).SetRightMargin(20);
    r.page(1).SetMirrorMargins(true);
    RecordingFilter filter;
    ASSERT_TRUE(Export(r.engine, filter));

    const double top = 5 * PixelsPerMm;
    // background, band, memo on page 1; the same on page 2 from the right margin.
    const QList<QPointF> expected{{10 * PixelsPerMm, top}, {10 * PixelsPerMm, top}, {10 * PixelsPerMm + 7, top + 3},
        {20 * PixelsPerMm, top}, {20 * PixelsPerMm, top}, {20 * PixelsPerMm + 7, top + 3}};
    ASSERT_EQ(filter.positions.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(filter.positions[i].x(), expected[i].x(), 1e-9) << i;
        EXPECT_NEAR(filter.positions[i].y(), expected[i].y(), 1e-9) << i;
    }
    EXPECT_EQ(r.page(0).FindObject(QStringLiteral("Memo1"))->AbsLeft(), 7);

    RecordingFilter again;
    ASSERT_TRUE(Export(r.engine, again));
    EXPECT_EQ(again.calls, filter.calls);
    EXPECT_EQ(again.positions, filter.positions);
}

TEST(ExportWalk, BackgroundCarriesThePageColourAndCoversThePrintableArea)
{
    PreparedReport r(1);
    r.page(0).SetColor(clRed);
    r.page(0).Frame().SetTyp(15);
    struct BackgroundFilter : RecordingFilter {
        void ExportObject(TfrxComponent& object) override
        {
            if (auto* view = dynamic_cast<TfrxView*>(&object); view && object.Name() == QLatin1String("_pagebackground")) {
                color = view->Color();
                frame = view->Frame().Typ();
                size = QSizeF(view->Width(), view->Height());
                className = view->ClassName();
            }
        }
        TColor color = clNone;
        int frame = 0;
        QSizeF size;
        QString className;
    } filter;
    ASSERT_TRUE(Export(r.engine, filter));
    EXPECT_EQ(filter.color, clRed);
    EXPECT_EQ(filter.frame, 15);
    EXPECT_EQ(filter.className, QStringLiteral("TfrxPictureView"));
    EXPECT_DOUBLE_EQ(filter.size.width(), (210 - 10) * PixelsPerMm);
    EXPECT_DOUBLE_EQ(filter.size.height(), (297 - 5) * PixelsPerMm);
}

TEST(ExportWalk, WithoutPagesStartAndFinishStillRun)
{
    PreparedReport r(0);
    RecordingFilter filter;
    EXPECT_TRUE(Export(r.engine, filter));
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
    };
    PreparedReport r(3);
    for (const auto& c : cases) {
        RecordingFilter filter;
        filter.SetPageNumbers(QString::fromLatin1(c.range));
        EXPECT_TRUE(Export(r.engine, filter)) << c.range;
        EXPECT_EQ(filter.calls.filter(QStringLiteral("StartPage")), c.pages) << c.range;
        EXPECT_EQ(filter.calls.filter(QStringLiteral("FinishPage")).size(), c.pages.size()) << c.range;
    }
}

TEST(ExportWalk, ParsePageNumbersReadsListsAndRanges)
{
    EXPECT_EQ(ParsePageNumbers(QString(), 5), std::vector<int>{});
    EXPECT_EQ(ParsePageNumbers(QStringLiteral("1,3,5-7"), 9), (std::vector<int>{1, 3, 5, 6, 7}));
    EXPECT_EQ(ParsePageNumbers(QStringLiteral("4-"), 6), (std::vector<int>{4, 5, 6}));
    for (const char* bad : {"1,x", "a-3", "1,,2"})
        EXPECT_THROW(ParsePageNumbers(QString::fromLatin1(bad), 3), EConvertError) << bad;
}

TEST(ExportWalk, BadPageRangeIsAnErrorOfTheExport)
{
    PreparedReport r(3);
    RecordingFilter filter;
    filter.SetPageNumbers(QStringLiteral("1,x"));
    EXPECT_FALSE(Export(r.engine, filter));
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
        filter.SetShowDialog(c.showDialog);
        filter.modalResult = c.modalResult;
        EXPECT_EQ(Export(r.engine, filter), c.result);
        EXPECT_EQ(filter.calls.mid(0, c.firstCalls.size()), c.firstCalls);
        EXPECT_EQ(filter.calls.contains(QStringLiteral("Finish")), c.result);
    }
}

TEST(ExportWalk, StartFalseEndsWithoutFinish)
{
    PreparedReport r(2);
    RecordingFilter filter;
    filter.startResult = false;
    EXPECT_TRUE(Export(r.engine, filter));
    EXPECT_EQ(filter.calls, (QStringList{QStringLiteral("Begin"), QStringLiteral("Start")}));
    EXPECT_TRUE(r.host.progress.isEmpty());
}

TEST(ExportWalk, ErrorInAFilterEndsTheExportWithTheErrorBox)
{
    PreparedReport r(2);
    RecordingFilter filter;
    filter.failOn = QStringLiteral("Memo1");
    EXPECT_FALSE(Export(r.engine, filter));
    EXPECT_EQ(filter.calls, (QStringList{QStringLiteral("Begin"), QStringLiteral("Start")} + PageCalls(0, QStringLiteral("Memo1"))
                                + QStringList{QStringLiteral("Finish")}));
    EXPECT_EQ(r.host.progress.last(), QStringLiteral("stop"));
    EXPECT_EQ(r.host.shown, QStringList(QStringLiteral("Error|The following error(s) have occured:\r\nKaputt\r\n")));
    EXPECT_EQ(r.report.Errors().Strings(), QStringList(QStringLiteral("Kaputt")));
}

TEST(ExportWalk, SilentModesDecideHowAnErrorIsReported)
{
    PreparedReport silent(1);
    silent.report.EngineOptions().SetNewSilentMode(TfrxSilentMode::simSilent);
    RecordingFilter quiet;
    quiet.failOn = QStringLiteral("Memo1");
    EXPECT_FALSE(Export(silent.engine, quiet));
    EXPECT_TRUE(silent.host.shown.isEmpty());
    EXPECT_EQ(silent.report.Errors().Strings(), QStringList(QStringLiteral("Kaputt")));

    PreparedReport rethrow(1);
    rethrow.report.EngineOptions().SetNewSilentMode(TfrxSilentMode::simReThrow);
    RecordingFilter loud;
    loud.failOn = QStringLiteral("Memo1");
    EXPECT_THROW(Export(rethrow.engine, loud), Exception);
    EXPECT_TRUE(loud.calls.contains(QStringLiteral("Finish")));
}

TEST(ExportWalk, CancelEndsAfterTheBackgroundOfTheBegunPage)
{
    PreparedReport r(3);
    r.host.cancelAfterMessages = 2;
    RecordingFilter filter;
    EXPECT_TRUE(Export(r.engine, filter));
    EXPECT_EQ(filter.calls, (QStringList{QStringLiteral("Begin"), QStringLiteral("Start")} + PageCalls(0, QStringLiteral("Memo1"))
                                + QStringList{QStringLiteral("StartPage 1"), QStringLiteral("_pagebackground"),
                                    QStringLiteral("FinishPage 1"), QStringLiteral("Finish")}));
    EXPECT_EQ(r.host.progress.last(), QStringLiteral("stop"));
    EXPECT_TRUE(r.host.shown.isEmpty());
}

TEST(ExportWalk, ProgressNeedsTheFilterAndTheReport)
{
    for (const auto& [filterShows, reportShows] : {std::pair{true, false}, std::pair{false, true}}) {
        PreparedReport r(1);
        r.report.SetShowProgress(reportShows);
        RecordingFilter filter;
        filter.SetShowProgress(filterShows);
        EXPECT_TRUE(Export(r.engine, filter));
        EXPECT_TRUE(r.host.progress.isEmpty());
        EXPECT_EQ(filter.calls.size(), 8);
    }
}

TEST(ExportWalk, BandsFollowSuppressPageHeadersFootersAndDataOnly)
{
    PreparedReport r(3);
    for (int i = 0; i < 3; ++i) {
        r.page(i).Add<TfrxPageHeader>()->SetName(QStringLiteral("Header%1").arg(i));
        r.page(i).Add<TfrxPageFooter>()->SetName(QStringLiteral("Footer%1").arg(i));
        auto* data = r.page(i).Add<TfrxMasterData>();
        data->SetName(QStringLiteral("Data%1").arg(i));
        data->Add<TfrxMemoView>()->SetName(QStringLiteral("Row%1").arg(i));
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
    ASSERT_TRUE(Export(r.engine, all));
    EXPECT_EQ(bandsOf(all.calls).size(), 12);

    RecordingFilter suppressed;
    suppressed.SetSuppressPageHeadersFooters(true);
    ASSERT_TRUE(Export(r.engine, suppressed));
    EXPECT_EQ(bandsOf(suppressed.calls),
        (QStringList{QStringLiteral("Memo1"), QStringLiteral("Header0"), QStringLiteral("Row0"), QStringLiteral("Memo2"),
            QStringLiteral("Row1"), QStringLiteral("Memo3"), QStringLiteral("Footer2"), QStringLiteral("Row2")}));

    RecordingFilter dataOnly;
    dataOnly.SetDataOnly(true);
    ASSERT_TRUE(Export(r.engine, dataOnly));
    EXPECT_EQ(dataOnly.calls.filter(QRegularExpression(QStringLiteral("^(?!StartPage|FinishPage|Begin|Start|Finish)"))),
        (QStringList{QStringLiteral("Row0"), QStringLiteral("Row1"), QStringLiteral("Row2")}));
}

TEST(ExportWalk, TextObjectsAreCompletedForTheOutputOnly)
{
    PreparedReport r(2);
    auto* memo = dynamic_cast<TfrxCustomMemoView*>(r.page(0).FindObject(QStringLiteral("Memo1")));
    ASSERT_NE(memo, nullptr);
    memo->SetText(QStringLiteral("Seite von [TotalPages#]"));
    memo->Highlight().SetActive(true);
    memo->Highlight().Font().SetName(QStringLiteral("Courier New"));
    QString fontSeen;
    struct FontFilter : RecordingFilter {
        QString* font = nullptr;
        void ExportObject(TfrxComponent& object) override
        {
            RecordingFilter::ExportObject(object);
            if (object.Name() == QLatin1String("Memo1"))
                *font = object.Font().Name();
        }
    } filter;
    filter.font = &fontSeen;
    ASSERT_TRUE(Export(r.engine, filter));
    EXPECT_EQ(filter.texts.first(), QStringLiteral("Seite von 2"));
    EXPECT_EQ(fontSeen, QStringLiteral("Courier New"));
    EXPECT_EQ(memo->Text().trimmed(), QStringLiteral("Seite von [TotalPages#]"));
    EXPECT_NE(memo->Font().Name(), QStringLiteral("Courier New"));
}

TEST(ExportWalk, AutoWidthTextsReachTheFilterAtTheirMeasuredWidth)
{
    PreparedReport r(1);
    auto* memo = dynamic_cast<TfrxMemoView*>(r.report.FindObject(QStringLiteral("Memo1")));
    memo->SetBounds(7, 3, 300, 20);
    memo->SetText(QStringLiteral("Quittung"));
    memo->SetAutoWidth(true);
    auto* right = dynamic_cast<TfrxMemoView*>(memo->Parent()->Add<TfrxMemoView>());
    right->SetName(QStringLiteral("Right"));
    right->SetBounds(7, 30, 300, 20);
    right->SetText(QStringLiteral("Quittung"));
    right->SetAutoWidth(true);
    right->SetHAlign(TfrxHAlign::haRight);
    r.prepare();

    RecordingFilter filter;
    ASSERT_TRUE(Export(r.engine, filter));
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
    const auto* prepared = dynamic_cast<TfrxMemoView*>(r.page(0).FindObject(QStringLiteral("Right")));
    EXPECT_EQ(prepared->Width(), 300);
    EXPECT_EQ(prepared->Left(), 7);
}
