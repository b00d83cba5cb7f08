#pragma once

#include "report/document/engine_host.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class QLabel;
class QMessageBox;
class QPushButton;

namespace quittung::app {

// The small borderless window that shows the page being exported, with a Cancel button. While it
// is shown, the window that was active before is disabled, so no second command can start.
class ProgressWindow : public QWidget {
public:
    ProgressWindow();
    ~ProgressWindow() override;

    // Shows the window centred on the screen and disables the active window.
    void start(const QString& message);
    // Hides the window and enables the window disabled by start.
    void stop();
    void setMessage(const QString& message);
    QString message() const;
    // Whether Cancel was clicked.
    bool terminated() const { return m_terminated; }
    QPushButton* cancelButton() const { return m_cancel; }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void enableDisabled();

    QLabel* m_message;
    QPushButton* m_cancel;
    QPointer<QWidget> m_disabled;
    bool m_terminated = false;
};

// The report engine's messages and questions as modal message boxes over the active window, its
// progress in a ProgressWindow, and files opened with the desktop's program.
class MessageBoxHost : public report::EngineHost {
public:
    MessageBoxHost();
    ~MessageBoxHost() override;

    void showMessage(const QString& caption, const QString& text, Icon icon) override;
    bool askYesNo(const QString& caption, const QString& text, Icon icon) override;
    void progressStart(const QString& message) override;
    void progressSetMessage(const QString& message) override;
    bool progressTerminated() override;
    void progressStop() override;
    void processMessages() override;
    void openFile(const QString& path) override;

    // The box a message or question is shown in.
    static std::unique_ptr<QMessageBox> makeBox(const QString& caption, const QString& text, Icon icon, bool question);
    // The progress window while a run shows one.
    ProgressWindow* progressWindow() const { return m_progress.get(); }

private:
    std::unique_ptr<ProgressWindow> m_progress;
};

} // namespace quittung::app
