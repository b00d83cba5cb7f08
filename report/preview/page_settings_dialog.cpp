#include "report/preview/page_settings_dialog.h"

#include "report/engine/pages/prepared_pages.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include <utility>

namespace quittung::report {

namespace {

// The papers offered by name; anything else is a custom size.
const std::pair<int, const char*> Papers[] = {
    {9, "A4"},
    {11, "A5"},
    {8, "A3"},
    {1, "Letter"},
    {5, "Legal"},
};
constexpr int CustomPaper = 256;

QDoubleSpinBox* millimetreBox(double maximum, double value, QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(0, maximum);
    box->setDecimals(1);
    box->setSuffix(QStringLiteral(" mm"));
    box->setValue(value);
    return box;
}

} // namespace

PageSettings PageSettings::of(const ReportPage& page)
{
    PageSettings settings;
    settings.paperSize = page.paperSize();
    settings.paperWidth = page.paperWidth();
    settings.paperHeight = page.paperHeight();
    settings.orientation = page.orientation();
    settings.leftMargin = page.leftMargin();
    settings.topMargin = page.topMargin();
    settings.rightMargin = page.rightMargin();
    settings.bottomMargin = page.bottomMargin();
    return settings;
}

void applyPageSettings(PreparedPages& pages, const PageSettings& settings)
{
    for (int i = 0; i < pages.count(); ++i) {
        ReportPage& page = *pages.page(i);
        // The orientation first: a paper from the table then takes its size in that orientation.
        page.setOrientation(settings.orientation);
        if (paperSizeOf(settings.paperSize)) {
            page.setPaperSize(settings.paperSize);
        } else {
            page.setPaperWidth(settings.paperWidth);
            page.setPaperHeight(settings.paperHeight);
        }
        page.setLeftMargin(settings.leftMargin);
        page.setTopMargin(settings.topMargin);
        page.setRightMargin(settings.rightMargin);
        page.setBottomMargin(settings.bottomMargin);
    }
}

PageSettingsDialog::PageSettingsDialog(const PageSettings& settings, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Page Settings"));

    auto* paperGroup = new QGroupBox(tr("Paper"), this);
    m_paper = new QComboBox(paperGroup);
    for (const auto& [code, name] : Papers)
        m_paper->addItem(QString::fromLatin1(name), code);
    m_paper->addItem(tr("Custom"), CustomPaper);
    const int known = m_paper->findData(settings.paperSize);
    m_paper->setCurrentIndex(known >= 0 ? known : m_paper->count() - 1);
    m_width = millimetreBox(5000, settings.paperWidth, paperGroup);
    m_height = millimetreBox(5000, settings.paperHeight, paperGroup);
    auto* paperForm = new QFormLayout(paperGroup);
    paperForm->addRow(tr("Size:"), m_paper);
    paperForm->addRow(tr("Width:"), m_width);
    paperForm->addRow(tr("Height:"), m_height);

    auto* orientationGroup = new QGroupBox(tr("Orientation"), this);
    m_portrait = new QRadioButton(tr("Portrait"), orientationGroup);
    m_landscape = new QRadioButton(tr("Landscape"), orientationGroup);
    (settings.orientation == PageOrientation::Landscape ? m_landscape : m_portrait)->setChecked(true);
    auto* orientationLayout = new QHBoxLayout(orientationGroup);
    orientationLayout->addWidget(m_portrait);
    orientationLayout->addWidget(m_landscape);

    auto* marginGroup = new QGroupBox(tr("Margins"), this);
    m_left = millimetreBox(1000, settings.leftMargin, marginGroup);
    m_top = millimetreBox(1000, settings.topMargin, marginGroup);
    m_right = millimetreBox(1000, settings.rightMargin, marginGroup);
    m_bottom = millimetreBox(1000, settings.bottomMargin, marginGroup);
    auto* marginForm = new QFormLayout(marginGroup);
    marginForm->addRow(tr("Left:"), m_left);
    marginForm->addRow(tr("Top:"), m_top);
    marginForm->addRow(tr("Right:"), m_right);
    marginForm->addRow(tr("Bottom:"), m_bottom);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(paperGroup);
    layout->addWidget(orientationGroup);
    layout->addWidget(marginGroup);
    layout->addWidget(buttons);

    connect(m_paper, &QComboBox::currentIndexChanged, this, &PageSettingsDialog::paperChosen);
    paperChosen();
}

void PageSettingsDialog::paperChosen()
{
    const bool custom = m_paper->currentData().toInt() == CustomPaper;
    m_width->setEnabled(custom);
    m_height->setEnabled(custom);
}

PageSettings PageSettingsDialog::settings() const
{
    PageSettings settings;
    settings.paperSize = m_paper->currentData().toInt();
    settings.paperWidth = m_width->value();
    settings.paperHeight = m_height->value();
    settings.orientation = m_landscape->isChecked() ? PageOrientation::Landscape : PageOrientation::Portrait;
    settings.leftMargin = m_left->value();
    settings.topMargin = m_top->value();
    settings.rightMargin = m_right->value();
    settings.bottomMargin = m_bottom->value();
    return settings;
}

} // namespace quittung::report
