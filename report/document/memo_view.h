#pragma once

#include "report/document/font.h"
#include "report/document/variant.h"
#include "report/document/view.h"

#include <QStringList>

namespace quittung {

enum class TfrxHAlign { haLeft, haRight, haCenter, haBlock };
enum class TfrxVAlign { vaTop, vaBottom, vaCenter };
enum class TfrxFormatKind { fkText, fkNumeric, fkDateTime, fkBoolean };

// The display format of a text object's values.
class TfrxFormat : public TfrxPersistent {
public:
    QString ClassName() const override { return QStringLiteral("TfrxFormat"); }
    const PropertyTable& Properties() const override;

    const QString& DecimalSeparator() const { return m_decimalSeparator; }
    void SetDecimalSeparator(const QString& value) { m_decimalSeparator = value; }
    const QString& ThousandSeparator() const { return m_thousandSeparator; }
    void SetThousandSeparator(const QString& value) { m_thousandSeparator = value; }
    const QString& FormatStr() const { return m_formatStr; }
    void SetFormatStr(const QString& value) { m_formatStr = value; }
    TfrxFormatKind Kind() const { return m_kind; }
    void SetKind(TfrxFormatKind value) { m_kind = value; }

private:
    QString m_decimalSeparator;
    QString m_thousandSeparator;
    QString m_formatStr;
    TfrxFormatKind m_kind = TfrxFormatKind::fkText;
};

// The look a text object takes while its condition holds.
class TfrxHighlight : public TfrxPersistent {
public:
    TfrxHighlight();

    QString ClassName() const override { return QStringLiteral("TfrxHighlight"); }
    const PropertyTable& Properties() const override;

    bool Active() const { return m_active; }
    void SetActive(bool value) { m_active = value; }
    TfrxFont& Font() { return m_font; }
    const TfrxFont& Font() const { return m_font; }
    TColor Color() const { return m_color; }
    void SetColor(TColor value) { m_color = value; }
    const QString& Condition() const { return m_condition; }
    void SetCondition(const QString& value) { m_condition = value; }

private:
    bool m_active = false;
    TfrxFont m_font;
    TColor m_color = clNone;
    QString m_condition;
};

// A text object. Its text is a list of lines; the joined form (Text) ends every line with CR LF.
class TfrxCustomMemoView : public TfrxStretcheable {
public:
    QString ClassName() const override { return QStringLiteral("TfrxCustomMemoView"); }
    const PropertyTable& Properties() const override;

    // The template text survives a preparation, whatever GetData expands into it.
    void BeforePrint() override;
    void AfterPrint() override;
    QString GetComponentText() override { return Text(); }

    // The width the text needs; measuring belongs to the engine.
    virtual double CalcWidth() { return Width(); }

    const QStringList& Memo() const { return m_memo; }
    void SetMemo(const QStringList& lines) { m_memo = lines; }
    QString Text() const;
    // Splits at CR LF, lone CR, lone LF and U+2028, each one break; a U+2028 right after a CR or
    // LF belongs to that break. A NUL ends the text; a break at the end starts no further line.
    void SetText(const QString& text);

    bool FirstParaBreak() const { return m_firstParaBreak; }
    void SetFirstParaBreak(bool value) { m_firstParaBreak = value; }
    bool LastParaBreak() const { return m_lastParaBreak; }
    void SetLastParaBreak(bool value) { m_lastParaBreak = value; }
    bool AutoWidth() const { return m_autoWidth; }
    void SetAutoWidth(bool value) { m_autoWidth = value; }
    bool AllowExpressions() const { return m_allowExpressions; }
    void SetAllowExpressions(bool value) { m_allowExpressions = value; }
    bool AllowHTMLTags() const { return m_allowHTMLTags; }
    void SetAllowHTMLTags(bool value) { m_allowHTMLTags = value; }
    double CharSpacing() const { return m_charSpacing; }
    void SetCharSpacing(double value) { m_charSpacing = value; }
    bool Clipped() const { return m_clipped; }
    void SetClipped(bool value) { m_clipped = value; }
    const QString& DataField() const { return m_dataField; }
    void SetDataField(const QString& value) { m_dataField = value; }
    // Data sets are not built: the reference is kept by name.
    const QString& DataSet() const { return m_dataSet; }
    void SetDataSet(const QString& name) { m_dataSet = name; }
    const QString& DataSetName() const { return m_dataSetName; }
    void SetDataSetName(const QString& value) { m_dataSetName = value; }
    TfrxFormat& DisplayFormat() { return m_displayFormat; }
    const TfrxFormat& DisplayFormat() const { return m_displayFormat; }
    // Opening and closing delimiter of expressions, separated by a comma.
    const QString& ExpressionDelimiters() const { return m_expressionDelimiters; }
    void SetExpressionDelimiters(const QString& value) { m_expressionDelimiters = value; }
    // The text object the text continues in, by name; FlowTo() looks it up in the report.
    const QString& FlowToName() const { return m_flowTo; }
    void SetFlowToName(const QString& name) { m_flowTo = name; }
    TfrxCustomMemoView* FlowTo() const;
    double GapX() const { return m_gapX; }
    void SetGapX(double value) { m_gapX = value; }
    double GapY() const { return m_gapY; }
    void SetGapY(double value) { m_gapY = value; }
    TfrxHAlign HAlign() const { return m_hAlign; }
    void SetHAlign(TfrxHAlign value) { m_hAlign = value; }
    bool HideZeros() const { return m_hideZeros; }
    void SetHideZeros(bool value) { m_hideZeros = value; }
    TfrxHighlight& Highlight() { return m_highlight; }
    const TfrxHighlight& Highlight() const { return m_highlight; }
    double LineSpacing() const { return m_lineSpacing; }
    void SetLineSpacing(double value) { m_lineSpacing = value; }
    double ParagraphGap() const { return m_paragraphGap; }
    void SetParagraphGap(double value) { m_paragraphGap = value; }
    // Degrees, kept in 0..359.
    int Rotation() const { return m_rotation; }
    void SetRotation(int value);
    bool RTLReading() const { return m_rtlReading; }
    void SetRTLReading(bool value) { m_rtlReading = value; }
    // The name of a style of the report's style sheet.
    const QString& Style() const { return m_style; }
    void SetStyle(const QString& value);
    bool SuppressRepeated() const { return m_suppressRepeated; }
    void SetSuppressRepeated(bool value) { m_suppressRepeated = value; }
    bool Underlines() const { return m_underlines; }
    void SetUnderlines(bool value) { m_underlines = value; }
    bool UseDefaultCharset() const { return m_useDefaultCharset; }
    void SetUseDefaultCharset(bool value) { m_useDefaultCharset = value; }
    bool WordBreak() const { return m_wordBreak; }
    void SetWordBreak(bool value) { m_wordBreak = value; }
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool value) { m_wordWrap = value; }
    bool Wysiwyg() const { return m_wysiwyg; }
    void SetWysiwyg(bool value) { m_wysiwyg = value; }
    TfrxVAlign VAlign() const { return m_vAlign; }
    void SetVAlign(TfrxVAlign value) { m_vAlign = value; }

    // The value of the last expression evaluated for the object while a report is prepared.
    const Variant& Value() const { return m_value; }
    void SetValue(const Variant& value) { m_value = value; }

private:
    // Gives the object the look of its named style from the report's style sheet.
    void applyReportStyle();

    QStringList m_memo;
    QStringList m_savedMemo;
    bool m_firstParaBreak = false;
    bool m_lastParaBreak = false;
    bool m_autoWidth = false;
    bool m_allowExpressions = true;
    bool m_allowHTMLTags = false;
    double m_charSpacing = 0;
    bool m_clipped = true;
    QString m_dataField;
    QString m_dataSet;
    QString m_dataSetName;
    TfrxFormat m_displayFormat;
    QString m_expressionDelimiters = QStringLiteral("[,]");
    QString m_flowTo;
    double m_gapX = 2;
    double m_gapY = 1;
    TfrxHAlign m_hAlign = TfrxHAlign::haLeft;
    bool m_hideZeros = false;
    TfrxHighlight m_highlight;
    double m_lineSpacing = 2;
    double m_paragraphGap = 0;
    int m_rotation = 0;
    bool m_rtlReading = false;
    QString m_style;
    bool m_suppressRepeated = false;
    bool m_underlines = false;
    bool m_useDefaultCharset = false;
    bool m_wordBreak = false;
    bool m_wordWrap = true;
    bool m_wysiwyg = true;
    TfrxVAlign m_vAlign = TfrxVAlign::vaTop;
    Variant m_value = Variant::null();
};

class TfrxMemoView : public TfrxCustomMemoView {
public:
    QString ClassName() const override { return QStringLiteral("TfrxMemoView"); }
};

} // namespace quittung
