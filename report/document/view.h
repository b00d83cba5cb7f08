#pragma once

#include "report/document/report_object.h"
#include "report/document/frame.h"

#include <QRectF>

namespace quittung::report {

enum class Align { None, Left, Right, Center, Width, Bottom, Client };
enum class ShiftMode { DontShift, Always, WhenOverlapped };
enum class StretchMode { DontStretch, ActualHeight, MaxHeight };
enum class BrushStyle { Solid, Clear, Horizontal, Vertical, ForwardDiagonal, BackwardDiagonal, Cross, DiagonalCross };

// Members of the Restrictions set; they only matter to an interactive designer.
enum class Restriction : int { DontModify = 1, DontSize = 2, DontMove = 4, DontDelete = 8, DontEdit = 16 };
Q_DECLARE_FLAGS(Restrictions, Restriction)
Q_DECLARE_OPERATORS_FOR_FLAGS(Restrictions)

const EnumType& restrictionIdentifiers();
const EnumType& brushStyleIdentifiers();
const EnumType& stretchModeIdentifiers();

// A printable object or a band: what the engine calls while it prepares a report.
class OutputObject : public ReportObject {
public:
    // Records the bounds, so that afterPrint can undo what a preparation changes.
    virtual void beforePrint();
    // Fills the object with the values of the current run.
    virtual void getData() {}
    virtual void afterPrint();
    // The area the object covers when drawn, in report pixels.
    virtual QRectF getRealBounds() const;

    Restrictions restrictions() const { return m_restrictions; }
    void setRestrictions(Restrictions value) { m_restrictions = value & Restrictions::fromInt(0x1F); }
    const QString& onAfterPrint() const { return m_onAfterPrint; }
    void setOnAfterPrint(const QString& value) { m_onAfterPrint = value; }
    const QString& onBeforePrint() const { return m_onBeforePrint; }
    void setOnBeforePrint(const QString& value) { m_onBeforePrint = value; }

private:
    QRectF m_savedBounds;
    Restrictions m_restrictions;
    QString m_onAfterPrint;
    QString m_onBeforePrint;
};

// A printable object: a background, a frame and the properties every printable object writes.
class View : public OutputObject {
public:
    QString className() const override { return QStringLiteral("TfrxView"); }
    const PropertyTable& properties() const override { return commonProperties(); }
    // The properties all views write first, in their order.
    static const PropertyTable& commonProperties();

    Align align() const { return m_align; }
    void setAlign(Align value) { m_align = value; }
    bool printable() const { return m_printable; }
    void setPrintable(bool value) { m_printable = value; }
    ShiftMode shiftMode() const { return m_shiftMode; }
    void setShiftMode(ShiftMode value) { m_shiftMode = value; }
    int groupIndex() const { return m_groupIndex; }
    void setGroupIndex(int value) { m_groupIndex = value; }
    const QString& onAfterData() const { return m_onAfterData; }
    void setOnAfterData(const QString& value) { m_onAfterData = value; }
    const QString& onPreviewClick() const { return m_onPreviewClick; }
    void setOnPreviewClick(const QString& value) { m_onPreviewClick = value; }
    const QString& onPreviewDblClick() const { return m_onPreviewDblClick; }
    void setOnPreviewDblClick(const QString& value) { m_onPreviewDblClick = value; }
    const QString& hint() const { return m_hint; }
    void setHint(const QString& value) { m_hint = value; }
    bool showHint() const { return m_showHint; }
    void setShowHint(bool value) { m_showHint = value; }

    // Published by the subclasses at their own places.
    Frame& frame() { return m_frame; }
    const Frame& frame() const { return m_frame; }
    Color color() const { return m_color; }
    void setColor(Color value) { m_color = value; }
    BrushStyle brushStyle() const { return m_brushStyle; }
    void setBrushStyle(BrushStyle value) { m_brushStyle = value; }
    int cursor() const { return m_cursor; }
    void setCursor(int value) { m_cursor = value; }
    const QString& tagStr() const { return m_tagStr; }
    void setTagStr(const QString& value) { m_tagStr = value; }
    const QString& url() const { return m_url; }
    void setUrl(const QString& value) { m_url = value; }

private:
    Align m_align = Align::None;
    bool m_printable = true;
    ShiftMode m_shiftMode = ShiftMode::Always;
    int m_groupIndex = 0;
    QString m_onAfterData;
    QString m_onPreviewClick;
    QString m_onPreviewDblClick;
    QString m_hint;
    bool m_showHint = false;
    Frame m_frame;
    Color m_color = colors::None;
    BrushStyle m_brushStyle = BrushStyle::Solid;
    int m_cursor = 0;
    QString m_tagStr;
    QString m_url;
};

// Moves and sizes the views among the objects whose Align is not baNone within a container of the
// given size. Edges first, in order: baLeft and baRight take their place at the left or right edge
// the objects before them left free, baBottom at the bottom; baCenter centres across the whole
// width. Then baWidth spans and baClient fills what the edges left over.
void alignObjects(const std::vector<ReportObject*>& objects, double width, double height);

// A view that can grow with its content while a report is prepared.
class StretchableView : public View {
public:
    QString className() const override { return QStringLiteral("TfrxStretcheable"); }

    // The height the content needs. Splitting a stretched object over pages is not built, so the
    // part operations have nothing to split.
    virtual double calcHeight() { return height(); }
    virtual double drawPart() { return 0; }
    virtual void initPart() {}
    virtual bool hasNextDataPart() { return false; }

    StretchMode stretchMode() const { return m_stretchMode; }
    void setStretchMode(StretchMode value) { m_stretchMode = value; }

private:
    StretchMode m_stretchMode = StretchMode::DontStretch;
};

} // namespace quittung::report
