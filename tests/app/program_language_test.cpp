#include "app/message_host.h"
#include "app/program_start.h"
#include "report/document/engine_messages.h"
#include "report/document/report.h"
#include "report/engine/pages/report_preparer.h"
#include "report/export/export_filter.h"
#include "report/preview/page_settings_dialog.h"
#include "report/preview/preview_window.h"
#include "tools/example_receipt.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QInputDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTimer>
#include <QTranslator>
#include <QXmlStreamReader>

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <memory>

using namespace quittung;
using namespace quittung::app;
using namespace quittung::report;

namespace {

// What the user reads in the program's windows beyond the main window.
struct Texts {
    QString title;
    QString status;
    QStringList buttons; // Print, Find, Zoom In, Page Settings, First, Next, Close
    QString wholePage;   // the zoom box's last entry
    QString notFound;
    QStringList findBox; // the label, then the buttons
    QStringList pageSettings;
    QString noPrinters;
    QString progressCancel;
    QString pdfFilter;

    bool operator==(const Texts&) const = default;
};

void PrintTo(const Texts& texts, std::ostream* out)
{
    for (const QStringList& part : {QStringList{texts.title, texts.status}, texts.buttons, QStringList{texts.wholePage,
             texts.notFound}, texts.findBox, texts.pageSettings, QStringList{texts.noPrinters, texts.progressCancel, texts.pdfFilter}}) {
        PrintTo(part, out);
        *out << '\n';
    }
}

// The find box is modal: it is read and closed from the event loop it runs.
QStringList askedForText(PreviewWindow& window)
{
    QStringList texts;
    QTimer::singleShot(0, [&texts] {
        auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!box)
            return;
        texts << box->labelText() << box->okButtonText() << box->cancelButtonText();
        box->reject();
    });
    window.findChild<QAction*>(QStringLiteral("find"))->trigger();
    return texts;
}

Texts shownTexts(ReportPreparer& engine)
{
    Texts texts;
    PreviewWindow window(engine, {});
    window.show();
    texts.title = window.windowTitle();
    texts.status = window.statusText();
    for (const char* name : {"print", "find", "zoomIn", "pageSettings", "first", "next", "close"})
        texts.buttons << window.findChild<QAction*>(QString::fromLatin1(name))->text();
    const auto* zoomBox = window.findChild<QComboBox*>();
    texts.wholePage = zoomBox->itemText(zoomBox->count() - 1);
    window.find(QStringLiteral("xyz"));
    texts.notFound = window.statusBar()->currentMessage();
    texts.findBox = askedForText(window);

    PageSettingsDialog pageSettings(PageSettings::of(*engine.preparedPages().page(0)));
    texts.pageSettings << pageSettings.windowTitle();
    for (const QGroupBox* group : pageSettings.findChildren<QGroupBox*>())
        texts.pageSettings << group->title();

    texts.noPrinters = engineMessage(QStringLiteral("prNoPrinters"));
    texts.progressCancel = ProgressWindow().cancelButton()->text();
    texts.pdfFilter = engineMessage(QStringLiteral("expPDFDescription"));
    return texts;
}

} // namespace

TEST(ProgramLanguage, TheProgramsOwnWindowsSpeakGermanUnderAGermanLocaleAndEnglishElse)
{
    Report report;
    ASSERT_TRUE(loadExampleReceipt(report, QStringLiteral(QUITTUNG_FORMS_DIR "/QuittungA4.Dat"), true));
    ReportPreparer engine(report);
    ASSERT_TRUE(engine.prepareReport());
    ASSERT_EQ(engine.preparedPages().count(), 2);

    const Texts english{QStringLiteral("Preview"), QStringLiteral("Page 1 of 2"),
        {"Print", "Find", "Zoom In", "Page Settings", "First", "Next", "Close"}, QStringLiteral("Whole page"),
        QStringLiteral("Text not found: xyz"), {"Text to find:", "OK", "Cancel"},
        {"Page Settings", "Paper", "Orientation", "Margins"}, QStringLiteral("No printers installed on your system"),
        QStringLiteral("Cancel"), QStringLiteral("PDF file")};
    const Texts german{QStringLiteral("Vorschau"), QStringLiteral("Seite 1 von 2"),
        {"Drucken", "Suchen", "Vergrößern", "Seiteneinstellungen", "Erste", "Nächste", "Schließen"},
        QStringLiteral("Ganze Seite"), QStringLiteral("Text nicht gefunden: xyz"), {"Zu suchender Text:", "OK", "Abbrechen"},
        {"Seiteneinstellungen", "Papier", "Ausrichtung", "Ränder"},
        QStringLiteral("Auf diesem System ist kein Drucker eingerichtet"), QStringLiteral("Abbrechen"),
        QStringLiteral("PDF-Datei")};
    const struct {
        const char* locale;
        const Texts& expected;
    } cases[] = {
        {"de_DE.UTF-8", german},
        {"de_AT", german},
        {"C", english},
        {"en_US.UTF-8", english},
        {"fr_FR.UTF-8", english},
    };
    for (const auto& c : cases) {
        const QLocale locale(QString::fromLatin1(c.locale));
        // Installed as the program does at its start; they are removed again when they go.
        const auto qtTranslations = installQtTranslations(locale);
        const auto programTranslations = installProgramTranslations(locale);
        EXPECT_EQ(shownTexts(engine), c.expected) << c.locale;
    }
}

// Every text of translations/quittung_de.ts is translated, and a translation keeps the placeholders
// of its source text: "%s" and "%d" are filled in the order they stand, "%1".."%9" by number.
TEST(ProgramLanguage, EveryGermanTextIsFinishedAndKeepsItsPlaceholders)
{
    QFile file(QStringLiteral(QUITTUNG_TRANSLATIONS_DIR "/quittung_de.ts"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto placeholders = [](const QString& text) {
        static const QRegularExpression inOrder(QStringLiteral("%[sd]"));
        static const QRegularExpression numbered(QStringLiteral("%[1-9]"));
        QStringList found;
        for (const QRegularExpressionMatch& match : inOrder.globalMatch(text))
            found << match.captured();
        QStringList byNumber;
        for (const QRegularExpressionMatch& match : numbered.globalMatch(text))
            byNumber << match.captured();
        byNumber.sort();
        return found + byNumber;
    };
    QXmlStreamReader reader(&file);
    QString context;
    QString source;
    int messages = 0;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == QLatin1String("name")) {
            context = reader.readElementText();
        } else if (reader.name() == QLatin1String("source")) {
            source = reader.readElementText();
        } else if (reader.name() == QLatin1String("translation")) {
            const bool unfinished = reader.attributes().value(QLatin1String("type")) == QLatin1String("unfinished");
            const QString translation = reader.readElementText();
            ++messages;
            EXPECT_FALSE(unfinished || translation.isEmpty()) << context.toStdString() << ": " << source.toStdString();
            EXPECT_EQ(placeholders(translation), placeholders(source)) << context.toStdString() << ": " << source.toStdString();
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    EXPECT_GT(messages, 0);
}
