<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>EngineMessages</name>
    <message>
        <source>Invalid file format</source>
        <translation>Ungültiges Dateiformat</translation>
    </message>
    <message>
        <source>Cannot find class</source>
        <translation>Klasse nicht gefunden</translation>
    </message>
    <message>
        <source>The following error(s) have occured:</source>
        <translation>Folgende Fehler sind aufgetreten:</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Exporting page %d</source>
        <translation>Seite %d wird exportiert</translation>
    </message>
    <message>
        <source>Preparing page %d</source>
        <translation>Seite %d wird aufbereitet</translation>
    </message>
    <message>
        <source>No printers installed on your system</source>
        <translation>Auf diesem System ist kein Drucker eingerichtet</translation>
    </message>
    <message>
        <source>Printer selected is not valid</source>
        <translation>Der gewählte Drucker ist ungültig</translation>
    </message>
    <message>
        <source>Printing page %d</source>
        <translation>Seite %d wird gedruckt</translation>
    </message>
    <message>
        <source>JPEG image</source>
        <translation>JPEG-Bild</translation>
    </message>
    <message>
        <source>Jpeg image (*.jpg)|*.jpg</source>
        <translation>JPEG-Bild (*.jpg)|*.jpg</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Invalid property value</source>
        <translation>Ungültiger Eigenschaftswert</translation>
    </message>
    <message>
        <source>Unknown variable or datafield:</source>
        <translation>Unbekannte Variable oder unbekanntes Datenfeld:</translation>
    </message>
    <message>
        <source>%s can only be used in a data band</source>
        <translation>%s kann nur in einem Datenband stehen</translation>
    </message>
    <message>
        <source>The page %s holds bands, which this program does not prepare</source>
        <translation>Die Seite %s enthält Bänder, die dieses Programm nicht aufbereitet</translation>
    </message>
    <message>
        <source>Invalid number</source>
        <translation>Ungültige Zahl</translation>
    </message>
    <message>
        <source>Number out of range</source>
        <translation>Zahl außerhalb des gültigen Bereichs</translation>
    </message>
    <message>
        <source>Unterminated string</source>
        <translation>Nicht abgeschlossene Zeichenkette</translation>
    </message>
    <message>
        <source>Invalid character code</source>
        <translation>Ungültiger Zeichencode</translation>
    </message>
    <message>
        <source>Unexpected symbol</source>
        <translation>Unerwartetes Symbol</translation>
    </message>
    <message>
        <source>Expression expected</source>
        <translation>Ausdruck erwartet</translation>
    </message>
    <message>
        <source>Undeclared identifier</source>
        <translation>Nicht deklarierter Bezeichner</translation>
    </message>
    <message>
        <source>Identifier expected</source>
        <translation>Bezeichner erwartet</translation>
    </message>
    <message>
        <source>Not a function</source>
        <translation>Keine Funktion</translation>
    </message>
    <message>
        <source>Expression too complex</source>
        <translation>Ausdruck zu komplex</translation>
    </message>
    <message>
        <source>Unknown character &apos;%s&apos;</source>
        <translation>Unbekanntes Zeichen &apos;%s&apos;</translation>
    </message>
    <message>
        <source>Division by zero</source>
        <translation>Division durch null</translation>
    </message>
    <message>
        <source>Invalid floating point operation</source>
        <translation>Ungültige Gleitkommaoperation</translation>
    </message>
    <message>
        <source>Floating point overflow</source>
        <translation>Gleitkommaüberlauf</translation>
    </message>
    <message>
        <source>Floating point division by zero</source>
        <translation>Gleitkommadivision durch null</translation>
    </message>
    <message>
        <source>String too long</source>
        <translation>Zeichenkette zu lang</translation>
    </message>
    <message>
        <source>Could not convert variant of type (%s) into type (%s)</source>
        <translation>Ein Wert vom Typ (%s) lässt sich nicht in den Typ (%s) umwandeln</translation>
    </message>
    <message>
        <source>Not enough actual parameters</source>
        <translation>Zu wenige Parameter</translation>
    </message>
    <message>
        <source>Too many actual parameters</source>
        <translation>Zu viele Parameter</translation>
    </message>
    <message>
        <source>Error in expression &apos;%s&apos;: %s</source>
        <translation>Fehler im Ausdruck &apos;%s&apos;: %s</translation>
    </message>
    <message>
        <source>Expressions nested too deeply in</source>
        <translation>Ausdrücke zu tief verschachtelt in</translation>
    </message>
    <message>
        <source>Font format error</source>
        <translation>Fehler im Schriftformat</translation>
    </message>
    <message>
        <source>Font table checksum error</source>
        <translation>Prüfsummenfehler in einer Schrifttabelle</translation>
    </message>
    <message>
        <source>Table ID &quot;%s&quot; checksum error.</source>
        <translation>Prüfsummenfehler in der Tabelle &quot;%s&quot;.</translation>
    </message>
    <message>
        <source>Duplicate table &quot;%s&quot;</source>
        <translation>Doppelte Tabelle &quot;%s&quot;</translation>
    </message>
    <message>
        <source>PDF file</source>
        <translation>PDF-Datei</translation>
    </message>
</context>
<context>
    <name>PageSettingsDialog</name>
    <message>
        <source>Page Settings</source>
        <translation>Seiteneinstellungen</translation>
    </message>
    <message>
        <source>Paper</source>
        <translation>Papier</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Benutzerdefiniert</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Format:</translation>
    </message>
    <message>
        <source>Width:</source>
        <translation>Breite:</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>Höhe:</translation>
    </message>
    <message>
        <source>Orientation</source>
        <translation>Ausrichtung</translation>
    </message>
    <message>
        <source>Portrait</source>
        <translation>Hochformat</translation>
    </message>
    <message>
        <source>Landscape</source>
        <translation>Querformat</translation>
    </message>
    <message>
        <source>Margins</source>
        <translation>Ränder</translation>
    </message>
    <message>
        <source>Left:</source>
        <translation>Links:</translation>
    </message>
    <message>
        <source>Top:</source>
        <translation>Oben:</translation>
    </message>
    <message>
        <source>Right:</source>
        <translation>Rechts:</translation>
    </message>
    <message>
        <source>Bottom:</source>
        <translation>Unten:</translation>
    </message>
</context>
<context>
    <name>PreparedReportFile</name>
    <message>
        <source>The file is not a prepared report: %1</source>
        <translation>Die Datei ist kein aufbereiteter Bericht: %1</translation>
    </message>
    <message>
        <source>The file is not a prepared report.</source>
        <translation>Die Datei ist kein aufbereiteter Bericht.</translation>
    </message>
    <message>
        <source>The prepared report holds an unknown element %1.</source>
        <translation>Der aufbereitete Bericht enthält ein unbekanntes Element %1.</translation>
    </message>
    <message>
        <source>The prepared report is damaged: %1</source>
        <translation>Der aufbereitete Bericht ist beschädigt: %1</translation>
    </message>
</context>
<context>
    <name>PreviewWindow</name>
    <message>
        <source>Prepared report (*.qpr)</source>
        <translation>Aufbereiteter Bericht (*.qpr)</translation>
    </message>
    <message>
        <source>Page width</source>
        <translation>Seitenbreite</translation>
    </message>
    <message>
        <source>Whole page</source>
        <translation>Ganze Seite</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Collapse all</source>
        <translation>Alle zuklappen</translation>
    </message>
    <message>
        <source>Expand all</source>
        <translation>Alle aufklappen</translation>
    </message>
    <message>
        <source>Outline</source>
        <translation>Gliederung</translation>
    </message>
    <message>
        <source>Thumbnails</source>
        <translation>Miniaturen</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>PDF</source>
        <translation>PDF</translation>
    </message>
    <message>
        <source>Export to PDF</source>
        <translation>Als PDF exportieren</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Find Next</source>
        <translation>Weitersuchen</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Vergrößern</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>Verkleinern</translation>
    </message>
    <message>
        <source>Full Screen</source>
        <translation>Vollbild</translation>
    </message>
    <message>
        <source>Report outline</source>
        <translation>Gliederung des Berichts</translation>
    </message>
    <message>
        <source>Page Settings</source>
        <translation>Seiteneinstellungen</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Edit Page</source>
        <translation>Seite bearbeiten</translation>
    </message>
    <message>
        <source>First</source>
        <translation>Erste</translation>
    </message>
    <message>
        <source>First Page</source>
        <translation>Erste Seite</translation>
    </message>
    <message>
        <source>Prior</source>
        <translation>Vorige</translation>
    </message>
    <message>
        <source>Prior Page</source>
        <translation>Vorige Seite</translation>
    </message>
    <message>
        <source>Page Number</source>
        <translation>Seitennummer</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Nächste</translation>
    </message>
    <message>
        <source>Next Page</source>
        <translation>Nächste Seite</translation>
    </message>
    <message>
        <source>Last</source>
        <translation>Letzte</translation>
    </message>
    <message>
        <source>Last Page</source>
        <translation>Letzte Seite</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
    <message>
        <source>Text not found: %1</source>
        <translation>Text nicht gefunden: %1</translation>
    </message>
    <message>
        <source>Text to find:</source>
        <translation>Zu suchender Text:</translation>
    </message>
    <message>
        <source>Cannot open %1: %2</source>
        <translation>%1 lässt sich nicht öffnen: %2</translation>
    </message>
    <message>
        <source>Cannot save %1: %2</source>
        <translation>%1 lässt sich nicht speichern: %2</translation>
    </message>
</context>
<context>
    <name>PrintDialog</name>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Printer</source>
        <translation>Drucker</translation>
    </message>
    <message>
        <source>Properties...</source>
        <translation>Eigenschaften...</translation>
    </message>
    <message>
        <source>Print to file</source>
        <translation>In Datei drucken</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Where:</source>
        <translation>Standort:</translation>
    </message>
    <message>
        <source>Pages</source>
        <translation>Seiten</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>Current page</source>
        <translation>Aktuelle Seite</translation>
    </message>
    <message>
        <source>Pages:</source>
        <translation>Seiten:</translation>
    </message>
    <message>
        <source>Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12</source>
        <translation>Seitenzahlen und/oder Seitenbereiche durch Kommas getrennt eingeben, zum Beispiel 1,3,5-12</translation>
    </message>
    <message>
        <source>Copies</source>
        <translation>Exemplare</translation>
    </message>
    <message>
        <source>Collate</source>
        <translation>Sortieren</translation>
    </message>
    <message>
        <source>Number of copies</source>
        <translation>Anzahl Exemplare</translation>
    </message>
    <message>
        <source>Print mode</source>
        <translation>Druckmodus</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Split big pages</source>
        <translation>Große Seiten aufteilen</translation>
    </message>
    <message>
        <source>Join small pages</source>
        <translation>Kleine Seiten zusammenfassen</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>Skalieren</translation>
    </message>
    <message>
        <source>Print on sheet</source>
        <translation>Drucken auf Blatt</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Weiteres</translation>
    </message>
    <message>
        <source>All pages</source>
        <translation>Alle Seiten</translation>
    </message>
    <message>
        <source>Odd pages</source>
        <translation>Ungerade Seiten</translation>
    </message>
    <message>
        <source>Even pages</source>
        <translation>Gerade Seiten</translation>
    </message>
    <message>
        <source>Vertical</source>
        <translation>Vertikal</translation>
    </message>
    <message>
        <source>Horizontal</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <source>Simplex</source>
        <translation>Einseitig</translation>
    </message>
    <message>
        <source>Direct (1-9)</source>
        <translation>Vorwärts (1-9)</translation>
    </message>
    <message>
        <source>Reverse (9-1)</source>
        <translation>Rückwärts (9-1)</translation>
    </message>
    <message>
        <source>Duplex</source>
        <translation>Duplex</translation>
    </message>
    <message>
        <source>Order</source>
        <translation>Reihenfolge</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Printer file (*.prn)</source>
        <translation>Druckdatei (*.prn)</translation>
    </message>
</context>
</TS>
