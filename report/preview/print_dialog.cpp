// The print dialog of a printout.
#include "report/preview/print_dialog.h"

#include "report/document/report_options.h"
#include "report/preview/printer_list.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quittung::report {

namespace {

// Papers a page can be split onto, joined onto or scaled to, by their printer paper codes.
struct SheetPaper {
    const char* name;
    int code;
};
constexpr SheetPaper sheetPapers[] = {{"A4", 9}, {"A3", 8}, {"A5", 11}, {"Letter", 1}, {"Legal", 5}};

QRadioButton* addRadio(QGroupBox* group, QVBoxLayout* layout, const QString& text, const char* name)
{
    auto* button = new QRadioButton(text, group);
    button->setObjectName(QString::fromLatin1(name));
    layout->addWidget(button);
    return button;
}

QComboBox* comboBox(const QStringList& items, const char* name, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    return box;
}

} // namespace

PrintDialog::PrintDialog(PrintOptions& options, int currentPage, QWidget* parent)
    : QDialog(parent)
    , m_options(options)
    , m_currentPage(currentPage)
    , m_printerBefore(PrinterList::instance().currentIndex())
{
    setWindowTitle(tr("Print"));
    PrinterList& printers = PrinterList::instance();

    auto* printerGroup = new QGroupBox(tr("Printer"), this);
    auto* printerLayout = new QGridLayout(printerGroup);
    m_printerBox = comboBox(printers.names(), "printerBox", printerGroup);
    m_printerBox->setCurrentIndex(printers.currentIndex());
    m_whereLabel = new QLabel(printers.current().port(), printerGroup);
    m_whereLabel->setObjectName(QStringLiteral("whereLabel"));
    auto* propertiesButton = new QPushButton(tr("Properties..."), printerGroup);
    propertiesButton->setObjectName(QStringLiteral("propertiesButton"));
    m_toFileBox = new QCheckBox(tr("Print to file"), printerGroup);
    m_toFileBox->setObjectName(QStringLiteral("toFileBox"));
    printerLayout->addWidget(new QLabel(tr("Name:"), printerGroup), 0, 0);
    printerLayout->addWidget(m_printerBox, 0, 1);
    printerLayout->addWidget(propertiesButton, 0, 2);
    printerLayout->addWidget(new QLabel(tr("Where:"), printerGroup), 1, 0);
    printerLayout->addWidget(m_whereLabel, 1, 1);
    printerLayout->addWidget(m_toFileBox, 1, 2);

    auto* pagesGroup = new QGroupBox(tr("Pages"), this);
    auto* pagesLayout = new QVBoxLayout(pagesGroup);
    m_allButton = addRadio(pagesGroup, pagesLayout, tr("All"), "allButton");
    m_currentButton = addRadio(pagesGroup, pagesLayout, tr("Current page"), "currentButton");
    auto* pagesRow = new QHBoxLayout;
    m_pagesButton = new QRadioButton(tr("Pages:"), pagesGroup);
    m_pagesButton->setObjectName(QStringLiteral("pagesButton"));
    m_pagesEdit = new QLineEdit(options.pageNumbers(), pagesGroup);
    m_pagesEdit->setObjectName(QStringLiteral("pagesEdit"));
    pagesRow->addWidget(m_pagesButton);
    pagesRow->addWidget(m_pagesEdit);
    pagesLayout->addLayout(pagesRow);
    auto* note = new QLabel(
        tr("Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12"), pagesGroup);
    note->setWordWrap(true);
    pagesLayout->addWidget(note);
    (options.pageNumbers().isEmpty() ? m_allButton : m_pagesButton)->setChecked(true);
    connect(m_pagesEdit, &QLineEdit::textEdited, m_pagesButton, [this] { m_pagesButton->setChecked(true); });

    auto* copiesGroup = new QGroupBox(tr("Copies"), this);
    auto* copiesLayout = new QFormLayout(copiesGroup);
    m_copiesBox = new QSpinBox(copiesGroup);
    m_copiesBox->setObjectName(QStringLiteral("copiesBox"));
    m_copiesBox->setRange(1, 999);
    m_copiesBox->setValue(std::max(1, options.copies()));
    m_collateBox = new QCheckBox(tr("Collate"), copiesGroup);
    m_collateBox->setObjectName(QStringLiteral("collateBox"));
    m_collateBox->setChecked(options.collate());
    copiesLayout->addRow(tr("Number of copies"), m_copiesBox);
    copiesLayout->addRow(m_collateBox);

    auto* modeGroup = new QGroupBox(tr("Print mode"), this);
    auto* modeLayout = new QVBoxLayout(modeGroup);
    m_modeGroup = new QButtonGroup(this);
    const QStringList modes{tr("Default"), tr("Split big pages"),
        tr("Join small pages"), tr("Scale")};
    for (int i = 0; i < modes.size(); ++i) {
        auto* button = new QRadioButton(modes[i], modeGroup);
        m_modeGroup->addButton(button, i);
        modeLayout->addWidget(button);
    }
    m_modeGroup->button(static_cast<int>(options.printMode()))->setChecked(true);
    auto* sheetRow = new QHBoxLayout;
    m_sheetBox = new QComboBox(modeGroup);
    m_sheetBox->setObjectName(QStringLiteral("sheetBox"));
    for (const SheetPaper& paper : sheetPapers) {
        m_sheetBox->addItem(QString::fromLatin1(paper.name), paper.code);
        if (paper.code == options.printOnSheet())
            m_sheetBox->setCurrentIndex(m_sheetBox->count() - 1);
    }
    sheetRow->addWidget(new QLabel(tr("Print on sheet"), modeGroup));
    sheetRow->addWidget(m_sheetBox);
    modeLayout->addLayout(sheetRow);
    const auto enableSheet = [this] { m_sheetBox->setEnabled(m_modeGroup->checkedId() != 0); };
    connect(m_modeGroup, &QButtonGroup::idClicked, this, enableSheet);
    enableSheet();

    auto* otherGroup = new QGroupBox(tr("Other"), this);
    auto* otherLayout = new QFormLayout(otherGroup);
    m_printPagesBox = comboBox({tr("All pages"), tr("Odd pages"), tr("Even pages")},
        "printPagesBox", otherGroup);
    m_printPagesBox->setCurrentIndex(static_cast<int>(options.printPages()));
    m_duplexBox = comboBox({tr("Default"), tr("Vertical"), tr("Horizontal"),
                               tr("Simplex")},
        "duplexBox", otherGroup);
    m_duplexBox->setCurrentIndex(std::clamp(options.duplex(), 0, 3));
    m_orderBox = comboBox({tr("Direct (1-9)"), tr("Reverse (9-1)")}, "orderBox", otherGroup);
    m_orderBox->setCurrentIndex(options.reverse() ? 1 : 0);
    otherLayout->addRow(tr("Print"), m_printPagesBox);
    otherLayout->addRow(tr("Duplex"), m_duplexBox);
    otherLayout->addRow(tr("Order"), m_orderBox);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("okButton"));
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cancelButton"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(printerGroup, 0, 0, 1, 2);
    grid->addWidget(pagesGroup, 1, 0);
    grid->addWidget(copiesGroup, 1, 1);
    grid->addWidget(modeGroup, 2, 0);
    grid->addWidget(otherGroup, 2, 1);
    grid->addWidget(buttons, 3, 0, 1, 2);

    connect(m_printerBox, &QComboBox::currentIndexChanged, this, &PrintDialog::choosePrinter);
    connect(propertiesButton, &QPushButton::clicked, this, &PrintDialog::openProperties);
    connect(buttons, &QDialogButtonBox::accepted, this, &PrintDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PrintDialog::reject);
}

void PrintDialog::choosePrinter(int index)
{
    PrinterList& printers = PrinterList::instance();
    printers.setCurrent(index);
    m_whereLabel->setText(printers.current().port());
}

// Qt keeps the CUPS printer's own properties dialog private; the page set-up dialog on the
// printer's device is the public way to its paper, orientation and margins.
void PrintDialog::openProperties()
{
    Printer& printer = PrinterList::instance().current();
    if (!printer.isInitialised())
        return;
    QPageSetupDialog dialog(&printer.device(), this);
    if (dialog.exec() == QDialog::Accepted)
        printer.readDeviceValues();
}

void PrintDialog::accept()
{
    QString outputFile;
    if (m_toFileBox->isChecked()) {
        outputFile = QFileDialog::getSaveFileName(
            this, tr("Print to file"), QString(), tr("Printer file (*.prn)"));
        if (outputFile.isEmpty()) {
            reject();
            return;
        }
        const QFileInfo file(outputFile);
        outputFile = file.dir().filePath(file.completeBaseName() + QStringLiteral(".prn"));
    }
    m_options.setPrnOutFileName(outputFile);
    m_options.setCopies(m_copiesBox->value());
    m_options.setCollate(m_collateBox->isChecked());
    if (m_allButton->isChecked())
        m_options.setPageNumbers(QString());
    else if (m_currentButton->isChecked())
        m_options.setPageNumbers(QString::number(m_currentPage));
    else
        m_options.setPageNumbers(m_pagesEdit->text());
    m_options.setPrintPages(static_cast<PrintPages>(m_printPagesBox->currentIndex()));
    m_options.setReverse(m_orderBox->currentIndex() == 1);
    m_options.setPrintMode(static_cast<PrintMode>(m_modeGroup->checkedId()));
    m_options.setPrintOnSheet(m_sheetBox->currentData().toInt());
    m_options.setDuplex(m_duplexBox->currentIndex());
    QDialog::accept();
}

void PrintDialog::reject()
{
    PrinterList::instance().setCurrent(m_printerBefore);
    QDialog::reject();
}

} // namespace quittung::report
