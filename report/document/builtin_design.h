#pragma once

#include "report/document/text_object.h"
#include "report/document/units.h"

#include <QStringList>

namespace quittung::report {

class Report;
class ReportPage;

// One object of a receipt design in report pixels. Fields that do not belong to its kind keep their
// defaults. The built-in design and the template generator describe their receipts with it.
struct DesignObject {
    enum class Kind { Shape, Text, Line };
    struct Box {
        double left;
        double top;
        double width;
        double height;
    };
    Kind kind;
    QString name;
    Box box;
    int fontHeight = -13;
    FontStyles fontStyle{};
    Color fontColor = colors::Black;
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Top;
    Color fill = colors::None;
    FrameSides frameSides{};
    Color frameColor = colors::Black;
    bool diagonal = false;
    bool wordBreak = false;
    QStringList text{};
};

// Adds the object at the end of the page; text objects get their own font.
void addDesignObject(ReportPage& page, const DesignObject& object);

// The variable list of receipt designs: only category headers, naming what the receipt window supplies.
void addReceiptVariableHeaders(Report& report);

// Replaces the report's content with the receipt design the main window starts with: one A4 page
// with a receipt, its copy marked "(Kopie)", cut lines and edge marks, plus the report settings
// stored with it.
void applyBuiltinDesign(Report& report);

} // namespace quittung::report
