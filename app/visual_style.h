#pragma once

#include <QString>

#include <memory>
#include <optional>

class QApplication;
class QMessageBox;

namespace quittung::app {

// The program's visual styles are carried as resources under ":/styles/<NAME>/", each a palette
// (palette.json) and a style sheet (style.qss). "Carbon" is the dark grey style of the program.

// The resource folder of the style with this name, compared without regard to case.
std::optional<QString> findVisualStyle(const QString& name);

// Applies the style to all windows; false when there is no style of that name.
bool applyVisualStyle(QApplication& application, const QString& name);

// The "Fehler" box for a style that is missing.
std::unique_ptr<QMessageBox> makeStyleNotFoundBox(const QString& name);

// Applies the style, or tells the user it is missing and goes on with the default look.
void applyVisualStyleOrComplain(QApplication& application, const QString& name);

} // namespace quittung::app
