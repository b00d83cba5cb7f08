#pragma once

#include <QString>

namespace quittung {

// What the report engine asks of the program around it. The engine never opens a window itself:
// the program answers with real message boxes, tests with recorders.
class EngineHost {
public:
    enum class Icon { Information, Warning, Error, Question };

    virtual ~EngineHost() = default;
    // A modal message with an OK button.
    virtual void ShowMessage(const QString& caption, const QString& text, Icon icon) = 0;
    // A modal question with Yes and No; true for Yes.
    virtual bool AskYesNo(const QString& caption, const QString& text, Icon icon) = 0;
};

// The host the engine talks to. Without one set, messages go to the standard error stream and
// questions are answered with No.
EngineHost& engineHost();
// Replaces the host (nullptr: the fallback) and returns the one before.
EngineHost* setEngineHost(EngineHost* host);

} // namespace quittung
