#include "app/message_host.h"

#include <QApplication>
#include <QMessageBox>

namespace quittung {

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

std::unique_ptr<QMessageBox> MessageBoxHost::makeBox(const QString& caption, const QString& text, Icon icon, bool question)
{
    return std::make_unique<QMessageBox>(boxIcon(icon), caption, text,
        question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, QApplication::activeWindow());
}

void MessageBoxHost::ShowMessage(const QString& caption, const QString& text, Icon icon)
{
    makeBox(caption, text, icon, false)->exec();
}

bool MessageBoxHost::AskYesNo(const QString& caption, const QString& text, Icon icon)
{
    return makeBox(caption, text, icon, true)->exec() == QMessageBox::Yes;
}

} // namespace quittung
