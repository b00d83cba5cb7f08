#pragma once

#include "report/document/font.h"
#include "report/document/text_object.h"

#include <QRect>
#include <QRectF>
#include <QStringList>

#include <memory>
#include <mutex>
#include <vector>

class QPainter;
class QPaintDevice;

namespace quittung::report {

class FontFace;

// Lays out the text of a text object device-independently: the text is measured with the font at
// 600 pixels per inch and wrapped in design pixels, so it breaks into the same lines on every
// device; when drawn, the characters are moved to the positions the measurement predicts.
class TextLayout {
public:
    // Marks of a wrapped line: the first and the last line of a source line.
    enum class LineFlag : int { ParagraphStart = 1, ParagraphEnd = 2 };
    Q_DECLARE_FLAGS(LineFlags, LineFlag)
    static constexpr double MeasuringPixelsPerInch = 600;
    static constexpr double DesignPixelsPerInch = 96;

    TextLayout();

    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }

    void setFont(const Font& font);
    void setOptions(bool wordWrap, bool htmlTags, bool rtlReading, bool wordBreak, bool clipped, bool wysiwyg,
        int rotation);
    void setGaps(double paragraphGap, double charSpacing, double lineSpacing);
    // originalRect: the text rectangle in design pixels at scale 1 without offset; scaledRect: the
    // same on the device. Both take width = right − left, the right and bottom edges excluded, so
    // scaledRect is QRect(left, top, right − left, bottom − top).
    void setDimensions(double scaleX, double scaleY, double printScale, const QRectF& originalRect,
        const QRect& scaledRect);
    // Wraps the object's lines.
    void setText(const QStringList& lines);
    void setParaBreaks(bool firstParaBreak, bool lastParaBreak);
    // Draws the wrapped lines into the scaled rectangle. On a printer canvas the printer's
    // resolution decides the font size.
    void drawText(QPainter& canvas, HAlign hAlign, VAlign vAlign);

    // What drawText needs to know of the canvas.
    struct DeviceInfo {
        bool printer = false;
        int dpiX = 96;
        int dpiY = 96;
        static DeviceInfo of(const QPaintDevice& device);
    };
    // A wrapped line as drawText places it (unrotated): where it starts, the top of its character
    // cell, and the corrected advance of every UTF-16 unit of its text (logical order).
    struct PlacedLine {
        QString text;
        int x = 0;
        int top = 0;
        std::vector<int> advances;
    };
    struct TextPlacement {
        int deviceEm = 0;    // the device font's em in pixels
        int blockHeight = 0; // B: the lines' ideal height on the device
        std::vector<PlacedLine> lines;
    };
    // The placement drawText draws, computed without drawing (for the PDF page content too).
    TextPlacement placeLines(const DeviceInfo& device, HAlign hAlign, VAlign vAlign) const;

    const QStringList& lines() const { return m_lines; }
    const std::vector<LineFlags>& lineFlags() const { return m_flags; }
    // The wrapped lines, each followed by CR LF.
    QString wrappedText() const;
    // All source lines, each followed by CR LF, an empty line as a single space.
    QString getInBoundsText() const { return m_plainText; }

    int fontSize() const { return m_fontSize; }
    // round(FontSize × 600 / 72) / 6.25
    double textHeight() const;
    double lineHeight() const { return textHeight() + m_lineSpacing; }
    double calcHeight() const;
    double calcWidth() const;

    // The shared instance for objects without a report and for the PDF writer.
    static TextLayout& shared();

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

private:
    struct LineGlyphs;
    struct Run;

    void wrapLine(const QString& line, const std::vector<CharStyle>* styles, int limit, int firstLimit);
    void addLine(const QString& line, const std::vector<CharStyle>* styles, int from, int to, bool hyphen);
    int hyphenation(const QString& line, int wordStart, int overflow, int fit) const;
    std::vector<Run> runsOf(const QString& text, const std::vector<CharStyle>* styles) const;
    // The cumulative advance after each character at 600 pixels per inch, whole measuring pixels.
    void measure(const QString& text, const std::vector<CharStyle>* styles, std::vector<int>& positions) const;
    TextPlacement place(const DeviceInfo& device, HAlign hAlign, VAlign vAlign, const QRect& rect,
        std::vector<LineGlyphs>* glyphs) const;
    void drawLines(QPainter& canvas, const TextPlacement& placement, const std::vector<LineGlyphs>& glyphs) const;

    std::mutex m_mutex;
    Font m_font;
    std::shared_ptr<const FontFace> m_face;
    int m_fontSize = 10;
    int m_measureEm = 83;
    bool m_wordWrap = true;
    bool m_htmlTags = false;
    bool m_rtlReading = false;
    bool m_wordBreak = false;
    bool m_clipped = true;
    bool m_wysiwyg = true;
    int m_rotation = 0;
    double m_paragraphGap = 0;
    double m_charSpacing = 0;
    double m_lineSpacing = 2;
    double m_scaleX = 1;
    double m_scaleY = 1;
    double m_printScale = 1;
    QRectF m_originalRect;
    QRect m_scaledRect;
    QStringList m_lines;
    std::vector<LineFlags> m_flags;
    // Per wrapped line, only with HTML tags.
    std::vector<std::vector<CharStyle>> m_lineStyles;
    mutable std::vector<int> m_positions;
    QString m_plainText;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TextLayout::LineFlags)
Q_DECLARE_OPERATORS_FOR_FLAGS(TextLayout::CharFlags)

} // namespace quittung::report
