#pragma once

#include "report/document/engine_host.h"

#include <QString>

#include <memory>

class QMessageBox;

namespace quittung {

// The report engine's messages and questions as modal message boxes over the active window.
class MessageBoxHost : public EngineHost {
public:
    void ShowMessage(const QString& caption, const QString& text, Icon icon) override;
    bool AskYesNo(const QString& caption, const QString& text, Icon icon) override;

    // The box a message or question is shown in.
    static std::unique_ptr<QMessageBox> makeBox(const QString& caption, const QString& text, Icon icon, bool question);
};

} // namespace quittung
