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

#include <QCheckBox>
#include <QDateEdit>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
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
        };
        output.print = [this](ReportPreparer&, const PrintOptions& options) {
            log << (options.showDialog() ? QStringLiteral("print with dialog") : QStringLiteral("print"));
            return true;
        };
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
    int shownPages = -1;
    double shownWidth = 0;
    QByteArray settingsAtPreview;
    QString amountsAtPreview;
    QString numberAtPreview;
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

// A payer with "/" would write outside the output folder: the export refuses it like a name the
// file system refuses, and the receipt goes on to the preview and the next number.
TEST_F(ReceiptCommandTest, NamesNeverLeaveTheOutputFolders)
{
    window->numberEdit->setText(QStringLiteral("12"));
    window->payerEdit->setText(QStringLiteral("../../x"));
    choose(true, true, true, false);
    press();
    EXPECT_TRUE(files("PDF").isEmpty());
    EXPECT_TRUE(files("JPG").isEmpty());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("Settings.ini")});
    ASSERT_EQ(host.shown.size(), 2);
    EXPECT_TRUE(host.shown[0].contains(QStringLiteral("Datei \"%1\" kann nicht erstellt werden.").arg(path("PDF/12-03.07.2020-../../x.PDF"))))
        << host.shown[0].toStdString();
    EXPECT_EQ(log.back(), QStringLiteral("preview"));
    EXPECT_EQ(window->numberEdit->text(), QStringLiteral("13"));
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

TEST_F(ReceiptCommandTest, AMissingTemplateStopsBeforeAnyOutputAndKeepsTheWindow)
{
    ASSERT_TRUE(QFile::remove(path("Forms/Quittung.Dat")));
    window->numberEdit->setText(QStringLiteral("12"));
    window->netEdit->clear();
    choose(true, false, true, false, 0);
    press();
    EXPECT_EQ(errors, QStringList{QStringLiteral("Listenindex überschreitet das Maximum (2)")});
    EXPECT_TRUE(log.isEmpty()) << log.join(u',').toStdString();
    EXPECT_TRUE(files("PDF").isEmpty());
    // The choices were stored and the amounts completed; the window was not refilled.
    EXPECT_TRUE(readSettings().contains("QID=12"));
    EXPECT_EQ(window->netEdit->text(), QStringLiteral("100"));
    EXPECT_EQ(window->numberEdit->text(), QStringLiteral("12"));
    EXPECT_EQ(window->payerEdit->text(), QStringLiteral("Muster GmbH"));
}

TEST_F(ReceiptCommandTest, AnAmountThatIsNoNumberStopsAfterStoringAndFilling)
{
    window->numberEdit->setText(QStringLiteral("12"));
    window->grossEdit->setText(QStringLiteral("zwölf"));
    window->netEdit->clear();
    window->vatRateEdit->clear();
    choose(false, false, true, false);
    press();
    EXPECT_EQ(errors, QStringList{QStringLiteral("'zwölf' ist kein gültiger Gleitkommawert.")});
    EXPECT_EQ(window->netEdit->text(), QStringLiteral("0"));
    EXPECT_EQ(window->vatRateEdit->text(), QStringLiteral("0"));
    EXPECT_EQ(window->grossEdit->text(), QStringLiteral("zwölf"));
    EXPECT_TRUE(log.isEmpty());
    EXPECT_TRUE(readSettings().contains("QID=12"));
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
