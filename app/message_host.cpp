#include "app/message_host.h"

#include "report/document/engine_messages.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

namespace quittung::app {

using report::EngineHost;
using report::engineMessage;

namespace {

QMessageBox::Icon boxIcon(EngineHost::Icon icon)
{
    switch (icon) {
    case EngineHost::Icon::Information: return QMessageBox::Information;
    case EngineHost::Icon::Warning: return QMessageBox::Warning;
    case EngineHost::Icon::Error: return QMessageBox::Critical;
    case EngineHost::Icon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

ProgressWindow::ProgressWindow()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_message(new QLabel(this))
    , m_cancel(new QPushButton(engineMessage(QStringLiteral("expCancel")), this))
{
    setObjectName(QStringLiteral("ProgressWindow"));
    setFixedSize(271, 101);
    // Exports show no progress bar, so the message sits where the bar would be.
    m_message->setGeometry(12, 28, 247, 20);
    m_message->setAlignment(Qt::AlignCenter);
    m_cancel->setGeometry(98, 64, 75, 25);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_terminated = true;
        close();
    });
}

ProgressWindow::~ProgressWindow()
{
    enableDisabled();
}

void ProgressWindow::start(const QString& message)
{
    m_terminated = false;
    setMessage(message);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    QWidget* active = QApplication::activeWindow();
    if (active && active != this) {
        m_disabled = active;
        active->setEnabled(false);
    }
    show();
    raise();
}

void ProgressWindow::stop()
{
    hide();
    enableDisabled();
}

void ProgressWindow::setMessage(const QString& message)
{
    m_message->setText(message);
}

QString ProgressWindow::message() const
{
    return m_message->text();
}

void ProgressWindow::hideEvent(QHideEvent* event)
{
    enableDisabled();
    QWidget::hideEvent(event);
}

void ProgressWindow::enableDisabled()
{
    if (m_disabled)
        m_disabled->setEnabled(true);
    m_disabled = nullptr;
}

MessageBoxHost::MessageBoxHost() = default;
MessageBoxHost::~MessageBoxHost() = default;

std::unique_ptr<QMessageBox> MessageBoxHost::makeBox(
    const QString& caption, const QString& text, Icon icon, bool question)
{
    return std::make_unique<QMessageBox>(boxIcon(icon), caption, text,
        question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, QApplication::activeWindow());
}

void MessageBoxHost::showMessage(const QString& caption, const QString& text, Icon icon)
{
    makeBox(caption, text, icon, false)->exec();
}

bool MessageBoxHost::askYesNo(const QString& caption, const QString& text, Icon icon)
{
    return makeBox(caption, text, icon, true)->exec() == QMessageBox::Yes;
}

void MessageBoxHost::progressStart(const QString& message)
{
    m_progress = std::make_unique<ProgressWindow>();
    m_progress->start(message);
    processMessages();
}

void MessageBoxHost::progressSetMessage(const QString& message)
{
    if (!m_progress)
        return;
    m_progress->setMessage(message);
    processMessages();
}

bool MessageBoxHost::progressTerminated()
{
    return m_progress && m_progress->terminated();
}

void MessageBoxHost::progressStop()
{
    if (m_progress)
        m_progress->stop();
    m_progress.reset();
}

void MessageBoxHost::processMessages()
{
    QCoreApplication::processEvents();
}

void MessageBoxHost::openFile(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace quittung::app
