#pragma once


#include <QString>

namespace quittung::report {

class EngineHost;

// The progress of one long run of a report, through the engine's host, its one channel: the
// progress window when the run shows one, and the window system's pending input handled on every
// step, so that the window's Cancel is seen. A cancel sets the run's terminated flag.
class RunProgress {
public:
    RunProgress(EngineHost& host, bool& terminated, bool showWindow);
    RunProgress(const RunProgress&) = delete;
    RunProgress& operator=(const RunProgress&) = delete;

    // The run has reached a page; message is what the window shows.
    void step(const QString& message);
    // Ends the progress, once; the run calls it however it ends.
    void stop();

private:
    EngineHost& m_host;
    bool& m_terminated;
    bool m_showWindow;
    bool m_running = true;
};

} // namespace quittung::report
