#include "report/export/export_filter.h"

#include "report/document/band.h"
#include "report/document/engine_host.h"
#include "report/document/engine_messages.h"
#include "report/document/text_object.h"
#include "report/document/other_objects.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/engine/pages/page_walk.h"
#include "report/engine/pages/prepared_pages.h"
#include "report/engine/pages/report_preparer.h"
#include "report/export/export_files.h"
#include "runtime/exception.h"
#include "runtime/messages.h"

#include <QStringTokenizer>

#include <algorithm>
#include <optional>

namespace quittung::report {

EngineHost& ExportFilter::host() const
{
    return m_engine ? m_engine->host() : engineHost();
}

void ExportFilter::finishPage(const ReportPage&, int) {}
void ExportFilter::startPage(const ReportPage&, int) {}

namespace {

int toPageNumber(QStringView text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        throw ConvertError(formatMessage(msg::SInvalidInteger, {text.toString()}));
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
    PageWalk(ReportPreparer& engine, ExportFilter& filter, PageSelection selected)
        : m_pages(engine.preparedPages())
        , m_host(engine.host())
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
            m_host.progressStart(QString());
        try {
            for (int i = 0; i < m_pages.count(); ++i) {
                exportPage(i);
                if (m_cancelled)
                    break;
                m_host.processMessages();
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
            m_host.progressStop();
        m_filter.finish();
    }

    void exportPage(int i)
    {
        if (!m_selected.contains(i + 1))
            return;
        const ReportPage& page = *m_pages.page(i);
        if (m_progress) {
            m_host.progressSetMessage(engineMessage(QStringLiteral("expExportingPage"))
                                                .replace(QStringLiteral("%d"), QString::number(i + 1)));
            m_terminated = m_host.progressTerminated();
        }
        m_filter.startPage(page, i);
        try {
            PageWalkOptions options;
            options.totalPages = m_pages.count();
            // The band whose objects follow; the walk's completed copies have no parent.
            const Band* band = nullptr;
            walkPage(m_pages, i, options, [&](const ReportObject& object) {
                if (m_cancelled)
                    return false;
                if (const auto* visited = dynamic_cast<const Band*>(&object)) {
                    band = visited;
                    if (skipBand(*band, i))
                        return false;
                }
                exportObject(object, band);
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

    void exportObject(const ReportObject& object, const Band* band)
    {
        if (m_filter.dataOnly() && (&object == band || !isDataBand(band)))
            return;
        m_filter.exportObject(object);
        // The user's Cancel ends the walk after the object that saw it, without a message.
        m_cancelled = m_terminated;
    }

    const PreparedPages& m_pages;
    EngineHost& m_host;
    ExportFilter& m_filter;
    PageSelection m_selected;
    bool m_progress;
    bool m_terminated = false;
    bool m_cancelled = false;
};

} // namespace

PageSelection::PageSelection(int pageCount, bool all) : m_pageCount(std::max(pageCount, 0)), m_all(all) {}

PageSelection PageSelection::all(int pageCount)
{
    return PageSelection(pageCount, true);
}

PageSelection PageSelection::none(int pageCount)
{
    return PageSelection(pageCount, false);
}

bool PageSelection::contains(int page) const
{
    if (page < 1 || page > m_pageCount)
        return false;
    return m_all || (!m_selected.empty() && m_selected[std::size_t(page - 1)]);
}

int PageSelection::count() const
{
    if (m_all)
        return m_pageCount;
    return int(std::count(m_selected.begin(), m_selected.end(), true));
}

std::vector<int> PageSelection::pages() const
{
    std::vector<int> pages;
    for (int page = 1; page <= m_pageCount; ++page) {
        if (contains(page))
            pages.push_back(page);
    }
    return pages;
}

void PageSelection::addRange(int first, int last)
{
    // Cut before anything is counted: a range may name pages far beyond the report.
    first = std::max(first, 1);
    last = std::min(last, m_pageCount);
    if (m_all || last < first)
        return;
    if (m_selected.empty())
        m_selected.resize(std::size_t(m_pageCount));
    std::fill(m_selected.begin() + (first - 1), m_selected.begin() + last, true);
}

PageSelection parsePageNumbers(const QString& text, int pageCount)
{
    QString range = text;
    range.remove(QLatin1Char(' '));
    if (range.isEmpty())
        return PageSelection::all(pageCount);
    if (range.endsWith(QLatin1Char('-')))
        range += QString::number(pageCount);
    PageSelection selection = PageSelection::none(pageCount);
    for (const QStringView part : qTokenize(range, u',')) {
        const qsizetype dash = part.indexOf(QLatin1Char('-'));
        if (dash < 0) {
            const int page = toPageNumber(part);
            selection.addRange(page, page);
        } else {
            selection.addRange(toPageNumber(part.left(dash)), toPageNumber(part.mid(dash + 1)));
        }
    }
    return selection;
}

bool exportReport(ReportPreparer& engine, ExportFilter& filter, const QString& fileName, ExportFiles* files)
{
    const Report& report = engine.report();
    filter.m_creationTime = report.now();
    filter.m_report = &report;
    filter.m_engine = &engine;
    filter.m_preparedPages = &engine.preparedPages();
    if (filter.showDialog() && filter.showModal() != 1)
        return false;
    // The target is this export's only: the filter keeps the name it had and no files.
    struct Target {
        ExportFilter& filter;
        QString previousName;
        Target(ExportFilter& f, const QString& name, ExportFiles* files) : filter(f), previousName(f.fileName())
        {
            filter.setFileName(name);
            filter.m_files = files;
        }
        ~Target()
        {
            filter.setFileName(previousName);
            filter.m_files = nullptr;
        }
    } target(filter, fileName, files);
    try {
        PageWalk walk(engine, filter, parsePageNumbers(filter.pageNumbers(), engine.preparedPages().count()));
        walk.run();
    } catch (const Exception& error) {
        engine.errors().add(error.message());
        engine.reportErrors();
        return false;
    }
    return true;
}

bool exportReport(ReportPreparer& engine, ExportFilter& filter)
{
    if (filter.stream())
        return exportReport(engine, filter, filter.fileName(), nullptr);
    ExportFiles files;
    return exportReport(engine, filter, filter.targetFileName(), &files) && publishExport(filter, files);
}

QString ExportFilter::targetFileName() const
{
    if (m_fileName.isEmpty() || m_defaultPath.isEmpty() || m_fileName.contains(QLatin1Char('/')))
        return m_fileName;
    return m_defaultPath + QLatin1Char('/') + m_fileName;
}

bool publishExport(ExportFilter& filter, ExportFiles& files)
{
    const QStringList failures = files.publish();
    if (failures.isEmpty()) {
        filter.filesPublished(files.fileNames());
        return true;
    }
    if (ReportPreparer* engine = filter.engine()) {
        for (const QString& failure : failures)
            engine->errors().add(failure);
        engine->reportErrors();
    }
    return false;
}

} // namespace quittung::report
