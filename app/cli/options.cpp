#include "app/cli/options.h"

#include "runtime/exception.h"

#include <optional>

namespace quittung::app::cli {

const char* const kHelp = R"(Aufruf: quittung-cli [OPTIONEN]
Erstellt Quittungen ohne Fenster, mit den Vorlagen und der Quittungsnummer des Programmordners.

Felder der Quittung (wie im Fenster):
  --nummer N        Quittungsnummer; ohne sie die nächste des Zählers (QID in Settings.ini)
  --ort ORT         Ort; ohne ihn der zuletzt gespeicherte (sonst Berlin)
  --datum DATUM     2020-07-03 oder im kurzen Datumsformat des Benutzers; ohne es heute
  --von NAME        von wem der Betrag erhalten wurde
  --fuer TEXT       wofür; Zeilenumbrüche sind erlaubt
  --netto BETRAG    Nettobetrag
  --mwst SATZ       MwSt.-Satz in Prozent; ohne ihn der gespeicherte (sonst 19)
  --brutto BETRAG   Bruttobetrag; der fehlende Betrag wird berechnet
                    Beträge im Zahlenformat des Benutzers oder mit "." als Dezimaltrennzeichen
Ausgabe:
  --format F        "A5 - Eine Seite", "A5 - Zwei Seiten", "A4 - Eine Seite", "A4 - Zwei Seiten"
                    oder kurz a5, a5-2, a4, a4-2
  --vorlage DATEI   diese Vorlage statt der des Formats
  --pdf [DATEI|ORDNER]  PDF-Datei schreiben (sonst im Ordner PDF/ des Programmordners)
  --jpg [DATEI|ORDNER]  JPEG-Datei schreiben (sonst im Ordner JPG/ des Programmordners)
  --drucken [DRUCKER]   ohne Dialog drucken, auf dem Standarddrucker oder dem genannten
Stapel:
  --csv DATEI       eine Quittung je Zeile; die Kopfzeile nennt die Spalten mit den Namen der
                    Felder oben ohne "--" (nummer;ort;datum;von;fuer;netto;mwst;brutto;format).
                    Trennzeichen ";" oder ","; UTF-8 oder Windows-1252. Optionen gelten für
                    Spalten, die die Datei nicht hat. Quittungsnummern werden vorab in der
                    Reihenfolge der Zeilen vergeben.
  --jobs N          so viele Quittungen gleichzeitig erstellen (ohne die Option: eine je
                    Prozessorkern; beim Drucken immer eine nach der anderen)
  --help            diese Hilfe

Jede geschriebene Datei steht in einer Zeile der Standardausgabe, in der Reihenfolge der Zeilen;
Fehler stehen mit ihrer Zeilennummer auf der Standardfehlerausgabe.

Beispiel:
  quittung-cli --von "Muster GmbH" --fuer "Beratung" --brutto 119,00 --format a4-2 --pdf
  quittung-cli --csv quittungen.csv --pdf /tmp/quittungen/ --jpg

Rückgabewerte:
  0  alle Quittungen erstellt
  1  eine oder mehrere Quittungen nicht erstellt (Fehler auf der Standardfehlerausgabe)
  2  falscher Aufruf
)";

const QStringList& fieldNames()
{
    static const QStringList names = {QStringLiteral("nummer"), QStringLiteral("ort"), QStringLiteral("datum"),
        QStringLiteral("von"), QStringLiteral("fuer"), QStringLiteral("netto"), QStringLiteral("mwst"),
        QStringLiteral("brutto"), QStringLiteral("format")};
    return names;
}

Options parseOptions(const QStringList& arguments)
{
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString name = arguments[i];
        std::optional<QString> value;
        if (!name.startsWith(QLatin1String("--")))
            throw UsageFault{QStringLiteral("Unerwartetes Argument: %1").arg(name)};
        name = name.mid(2);
        if (const qsizetype equals = name.indexOf(u'='); equals >= 0) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        }
        const bool optionalValue = name == QLatin1String("pdf") || name == QLatin1String("jpg")
            || name == QLatin1String("drucken");
        const bool needsValue
            = fieldNames().contains(name) || name == QLatin1String("vorlage") || name == QLatin1String("csv")
            || name == QLatin1String("jobs");
        if (name == QLatin1String("help")) {
            options.help = true;
            continue;
        }
        if (!optionalValue && !needsValue)
            throw UsageFault{QStringLiteral("Unbekannte Option: --%1").arg(name)};
        if (!value && i + 1 < arguments.size() && (needsValue || !arguments[i + 1].startsWith(QLatin1String("--"))))
            value = arguments[++i];
        if (needsValue && !value)
            throw UsageFault{QStringLiteral("Die Option --%1 braucht einen Wert.").arg(name)};
        if (name == QLatin1String("pdf"))
            options.pdf = {true, value.value_or(QString())};
        else if (name == QLatin1String("jpg"))
            options.jpeg = {true, value.value_or(QString())};
        else if (name == QLatin1String("drucken"))
            options.print = {true, value.value_or(QString())};
        else if (name == QLatin1String("vorlage"))
            options.templateFile = *value;
        else if (name == QLatin1String("csv"))
            options.csv = *value;
        else if (name == QLatin1String("jobs")) {
            bool ok = false;
            options.jobs = value->toInt(&ok);
            if (!ok || options.jobs < 1)
                throw UsageFault{QStringLiteral("Die Option --jobs braucht eine Zahl ab 1.")};
        } else
            options.fields[name] = *value;
    }
    return options;
}

int outputFormatIndex(const QString& text)
{
    const QString names[][2] = {{QStringLiteral("A5 - Eine Seite"), QStringLiteral("a5")},
        {QStringLiteral("A5 - Zwei Seiten"), QStringLiteral("a5-2")},
        {QStringLiteral("A4 - Eine Seite"), QStringLiteral("a4")},
        {QStringLiteral("A4 - Zwei Seiten"), QStringLiteral("a4-2")}};
    const QString wanted = text.trimmed();
    for (int i = 0; i < int(std::size(names)); ++i) {
        if (wanted.compare(names[i][0], Qt::CaseInsensitive) == 0 || wanted.compare(names[i][1], Qt::CaseInsensitive) == 0
            || wanted == QString::number(i))
            return i;
    }
    throw Exception(QStringLiteral("Unbekanntes Ausgabeformat: %1").arg(text));
}

} // namespace quittung::app::cli
