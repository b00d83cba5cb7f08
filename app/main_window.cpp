#include "app/main_window.h"

#include "app/error_handler.h"
#include "app/receipt/receipt_amounts.h"
#include "report/document/builtin_design.h"
#include "report/document/report.h"
#include "report/engine/engine.h"
#include "runtime/exception.h"
#include "runtime/number_format.h"
#include "settings/app_ini_file_storage.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTextDocument>

#include <limits>

namespace quittung {

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
        throw EIntOverflow();
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

TForm1::TForm1(const FormatSettings& formatSettings, const QString& programFolder, Clock clock, QWidget* parent)
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

    ini = std::make_unique<TJvAppIniFileStorage>();
    ini->SetFileName(QStringLiteral("Settings.ini"));
    ini->SetLocation(programFolder);
    ini->SetDefaultSection(QStringLiteral("Telvo"));
    ini->SetAutoFlush(false);
    ini->SetAutoReload(false);
    ini->SetFlushOnDestroy(true);
    TJvAppStorageOptions& options = ini->StorageOptions();
    options.BooleanAsString = true;
    options.BooleanStringTrueValues = QStringLiteral("TRUE, YES, Y");
    options.BooleanStringFalseValues = QStringLiteral("FALSE, NO, N");
    options.DefaultIfReadConvertError = false;
    ini->Loaded();

    Report = std::make_unique<TfrxReport>(m_clock);
    Report->SetLocaleSettings(m_formatSettings);
    ApplyBuiltinDesign(*Report);
    Report->OnGetValue = [this](const QString& name, Variant& value) { ReportGetValue(name, value); };
    m_engine = std::make_unique<TfrxEngine>(*Report, m_clock);
}

TForm1::~TForm1() = default;

void TForm1::createControls()
{
    GroupBox1 = groupBox(this, QStringLiteral("Quittungseigenschaften"), 8, 8, 337, 73);
    Label1 = label(GroupBox1, QStringLiteral("Nummer:"), 16, 16);
    Label3 = label(GroupBox1, QStringLiteral("Ort / Datum"), 79, 16);
    QID = lineEdit(GroupBox1, QStringLiteral("QID"), 16, 35, 57, 21);
    Ort = lineEdit(GroupBox1, QStringLiteral("Ort"), 79, 35, 130, 21);
    Datum = new DatePicker(GroupBox1);
    Datum->setGeometry(215, 35, 104, 21);
    Datum->setCalendarPopup(true);
    Datum->setDisplayFormat(m_formatSettings.shortDateFormat);
    Datum->setDate(kDesignDate);

    GroupBox2 = groupBox(this, QStringLiteral("Quittungsdaten"), 8, 87, 337, 202);
    Label2 = label(GroupBox2, QStringLiteral("Von"), 16, 16);
    Label4 = label(GroupBox2, QStringLiteral("Für"), 16, 62);
    Label6 = label(GroupBox2, QStringLiteral("Nettobetrag"), 16, 151);
    Label5 = label(GroupBox2, QStringLiteral("% MwSt."), 144, 151);
    Label7 = label(GroupBox2, QStringLiteral("Bruttobetrag"), 257, 151);
    von = lineEdit(GroupBox2, QString(), 16, 35, 303, 21);
    fuer = new QPlainTextEdit(GroupBox2);
    fuer->setGeometry(16, 81, 303, 64);
    fuer->setLineWrapMode(QPlainTextEdit::NoWrap);
    fuer->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    fuer->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fuer->setTabChangesFocus(true);
    brutto = lineEdit(GroupBox2, QString(), 230, 170, 89, 21);
    netto = lineEdit(GroupBox2, QString(), 16, 170, 89, 21);
    MwSt = lineEdit(GroupBox2, QString(), 144, 170, 44, 21);
    MwSt->setFocusPolicy(Qt::ClickFocus);

    GroupBox3 = groupBox(this, QStringLiteral("Quittung erstellen"), 8, 295, 338, 154);
    Label8 = label(GroupBox3, QStringLiteral("Ausgabeformat:"), 16, 17);
    Button1 = new QPushButton(QStringLiteral("Quittung erstellen"), GroupBox3);
    Button1->setGeometry(144, 20, 175, 125);
    ExPDF = checkBox(GroupBox3, QStringLiteral("PDF-Export"), 16, 63, 73, 17);
    ExJPG = checkBox(GroupBox3, QStringLiteral("JPEG-Export"), 16, 86, 78, 17);
    Vorschau = checkBox(GroupBox3, QStringLiteral("Vorschau"), 16, 132, 67, 17);
    direct = checkBox(GroupBox3, QStringLiteral("Direktdruck"), 16, 109, 78, 17);
    Ausgabeformat = new OutputFormatBox(GroupBox3);
    Ausgabeformat->setGeometry(16, 36, 105, 21);
    Ausgabeformat->setEditable(true);
    Ausgabeformat->setInsertPolicy(QComboBox::NoInsert);
    Ausgabeformat->addItems({QStringLiteral("A5 - Eine Seite"), QStringLiteral("A5 - Zwei Seiten"),
        QStringLiteral("A4 - Eine Seite"), QStringLiteral("A4 - Zwei Seiten")});
    Ausgabeformat->setItemIndex(0);
}

void TForm1::setTabOrder()
{
    const QWidget* order[] = {von, fuer, brutto, netto, Button1, ExPDF, ExJPG, Vorschau, direct, Ausgabeformat,
        QID, Ort, Datum};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));
    von->setFocus();
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Restoring a minimised window is no new show.
    if (!event->spontaneous())
        guarded([this] { FormShow(); });
}

void TForm1::FormShow()
{
    ResetForm();
}

void TForm1::ResetForm()
{
    QID->setText(QString::number(checkedIncrement(ini->ReadInteger(QStringLiteral("QID"), 0))));
    Ort->setText(ini->ReadString(QStringLiteral("Ort"), QStringLiteral("Berlin")));
    Datum->setDate(m_clock().date());
    // The rate may have decimals (7,5): read and written in the user's number format.
    const QString rate = ini->ReadString(QStringLiteral("MwSt"), QStringLiteral("19"));
    MwSt->setText(FloatToStr(rate.isEmpty() ? 0.0 : StrToFloat(rate, m_formatSettings), m_formatSettings));
    Ausgabeformat->setItemIndex(ini->ReadInteger(QStringLiteral("AusgabeFormat"), 0));
    ExPDF->setChecked(ini->ReadBoolean(QStringLiteral("ExportPDF"), false));
    ExJPG->setChecked(ini->ReadBoolean(QStringLiteral("ExportJPG"), false));
    Vorschau->setChecked(ini->ReadBoolean(QStringLiteral("ExportVorschau"), true));
    m_pdfOpenAfterExport = ini->ReadString(QStringLiteral("OpenPDF"), QString()) == QLatin1String("true");
    const bool formFixed = !ini->ReadString(QStringLiteral("Form"), QString()).isEmpty();
    Ausgabeformat->setEnabled(!formFixed);
    Ausgabeformat->setToolTip(formFixed ? kFormFixedHint : QString());
    netto->clear();
    brutto->clear();
    von->clear();
    fuer->clear();
}

void TForm1::completeAmounts()
{
    for (QLineEdit* field : {netto, brutto, MwSt}) {
        if (field->text().isEmpty())
            field->setText(QStringLiteral("0"));
    }
    const CompletedAmounts amounts = CompleteAmounts(netto->text(), brutto->text(), MwSt->text(), m_formatSettings);
    netto->setText(amounts.netto);
    brutto->setText(amounts.brutto);
}

ReceiptFormState TForm1::receiptFormState() const
{
    // The raw text keeps no-break spaces, which the plain-text export would turn into spaces.
    QString purpose = fuer->document()->toRawText();
    purpose.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    purpose.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return {QID->text(), Ort->text(), Datum->date(), von->text(), purpose, netto->text(), MwSt->text(),
        brutto->text()};
}

void TForm1::ReportGetValue(const QString& VarName, Variant& Value)
{
    if (!isReceiptVariable(VarName))
        return;
    if (std::optional<Variant> value = receiptVariable(VarName, receiptFormState(), m_formatSettings))
        Value = std::move(*value);
}

} // namespace quittung
