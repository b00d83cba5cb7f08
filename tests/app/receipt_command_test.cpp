// The button "Quittung erstellen" from the window's fields to the files, the preview and the
// printout. The preview and the printer are recorded at the point where the receipt hands its
// prepared pages over; everything before it (settings file, templates, preparation, exports) is real.

#include "app/error_handler.h"
#include "app/receipt_window.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/report_options.h"
#include "report/engine/pages/report_preparer.h"
#include "report/preview/preview_window.h"
#include "settings/ini_settings.h"
#include "tests/support/recording_engine_host.h"
#include "tools/example_receipt.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::app;
using namespace quittung::report;

namespace {

const QDateTime kNow(QDate(2026, 12, 10), QTime(9, 30));

class ReceiptCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        QDir program(folder.path());
        for (const char* sub : {"Forms", "PDF", "JPG"})
            ASSERT_TRUE(program.mkpath(QString::fromLatin1(sub)));
        for (const char* form : {"Quittung.Dat", "QuittungA4.Dat"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(QUITTUNG_FORMS_DIR "/") + QString::fromLatin1(form),
                path("Forms/") + QString::fromLatin1(form)));
        writeSettings("[Telvo]\r\nQID=11\r\n");
        previousPresenter = setErrorPresenter([this](const QString&, const QString& text) { errors << text; });

        window = std::make_unique<ReceiptWindow>(FormatSettings::german(), folder.path(), [] { return kNow; });
        window->show();
        // Every template the window reads tells when a preparation begins.
        window->receiptJob().setTemplates(std::make_shared<TemplateStore>(FormatSettings::german(),
            [] { return kNow; }, [this](Report& report) { report.events().beginDoc = [this](const Report&) { onPrepare(); }; }));
        ReceiptOutput output;
        output.preview = [this](ReportPreparer& preparer, const Receipt&) {
            log << QStringLiteral("preview");
            shownPages = preparer.preparedPages().count();
            shownWidth = shownPages ? preparer.preparedPages().page(0)->paperWidth() : 0;
            settingsAtPreview = readSettings();
            amountsAtPreview = window->netEdit->text() + u'|' + window->grossEdit->text();
            numberAtPreview = window->numberEdit->text();
            shownAtPreview = host.shown;
        };
        output.print = [this](ReportPreparer&, const PrintOptions& options) {
            log << (options.showDialog() ? QStringLiteral("print with dialog") : QStringLiteral("print"));
            return printSucceeds;
        };
        output.hasPrinter = [this] { return printerInstalled; };
        window->setReceiptOutput(output);
        window->dateEdit->setDate(QDate(2020, 7, 3));
        window->payerEdit->setText(QStringLiteral("Muster GmbH"));
        window->grossEdit->setText(QStringLiteral("119"));
    }
    void TearDown() override { setErrorPresenter(previousPresenter); }

    QString path(const char* relative) const { return folder.filePath(QString::fromUtf8(relative)); }
    void writeSettings(const QByteArray& content)
    {
        QFile file(path("Settings.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray readSettings() const
    {
        QFile file(path("Settings.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void choose(bool pdf, bool jpeg, bool preview, bool direct, int format = 0)
    {
        window->pdfCheck->setChecked(pdf);
        window->jpegCheck->setChecked(jpeg);
        window->previewCheck->setChecked(preview);
        window->directPrintCheck->setChecked(direct);
        window->formatBox->setItemIndex(format);
    }
    // Presses the button as the program does: an error goes to the error handler.
    void press() { guarded([this] { window->createReceipt(); }); }
    QStringList files(const char* sub) const { return QDir(path(sub)).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir folder;
    RecordingEngineHost host;
    QStringList errors;
    ErrorPresenter previousPresenter;
    std::unique_ptr<ReceiptWindow> window;
    QStringList log;
    std::function<void()> onPrepare = [this] { log << QStringLiteral("prepare"); };
    bool printSucceeds = true;
    bool printerInstalled = true;
    int shownPages = -1;
    double shownWidth = 0;
    QByteArray settingsAtPreview;
    QString amountsAtPreview;
    QString numberAtPreview;
    QStringList shownAtPreview;
};

} // namespace

// Which preparations, previews and printouts a run makes, by the choices: one preparation serves
// every output.
TEST_F(ReceiptCommandTest, ThePreviewOrThePrintoutComesLastAndOnePreparationServesAll)
{
    const struct {
        bool pdf, jpeg, preview, direct;
        QStringList expected;
    } cases[] = {
        {true, true, true, false, {"prepare", "preview"}},
        {false, false, false, false, {"prepare", "print with dialog"}},
        {false, false, true, true, {"prepare", "preview"}},
        {false, true, false, true, {"prepare", "print"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected.join(u',').toStdString());
        log.clear();
        window->payerEdit->setText(QStringLiteral("Muster GmbH"));
        window->grossEdit->setText(QStringLiteral("119"));
        choose(c.pdf, c.jpeg, c.preview, c.direct);
        press();
        EXPECT_EQ(log, c.expected);
        EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    }
    // Each run advanced the number and emptied the fields for the next receipt.
    EXPECT_EQ(window->numberEdit->text(), QStringLiteral("16"));
    EXPECT_TRUE(window->payerEdit->text().isEmpty());
}

// A text the template cuts off is told, with its field, before the receipt is shown; the receipt is
// made all the same. A receipt that fits tells nothing.
TEST_F(ReceiptCommandTest, ATextTheTemplateCutsOffIsToldBeforeTheReceiptIsShown)
{
    const struct {
        const char* name;
        QString payer;
        QString purpose;
        QString field;
    } cases[] = {
        {"long payer", overlongPayer(), QStringLiteral("Miete"), QStringLiteral("Von")},
        {"long purpose", QStringLiteral("Muster GmbH"), overlongPurpose(), QStringLiteral(u"Für")},
        {"fitting", QStringLiteral(u"Zoë Ångström"), QStringLiteral("Miete\nJuli"), QString()},
    };
    for (const int format : {0, 2}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " in format " + std::to_string(format));
            host.shown.clear();
            log.clear();
            choose(false, false, true, false, format);
            window->payerEdit->setText(c.payer);
            window->purposeEdit->setPlainText(c.purpose);
            window->grossEdit->setText(QStringLiteral("119"));
            press();
            EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
            EXPECT_EQ(log, (QStringList{QStringLiteral("prepare"), QStringLiteral("preview")}));
            const QStringList expected = c.field.isEmpty() ? QStringList()
                : QStringList{QStringLiteral(u"Quittung|Der Text im Feld „%1“ ist zu lang für die Vorlage und wird "
                                             u"abgeschnitten.").arg(c.field)};
            EXPECT_EQ(shownAtPreview, expected);
            EXPECT_EQ(host.shown, expected);
        }
    }
}

TEST_F(ReceiptCommandTest, FilesAreNamedByNumberDateAndPayerInTheirFolders)
{
    window->numberEdit->setText(QStringLiteral("12"));
    choose(true, true, true, false);
    press();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    EXPECT_TRUE(host.shown.isEmpty()) << host.shown.join(u'\n').toStdString();
    EXPECT_EQ(files("PDF"), QStringList{QStringLiteral("12-03.07.2020-Muster GmbH.PDF")});
    EXPECT_EQ(files("JPG"), QStringList{QStringLiteral("12-03.07.2020-Muster GmbH.1.jpg")});
    // The preview saw the completed amounts, and the number was already in the settings file.
    EXPECT_EQ(amountsAtPreview, QStringLiteral("100|119"));
    EXPECT_TRUE(settingsAtPreview.contains("QID=12")) << settingsAtPreview.toStdString();

    window->numberEdit->setText(QStringLiteral("13"));
    window->dateEdit->setDate(QDate(2020, 7, 3));
    window->grossEdit->setText(QStringLiteral("119"));
    choose(true, false, true, false);
    press();
    EXPECT_TRUE(files("PDF").contains(QStringLiteral("13-03.07.2020-.PDF"))) << files("PDF").join(u',').toStdString();
}

// Everything a press can be refused for is checked before anything is stored: one message naming
// the field, no number taken, no file, and every field as typed.
TEST_F(ReceiptCommandTest, APressThatCannotSucceedStoresNothingAndKeepsTheFields)
{
    const QString templatePath = path("Forms/Quittung.Dat");
    const struct {
        const char* field;
        const char* text;
        bool direct;
        bool removeTemplate;
        QString message;
    } cases[] = {
        {"von", "../../x", false, false, QStringLiteral("Von: Der Name enthält einen Schrägstrich (/), der aus dem Ausgabeordner führen würde.")},
        {"von", "Muster\x01GmbH", false, false, QStringLiteral("Von: Der Text enthält ein Steuerzeichen (U+0001), das in keinem Dateinamen stehen kann.")},
        {"QID", "abc", false, false, QStringLiteral("Nummer: 'abc' ist keine gültige Quittungsnummer (eine ganze Zahl von 1 bis 2147483646).")},
        {"QID", "12345678901234567890", false, false, QStringLiteral("Nummer: '12345678901234567890' ist keine gültige Quittungsnummer (eine ganze Zahl von 1 bis 2147483646).")},
        {"QID", "0", false, false, QStringLiteral("Nummer: '0' ist keine gültige Quittungsnummer (eine ganze Zahl von 1 bis 2147483646).")},
        {"QID", "", false, false, QStringLiteral("Nummer: Bitte eine Quittungsnummer eingeben.")},
        {"brutto", "zwölf", false, false, QStringLiteral("Bruttobetrag: 'zwölf' ist keine gültige Zahl.")},
        {"MwSt", "abc", false, false, QStringLiteral("MwSt.: 'abc' ist keine gültige Zahl.")},
        {"brutto", "119", true, false, QStringLiteral("Direktdruck: Es ist kein Drucker eingerichtet.")},
        {"brutto", "119", false, true, QStringLiteral("Vorlage \"%1\": Die Datei gibt es nicht.").arg(templatePath)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        errors.clear();
        log.clear();
        const QByteArray settingsBefore = readSettings();
        printerInstalled = !c.direct;
        if (c.removeTemplate)
            ASSERT_TRUE(QFile::rename(templatePath, templatePath + QStringLiteral(".weg")));
        choose(true, true, !c.direct, c.direct, 0);
        window->findChild<QLineEdit*>(QString::fromLatin1(c.field))->setText(QString::fromUtf8(c.text));
        const QString number = window->numberEdit->text();
        const QString gross = window->grossEdit->text();
        const QString payer = window->payerEdit->text();
        press();
        EXPECT_EQ(errors, QStringList{c.message});
        EXPECT_TRUE(log.isEmpty()) << log.join(u',').toStdString();
        EXPECT_TRUE(files("PDF").isEmpty());
        EXPECT_TRUE(files("JPG").isEmpty());
        EXPECT_EQ(readSettings(), settingsBefore);
        EXPECT_EQ(window->numberEdit->text(), number);
        EXPECT_EQ(window->grossEdit->text(), gross);
        EXPECT_EQ(window->payerEdit->text(), payer);
        EXPECT_TRUE(window->netEdit->text().isEmpty());
        // Put right for the next case.
        window->numberEdit->setText(QStringLiteral("12"));
        window->payerEdit->setText(QStringLiteral("Muster GmbH"));
        window->grossEdit->setText(QStringLiteral("119"));
        window->vatRateEdit->setText(QStringLiteral("19"));
        if (c.removeTemplate)
            ASSERT_TRUE(QFile::rename(templatePath + QStringLiteral(".weg"), templatePath));
    }
}

// Good and refused presses in turn from QID=100 give the receipts 101 to 104 without a gap, each
// under the number the window showed when the button was pressed.
TEST_F(ReceiptCommandTest, RefusedPressesTakeNoNumber)
{
    writeSettings("[Telvo]\r\nQID=100\r\n");
    window = std::make_unique<ReceiptWindow>(FormatSettings::german(), folder.path(), [] { return kNow; });
    window->receiptJob().output() = ReceiptOutput();
    window->show();
    for (const char* gross : {"119", "abc", "119", "abc", "abc", "119", "119"}) {
        SCOPED_TRACE(gross);
        const QString shown = window->numberEdit->text();
        window->payerEdit->setText(QStringLiteral("Muster GmbH"));
        window->grossEdit->setText(QString::fromLatin1(gross));
        choose(true, false, false, false);
        window->previewCheck->setChecked(false);
        press();
        if (QByteArray(gross) == "119")
            EXPECT_TRUE(files("PDF").last().startsWith(shown + u'-')) << files("PDF").join(u',').toStdString();
    }
    EXPECT_EQ(files("PDF").size(), 4);
    for (const char* number : {"101-", "102-", "103-", "104-"})
        EXPECT_EQ(files("PDF").filter(QRegularExpression(QStringLiteral("^") + QString::fromLatin1(number))).size(), 1) << number;
    EXPECT_TRUE(readSettings().contains("QID=104\r\n")) << readSettings().toStdString();
}

// A printout that fails or is cancelled, with no file chosen, delivers nothing: the fields stay for
// another try, which makes the receipt under the number already stored for it.
TEST_F(ReceiptCommandTest, APressThatDeliversNothingKeepsTheFields)
{
    ASSERT_EQ(window->numberEdit->text(), QStringLiteral("12"));
    window->purposeEdit->setPlainText(QStringLiteral("Miete"));
    choose(false, false, false, false);
    printSucceeds = false;
    press();
    EXPECT_EQ(log, (QStringList{QStringLiteral("prepare"), QStringLiteral("print with dialog")}));
    EXPECT_EQ(window->numberEdit->text(), QStringLiteral("12"));
    EXPECT_EQ(window->payerEdit->text(), QStringLiteral("Muster GmbH"));
    EXPECT_EQ(window->purposeEdit->toPlainText(), QStringLiteral("Miete"));
    EXPECT_TRUE(readSettings().contains("QID=12\r\n"));

    printSucceeds = true;
    log.clear();
    press();
    EXPECT_EQ(log, (QStringList{QStringLiteral("prepare"), QStringLiteral("print with dialog")}));
    EXPECT_TRUE(readSettings().contains("QID=12\r\n")) << "the stored number was made, not skipped";
    EXPECT_EQ(window->numberEdit->text(), QStringLiteral("13"));
    EXPECT_TRUE(window->payerEdit->text().isEmpty());
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

// A settings file that cannot be written would hand out the number again: the press is refused.
TEST_F(ReceiptCommandTest, ASettingsFileThatCannotBeWrittenRefusesThePress)
{
    ASSERT_TRUE(QFile::remove(path("Settings.ini")));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("Settings.ini")));
    choose(true, false, true, false);
    press();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().startsWith(QStringLiteral("Die Einstellungsdatei "))) << errors.front().toStdString();
    EXPECT_TRUE(log.isEmpty()) << log.join(u',').toStdString();
    EXPECT_TRUE(files("PDF").isEmpty());
    EXPECT_EQ(window->payerEdit->text(), QStringLiteral("Muster GmbH"));
}

// The command line shares the counter: a number it handed out while the window was open is not
// handed out again, while a number the user typed is the user's choice (numbering starts again).
TEST_F(ReceiptCommandTest, ANumberTheCommandLineHandedOutMeanwhileIsNotUsedAgain)
{
    ASSERT_EQ(window->numberEdit->text(), QStringLiteral("12"));
    settings::IniSettings commandLine;
    configureReceiptSettings(commandLine, folder.path() + u'/');
    commandLine.setFlushOnDestroy(false);
    ASSERT_EQ(reserveNumbers(commandLine, 2), 12);

    choose(false, false, true, false);
    press();
    // The receipt is not made under a number the user has not seen: the window shows the next free
    // one and the next press makes it.
    EXPECT_TRUE(log.isEmpty()) << log.join(u',').toStdString();
    EXPECT_EQ(errors, QStringList{QStringLiteral("Die Nummer 12 hat inzwischen ein anderes Programm vergeben. Die nächste "
                                                 "freie Nummer ist 14; bitte noch einmal „Quittung erstellen“ drücken.")});
    EXPECT_EQ(window->numberEdit->text(), QStringLiteral("14"));
    EXPECT_EQ(window->payerEdit->text(), QStringLiteral("Muster GmbH"));
    errors.clear();
    press();
    EXPECT_EQ(numberAtPreview, QStringLiteral("14"));
    EXPECT_TRUE(settingsAtPreview.contains("QID=14")) << settingsAtPreview.toStdString();
    EXPECT_EQ(window->numberEdit->text(), QStringLiteral("15"));

    window->numberEdit->setText(QStringLiteral("1"));
    window->grossEdit->setText(QStringLiteral("119"));
    press();
    EXPECT_EQ(numberAtPreview, QStringLiteral("1"));
    EXPECT_TRUE(readSettings().contains("QID=1\r\n")) << readSettings().toStdString();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

// Where the template comes from: the "Form" key when its file exists, else the output format.
TEST_F(ReceiptCommandTest, TheTemplateFollowsTheFormKeyOrTheOutputFormat)
{
    ASSERT_TRUE(QFile::copy(path("Forms/QuittungA4.Dat"), path("Forms/Eigen.Dat")));
    const struct {
        const char* form;
        int format;
        int pages;
        double width;
    } cases[] = {
        {"", 0, 1, 148}, {"", 1, 2, 148}, {"", 2, 1, 210}, {"", 3, 2, 210},
        {"Eigen.Dat", 0, 2, 210}, {"Fehlt.Dat", 3, 2, 210},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(QString::fromLatin1(c.form)).arg(c.format).toStdString());
        window->settingsStore().writeString(QStringLiteral("Form"), QString::fromLatin1(c.form));
        choose(false, false, true, false, c.format);
        press();
        EXPECT_EQ(shownPages, c.pages);
        EXPECT_EQ(shownWidth, c.width);
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

// No item selected: nothing is loaded and the document in memory makes the receipt.
TEST_F(ReceiptCommandTest, WithoutAFormatTheDocumentInMemoryIsUsed)
{
    choose(false, false, true, false, -1);
    press();
    EXPECT_EQ(shownPages, 1);
    EXPECT_TRUE(readSettings().contains("Ausgabeformat=-1")) << readSettings().toStdString();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

// The preview exports with filters of its own into the file the user picks: after a receipt with
// PDF and then one with only the preview, the preview's PDF export proposes the second receipt's
// name in PDF/ and leaves the first receipt's file alone.
TEST_F(ReceiptCommandTest, ThePreviewsExportAsksForItsFileAndNeverTakesAnOlderReceipts)
{
    window->numberEdit->setText(QStringLiteral("12"));
    choose(true, false, true, false);
    press();
    const QString first = path("PDF/12-03.07.2020-Muster GmbH.PDF");
    QFile firstFile(first);
    ASSERT_TRUE(firstFile.open(QIODevice::ReadOnly));
    const QByteArray firstContent = firstFile.readAll();
    firstFile.close();

    window->setReceiptOutput(standardReceiptOutput(window->receiptJob()));
    window->dateEdit->setDate(QDate(2020, 7, 3));
    window->payerEdit->setText(QStringLiteral("Erika Mustermann"));
    window->grossEdit->setText(QStringLiteral("50"));
    choose(false, false, true, false);
    QString proposedFolder;
    QString proposedName;
    bool exported = false;
    const auto exportFromPreview = [&] {
        PreviewWindow* preview = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* candidate = dynamic_cast<PreviewWindow*>(widget); candidate && candidate->isVisible())
                preview = candidate;
        }
        if (!preview)
            return;
        // The save dialog, answered as the user does: the proposed name in the proposed folder.
        QTimer::singleShot(0, [&] {
            auto* dialog = dynamic_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            proposedFolder = dialog->directory().absolutePath();
            proposedName = dialog->selectedFiles().value(0);
            static_cast<QDialog*>(dialog)->accept(); // the dialog's own accept, as its Save button
        });
        const auto* menu = preview->findChild<QMenu*>(QStringLiteral("exportMenu"));
        ASSERT_NE(menu, nullptr);
        menu->actions().first()->trigger();
        exported = true;
        preview->close();
    };
    QTimer::singleShot(0, exportFromPreview);
    press();
    // A preview that is not modal is still open here.
    if (!exported)
        exportFromPreview();

    EXPECT_TRUE(exported);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    EXPECT_TRUE(host.shown.isEmpty()) << host.shown.join(u'\n').toStdString();
    EXPECT_EQ(proposedFolder, QDir(path("PDF")).absolutePath());
    EXPECT_EQ(proposedName, path("PDF/13-03.07.2020-Erika Mustermann.PDF"));
    EXPECT_EQ(files("PDF"), (QStringList{QStringLiteral("12-03.07.2020-Muster GmbH.PDF"),
                                QStringLiteral("13-03.07.2020-Erika Mustermann.PDF")}));
    ASSERT_TRUE(firstFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(firstFile.readAll(), firstContent);
}

// The job processes the window's events while it runs: a click on the button then starts no second
// receipt inside the first, and the button works again afterwards.
TEST_F(ReceiptCommandTest, AClickWhileAReceiptIsMadeStartsNoSecond)
{
    int clicks = 0;
    onPrepare = [&] {
        log << QStringLiteral("prepare");
        EXPECT_FALSE(window->createButton->isEnabled());
        if (clicks++ == 0) {
            QTest::mouseClick(window->createButton, Qt::LeftButton);
            window->createReceipt();
        }
    };
    choose(false, false, true, false);
    press();
    EXPECT_EQ(log, (QStringList{QStringLiteral("prepare"), QStringLiteral("preview")}));
    EXPECT_TRUE(window->createButton->isEnabled());
    EXPECT_EQ(window->numberEdit->text(), QStringLiteral("13"));

    log.clear();
    window->grossEdit->setText(QStringLiteral("119"));
    QTest::mouseClick(window->createButton, Qt::LeftButton);
    EXPECT_EQ(log, (QStringList{QStringLiteral("prepare"), QStringLiteral("preview")}));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

// A missing output folder is made again before the receipt is stored.
TEST_F(ReceiptCommandTest, AMissingOutputFolderIsMadeAgain)
{
    ASSERT_TRUE(QDir(path("PDF")).removeRecursively());
    ASSERT_TRUE(QDir(path("JPG")).removeRecursively());
    choose(true, true, true, false);
    press();
    EXPECT_EQ(files("PDF"), QStringList{QStringLiteral("12-03.07.2020-Muster GmbH.PDF")});
    EXPECT_EQ(files("JPG").size(), 1);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}
