#include "report/export/export_filter.h"

#include "report/document/band.h"
#include "report/document/engine_host.h"
#include "report/document/engine_messages.h"
#include "report/document/text_object.h"
#include "report/document/other_objects.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/engine/report_preparer.h"
#include "report/engine/prepared_pages.h"
#include "report/engine/page_walk.h"
#include "runtime/exception.h"
#include "runtime/messages.h"

#include <algorithm>
#include <optional>

namespace quittung::report {

void ExportFilter::finishPage(ReportPage&, int) {}
void ExportFilter::startPage(ReportPage&, int) {}

namespace {

int toPageNumber(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        throw ConvertError(formatMessage(msg::SInvalidInteger, {text}));
    return value;
}

bool isDataBand(const ReportObject* object)
{
    return dynamic_cast<const MasterDataBand*>(object) || dynamic_cast<const DetailDataBand*>(object)
        || dynamic_cast<const SubdetailDataBand*>(object) || dynamic_cast<const DataBand4*>(object)
        || dynamic_cast<const DataBand5*>(object) || dynamic_cast<const DataBand6*>(object);
}

class PageWalk {
public:
    PageWalk(ReportPreparer& engine, ExportFilter& filter, std::vector<int> selected)
        : m_pages(engine.preparedPages())
        , m_filter(filter)
        , m_selected(std::move(selected))
        , m_progress(filter.showProgress() && engine.report().showProgress())
    {
    }

    void run()
    {
        if (m_filter.onBeginExport())
            m_filter.onBeginExport()(m_filter);
        if (!m_filter.start())
            return;
        if (m_progress)
            engineHost().progressStart(QString());
        try {
            for (int i = 0; i < m_pages.count(); ++i) {
                exportPage(i);
                if (m_cancelled)
                    break;
                engineHost().processMessages();
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
            engineHost().progressStop();
        m_filter.finish();
    }

    void exportPage(int i)
    {
        if (!m_selected.empty() && std::find(m_selected.begin(), m_selected.end(), i + 1) == m_selected.end())
            return;
        ReportPage& page = *m_pages.page(i);
        if (m_progress) {
            engineHost().progressSetMessage(engineMessage(QStringLiteral("expExportingPage"))
                                                .replace(QStringLiteral("%d"), QString::number(i + 1)));
            m_terminated = engineHost().progressTerminated();
        }
        m_filter.startPage(page, i);
        try {
            PageWalkOptions options;
            options.totalPages = m_pages.count();
            walkPage(m_pages, i, options, [&](ReportObject& object) {
                if (m_cancelled)
                    return false;
                if (auto* band = dynamic_cast<Band*>(&object); band && skipBand(*band, i))
                    return false;
                exportObject(object);
                return true;
            });
        } catch (...) {
            m_filter.finishPage(page, i);
            throw;
        }
        m_filter.finishPage(page, i);
    }

    bool skipBand(const Band& band, int i) const
    {
        if (!m_filter.suppressPageHeadersFooters())
            return false;
        if (dynamic_cast<const PageHeaderBand*>(&band))
            return i > 0;
        if (dynamic_cast<const PageFooterBand*>(&band))
            return i != m_pages.count() - 1;
        return false;
    }

    void exportObject(ReportObject& object)
    {
        if (m_filter.dataOnly() && !isDataBand(object.parent()))
            return;
        m_filter.exportObject(object);
        // The user's Cancel ends the walk after the object that saw it, without a message.
        m_cancelled = m_terminated;
    }

    const PreparedPages& m_pages;
    ExportFilter& m_filter;
    std::vector<int> m_selected;
    bool m_progress;
    bool m_terminated = false;
    bool m_cancelled = false;
};

} // namespace

std::vector<int> parsePageNumbers(const QString& text, int pageCount)
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
            pages.push_back(toPageNumber(part));
            continue;
        }
        const int first = toPageNumber(part.left(dash));
        const int last = toPageNumber(part.mid(dash + 1));
        for (int page = first; page <= last; ++page)
            pages.push_back(page);
    }
    return pages;
}

bool exportReport(ReportPreparer& engine, ExportFilter& filter)
{
    Report& report = engine.report();
    filter.m_creationTime = report.now();
    filter.m_report = &report;
    filter.m_preparedPages = &engine.preparedPages();
    if (filter.showDialog() && filter.showModal() != 1)
        return false;
    // There is no preview whose page could be meant.
    if (filter.curPage())
        filter.setPageNumbers(QStringLiteral("1"));

    try {
        PageWalk walk(engine, filter, parsePageNumbers(filter.pageNumbers(), engine.preparedPages().count()));
        walk.run();
    } catch (const Exception& error) {
        report.errors().add(error.message());
        report.reportErrors();
        return false;
    }
    return true;
}

} // namespace quittung::report
