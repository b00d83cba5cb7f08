#pragma once

#include <QString>

namespace quittung::report {

// What the report engine asks of the program around it. The engine never opens a window itself:
// the program answers with real message boxes, tests with recorders.
class EngineHost {
public:
    enum class Icon { Information, Warning, Error, Question };

    virtual ~EngineHost() = default;
    // A modal message with an OK button.
    virtual void showMessage(const QString& caption, const QString& text, Icon icon) = 0;
    // A modal question with Yes and No; true for Yes.
    virtual bool askYesNo(const QString& caption, const QString& text, Icon icon) = 0;

    // The progress window of a long run (an export): shown with a first message, its message
    // replaced page by page, asked whether the user clicked Cancel, and closed. The defaults show
    // nothing and never cancel.
    virtual void progressStart(const QString& message);
    virtual void progressSetMessage(const QString& message);
    virtual bool progressTerminated();
    virtual void progressStop();
    // Lets the window system handle pending input and repaints between pages.
    virtual void processMessages();
    // Opens a finished file with the program the desktop associates with it.
    virtual void openFile(const QString& path);
};

// The host the engine talks to. Without one set, messages go to the standard error stream,
// questions are answered with No, and there is no progress window and nothing is opened.
EngineHost& engineHost();
// Replaces the host (nullptr: the fallback) and returns the one before.
EngineHost* setEngineHost(EngineHost* host);

} // namespace quittung::report
