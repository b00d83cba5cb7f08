#pragma once

#include "app/program_folder.h"

#include <QIcon>
#include <QString>

#include <memory>

class QLocale;
class QTranslator;

namespace quittung::report {
class EngineHost;
} // namespace quittung::report

namespace quittung::app {

// The program's icon in every size the resources carry; set on the application, every window
// takes it, the preview's too.
QIcon programIcon();

// Qt's own texts (dialog buttons, file dialogs) in German when the locale is German: installs
// Qt's German translation and returns it, to be kept for as long as the application runs.
// Nothing is installed for other languages, or when the translation is not there.
std::unique_ptr<QTranslator> installQtTranslations(const QLocale& locale);
// The program's own texts beyond the main window (the preview and its dialogs, the print dialog,
// the engine's messages) the same way: English is the source language, German is translated.
std::unique_ptr<QTranslator> installProgramTranslations(const QLocale& locale);

// Says once, as a warning, that the program folder cannot be written and where to copy it,
// before the first receipt fails on it. True when it had to.
bool warnIfProgramFolderReadOnly(const QString& programFolder, report::EngineHost& host);

} // namespace quittung::app
