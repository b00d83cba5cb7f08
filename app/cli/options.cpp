#include "app/cli/options.h"

#include "runtime/exception.h"

#include <optional>

namespace quittung::app::cli {

const char* const kHelp = R"(Aufruf: quittung-cli [OPTIONEN]
Erstellt Quittungen ohne Fenster, mit den Vorlagen und der Quittungsnummer des Programmordners.

Felder der Quittung (wie im Fenster):
  --nummer N        Quittungsnummer; ohne sie die nächste des Zählers (QID in Settings.ini)
  --ort ORT         Ort; ohne ihn der zuletzt gespeicherte (sonst Berlin)
  --datum DATUM     2020-07-03, 03.07.2020 oder 03.07.20; ohne es heute
  --von NAME        von wem der Betrag erhalten wurde
  --fuer TEXT       wofür; Zeilenumbrüche sind erlaubt
  --netto BETRAG    Nettobetrag
  --mwst SATZ       MwSt.-Satz in Prozent; ohne ihn der gespeicherte (sonst 19)
  --brutto BETRAG   Bruttobetrag
                    Beträge und Datum werden in jeder Spracheinstellung deutsch gelesen: ","
                    trennt die Cent ab, "." die Tausender vor Gruppen von genau drei Ziffern
                    (1.234,56 und 1.234), sonst ist "." der Dezimalpunkt (119.00). Mindestens
                    ein Betrag ist nötig, der fehlende wird berechnet; sind Netto und Brutto
                    beide angegeben, müssen sie mit dem Satz auf den Cent zusammenpassen.
                    Nummer, Ort und Von dürfen keine Steuerzeichen (etwa Zeilenumbrüche)
                    enthalten.
Ausgabe (mindestens eine):
  --format F        "A5 - Eine Seite", "A5 - Zwei Seiten", "A4 - Eine Seite", "A4 - Zwei Seiten"
                    oder kurz a5, a5-2, a4, a4-2
  --vorlage DATEI   diese Vorlage statt der des Formats
  --pdf [DATEI|ORDNER]  PDF-Datei schreiben (sonst im Ordner PDF/ des Programmordners)
  --jpg [DATEI|ORDNER]  JPEG-Dateien schreiben, eine je Seite (sonst im Ordner JPG/)
                    Ein Ordner ist einer, den es gibt, oder ein Name mit "/" am Ende; darin
                    heißen die Dateien wie im Fenster (Nummer-Datum-Von.PDF).
  --drucken [DRUCKER]   ohne Dialog drucken, auf dem Standarddrucker oder dem genannten
  --streng          ein Text, der nicht in sein Feld der Vorlage passt, ist ein Fehler der
                    Quittung statt einer Warnung (ohne die Option wird sie mit dem
                    abgeschnittenen Text erstellt)
Stapel:
  --csv DATEI       eine Quittung je Zeile; "-" liest die Standardeingabe. Die Kopfzeile
                    nennt die Spalten mit den Namen der Felder oben ohne "--"
                    (nummer;ort;datum;von;fuer;netto;mwst;brutto;format); andere Spalten
                    werden mit einer Warnung übergangen, eine Spalte darf nur einmal stehen.
                    Trennzeichen ";" oder ","; ein Feld in Anführungszeichen darf
                    Trennzeichen und Zeilenumbrüche enthalten, "" steht darin für ein
                    Anführungszeichen. UTF-8 oder Windows-1252. Optionen gelten für Spalten,
                    die die Datei nicht hat. --pdf und --jpg nennen hier einen Ordner.
  --jobs N          so viele Quittungen gleichzeitig erstellen (ohne die Option: eine je
                    Prozessorkern; beim Drucken immer eine nach der anderen)
  -h, --help        diese Hilfe
  --version         die Version des Programms

Eine Quittung bekommt ihre Nummer vom Zähler erst, wenn alles geprüft ist, woran sie scheitern
könnte; ein Stapel vergibt die Nummern in der Reihenfolge der Zeilen, während er sie erstellt.
Jede geschriebene Datei steht in einer Zeile der Standardausgabe, in der Reihenfolge der Zeilen;
Fehler stehen mit ihrer Zeilennummer auf der Standardfehlerausgabe. Strg+C (SIGINT) oder SIGTERM
beenden einen Stapel, sobald die Zeilen in Arbeit fertig sind.

Beispiele:
  quittung-cli --von "Muster GmbH" --fuer "Beratung" --brutto 119,00 --format a4-2 --pdf
  quittung-cli --nummer 7 --datum 03.07.2020 --von "Muster GmbH" --netto 1.234,56 --pdf beleg.pdf
  quittung-cli --csv quittungen.csv --pdf quittungen/ --jpg

Rückgabewerte:
  0    alle Quittungen erstellt
  1    eine oder mehrere Quittungen nicht erstellt (die Gründe auf der Standardfehlerausgabe),
       eine CSV-Datei ohne Zeilen, oder die Standardausgabe ließ sich nicht schreiben
  2    falscher Aufruf: unbekannte Option, fehlender oder ungültiger Wert, keine Ausgabe gewählt,
       eine CSV-Datei, die sich nicht lesen lässt oder eine Spalte zweimal nennt
  130  abgebrochen durch SIGINT oder SIGTERM
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
        if (name == QLatin1String("-h")) {
            options.help = true;
            continue;
        }
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
        if (name == QLatin1String("help") || name == QLatin1String("version") || name == QLatin1String("streng")) {
            if (value)
                throw UsageFault{QStringLiteral("Die Option --%1 nimmt keinen Wert.").arg(name)};
            (name == QLatin1String("help") ? options.help : name == QLatin1String("version") ? options.version : options.strict)
                = true;
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
    throw Exception(QStringLiteral("Format: '%1' ist kein Ausgabeformat; möglich sind a5, a5-2, a4, a4-2, \"A5 - Eine "
                                   "Seite\", \"A5 - Zwei Seiten\", \"A4 - Eine Seite\" und \"A4 - Zwei Seiten\".")
                        .arg(text));
}

} // namespace quittung::app::cli
