#include "app/error_handler.h"

#include "runtime/exception.h"
#include "runtime/messages.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace quittung::app {

namespace {

void showMessageBox(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

ErrorPresenter& presenter()
{
    static ErrorPresenter current = showMessageBox;
    return current;
}

void present(const QString& message)
{
    presenter()(applicationTitle(), messageForDisplay(message));
}

} // namespace

ErrorPresenter setErrorPresenter(ErrorPresenter replacement)
{
    return std::exchange(presenter(), std::move(replacement));
}

QString applicationTitleFor(const QString& programFilePath)
{
    QString name = QFileInfo(programFilePath).fileName();
    name.truncate(name.indexOf(QLatin1Char('.')) < 0 ? name.size() : name.indexOf(QLatin1Char('.')));
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
    return name;
}

QString applicationTitle()
{
    return applicationTitleFor(QCoreApplication::applicationFilePath());
}

void showError(const std::exception& error)
{
    present(exceptionMessage(error));
}

void showUnknownError()
{
    present(QString::fromUtf8(msg::SUnknownError));
}

} // namespace quittung::app
