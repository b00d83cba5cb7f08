#pragma once

#include "app/receipt/receipt.h"
#include "app/receipt_job.h"
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

namespace quittung::settings {
class IniSettings;
} // namespace quittung::settings

namespace quittung::app {

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

// The receipt window. It owns the settings store and the receipt job.
// The controls keep their design names; the rest of the program reads and writes them directly.
class ReceiptWindow : public QWidget {
    Q_OBJECT

public:
    // programFolder holds Settings.m_settings; clock gives "today" for the date field.
    ReceiptWindow(const FormatSettings& formatSettings, const QString& programFolder, Clock clock = systemClock(),
        QWidget* parent = nullptr);
    ~ReceiptWindow() override;

    // Refills the window from the settings store: next number, place, date, rate, output choices,
    // and empty entry fields.
    void resetForm();

    // The command of "Quittung erstellen": makes the receipt from the window's fields and choices
    // (the amounts are written back, also when a later step fails), then refills the window. An
    // error ends it where it arises and goes to the caller. While it runs, the button is disabled
    // and a second call does nothing.
    void createReceipt();
    // Where receipts are shown or printed; the preview window and the system's printers unless
    // replaced.
    void setReceiptOutput(ReceiptOutput output) { m_job->output() = std::move(output); }

    // The window's contents as the receipt job takes them.
    ReceiptFormState receiptFormState() const;

    // Whether the PDF export opens each file after writing it (settings key "OpenPDF").
    bool pdfOpenAfterExport() const { return m_job->pdfExport().openAfterExport(); }

    settings::IniSettings& settingsStore() { return *m_settings; }
    // The receipt job with its templates, its preparer and the export filters' options.
    ReceiptJob& receiptJob() { return *m_job; }
    // The folder that holds the program, Settings.ini, Forms/, PDF/ and JPG/, with a trailing "/".
    const QString& programFolder() const { return m_programFolder; }
    const FormatSettings& formatSettings() const { return m_formatSettings; }

    QGroupBox* receiptGroup = nullptr;
    QLabel* numberLabel = nullptr;
    QLabel* placeDateLabel = nullptr;
    QLineEdit* numberEdit = nullptr;
    QLineEdit* placeEdit = nullptr;
    QDateEdit* dateEdit = nullptr;

    QGroupBox* dataGroup = nullptr;
    QLabel* payerLabel = nullptr;
    QLabel* purposeLabel = nullptr;
    QLabel* netLabel = nullptr;
    QLabel* vatRateLabel = nullptr;
    QLabel* grossLabel = nullptr;
    QLineEdit* payerEdit = nullptr;
    QPlainTextEdit* purposeEdit = nullptr;
    QLineEdit* grossEdit = nullptr;
    QLineEdit* netEdit = nullptr;
    QLineEdit* vatRateEdit = nullptr;

    QGroupBox* outputGroup = nullptr;
    QLabel* formatLabel = nullptr;
    QPushButton* createButton = nullptr;
    QCheckBox* pdfCheck = nullptr;
    QCheckBox* jpegCheck = nullptr;
    QCheckBox* previewCheck = nullptr;
    QCheckBox* directPrintCheck = nullptr;
    OutputFormatBox* formatBox = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void formShow();
    // Why the press cannot make the receipt, found before anything is stored: one message naming
    // the field; empty when it can. Makes missing output folders.
    QString pressFault(const ReceiptFormState& form, const ReceiptChoices& choices);
    // The number after the highest one the receipts in PDF/ and JPG/ carry, else 1: what the form
    // proposes when the counter cannot be read.
    int numberAfterReceiptFiles() const;
    void createControls();
    void setTabOrder();

    FormatSettings m_formatSettings;
    Clock m_clock;
    std::unique_ptr<settings::IniSettings> m_settings;
    std::unique_ptr<ReceiptJob> m_job;
    QString m_programFolder;
    // The number the form was filled with from the counter.
    QString m_proposedNumber;
    // The number stored for a press that delivered nothing, which the next press may take again.
    QString m_reservedNumber;
    // While a receipt is being made.
    bool m_receiptRunning = false;
};

} // namespace quittung::app
