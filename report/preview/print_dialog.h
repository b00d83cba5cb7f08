#pragma once

#include <QCoreApplication>
#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace quittung::report {

class PrintOptions;

// The print dialog: printer, pages, copies, print mode and the other choices of a printout. It
// opens with the print options and writes the choices back on OK; choosing a printer makes it the
// current one of the printer list, and Cancel selects the one before again.
class PrintDialog : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(PrintDialog)

public:
    // currentPage (from 1) is what "Current page" prints.
    PrintDialog(PrintOptions& options, int currentPage, QWidget* parent = nullptr);

    void accept() override;
    void reject() override;

private:
    void choosePrinter(int index);
    void openProperties();

    PrintOptions& m_options;
    int m_currentPage;
    int m_printerBefore;
    QComboBox* m_printerBox;
    QLabel* m_whereLabel;
    QCheckBox* m_toFileBox;
    QRadioButton* m_allButton;
    QRadioButton* m_currentButton;
    QRadioButton* m_pagesButton;
    QLineEdit* m_pagesEdit;
    QSpinBox* m_copiesBox;
    QCheckBox* m_collateBox;
    QButtonGroup* m_modeGroup;
    QComboBox* m_sheetBox;
    QComboBox* m_printPagesBox;
    QComboBox* m_duplexBox;
    QComboBox* m_orderBox;
};

} // namespace quittung::report
