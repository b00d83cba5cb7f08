#include "app/error_handler.h"
#include "app/main_window.h"
#include "runtime/exception.h"
#include "report/document/page.h"
#include "report/document/memo_view.h"
#include "report/document/report.h"
#include "report/engine/engine.h"
#include "settings/app_ini_file_storage.h"

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

namespace {

const QDateTime kNow(QDate(2026, 12, 10), QTime(9, 30));

class MainWindowTest : public ::testing::Test {
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
    std::unique_ptr<TForm1> showWindow()
    {
        auto form = std::make_unique<TForm1>(FormatSettings::german(), folder.path(), [] { return kNow; });
        form->show();
        return form;
    }

    QTemporaryDir folder;
    QStringList errors;
    ErrorPresenter previousPresenter;
};

} // namespace

TEST_F(MainWindowTest, WithoutSettingsFileTheWindowProposesTheDefaults)
{
    const auto form = showWindow();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Varnel - Telvo | Programm um Quittungen zu erstellen"));
    EXPECT_EQ(form->QID->text(), QStringLiteral("1"));
    EXPECT_EQ(form->Ort->text(), QStringLiteral("Berlin"));
    EXPECT_EQ(form->Datum->date(), kNow.date());
    EXPECT_EQ(form->Datum->text(), QStringLiteral("10.12.2026"));
    EXPECT_EQ(form->MwSt->text(), QStringLiteral("19"));
    EXPECT_EQ(form->Ausgabeformat->itemIndex(), 0);
    EXPECT_EQ(form->Ausgabeformat->currentText(), QStringLiteral("A5 - Eine Seite"));
    EXPECT_FALSE(form->ExPDF->isChecked());
    EXPECT_FALSE(form->ExJPG->isChecked());
    EXPECT_TRUE(form->Vorschau->isChecked());
    EXPECT_FALSE(form->direct->isChecked());
    EXPECT_TRUE(form->Ausgabeformat->isEnabled());
    EXPECT_TRUE(form->Ausgabeformat->toolTip().isEmpty());
    EXPECT_FALSE(form->pdfOpenAfterExport());
    for (const QLineEdit* field : {form->von, form->netto, form->brutto})
        EXPECT_TRUE(field->text().isEmpty());
    EXPECT_TRUE(form->fuer->toPlainText().isEmpty());
}

TEST_F(MainWindowTest, StoredValuesFillTheWindowAndTheEntryFieldsAreCleared)
{
    writeSettings("[telvo]\r\nqid=41\r\nOrt=Köln\r\nMwST=7,5\r\nAusgabeformat=3\r\nExportPDF=yes\r\n"
                  "ExportJPG=1\r\nExportVorschau=false\r\nOpenPDF=true\r\n");
    const auto form = showWindow();
    form->von->setText(QStringLiteral("Muster GmbH"));
    form->fuer->setPlainText(QStringLiteral("Beratung\nReisekosten"));
    form->netto->setText(QStringLiteral("100"));
    form->brutto->setText(QStringLiteral("119"));
    form->direct->setChecked(true);
    form->ResetForm();

    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(form->QID->text(), QStringLiteral("42"));
    EXPECT_EQ(form->Ort->text(), QStringLiteral("Köln"));
    EXPECT_EQ(form->MwSt->text(), QStringLiteral("7,5"));
    EXPECT_EQ(form->Ausgabeformat->itemIndex(), 3);
    EXPECT_TRUE(form->ExPDF->isChecked());
    EXPECT_TRUE(form->ExJPG->isChecked());
    EXPECT_FALSE(form->Vorschau->isChecked());
    EXPECT_TRUE(form->pdfOpenAfterExport());
    EXPECT_TRUE(form->direct->isChecked()) << "the reset leaves Direktdruck alone";
    for (const QLineEdit* field : {form->von, form->netto, form->brutto})
        EXPECT_TRUE(field->text().isEmpty());
    EXPECT_TRUE(form->fuer->toPlainText().isEmpty());
}

TEST_F(MainWindowTest, OnlyTheExactWordTrueOpensPdfFiles)
{
    for (const char* value : {"TRUE", "yes", "1", "true "}) {
        writeSettings(QByteArray("[Telvo]\r\nOpenPDF=") + value + "\r\n");
        const auto form = showWindow();
        // Values are trimmed when the file is read, so "true " still counts.
        EXPECT_EQ(form->pdfOpenAfterExport(), QByteArray(value) == "true ") << value;
    }
}

TEST_F(MainWindowTest, AFixedTemplateDisablesTheOutputFormatUntilItIsEmptiedAgain)
{
    writeSettings("[Telvo]\r\nForm=Spezial.Dat\r\n");
    const auto form = showWindow();
    EXPECT_FALSE(form->Ausgabeformat->isEnabled());
    EXPECT_EQ(form->Ausgabeformat->toolTip(),
        QStringLiteral("Das Ausgabeformat ist über die Einstellungen Datei fest eingestellt!"));

    form->settingsStore().WriteString(QStringLiteral("Form"), QString());
    form->ResetForm();
    EXPECT_TRUE(form->Ausgabeformat->isEnabled());
    EXPECT_TRUE(form->Ausgabeformat->toolTip().isEmpty());
}

TEST_F(MainWindowTest, AnOutputFormatOutsideTheItemsSelectsNoItem)
{
    writeSettings("[Telvo]\r\nAusgabeFormat=7\r\n");
    auto form = showWindow();
    EXPECT_EQ(form->Ausgabeformat->itemIndex(), -1);

    writeSettings("[Telvo]\r\nAusgabeFormat=-1\r\n");
    form = showWindow();
    EXPECT_EQ(form->Ausgabeformat->itemIndex(), -1);
    EXPECT_TRUE(form->Ausgabeformat->currentText().isEmpty());

    // Typing a text that names no item leaves no item selected either.
    writeSettings("[Telvo]\r\nAusgabeFormat=1\r\n");
    form = showWindow();
    EXPECT_EQ(form->Ausgabeformat->itemIndex(), 1);
    form->Ausgabeformat->setEditText(QStringLiteral("A3"));
    EXPECT_EQ(form->Ausgabeformat->itemIndex(), -1);
}

TEST_F(MainWindowTest, AFailingResetStopsAtItsStepAndTheWindowIsShownAnyway)
{
    const struct {
        const char* settings;
        const char* message;
        const char* qid;
        const char* ort;
        const char* rate;
    } rows[] = {
        {"QID=4a", "'4a' ist kein gültiger Integerwert.", "QID", "Ort", ""},
        {"QID=2147483647", "Integerüberlauf.", "QID", "Ort", ""},
        {"QID=7\r\nMwSt=neunzehn", "'neunzehn' ist kein gültiger Gleitkommawert.", "8", "Berlin", ""},
        {"MwSt=7,5\r\nExportJPG=ja", "'ja' ist kein gültiger Integerwert.", "1", "Berlin", "7,5"},
    };
    for (const auto& row : rows) {
        writeSettings(QByteArray("[Telvo]\r\n") + row.settings + "\r\n");
        errors.clear();
        const auto form = showWindow();
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(errors, QStringList(QString::fromUtf8(row.message))) << row.settings;
        EXPECT_EQ(form->QID->text(), QString::fromUtf8(row.qid)) << row.settings;
        EXPECT_EQ(form->Ort->text(), QString::fromUtf8(row.ort)) << row.settings;
        EXPECT_EQ(form->MwSt->text(), QString::fromUtf8(row.rate)) << row.settings;
        EXPECT_FALSE(form->ExJPG->isChecked()) << row.settings;
        EXPECT_FALSE(form->Vorschau->isChecked()) << "steps after the failure do not run: " << row.settings;
    }
    writeSettings("[Telvo]\r\nQID=x\r\n");
    const auto form = showWindow();
    EXPECT_EQ(form->Datum->date(), QDate(2020, 7, 3)) << "the design date stays";
}

TEST_F(MainWindowTest, TabWalksTheFieldsInDesignOrderAndSkipsTheRate)
{
    const auto form = showWindow();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->von->setFocus();
    const QWidget* expected[] = {form->fuer, form->brutto, form->netto, form->Button1, form->ExPDF, form->ExJPG,
        form->Vorschau, form->direct, form->Ausgabeformat, form->QID, form->Ort, form->Datum, form->von};
    for (const QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), next) << next->metaObject()->className();
    }
}

TEST_F(MainWindowTest, ControlsSitWhereDesignedAndNothingIsClippedOrOverlapping)
{
    const auto form = showWindow();
    EXPECT_EQ(form->size(), QSize(365, 457));
    EXPECT_EQ(form->netto->geometry(), QRect(16, 170, 89, 21));
    EXPECT_EQ(form->Button1->geometry(), QRect(144, 20, 175, 125));
    EXPECT_EQ(form->GroupBox3->geometry(), QRect(8, 295, 338, 154));
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

TEST_F(MainWindowTest, ClosingTheWindowWritesWhatWasStoredAndKeepsTheRest)
{
    writeSettings("[Telvo]\r\nQID=5\r\nFremd = bleibt \r\n[Andere]\r\nx=1\r\n");
    auto form = showWindow();
    form->settingsStore().WriteString(QStringLiteral("QID"), QStringLiteral("6"));
    form->settingsStore().WriteString(QStringLiteral("MwST"), QStringLiteral("19"));
    EXPECT_EQ(readSettings(), QByteArray("[Telvo]\r\nQID=5\r\nFremd = bleibt \r\n[Andere]\r\nx=1\r\n"))
        << "nothing is written while the window is open";
    form.reset();
    EXPECT_EQ(readSettings(), QByteArray("[Telvo]\r\nQID=6\r\nFremd=bleibt\r\nMwST=19\r\n\r\n[Andere]\r\nx=1\r\n\r\n"));
}

TEST_F(MainWindowTest, CompletingTheAmountsWritesThemBackOrNothingAtAll)
{
    const auto form = showWindow();
    form->brutto->setText(QStringLiteral("100"));
    form->completeAmounts();
    EXPECT_EQ(form->netto->text(), QStringLiteral("84,03"));
    EXPECT_EQ(form->brutto->text(), QStringLiteral("100"));
    EXPECT_EQ(form->MwSt->text(), QStringLiteral("19"));

    // Empty fields become "0", the empty rate too; a blank text is no empty text.
    form->netto->clear();
    form->brutto->clear();
    form->MwSt->clear();
    form->completeAmounts();
    EXPECT_EQ(form->netto->text(), QStringLiteral("0"));
    EXPECT_EQ(form->brutto->text(), QStringLiteral("0"));
    EXPECT_EQ(form->MwSt->text(), QStringLiteral("0"));

    form->netto->setText(QStringLiteral("50"));
    form->brutto->setText(QStringLiteral(" "));
    EXPECT_THROW(form->completeAmounts(), EConvertError);
    EXPECT_EQ(form->netto->text(), QStringLiteral("50"));
    EXPECT_EQ(form->brutto->text(), QStringLiteral(" "));
}

TEST_F(MainWindowTest, TemplatesGetTheWindowsContentsAtTheMomentTheyAsk)
{
    const auto form = showWindow();
    form->von->setText(QStringLiteral("Muster GmbH"));
    form->fuer->setPlainText(QStringLiteral("Miete\nJuli\n"));
    form->brutto->setText(QStringLiteral("119"));
    form->completeAmounts();

    const auto ask = [&](const QString& name) {
        Variant value;
        form->ReportGetValue(name, value);
        return value;
    };
    EXPECT_EQ(ask(QStringLiteral("Von")), Variant(QStringLiteral("Muster GmbH")));
    EXPECT_EQ(ask(QStringLiteral("Fuer")), Variant(QStringLiteral("Miete\r\nJuli\r\n")));
    EXPECT_EQ(ask(QStringLiteral("QDate")), Variant(QStringLiteral("10.12.2026")));
    EXPECT_EQ(ask(QStringLiteral("Netto")), Variant(QStringLiteral("100")));
    EXPECT_EQ(ask(QStringLiteral("SumSteuern")), Variant(19.0));
    EXPECT_EQ(ask(QStringLiteral("BetragInWorten")), Variant(QStringLiteral("--EINHUNDERTNEUNZEHN--")));

    form->brutto->setText(QStringLiteral("1000"));
    form->fuer->clear();
    EXPECT_EQ(ask(QStringLiteral("BetragInWorten")), Variant(QStringLiteral("--EINTAUSEND--")));
    EXPECT_EQ(ask(QStringLiteral("Fuer")), Variant(QString()));

    // A no-break space stays one; typed line breaks arrive as CR LF.
    form->fuer->setPlainText(QStringLiteral("5\u00A0kg\nMehl"));
    QTest::keyClick(form->fuer, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(form->fuer, Qt::Key_Return);
    QTest::keyClicks(form->fuer, QStringLiteral("2\u00A0l"));
    EXPECT_EQ(ask(QStringLiteral("Fuer")), Variant(QStringLiteral("5\u00A0kg\r\nMehl\r\n2\u00A0l")));

    // Names the window does not know leave the value as it came.
    Variant untouched = Variant::null();
    form->ReportGetValue(QStringLiteral("<Netto>"), untouched);
    EXPECT_TRUE(untouched.isNull());
    EXPECT_TRUE(ask(QStringLiteral("brutto")).isEmpty());
}

TEST_F(MainWindowTest, TheReportStartsWithTheBuiltinDesignAndAsksTheWindow)
{
    const auto form = showWindow();
    TfrxReport& report = form->report();
    ASSERT_EQ(report.PagesCount(), 2);
    EXPECT_EQ(report.Pages(1)->Name(), QStringLiteral("Page1"));
    EXPECT_EQ(report.Pages(1)->Children().size(), 85u);
    ASSERT_TRUE(report.OnGetValue);
    Variant value;
    report.OnGetValue(QStringLiteral("QID"), value);
    EXPECT_EQ(value, Variant(QStringLiteral("1")));
}

TEST_F(MainWindowTest, PreparingTheDesignShowsTheWindowsReceipt)
{
    const auto form = showWindow();
    form->von->setText(QStringLiteral("Muster GmbH"));
    form->brutto->setText(QStringLiteral("119"));
    form->completeAmounts();
    ASSERT_TRUE(form->reportEngine().PrepareReport(true));
    const TfrxReportPage* page = form->reportEngine().PreviewPages().Page(0);
    ASSERT_NE(page, nullptr);
    QStringList texts;
    for (const TfrxComponent* object : page->AllObjects()) {
        if (const auto* memo = dynamic_cast<const TfrxMemoView*>(object))
            texts << memo->Memo().join(QLatin1Char('|'));
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("Von: Muster GmbH")));
    EXPECT_TRUE(texts.contains(QStringLiteral("--EINHUNDERTNEUNZEHN--")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Nr. 1")));
}
