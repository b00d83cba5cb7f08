#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <utility>

namespace quittung::app {

// The program's default error handler. An error that leaves an event handler ends that handler,
// is shown in a modal message box (error icon, OK, the application title as caption) and the
// program goes on. Every event handler of the program runs its body through guarded().

// Shows caption and text to the user. The program shows a modal message box; tests record.
using ErrorPresenter = std::function<void(const QString& caption, const QString& text)>;

// Replaces the presenter and returns the one before.
ErrorPresenter setErrorPresenter(ErrorPresenter presenter);

// The title of a program file: its name up to the first ".", every character after the first in
// lower case ("QUITTUNG.EXE" gives "Quittung").
QString applicationTitleFor(const QString& programFilePath);
// The running program's title.
QString applicationTitle();

void showError(const std::exception& error);
void showUnknownError();

template <class Handler>
void guarded(Handler&& handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& error) {
        showError(error);
    } catch (...) {
        showUnknownError();
    }
}

} // namespace quittung::app
