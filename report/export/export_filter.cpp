#include "report/export/export_filter.h"

#include "report/document/band.h"
#include "report/document/engine_host.h"
#include "report/document/engine_messages.h"
#include "report/document/memo_view.h"
#include "report/document/other_objects.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/engine/draw_text.h"
#include "report/engine/engine.h"
#include "report/engine/preview_pages.h"
#include "report/engine/view_drawing.h"
#include "runtime/exception.h"
#include "runtime/messages.h"

#include <algorithm>
#include <optional>

namespace quittung {

void TfrxCustomExportFilter::FinishPage(TfrxReportPage&, int) {}
void TfrxCustomExportFilter::StartPage(TfrxReportPage&, int) {}

namespace {

// Thrown when the user's Cancel is seen; ends the walk without a message.
struct ExportCancelled {};

int ToPageNumber(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        throw EConvertError(formatMessage(msg::SInvalidInteger, {text}));
    return value;
}

bool IsDataBand(const TfrxComponent* object)
{
    return dynamic_cast<const TfrxMasterData*>(object) || dynamic_cast<const TfrxDetailData*>(object)
        || dynamic_cast<const TfrxSubdetailData*>(object) || dynamic_cast<const TfrxDataBand4*>(object)
        || dynamic_cast<const TfrxDataBand5*>(object) || dynamic_cast<const TfrxDataBand6*>(object);
}

// Places a prepared page at its margins for the time of its export: the page's Left and Top take
// the margins and the bands move with them, so the objects' absolute positions count from the
// paper's corner. Text objects completed for the output get their text and font back. The store
// is left as it was, ready for the next export or the preview.
class PagePlacement {
public:
    PagePlacement(TfrxReportPage& page, int index)
        : m_page(page)
        , m_left(page.Left())
        , m_top(page.Top())
    {
        const double margin = page.MirrorMargins() && index % 2 == 1 ? page.RightMargin() : page.LeftMargin();
        m_dx = margin * PixelsPerMm;
        m_dy = page.TopMargin() * PixelsPerMm;
        page.SetLeft(m_dx);
        page.SetTop(m_dy);
        for (const auto& child : page.Children()) {
            if (auto* band = dynamic_cast<TfrxBand*>(child.get())) {
                band->SetLeft(band->Left() + m_dx);
                band->SetTop(band->Top() + m_dy);
                m_bands.push_back(band);
            }
        }
    }
    ~PagePlacement()
    {
        for (const Completed& memo : m_memos) {
            memo.memo->SetText(memo.text);
            memo.memo->SetFont(memo.font);
            memo.memo->SetParentFont(memo.parentFont);
            memo.memo->SetLeft(memo.left);
            memo.memo->SetWidth(memo.width);
        }
        for (TfrxBand* band : m_bands) {
            band->SetLeft(band->Left() - m_dx);
            band->SetTop(band->Top() - m_dy);
        }
        m_page.SetLeft(m_left);
        m_page.SetTop(m_top);
    }
    PagePlacement(const PagePlacement&) = delete;
    PagePlacement& operator=(const PagePlacement&) = delete;

    double left() const { return m_dx; }
    double top() const { return m_dy; }

    void remember(TfrxCustomMemoView& memo)
    {
        m_memos.push_back({&memo, memo.Text(), memo.Font(), memo.ParentFont(), memo.Left(), memo.Width()});
    }

private:
    struct Completed {
        TfrxCustomMemoView* memo;
        QString text;
        TfrxFont font;
        bool parentFont;
        double left;
        double width;
    };
    TfrxReportPage& m_page;
    double m_left;
    double m_top;
    double m_dx = 0;
    double m_dy = 0;
    std::vector<TfrxBand*> m_bands;
    std::vector<Completed> m_memos;
};

class PageWalk {
public:
    PageWalk(TfrxEngine& engine, TfrxCustomExportFilter& filter, std::vector<int> selected)
        : m_pages(engine.PreviewPages())
        , m_filter(filter)
        , m_selected(std::move(selected))
        , m_progress(filter.ShowProgress() && engine.Report().ShowProgress())
    {
    }

    void run()
    {
        if (m_filter.OnBeginExport)
            m_filter.OnBeginExport(m_filter);
        if (!m_filter.Start())
            return;
        if (m_progress)
            engineHost().ProgressStart(QString());
        try {
            for (int i = 0; i < m_pages.Count(); ++i) {
                exportPage(i);
                engineHost().ProcessMessages();
            }
        } catch (...) {
            end();
            throw;
        }
        end();
    }

private:
    void end()
    {
        if (m_progress)
            engineHost().ProgressStop();
        m_filter.Finish();
    }

    void exportPage(int i)
    {
        if (!m_selected.empty() && std::find(m_selected.begin(), m_selected.end(), i + 1) == m_selected.end())
            return;
        TfrxReportPage& page = *m_pages.Page(i);
        if (m_progress) {
            engineHost().ProgressSetMessage(frxGet(QStringLiteral("expExportingPage")).replace(QStringLiteral("%d"),
                QString::number(i + 1)));
            m_terminated = engineHost().ProgressTerminated();
        }
        m_filter.StartPage(page, i);
        try {
            PagePlacement placement(page, i);
            exportBackground(page, placement);
            for (const auto& child : page.Children()) {
                auto* band = dynamic_cast<TfrxBand*>(child.get());
                if (!band || skipBand(*band, i))
                    continue;
                exportObject(*band, placement);
                for (const auto& object : band->Children())
                    exportObject(*object, placement);
            }
        } catch (...) {
            m_filter.FinishPage(page, i);
            throw;
        }
        m_filter.FinishPage(page, i);
    }

    bool skipBand(const TfrxBand& band, int i) const
    {
        if (!m_filter.SuppressPageHeadersFooters())
            return false;
        if (dynamic_cast<const TfrxPageHeader*>(&band))
            return i > 0;
        if (dynamic_cast<const TfrxPageFooter*>(&band))
            return i != m_pages.Count() - 1;
        return false;
    }

    void exportBackground(const TfrxReportPage& page, PagePlacement& placement)
    {
        // The printable area's colour and frame, painted under everything else.
        TfrxPictureView background;
        background.SetName(QStringLiteral("_pagebackground"));
        background.SetColor(page.Color());
        background.Frame() = page.Frame();
        background.SetBounds(placement.left(), placement.top(), page.PageWidth(), page.PageHeight());
        exportObject(background, placement);
    }

    void exportObject(TfrxComponent& object, PagePlacement& placement)
    {
        if (m_filter.DataOnly() && !IsDataBand(object.Parent()))
            return;
        if (auto* memo = dynamic_cast<TfrxCustomMemoView*>(&object)) {
            placement.remember(*memo);
            if (memo->Highlight().Active())
                memo->SetFont(memo->Highlight().Font());
            ExtractMacros(*memo, m_pages.Count(), 1);
            FitAutoWidth(*memo, TfrxDrawText::Shared());
        }
        m_filter.ExportObject(object);
        if (m_terminated)
            throw ExportCancelled{};
    }

    const TfrxPreviewPages& m_pages;
    TfrxCustomExportFilter& m_filter;
    std::vector<int> m_selected;
    bool m_progress;
    bool m_terminated = false;
};

} // namespace

std::vector<int> ParsePageNumbers(const QString& text, int pageCount)
{
    QString range = text;
    range.remove(QLatin1Char(' '));
    std::vector<int> pages;
    if (range.isEmpty())
        return pages;
    if (range.endsWith(QLatin1Char('-')))
        range += QString::number(pageCount);
    for (const QString& part : range.split(QLatin1Char(','))) {
        const qsizetype dash = part.indexOf(QLatin1Char('-'));
        if (dash < 0) {
            pages.push_back(ToPageNumber(part));
            continue;
        }
        const int first = ToPageNumber(part.left(dash));
        const int last = ToPageNumber(part.mid(dash + 1));
        for (int page = first; page <= last; ++page)
            pages.push_back(page);
    }
    return pages;
}

bool Export(TfrxEngine& engine, TfrxCustomExportFilter& filter)
{
    TfrxReport& report = engine.Report();
    filter.m_creationTime = QDateTime::currentDateTime();
    filter.m_report = &report;
    filter.m_previewPages = &engine.PreviewPages();
    if (filter.ShowDialog() && filter.ShowModal() != 1)
        return false;
    // There is no preview whose page could be meant.
    if (filter.CurPage())
        filter.SetPageNumbers(QStringLiteral("1"));

    try {
        PageWalk walk(engine, filter, ParsePageNumbers(filter.PageNumbers(), engine.PreviewPages().Count()));
        walk.run();
    } catch (const ExportCancelled&) {
        return true;
    } catch (const std::exception& error) {
        report.Errors().Add(exceptionMessage(error));
        report.ReportErrors();
        return false;
    }
    return true;
}

} // namespace quittung
