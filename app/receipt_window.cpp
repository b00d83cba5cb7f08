#include "app/receipt_window.h"

#include "app/error_handler.h"
#include "runtime/exception.h"
#include "settings/ini_settings.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QShowEvent>
#include <QTextDocument>

#include <limits>
#include <utility>

namespace quittung::app {

using settings::IniSettings;

namespace {

const QString kCaption = QStringLiteral("Varnel - Telvo | Programm um Quittungen zu erstellen");
const QString kFormFixedHint = QStringLiteral("Das Ausgabeformat ist über die Einstellungen Datei fest eingestellt!");
const QDate kDesignDate(2020, 7, 3);

// Tab leaves the date field instead of walking its day, month and year.
class DatePicker : public QDateEdit {
public:
    using QDateEdit::QDateEdit;

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

// The window's font: Tahoma 8 pt (11 pixels), or the closest sans face installed. One family is
// chosen here because a style sheet drops all but the first of a QFont's family list.
QFont formFont()
{
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    for (const char* family : {"Tahoma", "Liberation Sans", "Arial"}) {
        if (QFontDatabase::hasFamily(QString::fromLatin1(family))) {
            font.setFamily(QString::fromLatin1(family));
            break;
        }
    }
    font.setPixelSize(11);
    return font;
}

QGroupBox* groupBox(QWidget* parent, const QString& caption, int left, int top, int width, int height)
{
    auto* box = new QGroupBox(caption, parent);
    box->setGeometry(left, top, width, height);
    return box;
}

// Labels and check boxes size themselves to their caption once the font is set, so a wider font
// never clips them.
QLabel* label(QWidget* parent, const QString& caption, int left, int top)
{
    auto* l = new QLabel(caption, parent);
    l->move(left, top);
    return l;
}

QLineEdit* lineEdit(QWidget* parent, const QString& text, int left, int top, int width, int height)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setGeometry(left, top, width, height);
    return edit;
}

QCheckBox* checkBox(QWidget* parent, const QString& caption, int left, int top, int width, int height)
{
    auto* box = new QCheckBox(caption, parent);
    box->setGeometry(left, top, width, height);
    return box;
}

int checkedIncrement(int value)
{
    if (value == std::numeric_limits<int>::max())
        throw IntegerOverflowError();
    return value + 1;
}

} // namespace

int OutputFormatBox::itemIndex() const
{
    if (m_selectionCleared || currentIndex() < 0)
        return -1;
    // A typed text that no longer names the selected item leaves no item selected.
    return currentText() == itemText(currentIndex()) ? currentIndex() : findText(currentText(), Qt::MatchExactly);
}

void OutputFormatBox::setItemIndex(int index)
{
    if (index >= -1 && index < count()) {
        setCurrentIndex(index);
        m_selectionCleared = false;
    } else {
        m_selectionCleared = true;
    }
}

ReceiptWindow::ReceiptWindow(
    const FormatSettings& formatSettings, const QString& programFolder, Clock clock, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_formatSettings(formatSettings)
    , m_clock(std::move(clock))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kCaption);
    setFixedSize(365, 457);
    createControls();
    // Each control gets the font itself: a style sheet makes a control fall back to the
    // application font instead of inheriting its window's.
    const QFont font = formFont();
    setFont(font);
    for (QWidget* control : findChildren<QWidget*>())
        control->setFont(font);
    for (QLabel* caption : findChildren<QLabel*>())
        caption->adjustSize();
    for (QCheckBox* box : findChildren<QCheckBox*>())
        box->resize(std::max(box->width(), box->sizeHint().width()), box->height());
    setTabOrder();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    m_programFolder = programFolder.endsWith(u'/') ? programFolder : programFolder + u'/';
    m_settings = std::make_unique<IniSettings>();
    configureReceiptSettings(*m_settings, programFolder);

    m_job = std::make_unique<ReceiptJob>(*m_settings, m_programFolder, m_formatSettings, m_clock);
    m_job->output() = standardReceiptOutput(*m_job);

    connect(createButton, &QPushButton::clicked, this, [this] { guarded([this] { createReceipt(); }); });
}

void ReceiptWindow::createReceipt()
{
    // The job processes the window's events while it prepares, exports and prints: a click that
    // arrives meanwhile must not start a second receipt inside the first.
    if (m_receiptRunning)
        return;
    m_receiptRunning = true;
    createButton->setEnabled(false);
    const auto done = qScopeGuard([this] {
        m_receiptRunning = false;
        createButton->setEnabled(true);
    });
    ReceiptFormState form = receiptFormState();
    const ReceiptChoices choices{pdfCheck->isChecked(), jpegCheck->isChecked(), previewCheck->isChecked(),
        directPrintCheck->isChecked(), m_proposedNumber};
    makeReceiptFromForm(*m_job, form, choices, [this](const ReceiptFormState& changed) {
        numberEdit->setText(changed.number);
        netEdit->setText(changed.net);
        grossEdit->setText(changed.gross);
        vatRateEdit->setText(changed.vatRate);
    });
    resetForm();
}

ReceiptWindow::~ReceiptWindow()
{
    // The store is written when the window goes, but a counter the command line advanced meanwhile
    // is not put back. Without the lock the store is written as it stands.
    m_settings->setFlushOnDestroy(false);
    try {
        updateSettingsLocked(*m_settings, [this] {
            const int stored = storedReceiptCounter(m_programFolder);
            if (stored > m_settings->readInteger(settings_keys::counter, 0))
                m_settings->writeInteger(settings_keys::counter, stored);
        }, false);
    } catch (const Exception&) {
        m_settings->flush();
    }
}

void ReceiptWindow::createControls()
{
    receiptGroup = groupBox(this, QStringLiteral("Quittungseigenschaften"), 8, 8, 337, 73);
    numberLabel = label(receiptGroup, QStringLiteral("Nummer:"), 16, 16);
    placeDateLabel = label(receiptGroup, QStringLiteral("Ort / Datum"), 79, 16);
    numberEdit = lineEdit(receiptGroup, QStringLiteral("QID"), 16, 35, 57, 21);
    placeEdit = lineEdit(receiptGroup, QStringLiteral("Ort"), 79, 35, 130, 21);
    dateEdit = new DatePicker(receiptGroup);
    dateEdit->setGeometry(215, 35, 104, 21);
    dateEdit->setCalendarPopup(true);
    dateEdit->setDisplayFormat(m_formatSettings.shortDateFormat);
    dateEdit->setDate(kDesignDate);

    dataGroup = groupBox(this, QStringLiteral("Quittungsdaten"), 8, 87, 337, 202);
    payerLabel = label(dataGroup, QStringLiteral("Von"), 16, 16);
    purposeLabel = label(dataGroup, QStringLiteral("Für"), 16, 62);
    netLabel = label(dataGroup, QStringLiteral("Nettobetrag"), 16, 151);
    vatRateLabel = label(dataGroup, QStringLiteral("% MwSt."), 144, 151);
    grossLabel = label(dataGroup, QStringLiteral("Bruttobetrag"), 257, 151);
    payerEdit = lineEdit(dataGroup, QString(), 16, 35, 303, 21);
    purposeEdit = new QPlainTextEdit(dataGroup);
    purposeEdit->setGeometry(16, 81, 303, 64);
    purposeEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    purposeEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    purposeEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    purposeEdit->setTabChangesFocus(true);
    grossEdit = lineEdit(dataGroup, QString(), 230, 170, 89, 21);
    netEdit = lineEdit(dataGroup, QString(), 16, 170, 89, 21);
    vatRateEdit = lineEdit(dataGroup, QString(), 144, 170, 44, 21);
    vatRateEdit->setFocusPolicy(Qt::ClickFocus);

    outputGroup = groupBox(this, QStringLiteral("Quittung erstellen"), 8, 295, 338, 154);
    formatLabel = label(outputGroup, QStringLiteral("Ausgabeformat:"), 16, 17);
    createButton = new QPushButton(QStringLiteral("Quittung erstellen"), outputGroup);
    createButton->setGeometry(144, 20, 175, 125);
    pdfCheck = checkBox(outputGroup, QStringLiteral("PDF-Export"), 16, 63, 73, 17);
    jpegCheck = checkBox(outputGroup, QStringLiteral("JPEG-Export"), 16, 86, 78, 17);
    previewCheck = checkBox(outputGroup, QStringLiteral("Vorschau"), 16, 132, 67, 17);
    directPrintCheck = checkBox(outputGroup, QStringLiteral("Direktdruck"), 16, 109, 78, 17);
    formatBox = new OutputFormatBox(outputGroup);
    formatBox->setGeometry(16, 36, 105, 21);
    formatBox->setEditable(true);
    formatBox->setInsertPolicy(QComboBox::NoInsert);
    formatBox->addItems({QStringLiteral("A5 - Eine Seite"), QStringLiteral("A5 - Zwei Seiten"),
        QStringLiteral("A4 - Eine Seite"), QStringLiteral("A4 - Zwei Seiten")});
    formatBox->setItemIndex(0);

    // The design names, by which tests and desktop automation find the controls.
    const std::pair<QWidget*, const char*> designNames[] = {{receiptGroup, "GroupBox1"}, {numberLabel, "Label1"},
        {placeDateLabel, "Label3"}, {numberEdit, "QID"}, {placeEdit, "Ort"}, {dateEdit, "Datum"},
        {dataGroup, "GroupBox2"}, {payerLabel, "Label2"}, {purposeLabel, "Label4"}, {netLabel, "Label6"},
        {vatRateLabel, "Label5"}, {grossLabel, "Label7"}, {payerEdit, "von"}, {purposeEdit, "fuer"},
        {grossEdit, "brutto"}, {netEdit, "netto"}, {vatRateEdit, "MwSt"}, {outputGroup, "GroupBox3"},
        {formatLabel, "Label8"}, {createButton, "Button1"}, {pdfCheck, "ExPDF"}, {jpegCheck, "ExJPG"},
        {previewCheck, "Vorschau"}, {directPrintCheck, "direct"}, {formatBox, "Ausgabeformat"}};
    for (const auto& [control, name] : designNames)
        control->setObjectName(QString::fromLatin1(name));
}

void ReceiptWindow::setTabOrder()
{
    const QWidget* order[] = {payerEdit, purposeEdit, grossEdit, netEdit, createButton, pdfCheck, jpegCheck,
        previewCheck, directPrintCheck, formatBox, numberEdit, placeEdit, dateEdit};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));
    payerEdit->setFocus();
}

void ReceiptWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Restoring a minimised window is no new show.
    if (!event->spontaneous())
        guarded([this] { formShow(); });
}

void ReceiptWindow::formShow()
{
    resetForm();
}

void ReceiptWindow::resetForm()
{
    m_proposedNumber = QString::number(checkedIncrement(m_settings->readInteger(settings_keys::counter, 0)));
    numberEdit->setText(m_proposedNumber);
    placeEdit->setText(m_settings->readString(settings_keys::place, QStringLiteral("Berlin")));
    dateEdit->setDate(m_clock().date());
    vatRateEdit->setText(storedVatRate(*m_settings, m_formatSettings));
    formatBox->setItemIndex(m_settings->readInteger(settings_keys::outputFormat, 0));
    pdfCheck->setChecked(m_settings->readBoolean(settings_keys::exportPdf, false));
    jpegCheck->setChecked(m_settings->readBoolean(settings_keys::exportJpeg, false));
    previewCheck->setChecked(m_settings->readBoolean(settings_keys::preview, true));
    m_job->pdfExport().setOpenAfterExport(
        m_settings->readString(settings_keys::openPdf, QString()) == QLatin1String("true"));
    const bool formFixed = !m_settings->readString(settings_keys::form, QString()).isEmpty();
    formatBox->setEnabled(!formFixed);
    formatBox->setToolTip(formFixed ? kFormFixedHint : QString());
    netEdit->clear();
    grossEdit->clear();
    payerEdit->clear();
    purposeEdit->clear();
}

ReceiptFormState ReceiptWindow::receiptFormState() const
{
    // The raw text keeps no-break spaces, which the plain-text export would turn into spaces.
    QString purpose = purposeEdit->document()->toRawText();
    purpose.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    purpose.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return {numberEdit->text(), placeEdit->text(), dateEdit->date(), payerEdit->text(), purpose, netEdit->text(),
        vatRateEdit->text(), grossEdit->text(), formatBox->itemIndex()};
}

} // namespace quittung::app
