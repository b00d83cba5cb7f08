#pragma once

#include "app/receipt/report_variables.h"
#include "report/document/variant.h"
#include "runtime/clock.h"
#include "runtime/format_settings.h"

#include <QComboBox>
#include <QWidget>

#include <memory>

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quittung {

class TJvAppIniFileStorage;
class TfrxEngine;
class TfrxReport;

// The output format box: an editable text with a drop-down list. Its item index is -1 when no
// item is selected: after the user typed a text that names no item, or after an index outside the
// items was set (the text then stays; -1 also empties it).
class OutputFormatBox : public QComboBox {
public:
    using QComboBox::QComboBox;

    int itemIndex() const;
    void setItemIndex(int index);

private:
    bool m_selectionCleared = false;
};

// The receipt window. It owns the settings store and, in time, the report and the export filters.
// The controls keep their design names; the rest of the program reads and writes them directly.
class TForm1 : public QWidget {
    Q_OBJECT

public:
    // programFolder holds Settings.ini; clock gives "today" for the date field.
    TForm1(const FormatSettings& formatSettings, const QString& programFolder, Clock clock = systemClock(),
        QWidget* parent = nullptr);
    ~TForm1() override;

    // Refills the window from the settings store: next number, place, date, rate, output choices,
    // and empty entry fields.
    void ResetForm();

    // Fills empty amount fields with "0", completes the missing amount from the other and the rate,
    // and writes both amounts back rounded to cents. Nothing is written when a text is no number.
    void completeAmounts();

    // The report's value callback: answers the receipt variables from the window's current
    // contents and leaves the value of any other name as it came.
    void ReportGetValue(const QString& VarName, Variant& Value);

    // The window's contents as the templates see them.
    ReceiptFormState receiptFormState() const;

    // Whether the PDF export opens each file after writing it (settings key "OpenPDF").
    bool pdfOpenAfterExport() const { return m_pdfOpenAfterExport; }

    TJvAppIniFileStorage& settingsStore() { return *ini; }
    // The report component: the built-in receipt design until a template is loaded.
    TfrxReport& report() { return *Report; }
    // Prepares the report and holds its prepared pages.
    TfrxEngine& reportEngine() { return *m_engine; }
    const FormatSettings& formatSettings() const { return m_formatSettings; }

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* QID = nullptr;
    QLineEdit* Ort = nullptr;
    QDateEdit* Datum = nullptr;

    QGroupBox* GroupBox2 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* von = nullptr;
    QPlainTextEdit* fuer = nullptr;
    QLineEdit* brutto = nullptr;
    QLineEdit* netto = nullptr;
    QLineEdit* MwSt = nullptr;

    QGroupBox* GroupBox3 = nullptr;
    QLabel* Label8 = nullptr;
    QPushButton* Button1 = nullptr;
    QCheckBox* ExPDF = nullptr;
    QCheckBox* ExJPG = nullptr;
    QCheckBox* Vorschau = nullptr;
    QCheckBox* direct = nullptr;
    OutputFormatBox* Ausgabeformat = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void createControls();
    void setTabOrder();

    FormatSettings m_formatSettings;
    Clock m_clock;
    std::unique_ptr<TJvAppIniFileStorage> ini;
    std::unique_ptr<TfrxReport> Report;
    std::unique_ptr<TfrxEngine> m_engine;
    bool m_pdfOpenAfterExport = false;
};

} // namespace quittung
