#include "report/engine/pages/run_progress.h"

#include "report/document/engine_host.h"

namespace quittung::report {

RunProgress::RunProgress(Report& report, ProgressKind kind, bool showWindow)
    : m_report(report)
    , m_kind(kind)
    , m_showWindow(showWindow)
{
    if (m_report.events().progressStart)
        m_report.events().progressStart(m_report, m_kind, 0);
    if (m_showWindow)
        engineHost().progressStart(QString());
    engineHost().processMessages();
}

void RunProgress::step(int page, const QString& message)
{
    m_page = page;
    if (m_report.events().progress)
        m_report.events().progress(m_report, m_kind, page);
    if (m_showWindow) {
        engineHost().progressSetMessage(message);
        if (engineHost().progressTerminated())
            m_report.setTerminated(true);
    }
    engineHost().processMessages();
}

void RunProgress::stop()
{
    if (!m_running)
        return;
    m_running = false;
    if (m_showWindow)
        engineHost().progressStop();
    if (m_report.events().progressStop)
        m_report.events().progressStop(m_report, m_kind, m_page);
}

} // namespace quittung::report
