#include "report/engine/progress.h"

#include "report/document/engine_host.h"

namespace quittung {

RunProgress::RunProgress(TfrxReport& report, TfrxReport::ProgressKind kind, bool showWindow)
    : m_report(report)
    , m_kind(kind)
    , m_showWindow(showWindow)
{
    if (m_report.OnProgressStart)
        m_report.OnProgressStart(m_report, m_kind, 0);
    if (m_showWindow)
        engineHost().ProgressStart(QString());
    engineHost().ProcessMessages();
}

void RunProgress::step(int page, const QString& message)
{
    m_page = page;
    if (m_report.OnProgress)
        m_report.OnProgress(m_report, m_kind, page);
    if (m_showWindow) {
        engineHost().ProgressSetMessage(message);
        if (engineHost().ProgressTerminated())
            m_report.SetTerminated(true);
    }
    engineHost().ProcessMessages();
}

void RunProgress::stop()
{
    if (!m_running)
        return;
    m_running = false;
    if (m_showWindow)
        engineHost().ProgressStop();
    if (m_report.OnProgressStop)
        m_report.OnProgressStop(m_report, m_kind, m_page);
}

} // namespace quittung
