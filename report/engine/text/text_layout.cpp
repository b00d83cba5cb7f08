#include "report/engine/text/text_layout.h"

#include "report/document/colors.h"
#include "report/engine/text/cyrillic_hyphenation.h"
#include "report/engine/text/font_service.h"
#include "report/engine/text/html_tags.h"
#include "runtime/rounding.h"

#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <optional>

namespace quittung::report {

namespace {

// Design pixels to measuring pixels: 600 / 96.
constexpr double K = TextLayout::MeasuringPixelsPerInch / TextLayout::DesignPixelsPerInch;
constexpr FontStyles BoldItalic = FontStyle::Bold | FontStyle::Italic;

int rnd(double value)
{
    return static_cast<int>(roundHalfEven(value));
}

// Measured positions and device coordinates stay within ±2^30 pixels, 45 km of text at 600 pixels
// per inch: a line of millions of characters then neither overflows nor wraps around, and sums of
// two such values still fit an int.
constexpr qint64 MaxCoordinate = qint64(1) << 30;

int boundedCoordinate(qint64 value)
{
    return static_cast<int>(std::clamp(value, -MaxCoordinate, MaxCoordinate));
}

// Gives m single pixels to the entries from..to so that they land spread out, halving the range
// each time; the first single pixel goes to the middle of its range.
void spreadEvenly(std::vector<int>& values, int from, int to, int m, int sign)
{
    if (m <= 0 || from > to)
        return;
    const int half = std::max(1, (to - from + 1) / 2);
    if (m == 1) {
        values[std::size_t(from + half - 1)] += sign;
        return;
    }
    spreadEvenly(values, from, from + half - 1, m / 2, sign);
    spreadEvenly(values, from + half, to, m - m / 2, sign);
}

// Spreads a correction of either sign over the first count entries.
void spreadCorrection(std::vector<int>& values, int count, int correction, int evenBelow)
{
    if (count <= 0 || correction == 0)
        return;
    const int sign = correction < 0 ? -1 : 1;
    const int size = std::abs(correction);
    if (size < evenBelow) {
        spreadEvenly(values, 0, count - 1, size, sign);
        return;
    }
    for (int i = 0; i < count; ++i)
        values[std::size_t(i)] += sign * (size / count);
    spreadEvenly(values, 0, count - 1, size % count, sign);
}

using CharStyle = TextLayout::CharStyle;

QColor toQColor(Color color)
{
    const auto rgb = colorToRgb(color);
    return rgb ? QColor(rgb->red, rgb->green, rgb->blue) : QColor(Qt::transparent);
}

} // namespace

// A piece of a line in one style.
struct TextLayout::Run {
    int start = 0;
    int length = 0;
    CharStyle style;
    std::shared_ptr<const FontFace> face;
    int size = 0; // points
};

// The shaped runs of a placed line, kept for drawing.
struct TextLayout::LineGlyphs {
    struct ShapedRun {
        Run run;
        int em = 0;
        std::vector<FontFace::Glyph> glyphs;
    };
    std::vector<ShapedRun> runs;
};

TextLayoutSpec TextLayoutSpec::of(const TextObjectBase& memo, const QRectF& rect)
{
    TextLayoutSpec layoutSpec;
    layoutSpec.font = memo.font();
    layoutSpec.wordWrap = memo.wordWrap();
    layoutSpec.htmlTags = memo.allowHtmlTags();
    layoutSpec.rtlReading = memo.rtlReading();
    layoutSpec.wordBreak = memo.wordBreak();
    layoutSpec.clipped = memo.clipped();
    layoutSpec.wysiwyg = memo.wysiwyg();
    layoutSpec.rotation = memo.rotation();
    layoutSpec.paragraphGap = memo.paragraphGap();
    layoutSpec.charSpacing = memo.charSpacing();
    layoutSpec.lineSpacing = memo.lineSpacing();
    layoutSpec.rect = rect;
    layoutSpec.firstParaBreak = memo.firstParaBreak();
    layoutSpec.lastParaBreak = memo.lastParaBreak();
    return layoutSpec;
}

TextDevice TextDevice::of(const QPaintDevice& device)
{
    TextDevice info;
    info.printer = device.devType() == QInternal::Printer;
    info.dpiX = device.logicalDpiX() > 0 ? device.logicalDpiX() : 96;
    info.dpiY = device.logicalDpiY() > 0 ? device.logicalDpiY() : 96;
    return info;
}

TextLayout TextLayout::layOut(const TextLayoutSpec& layoutSpec, const QStringList& lines)
{
    TextLayout layout;
    layout.m_spec = layoutSpec;
    layout.m_spec.rotation = ((layoutSpec.rotation % 360) + 360) % 360;
    // Report fonts count 96 pixels per inch whatever the screen says.
    layout.m_fontSize = static_cast<int>(roundHalfAwayFromZero(std::abs(layoutSpec.font.height()) * 72.0L / 96.0L));
    layout.m_measureEm = rnd(layout.m_fontSize * MeasuringPixelsPerInch / 72);
    layout.m_face = FontService::instance().face(layoutSpec.font.name(), layoutSpec.font.style() & BoldItalic);

    const int rotation = layout.m_spec.rotation;
    const bool sideways = (rotation >= 90 && rotation < 180) || rotation >= 270;
    const double available = sideways ? layoutSpec.rect.height() : layoutSpec.rect.width();
    const int limit = rnd(available * K);
    const int firstLimit = rnd((available - layoutSpec.paragraphGap) * K);

    const CharStyle base{layoutSpec.font.style(), {}, layoutSpec.font.color()};
    CharStyle style = base;
    QString text;
    std::vector<CharStyle> styles;
    for (const QString& source : lines) {
        const QString line = source.isEmpty() ? QStringLiteral(" ") : source;
        layout.m_plainText += line;
        layout.m_plainText += QStringLiteral("\r\n");
        if (layoutSpec.htmlTags) {
            parseHtml(line, style, base, text, styles);
            layout.wrapLine(text, &styles, limit, firstLimit);
        } else {
            layout.wrapLine(line, nullptr, limit, firstLimit);
        }
    }

    if (!layout.m_flags.empty()) {
        if (layoutSpec.firstParaBreak)
            layout.m_flags.front() &= ~LineFlags(LineFlag::ParagraphStart);
        if (layoutSpec.lastParaBreak)
            layout.m_flags.back() &= ~LineFlags(LineFlag::ParagraphEnd);
    }
    return layout;
}

std::vector<TextLayout::Run> TextLayout::runsOf(const QString& text, const std::vector<CharStyle>* styles) const
{
    std::vector<Run> runs;
    const int n = int(text.size());
    const Font& font = m_spec.font;
    if (!styles) {
        runs.push_back({0, n, {font.style(), {}, font.color()}, m_face, m_fontSize});
        return runs;
    }
    for (int i = 0; i < n; ++i) {
        const CharStyle& style = (*styles)[std::size_t(i)];
        if (!runs.empty() && runs.back().style == style) {
            ++runs.back().length;
            continue;
        }
        Run run{i, 1, style, m_face, m_fontSize};
        if ((style.fontStyle & BoldItalic) != (font.style() & BoldItalic))
            run.face = FontService::instance().face(font.name(), style.fontStyle & BoldItalic);
        if (style.flags & (CharFlag::Sub | CharFlag::Sup))
            run.size = rnd(m_fontSize / 1.5);
        runs.push_back(run);
    }
    return runs;
}

std::vector<int> TextLayout::measure(const QString& text, const std::vector<CharStyle>* styles) const
{
    std::vector<int> positions(std::size_t(text.size()));
    qint64 base = 0;
    for (const Run& run : runsOf(text, styles)) {
        const int em = run.size == m_fontSize ? m_measureEm : rnd(run.size * MeasuringPixelsPerInch / 72);
        const std::vector<double> advances = run.length == text.size()
            ? run.face->cumulativeAdvances(text, em)
            : run.face->cumulativeAdvances(text.mid(run.start, run.length), em);
        // Whole measuring pixels, as a platform's text-extent call gives them.
        for (int k = 0; k < run.length; ++k) {
            const double advance = std::clamp(advances[std::size_t(k)], -double(MaxCoordinate), double(MaxCoordinate));
            positions[std::size_t(run.start + k)] = boundedCoordinate(base + roundHalfEven(advance));
        }
        if (run.length > 0)
            base = positions[std::size_t(run.start + run.length - 1)];
    }
    return positions;
}

const std::vector<TextLayout::CharStyle>* TextLayout::stylesOf(int line) const
{
    return m_spec.htmlTags ? &m_lineStyles[std::size_t(line)] : nullptr;
}

void TextLayout::addLine(const QString& line, const std::vector<CharStyle>* styles, int from, int to, bool hyphen)
{
    QString text = line.mid(from - 1, to - from + 1);
    if (hyphen)
        text += u'-';
    m_lines.append(text);
    m_flags.push_back({});
    if (styles) {
        std::vector<CharStyle> slice(styles->begin() + (from - 1), styles->begin() + to);
        if (hyphen)
            slice.push_back(slice.empty() ? CharStyle{} : slice.back());
        m_lineStyles.push_back(std::move(slice));
    }
}

void TextLayout::wrapLine(const QString& line, const std::vector<CharStyle>* styles, int limit, int firstLimit)
{
    const auto first = std::size_t(m_lines.size());
    const int n = int(line.size());
    const qint64 spacing = rnd(m_spec.charSpacing * K);
    bool whole = n <= 1 || !m_spec.wordWrap;
    std::vector<int> positions;
    if (!whole) {
        positions = measure(line, styles);
        whole = positions[std::size_t(n - 1)] + n * spacing < firstLimit;
    }
    if (whole) {
        addLine(line, styles, 1, n, false);
    } else {
        // Positions count from 1 here: P(i) is the position after character i.
        const auto P = [&](int i) { return i == 0 ? 0 : positions[std::size_t(i - 1)] + i * spacing; };
        const auto breaksAt = [&](int i) {
            return line[i - 1] == u' ' && !(styles && ((*styles)[std::size_t(i - 1)].flags & CharFlag::NoWrap));
        };
        int start = 1;
        qint64 startX = 0;
        int space = 1;
        int width = firstLimit;
        for (int i = 1; i <= n; ++i) {
            if (breaksAt(i))
                space = i;
            if (P(i) - startX <= width)
                continue;
            if (space == start) {
                if (i == start) {
                    addLine(line, styles, start, i, false);
                } else {
                    const int kept = m_spec.wordBreak ? cyrillicHyphenation(line, start, i, i - start) : 0;
                    if (kept > 0) {
                        addLine(line, styles, start, start + kept - 1, true);
                        space = start + kept - 1;
                    } else {
                        addLine(line, styles, start, i - 1, false);
                        space = i - 1;
                    }
                }
            } else {
                const int kept = m_spec.wordBreak && i > space + 1 ? cyrillicHyphenation(line, space + 1, i, i - space - 1) : 0;
                if (kept > 0) {
                    addLine(line, styles, start, space + kept, true);
                    space += kept;
                } else {
                    addLine(line, styles, start, space - 1, false);
                }
            }
            startX = P(space);
            start = space + 1;
            i = start - 1;
            space = start;
            width = limit;
        }
        if (start <= n)
            addLine(line, styles, start, n, false);
    }

    if (first < m_flags.size()) {
        m_flags[first] |= LineFlag::ParagraphStart;
        m_flags.back() |= LineFlag::ParagraphEnd;
    }
}

QString TextLayout::wrappedText() const
{
    QString text;
    for (const QString& line : m_lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
}

double TextLayout::textHeight() const
{
    return m_measureEm / K;
}

double TextLayout::calcHeight() const
{
    if (m_lines.isEmpty())
        return 0;
    const double lineSpacing = m_spec.lineSpacing;
    double height = (textHeight() + lineSpacing) * double(m_lines.size());
    if (lineSpacing < 0)
        height -= lineSpacing;
    return height;
}

double TextLayout::lineWidth(int index) const
{
    const QString& line = m_lines[index];
    qint64 width = line.isEmpty() ? 0 : measure(line, stylesOf(index)).back();
    width += roundHalfEven(double(line.size()) * m_spec.charSpacing * K);
    if (m_flags[std::size_t(index)] & LineFlag::ParagraphStart)
        width += rnd(m_spec.paragraphGap * K);
    return double(width) / K;
}

double TextLayout::calcWidth() const
{
    double widest = 0;
    for (int i = 0; i < int(m_lines.size()); ++i)
        widest = std::max(widest, lineWidth(i));
    return widest;
}

TextLayout::TextPlacement TextLayout::place(const TextTarget& target, HAlign hAlign, VAlign vAlign) const
{
    return place(target, hAlign, vAlign, target.rect, nullptr);
}

TextLayout::TextPlacement TextLayout::place(const TextTarget& target, HAlign hAlign, VAlign vAlign, const QRect& rect,
    std::vector<LineGlyphs>* glyphs) const
{
    TextPlacement placement;
    const int n = int(m_lines.size());
    if (n == 0)
        return placement;

    const TextDevice& device = target.device;
    const double lineSpacing = m_spec.lineSpacing;
    const auto deviceEm = [&](int size) {
        return device.printer ? rnd(device.dpiY * size * target.printScale / 72)
                              : rnd(size * target.scaleY * DesignPixelsPerInch / 72);
    };
    const int em = deviceEm(m_fontSize);
    const int h = m_measureEm;
    int block = 0;
    if (device.printer) {
        const double d = MeasuringPixelsPerInch / device.dpiY / target.printScale;
        block = rnd((lineSpacing * target.scaleY * d * n + double(h) * n) / d);
    } else {
        block = rnd((lineSpacing * K * n + double(h) * n) / K * target.scaleY);
    }
    placement.deviceEm = em;
    placement.blockHeight = block;

    const int step = rnd(lineSpacing * target.scaleY) + em;
    std::vector<int> steps(std::size_t(std::max(0, n - 1)), step);
    if (m_spec.wysiwyg && n > 1)
        spreadCorrection(steps, n - 1, block - n * step, n);

    const int x = rect.x();
    int y = rect.y();
    if (vAlign == VAlign::Bottom)
        y += rect.height() - block;
    else if (vAlign == VAlign::Center)
        y += rnd((rect.height() - block) / 2.0);

    const int spacingDevice = rnd(m_spec.charSpacing * target.scaleX);
    const int spacingMeasure = rnd(m_spec.charSpacing * K);
    const bool boldOrItalic = m_spec.font.style() & BoldItalic;
    if (glyphs)
        glyphs->assign(std::size_t(n), {});

    for (int i = 0; i < n; ++i) {
        const QString& text = m_lines[i];
        const std::vector<CharStyle>* styles = stylesOf(i);
        const LineFlags flags = m_flags[std::size_t(i)];
        const bool paragraphStart = flags & LineFlag::ParagraphStart;
        const bool paragraphEnd = flags & LineFlag::ParagraphEnd;
        const int indent = paragraphStart && (hAlign == HAlign::Left || hAlign == HAlign::Block)
            ? rnd(m_spec.paragraphGap * target.scaleX)
            : 0;
        HAlign align = hAlign;
        if (hAlign == HAlign::Block && paragraphEnd)
            align = m_spec.rtlReading ? HAlign::Right : HAlign::Left;
        const int left = x + indent;
        const int available = rect.width() - indent;
        const int chars = int(text.size());

        // The width the measuring font predicts, with the character spacing between characters only.
        const qint64 f = chars == 0 ? 0 : measure(text, styles).back() + qint64(chars - 1) * spacingMeasure;

        // The device font's own advances, in whole pixels.
        PlacedLine line;
        line.text = text;
        line.top = y;
        line.advances.assign(std::size_t(chars), 0);
        for (const Run& run : runsOf(text, styles)) {
            const QString piece = run.length == chars ? text : text.mid(run.start, run.length);
            LineGlyphs::ShapedRun shaped{run, deviceEm(run.size), {}};
            shaped.glyphs = run.face->shape(piece, shaped.em, m_spec.rtlReading);
            std::vector<double> clusterAdvance(std::size_t(run.length), 0.0);
            for (const FontFace::Glyph& glyph : shaped.glyphs) {
                if (glyph.cluster >= 0 && glyph.cluster < run.length)
                    clusterAdvance[std::size_t(glyph.cluster)] += glyph.advance;
            }
            double sum = 0;
            qint64 previous = 0;
            for (int k = 0; k < run.length; ++k) {
                sum += clusterAdvance[std::size_t(k)];
                const qint64 rounded = roundHalfEven(sum);
                line.advances[std::size_t(run.start + k)] = double(rounded - previous);
                previous = rounded;
            }
            if (glyphs)
                (*glyphs)[std::size_t(i)].runs.push_back(std::move(shaped));
        }
        qint64 l = 0;
        for (double& advance : line.advances) {
            advance += spacingDevice;
            l += qint64(advance);
        }

        qint64 ideal = 0;
        if (!m_spec.wysiwyg)
            ideal = l - spacingDevice;
        else if (device.printer)
            ideal = roundHalfEven(double(f) * target.printScale * device.dpiX / MeasuringPixelsPerInch);
        else
            ideal = roundHalfEven(double(f) / K * target.scaleX);
        qint64 correction = ideal + spacingDevice - l;
        const qint64 freeSpace = available - ideal;

        line.x = left;
        bool spread = true;
        switch (align) {
        case HAlign::Right:
            line.x = boundedCoordinate(left + freeSpace - (boldOrItalic && m_spec.rotation == 0 ? 1 : 0));
            break;
        case HAlign::Center:
            line.x = boundedCoordinate(left + roundHalfEven(double(freeSpace) / 2.0));
            break;
        case HAlign::Left:
            break;
        case HAlign::Block: {
            const int spaces = int(std::count_if(
                text.begin(), text.end(), [](QChar c) { return c == u' ' || c == QChar(0x00A0); }));
            if (spaces > 0) {
                correction = available + spacingDevice - l;
                int seen = 0;
                for (int k = 0; k < chars; ++k) {
                    if (text[k] != u' ' && text[k] != QChar(0x00A0))
                        continue;
                    line.advances[std::size_t(k)] += correction / spaces + (seen < correction % spaces ? 1 : 0);
                    ++seen;
                }
                spread = false;
            }
            break;
        }
        }
        // Every character takes the same share of the correction: whole pixels given to single
        // characters would open gaps inside words.
        if (spread && chars > 0) {
            const double share = double(correction) / chars;
            for (double& advance : line.advances)
                advance += share;
        }

        placement.lines.push_back(std::move(line));
        if (i < n - 1)
            y += steps[std::size_t(i)];
    }
    return placement;
}

void TextLayout::drawLines(QPainter& canvas, const TextPlacement& placement,
    const std::vector<LineGlyphs>& glyphs) const
{
    const int baseAscent = rnd(m_face->ascent(placement.deviceEm));
    const int baseDescent = rnd(m_face->descent(placement.deviceEm));
    for (std::size_t i = 0; i < placement.lines.size(); ++i) {
        const PlacedLine& line = placement.lines[i];
        const double total = std::accumulate(line.advances.begin(), line.advances.end(), 0.0);
        for (const LineGlyphs::ShapedRun& shaped : glyphs[i].runs) {
            const Run& run = shaped.run;
            const auto from = line.advances.begin() + run.start;
            const double before = std::accumulate(line.advances.begin(), from, 0.0);
            const double width = std::accumulate(from, from + run.length, 0.0);
            const double runX = m_spec.rtlReading ? line.x + total - before - width : line.x + before;

            int baseline = line.top + baseAscent;
            if (run.style.flags & CharFlag::Sup)
                baseline = line.top + rnd(run.face->ascent(shaped.em));
            else if (run.style.flags & CharFlag::Sub)
                baseline = line.top + baseAscent + baseDescent - rnd(run.face->descent(shaped.em));

            // Each cluster goes where the corrected advances put its first character; the glyphs of
            // one cluster keep their own spacing inside it.
            std::vector<int> clusterStarts;
            clusterStarts.reserve(shaped.glyphs.size());
            for (const FontFace::Glyph& glyph : shaped.glyphs)
                clusterStarts.push_back(glyph.cluster);
            std::sort(clusterStarts.begin(), clusterStarts.end());
            clusterStarts.erase(std::unique(clusterStarts.begin(), clusterStarts.end()), clusterStarts.end());
            const auto clusterWidth = [&](int cluster) {
                const auto next = std::upper_bound(clusterStarts.begin(), clusterStarts.end(), cluster);
                const int end = next == clusterStarts.end() ? run.length : *next;
                const auto first = line.advances.begin() + run.start + std::clamp(cluster, 0, run.length);
                return std::accumulate(first, line.advances.begin() + run.start + std::clamp(end, 0, run.length), 0.0);
            };

            QList<quint32> indexes;
            QList<QPointF> positions;
            indexes.reserve(qsizetype(shaped.glyphs.size()));
            positions.reserve(qsizetype(shaped.glyphs.size()));
            double pen = runX;
            double groupX = runX;
            for (std::size_t g = 0; g < shaped.glyphs.size(); ++g) {
                const FontFace::Glyph& glyph = shaped.glyphs[g];
                if (g == 0 || glyph.cluster != shaped.glyphs[g - 1].cluster) {
                    groupX = pen;
                    pen += clusterWidth(glyph.cluster);
                } else {
                    groupX += shaped.glyphs[g - 1].advance;
                }
                indexes.append(glyph.index);
                positions.append(QPointF(groupX + glyph.xOffset, baseline - glyph.yOffset));
            }

            const QColor color = toQColor(run.style.color);
            if (color.alpha() == 0)
                continue;
            const QRawFont raw = run.face->rawFont(shaped.em);
            if (raw.isValid() && !indexes.isEmpty()) {
                QGlyphRun glyphRun;
                glyphRun.setRawFont(raw);
                glyphRun.setGlyphIndexes(indexes);
                glyphRun.setPositions(positions);
                canvas.save();
                canvas.setPen(color);
                const bool wantItalic = run.style.fontStyle & FontStyle::Italic;
                if (wantItalic && run.face->synthesizeItalic()) {
                    canvas.translate(0, baseline);
                    canvas.shear(-0.2, 0);
                    canvas.translate(0, -baseline);
                }
                canvas.drawGlyphRun(QPointF(0, 0), glyphRun);
                if ((run.style.fontStyle & FontStyle::Bold) && run.face->synthesizeBold())
                    canvas.drawGlyphRun(QPointF(std::max(1.0, shaped.em / 24.0), 0), glyphRun);
                canvas.restore();
            }
            if (run.style.fontStyle & (FontStyle::Underline | FontStyle::StrikeOut)) {
                const FontFace::Decorations lines = run.face->decorationsAt(shaped.em);
                const auto stroke = [&](double centre, double thickness) {
                    const int height = std::max(1, rnd(thickness));
                    canvas.fillRect(QRectF(runX, baseline + rnd(centre - height / 2.0), width, height), color);
                };
                if (run.style.fontStyle & FontStyle::Underline)
                    stroke(std::max(1.0, lines.underlineOffset), lines.underlineThickness);
                if (run.style.fontStyle & FontStyle::StrikeOut)
                    stroke(-lines.strikeoutOffset, lines.strikeoutThickness);
            }
        }
    }
}

void TextLayout::draw(QPainter& canvas, const TextTarget& target, HAlign hAlign, VAlign vAlign) const
{
    if (m_lines.isEmpty() || !m_face)
        return;
    canvas.save();
    canvas.setRenderHint(QPainter::TextAntialiasing, true);
    canvas.setBackgroundMode(Qt::TransparentMode);
    if (m_spec.clipped)
        canvas.setClipRect(target.rect, Qt::IntersectClip);
    QRect rect = target.rect;
    const int rotation = m_spec.rotation;
    if (rotation != 0) {
        // Lay the text out unrotated around the rectangle's centre and turn it there.
        const bool sideways = (rotation >= 90 && rotation < 180) || rotation >= 270;
        const int width = sideways ? rect.height() : rect.width();
        const int height = sideways ? rect.width() : rect.height();
        canvas.translate(rect.x() + rect.width() / 2.0, rect.y() + rect.height() / 2.0);
        canvas.rotate(-rotation);
        rect = QRect(-width / 2, -height / 2, width, height);
    }
    std::vector<LineGlyphs> glyphs;
    const TextPlacement placement = place(target, hAlign, vAlign, rect, &glyphs);
    drawLines(canvas, placement, glyphs);
    canvas.restore();
}

} // namespace quittung::report
