#pragma once

#include "report/document/font.h"
#include "report/document/variant.h"
#include "report/document/view.h"

#include <QStringList>

namespace quittung::report {

enum class HAlign { Left, Right, Center, Block };
enum class VAlign { Top, Bottom, Center };
enum class FormatKind { Text, Numeric, DateTime, Boolean };

// The display format of a text object's values.
class DisplayFormat : public PropertyObject {
public:
    QString className() const override { return QStringLiteral("TfrxFormat"); }
    const PropertyTable& properties() const override;

    const QString& decimalSeparator() const { return m_decimalSeparator; }
    void setDecimalSeparator(const QString& value) { m_decimalSeparator = value; }
    const QString& thousandSeparator() const { return m_thousandSeparator; }
    void setThousandSeparator(const QString& value) { m_thousandSeparator = value; }
    const QString& formatStr() const { return m_formatStr; }
    void setFormatStr(const QString& value) { m_formatStr = value; }
    FormatKind kind() const { return m_kind; }
    void setKind(FormatKind value) { m_kind = value; }

private:
    QString m_decimalSeparator;
    QString m_thousandSeparator;
    QString m_formatStr;
    FormatKind m_kind = FormatKind::Text;
};

// The look a text object takes while its condition holds.
class Highlight : public PropertyObject {
public:
    Highlight();

    QString className() const override { return QStringLiteral("TfrxHighlight"); }
    const PropertyTable& properties() const override;

    bool active() const { return m_active; }
    void setActive(bool value) { m_active = value; }
    Font& font() { return m_font; }
    const Font& font() const { return m_font; }
    Color color() const { return m_color; }
    void setColor(Color value) { m_color = value; }
    const QString& condition() const { return m_condition; }
    void setCondition(const QString& value) { m_condition = value; }

private:
    bool m_active = false;
    Font m_font;
    Color m_color = colors::None;
    QString m_condition;
};

// A text object. Its text is a list of lines; the joined form (Text) ends every line with CR LF.
class TextObjectBase : public StretchableView {
public:
    QString className() const override { return QStringLiteral("TfrxCustomMemoView"); }
    const PropertyTable& properties() const override;

    // The template text survives a preparation, whatever getData expands into it.
    void beforePrint() override;
    void afterPrint() override;

    // The width the text needs; measuring belongs to the engine.
    virtual double calcWidth() { return width(); }

    const QStringList& lines() const { return m_memo; }
    void setLines(const QStringList& lines) { m_memo = lines; }
    QString text() const;
    // Splits at CR LF, lone CR, lone LF and U+2028, each one break; a U+2028 right after a CR or
    // LF belongs to that break. A NUL ends the text; a break at the end starts no further line.
    void setText(const QString& text);

    bool firstParaBreak() const { return m_firstParaBreak; }
    void setFirstParaBreak(bool value) { m_firstParaBreak = value; }
    bool lastParaBreak() const { return m_lastParaBreak; }
    void setLastParaBreak(bool value) { m_lastParaBreak = value; }
    bool autoWidth() const { return m_autoWidth; }
    void setAutoWidth(bool value) { m_autoWidth = value; }
    bool allowExpressions() const { return m_allowExpressions; }
    void setAllowExpressions(bool value) { m_allowExpressions = value; }
    bool allowHtmlTags() const { return m_allowHTMLTags; }
    void setAllowHtmlTags(bool value) { m_allowHTMLTags = value; }
    double charSpacing() const { return m_charSpacing; }
    void setCharSpacing(double value) { m_charSpacing = value; }
    bool clipped() const { return m_clipped; }
    void setClipped(bool value) { m_clipped = value; }
    const QString& dataField() const { return m_dataField; }
    void setDataField(const QString& value) { m_dataField = value; }
    // Data sets are not built: the reference is kept by name.
    const QString& dataSet() const { return m_dataSet; }
    void setDataSet(const QString& name) { m_dataSet = name; }
    const QString& dataSetName() const { return m_dataSetName; }
    void setDataSetName(const QString& value) { m_dataSetName = value; }
    DisplayFormat& displayFormat() { return m_displayFormat; }
    const DisplayFormat& displayFormat() const { return m_displayFormat; }
    // Opening and closing delimiter of expressions, separated by a comma.
    const QString& expressionDelimiters() const { return m_expressionDelimiters; }
    void setExpressionDelimiters(const QString& value) { m_expressionDelimiters = value; }
    // The text object the text continues in, by name; flowTo() looks it up in the report.
    const QString& flowToName() const { return m_flowTo; }
    void setFlowToName(const QString& name) { m_flowTo = name; }
    TextObjectBase* flowTo() const;
    double gapX() const { return m_gapX; }
    void setGapX(double value) { m_gapX = value; }
    double gapY() const { return m_gapY; }
    void setGapY(double value) { m_gapY = value; }
    HAlign hAlign() const { return m_hAlign; }
    void setHAlign(HAlign value) { m_hAlign = value; }
    bool hideZeros() const { return m_hideZeros; }
    void setHideZeros(bool value) { m_hideZeros = value; }
    Highlight& highlight() { return m_highlight; }
    const Highlight& highlight() const { return m_highlight; }
    double lineSpacing() const { return m_lineSpacing; }
    void setLineSpacing(double value) { m_lineSpacing = value; }
    double paragraphGap() const { return m_paragraphGap; }
    void setParagraphGap(double value) { m_paragraphGap = value; }
    // Degrees, kept in 0..359.
    int rotation() const { return m_rotation; }
    void setRotation(int value);
    bool rtlReading() const { return m_rtlReading; }
    void setRtlReading(bool value) { m_rtlReading = value; }
    // The name of a style of the report's style sheet.
    const QString& style() const { return m_style; }
    void setStyle(const QString& value);
    bool suppressRepeated() const { return m_suppressRepeated; }
    void setSuppressRepeated(bool value) { m_suppressRepeated = value; }
    bool underlines() const { return m_underlines; }
    void setUnderlines(bool value) { m_underlines = value; }
    bool useDefaultCharset() const { return m_useDefaultCharset; }
    void setUseDefaultCharset(bool value) { m_useDefaultCharset = value; }
    bool wordBreak() const { return m_wordBreak; }
    void setWordBreak(bool value) { m_wordBreak = value; }
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool value) { m_wordWrap = value; }
    bool wysiwyg() const { return m_wysiwyg; }
    void setWysiwyg(bool value) { m_wysiwyg = value; }
    VAlign vAlign() const { return m_vAlign; }
    void setVAlign(VAlign value) { m_vAlign = value; }

    // The value of the last expression evaluated for the object while a report is prepared.
    const Variant& value() const { return m_value; }
    void setValue(const Variant& value) { m_value = value; }

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
    DisplayFormat m_displayFormat;
    QString m_expressionDelimiters = QStringLiteral("[,]");
    QString m_flowTo;
    double m_gapX = 2;
    double m_gapY = 1;
    HAlign m_hAlign = HAlign::Left;
    bool m_hideZeros = false;
    Highlight m_highlight;
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
    VAlign m_vAlign = VAlign::Top;
    Variant m_value = Variant::null();
};

class TextObject : public TextObjectBase {
public:
    QString className() const override { return QStringLiteral("TfrxMemoView"); }
};

} // namespace quittung::report
