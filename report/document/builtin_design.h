#pragma once

#include "report/document/memo_view.h"
#include "report/document/units.h"

#include <QStringList>

namespace quittung {

class TfrxReport;
class TfrxReportPage;

// One object of a receipt design in report pixels. Fields that do not belong to its kind keep their
// defaults. The built-in design and the template generator describe their receipts with it.
struct DesignObject {
    enum class Kind { Shape, Memo, Line };
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
    int fontStyle = 0;
    TColor fontColor = clBlack;
    TfrxHAlign hAlign = TfrxHAlign::haLeft;
    TfrxVAlign vAlign = TfrxVAlign::vaTop;
    TColor fill = clNone;
    int frameTyp = 0;
    TColor frameColor = clBlack;
    bool diagonal = false;
    bool wordBreak = false;
    QStringList text{};
};

// Adds the object at the end of the page; text objects get their own font.
void AddDesignObject(TfrxReportPage& page, const DesignObject& object);

// The variable list of receipt designs: only category headers, naming what the receipt window supplies.
void AddReceiptVariableHeaders(TfrxReport& report);

// Replaces the report's content with the receipt design the main window starts with: one A4 page
// with a receipt, its copy marked "(Kopie)", cut lines and edge marks, plus the report settings
// stored with it.
void ApplyBuiltinDesign(TfrxReport& report);

} // namespace quittung
