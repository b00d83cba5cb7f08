#include "app/receipt_window.h"

#include "app/error_handler.h"
#include "app/template_check.h"
#include "runtime/number_format.h"
#include "runtime/exception.h"
#include "settings/ini_settings.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QShowEvent>
#include <QTextDocument>

#include <algorithm>
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

// A stored setting, or its default when the stored text does not read: one damaged key never keeps
// the others from loading.
template <class Read, class T>
T readOr(Read read, T fallback)
{
    try {
        return read();
    } catch (const Exception&) {
        return fallback;
    }
}

QString controlCharacterFault(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QStringLiteral("Der Text enthält ein Steuerzeichen (U+%1), das in keinem Dateinamen stehen kann.")
                .arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')));
    }
    return QString();
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
    ReceiptChoices choices;
    choices.pdf = pdfCheck->isChecked();
    choices.jpeg = jpegCheck->isChecked();
    choices.preview = previewCheck->isChecked();
    choices.directPrint = directPrintCheck->isChecked();
    choices.proposedNumber = m_proposedNumber;
    choices.reservedNumber = m_reservedNumber;
    choices.numberStored = [this](const QString& number) {
        // Until something is delivered the number is only reserved.
        m_reservedNumber = number;
        m_proposedNumber = number;
    };
    // A press that cannot succeed stores nothing, takes no number and leaves every field as typed.
    if (const QString fault = pressFault(form, choices); !fault.isEmpty())
        throw Exception(fault);
    const bool delivered = makeReceiptFromForm(*m_job, form, choices, [this](const ReceiptFormState& changed) {
        // The number changes only before anything is stored: to the next free one, which the user
        // sees before pressing again.
        if (numberEdit->text() != changed.number) {
            numberEdit->setText(changed.number);
            m_proposedNumber = changed.number;
        }
        netEdit->setText(changed.net);
        grossEdit->setText(changed.gross);
        vatRateEdit->setText(changed.vatRate);
    });
    // Nothing delivered (the printout failed or was cancelled, no file written): what the user typed
    // stays for another try, under the number already stored for it.
    if (!delivered)
        return;
    m_reservedNumber.clear();
    resetForm();
}

QString ReceiptWindow::pressFault(const ReceiptFormState& form, const ReceiptChoices& choices)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    const QString number = form.number;
    if (number.isEmpty())
        return QStringLiteral("Nummer: Bitte eine Quittungsnummer eingeben.");
    bool inRange = false;
    const qlonglong value = digits.match(number).hasMatch() ? number.toLongLong(&inRange) : 0;
    if (!inRange || value < 1 || value > kLargestReceiptNumber)
        return QStringLiteral("Nummer: '%1' ist keine gültige Quittungsnummer (eine ganze Zahl von 1 bis %2).")
            .arg(number)
            .arg(kLargestReceiptNumber);

    const struct {
        const char* label;
        const QString& text;
    } amounts[] = {{"Nettobetrag", form.net}, {"MwSt.", form.vatRate}, {"Bruttobetrag", form.gross}};
    for (const auto& amount : amounts) {
        if (amount.text.isEmpty())
            continue;
        try {
            (void)stringToFloat(amount.text, m_formatSettings);
        } catch (const Exception&) {
            return QStringLiteral("%1: '%2' ist keine gültige Zahl.").arg(QString::fromLatin1(amount.label), amount.text);
        }
    }
    ReceiptFormState completed = form;
    fillEmptyAmounts(completed);
    Receipt receipt;
    try {
        receipt = receiptFromForm(completed, m_formatSettings);
    } catch (const Exception& error) {
        return error.message();
    }

    const struct {
        const char* label;
        const QString& text;
    } names[] = {{"Nummer", form.number}, {"Von", form.payer}};
    for (const auto& name : names) {
        QString reason = unsafeNameReason(name.text);
        if (reason.isEmpty())
            reason = controlCharacterFault(name.text);
        if (!reason.isEmpty())
            return QStringLiteral("%1: %2").arg(QString::fromLatin1(name.label), reason);
    }

    const bool prints = !choices.preview;
    // Every press previews or prints, so every press needs its template.
    const TemplateInfo found = checkTemplate(m_job->templates(), receiptTemplate(m_programFolder, *m_settings, receipt));
    if (!found.fault.isEmpty())
        return found.fault;
    const struct {
        bool wanted;
        const char* folder;
        const char* label;
    } folders[] = {{choices.pdf, "PDF", "PDF-Export"}, {choices.jpeg, "JPG", "JPEG-Export"}};
    for (const auto& folder : folders) {
        const QString path = m_programFolder + QString::fromLatin1(folder.folder);
        if (folder.wanted && !QDir().mkpath(path))
            return QStringLiteral("%1: Der Ordner %2 kann nicht angelegt werden.")
                .arg(QString::fromLatin1(folder.label), QDir::toNativeSeparators(path));
    }
    if (prints && m_job->output().hasPrinter && !m_job->output().hasPrinter())
        return QStringLiteral("%1: Es ist kein Drucker eingerichtet.")
            .arg(choices.directPrint ? QStringLiteral("Direktdruck") : QStringLiteral("Drucken"));
    return QString();
}

int ReceiptWindow::numberAfterReceiptFiles() const
{
    static const QRegularExpression leadingNumber(QStringLiteral("^([0-9]{1,10})-"));
    qlonglong highest = 0;
    for (const char* folder : {"PDF", "JPG"}) {
        const QStringList names = QDir(m_programFolder + QString::fromLatin1(folder)).entryList(QDir::Files);
        for (const QString& name : names) {
            const QRegularExpressionMatch match = leadingNumber.match(name);
            if (match.hasMatch())
                highest = std::max(highest, match.captured(1).toLongLong());
        }
    }
    return highest < kLargestReceiptNumber ? int(highest) + 1 : 1;
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
    IniSettings& ini = *m_settings;
    // Each setting falls back to its own default when its stored text does not read.
    const int counter = readOr([&] { return ini.readInteger(settings_keys::counter, 0); }, -1);
    m_proposedNumber = QString::number(counter >= 0 && counter < kLargestReceiptNumber ? counter + 1 : numberAfterReceiptFiles());
    numberEdit->setText(m_proposedNumber);
    placeEdit->setText(readOr([&] { return ini.readString(settings_keys::place, QStringLiteral("Berlin")); },
        QStringLiteral("Berlin")));
    dateEdit->setDate(m_clock().date());
    vatRateEdit->setText(readOr([&] { return storedVatRate(ini, m_formatSettings); }, QStringLiteral("19")));
    formatBox->setItemIndex(readOr([&] { return ini.readInteger(settings_keys::outputFormat, 0); }, 0));
    const auto flag = [&](const QString& key, bool fallback) {
        return readOr([&] { return ini.readBoolean(key, fallback); }, fallback);
    };
    pdfCheck->setChecked(flag(settings_keys::exportPdf, false));
    jpegCheck->setChecked(flag(settings_keys::exportJpeg, false));
    previewCheck->setChecked(flag(settings_keys::preview, true));
    m_job->pdfExport().setOpenAfterExport(
        readOr([&] { return ini.readString(settings_keys::openPdf, QString()); }, QString()) == QLatin1String("true"));
    const bool formFixed = !readOr([&] { return ini.readString(settings_keys::form, QString()); }, QString()).isEmpty();
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
