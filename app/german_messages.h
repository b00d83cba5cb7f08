#pragma once

#include <QString>

#include <exception>

namespace quittung::app {

// The report engine speaks English (its messages are kept as its own table has them); what the
// command line shows of them it shows in German: every engine text in a message is put into
// German, the values it names kept.
QString germanEngineText(const QString& text);

// An error as one line in German: the engine's list of errors loses its heading, its lines are
// joined.
QString errorLine(const std::exception& error);

} // namespace quittung::app
