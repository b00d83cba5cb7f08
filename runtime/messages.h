#pragma once

#include <QString>

#include <initializer_list>

namespace quittung {

// The German messages of the runtime layer, each in one place. "%s" and "%d" are filled in by
// formatMessage in the order of their arguments.
namespace msg {
inline constexpr const char* SInvalidFloat = "'%s' ist kein gültiger Gleitkommawert";
inline constexpr const char* SInvalidInteger = "'%s' ist kein gültiger Integerwert";
inline constexpr const char* SListIndexError = "Listenindex überschreitet das Maximum (%d)";
inline constexpr const char* SIntOverflow = "Integerüberlauf";
inline constexpr const char* SInvalidName = "''%s'' ist kein gültiger Komponentenname";
inline constexpr const char* SFCreateErrorEx = "Datei \"%s\" kann nicht erstellt werden. %s";
inline constexpr const char* SFOpenErrorEx = "Datei %s kann nicht geöffnet werden. %s";
inline constexpr const char* SStyleNotFound = "Stil '%s' nicht gefunden";
inline constexpr const char* SMsgDlgError = "Fehler";
inline constexpr const char* SCloseButton = "&Schließen";
inline constexpr const char* SUnknownError = "Unbekannter Fehler";
inline constexpr const char* SAmountTooLarge =
    "Der Betrag %s ist zu groß: Quittungen sind bis höchstens 999.999.999.999,99 möglich";
inline constexpr const char* SReadError = "Lesefehler: die Daten enden vor dem Ende eines Werts";
inline constexpr const char* SVatRateImpossible =
    "Mit dem MwSt.-Satz %s lassen sich Netto- und Bruttobetrag nicht berechnen";
inline constexpr const char* SProgramFolderReadOnly =
    "In den Programmordner %s kann nicht geschrieben werden. Quittung legt dort die Einstellungen "
    "(Settings.ini) und die Quittungen (PDF und JPG) ab, daher würde jede Quittung scheitern.\n\n"
    "Kopieren Sie den Programmordner nach %s und starten Sie Quittung von dort, im Terminal zum "
    "Beispiel so:\n\ncp -r %s ~/Quittung\n~/Quittung/Quittung";
} // namespace msg

// Fills "%s" and "%d" placeholders of a message pattern with the arguments in order; "%%" is a
// percent sign. Placeholders without an argument stay as they are.
QString formatMessage(const char* pattern, std::initializer_list<QString> args = {});
QString formatMessage(const QString& pattern, std::initializer_list<QString> args = {});

} // namespace quittung
