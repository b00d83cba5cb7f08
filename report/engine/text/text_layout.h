#pragma once

#include "report/document/font.h"
#include "report/document/text_object.h"

#include <QRect>
#include <QRectF>
#include <QStringList>

#include <memory>
#include <vector>

class QPainter;
class QPaintDevice;

namespace quittung::report {

class FontFace;

// Everything a text is laid out with: the text object's font, options and gaps, and its text
// rectangle in design pixels at scale 1 without offset (width = right − left, the right and bottom
// edges excluded).
struct TextLayoutSpec {
    Font font;
    bool wordWrap = true;
    bool htmlTags = false;
    bool rtlReading = false;
    bool wordBreak = false;
    bool clipped = true;
    bool wysiwyg = true;
    int rotation = 0;
    double paragraphGap = 0;
    double charSpacing = 0;
    double lineSpacing = 2;
    QRectF rect;
    // A text that continues from, or onto, another part keeps no paragraph start, or end, there.
    bool firstParaBreak = false;
    bool lastParaBreak = false;

    // The layoutSpec of a text object with that text rectangle.
    static TextLayoutSpec of(const TextObjectBase& memo, const QRectF& rect);
};

// What a text's lines are drawn on.
struct TextDevice {
    bool printer = false;
    int dpiX = 96;
    int dpiY = 96;
    static TextDevice of(const QPaintDevice& device);
};

// Where the lines go on a device: the text rectangle there and the scale (the printout's own
// scale in printScale).
struct TextTarget {
    QRect rect;
    double scaleX = 1;
    double scaleY = 1;
    double printScale = 1;
    TextDevice device;
};

// The laid-out text of a text object, as a value. The text is measured with the font at 600 pixels
// per inch and wrapped in design pixels, so it breaks into the same lines on every device; placed
// on a device, every character is moved to where the measurement predicts. The raster painter and
// the PDF writer place their text from the same value.
class TextLayout {
public:
    // Marks of a wrapped line: the first and the last line of a source line.
    enum class LineFlag : int { ParagraphStart = 1, ParagraphEnd = 2 };
    Q_DECLARE_FLAGS(LineFlags, LineFlag)
    // What HTML tags set for a character besides its font style.
    enum class CharFlag : int { Sub = 1, Sup = 2, NoWrap = 4 };
    Q_DECLARE_FLAGS(CharFlags, CharFlag)

    // Style of one character of a text with HTML tags.
    struct CharStyle {
        FontStyles fontStyle;
        CharFlags flags;
        Color color = colors::Black;
        bool operator==(const CharStyle&) const = default;
    };

    static constexpr double MeasuringPixelsPerInch = 600;
    static constexpr double DesignPixelsPerInch = 96;

    // Wraps the source lines (an empty line counts as a single space).
    static TextLayout layOut(const TextLayoutSpec& layoutSpec, const QStringList& lines);

    const TextLayoutSpec& layoutSpec() const { return m_spec; }
    const QStringList& lines() const { return m_lines; }
    const std::vector<LineFlags>& lineFlags() const { return m_flags; }
    // The wrapped lines, each followed by CR LF.
    QString wrappedText() const;
    // All source lines, each followed by CR LF, an empty line as a single space.
    const QString& plainText() const { return m_plainText; }

    // The whole-point size the font is laid out with.
    int fontSize() const { return m_fontSize; }
    // Design pixels: round(fontSize × 600 / 72) / 6.25, the line spacing added, the lines' height.
    double textHeight() const;
    double lineHeight() const { return textHeight() + m_spec.lineSpacing; }
    double calcHeight() const;
    // The widest line with its character spacing and, on a paragraph start, the paragraph gap.
    double calcWidth() const;
    // The same for one line, in design pixels.
    double lineWidth(int line) const;

    // A line as it is placed on a device (unrotated): where it starts, the top of its character
    // cell, and the advance of every UTF-16 unit of its text (logical order) in device pixels; the
    // line's correction to the width the measurement predicts is spread over them in fractions of a
    // pixel, so the line starts and ends where it should and no word shows a gap.
    struct PlacedLine {
        QString text;
        int x = 0;
        int top = 0;
        std::vector<double> advances;
    };
    struct TextPlacement {
        int deviceEm = 0;    // the device font's em in pixels
        int blockHeight = 0; // the lines' ideal height on the device
        std::vector<PlacedLine> lines;
    };
    TextPlacement place(const TextTarget& target, HAlign hAlign, VAlign vAlign) const;

    // Draws the lines into the target's rectangle, clipped to it when the layoutSpec says so.
    void draw(QPainter& canvas, const TextTarget& target, HAlign hAlign, VAlign vAlign) const;

private:
    struct LineGlyphs;
    struct Run;

    TextLayout() = default;
    void wrapLine(const QString& line, const std::vector<CharStyle>* styles, int limit, int firstLimit);
    void addLine(const QString& line, const std::vector<CharStyle>* styles, int from, int to, bool hyphen);
    std::vector<Run> runsOf(const QString& text, const std::vector<CharStyle>* styles) const;
    // The cumulative advance after each character at 600 pixels per inch, whole measuring pixels.
    std::vector<int> measure(const QString& text, const std::vector<CharStyle>* styles) const;
    const std::vector<CharStyle>* stylesOf(int line) const;
    TextPlacement place(const TextTarget& target, HAlign hAlign, VAlign vAlign, const QRect& rect,
        std::vector<LineGlyphs>* glyphs) const;
    void drawLines(QPainter& canvas, const TextPlacement& placement, const std::vector<LineGlyphs>& glyphs) const;

    TextLayoutSpec m_spec;
    std::shared_ptr<const FontFace> m_face;
    int m_fontSize = 10;
    int m_measureEm = 83;
    QStringList m_lines;
    std::vector<LineFlags> m_flags;
    // Per wrapped line, only with HTML tags.
    std::vector<std::vector<CharStyle>> m_lineStyles;
    QString m_plainText;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TextLayout::LineFlags)
Q_DECLARE_OPERATORS_FOR_FLAGS(TextLayout::CharFlags)

} // namespace quittung::report
