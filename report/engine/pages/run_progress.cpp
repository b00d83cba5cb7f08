#include "report/engine/pages/run_progress.h"

#include "report/document/engine_host.h"

namespace quittung::report {

RunProgress::RunProgress(bool& terminated, bool showWindow)
    : m_terminated(terminated)
    , m_showWindow(showWindow)
{
    if (m_showWindow)
        engineHost().progressStart(QString());
    engineHost().processMessages();
}

void RunProgress::step(const QString& message)
{
    if (m_showWindow) {
        engineHost().progressSetMessage(message);
        if (engineHost().progressTerminated())
            m_terminated = true;
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
}

} // namespace quittung::report
