#include "report/engine/pages/run_progress.h"

#include "report/document/engine_host.h"

namespace quittung::report {

RunProgress::RunProgress(EngineHost& host, bool& terminated, bool showWindow)
    : m_host(host)
    , m_terminated(terminated)
    , m_showWindow(showWindow)
{
    if (m_showWindow)
        m_host.progressStart(QString());
    m_host.processMessages();
}

void RunProgress::step(const QString& message)
{
    if (m_showWindow) {
        m_host.progressSetMessage(message);
        if (m_host.progressTerminated())
            m_terminated = true;
    }
    m_host.processMessages();
}

void RunProgress::stop()
{
    if (!m_running)
        return;
    m_running = false;
    if (m_showWindow)
        m_host.progressStop();
}

} // namespace quittung::report
