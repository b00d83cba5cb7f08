#pragma once

#include <QString>

namespace quittung::app {

// Whether a file can be created in the folder, found out by creating one (root writes where the
// permission bits say no).
bool canWriteIn(const QString& folder);

// What the program says about a program folder it cannot write (an installed /opt/quittung for a
// user who is not root): every receipt would fail there, and how to copy the folder to ~/Quittung.
QString programFolderReadOnlyMessage(const QString& programFolder);

} // namespace quittung::app
