#include "app/error_handler.h"
#include "app/receipt_window.h"
#include "runtime/exception.h"
#include "report/document/page.h"
#include "report/document/text_object.h"
#include "report/document/report.h"
#include "report/engine/pages/report_preparer.h"
#include "report/export/pdf/pdf_export.h"
#include "settings/ini_settings.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <memory>

using namespace quittung;
using namespace quittung::report;
using namespace quittung::settings;
using namespace quittung::app;

namespace {

const QDateTime kNow(QDate(2026, 12, 10), QTime(9, 30));

class ReceiptWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        previousPresenter = setErrorPresenter([this](const QString&, const QString& text) { errors << text; });
    }
    void TearDown() override { setErrorPresenter(previousPresenter); }

    void writeSettings(const QByteArray& content)
    {
        QFile file(settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray readSettings() const
    {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString settingsPath() const { return folder.filePath(QStringLiteral("Settings.ini")); }

    // Creates and shows the window as the program does, German settings, fixed clock.
    std::unique_ptr<ReceiptWindow> showWindow()
    {
        auto form = std::make_unique<ReceiptWindow>(FormatSettings::german(), folder.path(), [] { return kNow; });
        form->show();
        return form;
    }

    QTemporaryDir folder;
    QStringList errors;
    ErrorPresenter previousPresenter;
};

} // namespace

TEST_F(ReceiptWindowTest, WithoutSettingsFileTheWindowProposesTheDefaults)
{
    const auto form = showWindow();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Varnel - Telvo | Programm um Quittungen zu erstellen"));
    EXPECT_EQ(form->numberEdit->text(), QStringLiteral("1"));
    EXPECT_EQ(form->placeEdit->text(), QStringLiteral("Berlin"));
    EXPECT_EQ(form->dateEdit->date(), kNow.date());
    EXPECT_EQ(form->dateEdit->text(), QStringLiteral("10.12.2026"));
    EXPECT_EQ(form->vatRateEdit->text(), QStringLiteral("19"));
    EXPECT_EQ(form->formatBox->itemIndex(), 0);
    EXPECT_EQ(form->formatBox->currentText(), QStringLiteral("A5 - Eine Seite"));
    EXPECT_FALSE(form->pdfCheck->isChecked());
    EXPECT_FALSE(form->jpegCheck->isChecked());
    EXPECT_TRUE(form->previewCheck->isChecked());
    EXPECT_FALSE(form->directPrintCheck->isChecked());
    EXPECT_TRUE(form->formatBox->isEnabled());
    EXPECT_TRUE(form->formatBox->toolTip().isEmpty());
    EXPECT_FALSE(form->pdfOpenAfterExport());
    for (const QLineEdit* field : {form->payerEdit, form->netEdit, form->grossEdit})
        EXPECT_TRUE(field->text().isEmpty());
    EXPECT_TRUE(form->purposeEdit->toPlainText().isEmpty());

    // The PDF files carry the program's name; the other options are the filter's own.
    const report::PdfExport& pdf = form->receiptJob().pdfExport();
    EXPECT_EQ(pdf.getDescription(), QStringLiteral("PDF file"));
    EXPECT_TRUE(pdf.embeddedFonts());
    EXPECT_EQ(pdf.author(), QStringLiteral("Varnel Quittungsprogramm"));
    EXPECT_EQ(pdf.subject(), QStringLiteral("Varnel Quittungsprogramm PDF-Export"));
    EXPECT_EQ(pdf.creator(), QStringLiteral("Varnel IT-Service"));
    EXPECT_TRUE(pdf.title().isEmpty());
    EXPECT_FALSE(pdf.showDialog());
    EXPECT_TRUE(pdf.showProgress());
    EXPECT_TRUE(pdf.compressed());
    EXPECT_FALSE(pdf.openAfterExport());
}

TEST_F(ReceiptWindowTest, StoredValuesFillTheWindowAndTheEntryFieldsAreCleared)
{
    writeSettings("[telvo]\r\nqid=41\r\nOrt=Köln\r\nMwST=7,5\r\nAusgabeformat=3\r\nExportPDF=yes\r\n"
                  "ExportJPG=1\r\nExportVorschau=false\r\nOpenPDF=true\r\n");
    const auto form = showWindow();
    form->payerEdit->setText(QStringLiteral("Muster GmbH"));
    form->purposeEdit->setPlainText(QStringLiteral("Beratung\nReisekosten"));
    form->netEdit->setText(QStringLiteral("100"));
    form->grossEdit->setText(QStringLiteral("119"));
    form->directPrintCheck->setChecked(true);
    form->resetForm();

    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(form->numberEdit->text(), QStringLiteral("42"));
    EXPECT_EQ(form->placeEdit->text(), QStringLiteral("Köln"));
    EXPECT_EQ(form->vatRateEdit->text(), QStringLiteral("7,5"));
    EXPECT_EQ(form->formatBox->itemIndex(), 3);
    EXPECT_TRUE(form->pdfCheck->isChecked());
    EXPECT_TRUE(form->jpegCheck->isChecked());
    EXPECT_FALSE(form->previewCheck->isChecked());
    EXPECT_TRUE(form->pdfOpenAfterExport());
    EXPECT_TRUE(form->directPrintCheck->isChecked()) << "the reset leaves Direktdruck alone";
    for (const QLineEdit* field : {form->payerEdit, form->netEdit, form->grossEdit})
        EXPECT_TRUE(field->text().isEmpty());
    EXPECT_TRUE(form->purposeEdit->toPlainText().isEmpty());
}

TEST_F(ReceiptWindowTest, OnlyTheExactWordTrueOpensPdfFiles)
{
    for (const char* value : {"TRUE", "yes", "1", "true "}) {
        writeSettings(QByteArray("[Telvo]\r\nOpenPDF=") + value + "\r\n");
        const auto form = showWindow();
        // Values are trimmed when the file is read, so "true " still counts.
        EXPECT_EQ(form->pdfOpenAfterExport(), QByteArray(value) == "true ") << value;
            }
}

TEST_F(ReceiptWindowTest, AFixedTemplateDisablesTheOutputFormatUntilItIsEmptiedAgain)
{
    writeSettings("[Telvo]\r\nForm=Spezial.Dat\r\n");
    const auto form = showWindow();
    EXPECT_FALSE(form->formatBox->isEnabled());
    EXPECT_EQ(form->formatBox->toolTip(),
        QStringLiteral("Das Ausgabeformat ist über die Einstellungen Datei fest eingestellt!"));

    form->settingsStore().writeString(QStringLiteral("Form"), QString());
    form->resetForm();
    EXPECT_TRUE(form->formatBox->isEnabled());
    EXPECT_TRUE(form->formatBox->toolTip().isEmpty());
}

TEST_F(ReceiptWindowTest, AnOutputFormatOutsideTheItemsSelectsNoItem)
{
    writeSettings("[Telvo]\r\nAusgabeFormat=7\r\n");
    auto form = showWindow();
    EXPECT_EQ(form->formatBox->itemIndex(), -1);

    writeSettings("[Telvo]\r\nAusgabeFormat=-1\r\n");
    form = showWindow();
    EXPECT_EQ(form->formatBox->itemIndex(), -1);
    EXPECT_TRUE(form->formatBox->currentText().isEmpty());

    // Typing a text that names no item leaves no item selected either.
    writeSettings("[Telvo]\r\nAusgabeFormat=1\r\n");
    form = showWindow();
    EXPECT_EQ(form->formatBox->itemIndex(), 1);
    form->formatBox->setEditText(QStringLiteral("A3"));
    EXPECT_EQ(form->formatBox->itemIndex(), -1);
}

// A stored value that does not read falls back to its own default while every other key loads;
// the window never shows its design texts. An unreadable counter continues after the highest
// number of the receipts in PDF/ and JPG/.
TEST_F(ReceiptWindowTest, ADamagedSettingFallsBackToItsDefaultAndTheOthersLoad)
{
    const struct {
        const char* settings;
        const char* number;
        const char* place;
        const char* rate;
        bool jpeg;
    } rows[] = {
        {"QID=4a\r\nOrt=Bonn\r\nMwSt=7\r\nExportJPG=TRUE", "1", "Bonn", "7", true},
        {"QID=2147483647\r\nOrt=Bonn", "1", "Bonn", "19", false},
        {"QID=7\r\nMwSt=neunzehn\r\nOrt=Bonn\r\nExportJPG=TRUE", "8", "Bonn", "19", true},
        {"QID=7\r\nMwSt=7,5\r\nExportJPG=ja", "8", "Berlin", "7,5", false},
    };
    for (const auto& row : rows) {
        writeSettings(QByteArray("[Telvo]\r\n") + row.settings + "\r\n");
        errors.clear();
        const auto form = showWindow();
        EXPECT_TRUE(form->isVisible());
        EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
        EXPECT_EQ(form->numberEdit->text(), QString::fromUtf8(row.number)) << row.settings;
        EXPECT_EQ(form->placeEdit->text(), QString::fromUtf8(row.place)) << row.settings;
        EXPECT_EQ(form->vatRateEdit->text(), QString::fromUtf8(row.rate)) << row.settings;
        EXPECT_EQ(form->jpegCheck->isChecked(), row.jpeg) << row.settings;
        EXPECT_TRUE(form->previewCheck->isChecked()) << row.settings;
        EXPECT_EQ(form->dateEdit->date(), kNow.date()) << row.settings;
    }

    QDir program(folder.path());
    ASSERT_TRUE(program.mkpath(QStringLiteral("PDF")));
    ASSERT_TRUE(program.mkpath(QStringLiteral("JPG")));
    for (const char* name : {"PDF/41-03.07.2020-A.PDF", "JPG/57-03.07.2020-B.1.jpg", "PDF/notes.txt"}) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    writeSettings("[Telvo]\r\nQID=x\r\n");
    EXPECT_EQ(showWindow()->numberEdit->text(), QStringLiteral("58"));
}

TEST_F(ReceiptWindowTest, TabWalksTheFieldsInDesignOrderAndSkipsTheRate)
{
    const auto form = showWindow();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->payerEdit->setFocus();
    const QWidget* expected[] = {form->purposeEdit, form->grossEdit, form->netEdit, form->createButton, form->pdfCheck,
        form->jpegCheck, form->previewCheck, form->directPrintCheck, form->formatBox, form->numberEdit, form->placeEdit,
        form->dateEdit, form->payerEdit};
    for (const QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), next) << next->metaObject()->className();
    }
}

TEST_F(ReceiptWindowTest, ControlsAreFoundByTheirDesignNames)
{
    const auto form = showWindow();
    const std::pair<const char*, QWidget*> controls[] = {{"QID", form->numberEdit}, {"Ort", form->placeEdit},
        {"Datum", form->dateEdit}, {"von", form->payerEdit}, {"fuer", form->purposeEdit}, {"netto", form->netEdit},
        {"MwSt", form->vatRateEdit}, {"brutto", form->grossEdit}, {"Ausgabeformat", form->formatBox},
        {"ExPDF", form->pdfCheck}, {"ExJPG", form->jpegCheck}, {"Vorschau", form->previewCheck},
        {"direct", form->directPrintCheck}, {"Button1", form->createButton}};
    for (const auto& [name, control] : controls)
        EXPECT_EQ(form->findChild<QWidget*>(QString::fromLatin1(name)), control) << name;
}

TEST_F(ReceiptWindowTest, ControlsSitWhereDesignedAndNothingIsClippedOrOverlapping)
{
    const auto form = showWindow();
    EXPECT_EQ(form->size(), QSize(365, 457));
    EXPECT_EQ(form->netEdit->geometry(), QRect(16, 170, 89, 21));
    EXPECT_EQ(form->createButton->geometry(), QRect(144, 20, 175, 125));
    EXPECT_EQ(form->outputGroup->geometry(), QRect(8, 295, 338, 154));
    for (const QGroupBox* group : form->findChildren<QGroupBox*>()) {
        const QList<QWidget*> children = group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (const QWidget* child : children) {
            EXPECT_TRUE(group->rect().contains(child->geometry())) << child->metaObject()->className();
            if (const auto* label = qobject_cast<const QLabel*>(child)) {
                EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
            }
            if (const auto* box = qobject_cast<const QCheckBox*>(child)) {
                EXPECT_GE(box->width(), box->sizeHint().width()) << box->text().toStdString();
            }
            for (const QWidget* other : children) {
                if (other != child && child->isVisible() && other->isVisible()) {
                    EXPECT_FALSE(child->geometry().intersects(other->geometry()))
                        << child->metaObject()->className() << " overlaps " << other->metaObject()->className();
                }
            }
        }
    }
}

TEST_F(ReceiptWindowTest, ClosingTheWindowWritesWhatWasStoredAndKeepsTheRest)
{
    writeSettings("[Telvo]\r\nQID=5\r\nFremd = bleibt \r\n[Andere]\r\nx=1\r\n");
    auto form = showWindow();
    form->settingsStore().writeString(QStringLiteral("QID"), QStringLiteral("6"));
    form->settingsStore().writeString(QStringLiteral("MwST"), QStringLiteral("19"));
    EXPECT_EQ(readSettings(), QByteArray("[Telvo]\r\nQID=5\r\nFremd = bleibt \r\n[Andere]\r\nx=1\r\n"))
        << "nothing is written while the window is open";
    form.reset();
    EXPECT_EQ(readSettings(), QByteArray("[Telvo]\r\nQID=6\r\nFremd=bleibt\r\nMwST=19\r\n\r\n[Andere]\r\nx=1\r\n\r\n"));
}

TEST_F(ReceiptWindowTest, ClosingTheWindowKeepsACounterTheCommandLineAdvanced)
{
    writeSettings("[Telvo]\r\nQID=5\r\n");
    auto form = showWindow();
    form->settingsStore().writeString(QStringLiteral("Ort"), QStringLiteral("Köln"));
    IniSettings commandLine;
    configureReceiptSettings(commandLine, folder.path() + u'/');
    commandLine.setFlushOnDestroy(false);
    ASSERT_EQ(reserveNumbers(commandLine, 3), 6);
    form.reset();
    EXPECT_EQ(readSettings(), QByteArray("[Telvo]\r\nQID=8\r\nOrt=Köln\r\n\r\n"));
}

// What the job gets from the window: the fields as typed, the purpose's lines joined with CR LF,
// no-break spaces kept, and the output format's item.
TEST_F(ReceiptWindowTest, TheFormStateIsWhatTheUserTyped)
{
    const auto form = showWindow();
    form->payerEdit->setText(QStringLiteral("Muster GmbH"));
    form->purposeEdit->setPlainText(QStringLiteral("Miete\nJuli\n"));
    form->grossEdit->setText(QStringLiteral("119"));
    form->formatBox->setItemIndex(3);
    ReceiptFormState state = form->receiptFormState();
    EXPECT_EQ(state.payer, QStringLiteral("Muster GmbH"));
    EXPECT_EQ(state.purpose, QStringLiteral("Miete\r\nJuli\r\n"));
    EXPECT_EQ(state.date, kNow.date());
    EXPECT_TRUE(state.net.isEmpty());
    EXPECT_EQ(state.gross, QStringLiteral("119"));
    EXPECT_EQ(state.vatRate, QStringLiteral("19"));
    EXPECT_EQ(state.outputFormat, 3);

    // A no-break space stays one; typed line breaks arrive as CR LF.
    form->purposeEdit->setPlainText(QStringLiteral("5\u00A0kg\nMehl"));
    QTest::keyClick(form->purposeEdit, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(form->purposeEdit, Qt::Key_Return);
    QTest::keyClicks(form->purposeEdit, QStringLiteral("2\u00A0l"));
    EXPECT_EQ(form->receiptFormState().purpose, QStringLiteral("5\u00A0kg\r\nMehl\r\n2\u00A0l"));
}

TEST_F(ReceiptWindowTest, TheReportStartsWithTheBuiltinDesign)
{
    const auto form = showWindow();
    const Report& report = form->receiptJob().preparer().report();
    ASSERT_EQ(report.pagesCount(), 2);
    EXPECT_EQ(report.pages(1)->name(), QStringLiteral("Page1"));
    EXPECT_EQ(report.pages(1)->children().size(), 85u);
}

// Without an output format the button makes the receipt from the built-in design in memory.
TEST_F(ReceiptWindowTest, TheBuiltinDesignShowsTheWindowsReceipt)
{
    const auto form = showWindow();
    form->payerEdit->setText(QStringLiteral("Muster GmbH"));
    form->grossEdit->setText(QStringLiteral("119"));
    form->formatBox->setItemIndex(-1);
    form->previewCheck->setChecked(true);
    QStringList texts;
    ReceiptOutput output;
    output.preview = [&](ReportPreparer& preparer, const Receipt&) {
        const ReportPage* page = preparer.preparedPages().page(0);
        ASSERT_NE(page, nullptr);
        for (const ReportObject* object : page->allObjects()) {
            if (const auto* memo = dynamic_cast<const TextObject*>(object))
                texts << memo->lines().join(QLatin1Char('|'));
        }
    };
    form->setReceiptOutput(output);
    form->createReceipt();
    EXPECT_TRUE(texts.contains(QStringLiteral("Von: Muster GmbH"))) << texts.join(u',').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("--EINHUNDERTNEUNZEHN--")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Nr. 1")));
}
