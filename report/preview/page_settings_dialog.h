#pragma once

#include "report/document/page.h"

#include <QCoreApplication>
#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QRadioButton;

namespace quittung::report {

class PreparedPages;

// Paper, orientation and margins for every prepared page; millimetres.
struct PageSettings {
    int paperSize = 9;
    // Used for a custom size, in the chosen orientation.
    double paperWidth = 210;
    double paperHeight = 297;
    PageOrientation orientation = PageOrientation::Portrait;
    double leftMargin = 0;
    double topMargin = 0;
    double rightMargin = 0;
    double bottomMargin = 0;

    static PageSettings of(const ReportPage& page);
};

// Gives every prepared page the settings: its paper and margins change, its objects stay put.
void applyPageSettings(PreparedPages& pages, const PageSettings& settings);

// The "Page Settings" dialog of the preview.
class PageSettingsDialog : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(PageSettingsDialog)

public:
    explicit PageSettingsDialog(const PageSettings& settings, QWidget* parent = nullptr);
    PageSettings settings() const;

private:
    void paperChosen();

    QComboBox* m_paper;
    QDoubleSpinBox* m_width;
    QDoubleSpinBox* m_height;
    QRadioButton* m_portrait;
    QRadioButton* m_landscape;
    QDoubleSpinBox* m_left;
    QDoubleSpinBox* m_top;
    QDoubleSpinBox* m_right;
    QDoubleSpinBox* m_bottom;
};

} // namespace quittung::report
