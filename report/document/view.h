#pragma once

#include "report/document/component.h"
#include "report/document/frame.h"

#include <QRectF>

namespace quittung {

enum class TfrxAlign { baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient };
enum class TfrxShiftMode { smDontShift, smAlways, smWhenOverlapped };
enum class TfrxStretchMode { smDontStretch, smActualHeight, smMaxHeight };
enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

// Members of the Restrictions set; they only matter to an interactive designer.
enum TfrxRestriction : int { rfDontModify = 1, rfDontSize = 2, rfDontMove = 4, rfDontDelete = 8, rfDontEdit = 16 };

const EnumType& RestrictionIdentifiers();
const EnumType& BrushStyleIdentifiers();
const EnumType& StretchModeIdentifiers();

// A printable object or a band: what the engine calls while it prepares a report.
class TfrxReportComponent : public TfrxComponent {
public:
    // Records the bounds, so that AfterPrint can undo what a preparation changes.
    virtual void BeforePrint();
    // Fills the object with the values of the current run.
    virtual void GetData() {}
    virtual void AfterPrint();
    virtual QString GetComponentText() { return {}; }
    // The area the object covers when drawn, in report pixels.
    virtual QRectF GetRealBounds() const;

    int Restrictions() const { return m_restrictions; }
    void SetRestrictions(int value) { m_restrictions = value & 0x1F; }
    const QString& OnAfterPrint() const { return m_onAfterPrint; }
    void SetOnAfterPrint(const QString& value) { m_onAfterPrint = value; }
    const QString& OnBeforePrint() const { return m_onBeforePrint; }
    void SetOnBeforePrint(const QString& value) { m_onBeforePrint = value; }

private:
    QRectF m_savedBounds;
    int m_restrictions = 0;
    QString m_onAfterPrint;
    QString m_onBeforePrint;
};

// A printable object: a background, a frame and the properties every printable object writes.
class TfrxView : public TfrxReportComponent {
public:
    QString ClassName() const override { return QStringLiteral("TfrxView"); }
    const PropertyTable& Properties() const override { return CommonProperties(); }
    // The properties all views write first, in their order.
    static const PropertyTable& CommonProperties();

    TfrxAlign Align() const { return m_align; }
    void SetAlign(TfrxAlign value) { m_align = value; }
    bool Printable() const { return m_printable; }
    void SetPrintable(bool value) { m_printable = value; }
    TfrxShiftMode ShiftMode() const { return m_shiftMode; }
    void SetShiftMode(TfrxShiftMode value) { m_shiftMode = value; }
    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int value) { m_groupIndex = value; }
    const QString& OnAfterData() const { return m_onAfterData; }
    void SetOnAfterData(const QString& value) { m_onAfterData = value; }
    const QString& OnPreviewClick() const { return m_onPreviewClick; }
    void SetOnPreviewClick(const QString& value) { m_onPreviewClick = value; }
    const QString& OnPreviewDblClick() const { return m_onPreviewDblClick; }
    void SetOnPreviewDblClick(const QString& value) { m_onPreviewDblClick = value; }
    const QString& Hint() const { return m_hint; }
    void SetHint(const QString& value) { m_hint = value; }
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool value) { m_showHint = value; }

    // Published by the subclasses at their own places.
    TfrxFrame& Frame() { return m_frame; }
    const TfrxFrame& Frame() const { return m_frame; }
    TColor Color() const { return m_color; }
    void SetColor(TColor value) { m_color = value; }
    TBrushStyle BrushStyle() const { return m_brushStyle; }
    void SetBrushStyle(TBrushStyle value) { m_brushStyle = value; }
    int Cursor() const { return m_cursor; }
    void SetCursor(int value) { m_cursor = value; }
    const QString& TagStr() const { return m_tagStr; }
    void SetTagStr(const QString& value) { m_tagStr = value; }
    const QString& URL() const { return m_url; }
    void SetURL(const QString& value) { m_url = value; }

private:
    TfrxAlign m_align = TfrxAlign::baNone;
    bool m_printable = true;
    TfrxShiftMode m_shiftMode = TfrxShiftMode::smAlways;
    int m_groupIndex = 0;
    QString m_onAfterData;
    QString m_onPreviewClick;
    QString m_onPreviewDblClick;
    QString m_hint;
    bool m_showHint = false;
    TfrxFrame m_frame;
    TColor m_color = clNone;
    TBrushStyle m_brushStyle = TBrushStyle::bsSolid;
    int m_cursor = 0;
    QString m_tagStr;
    QString m_url;
};

// Moves and sizes the views among the objects whose Align is not baNone within a container of the
// given size. Edges first, in order: baLeft and baRight take their place at the left or right edge
// the objects before them left free, baBottom at the bottom; baCenter centres across the whole
// width. Then baWidth spans and baClient fills what the edges left over.
void AlignObjects(const std::vector<TfrxComponent*>& objects, double width, double height);

// A view that can grow with its content while a report is prepared.
class TfrxStretcheable : public TfrxView {
public:
    QString ClassName() const override { return QStringLiteral("TfrxStretcheable"); }

    // The height the content needs. Splitting a stretched object over pages is not built, so the
    // part operations have nothing to split.
    virtual double CalcHeight() { return Height(); }
    virtual double DrawPart() { return 0; }
    virtual void InitPart() {}
    virtual bool HasNextDataPart() { return false; }

    TfrxStretchMode StretchMode() const { return m_stretchMode; }
    void SetStretchMode(TfrxStretchMode value) { m_stretchMode = value; }

private:
    TfrxStretchMode m_stretchMode = TfrxStretchMode::smDontStretch;
};

} // namespace quittung
