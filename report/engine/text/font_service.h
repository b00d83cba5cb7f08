#pragma once

#include <QByteArray>
#include <QRawFont>
#include <QString>

#include <memory>
#include <vector>

namespace quittung::report {

// One face of a font file, resolved through fontconfig and opened with FreeType and HarfBuzz.
// Measuring, raster drawing and the PDF writer all use the same face, so glyphs and advances
// agree everywhere. Kerning between the characters of one string is included in every
// measurement and every placement.
class FontFace {
public:
    virtual ~FontFace() = default;

    virtual QString familyName() const = 0;
    // The font file and the face index inside it (collections hold several faces).
    virtual QString filePath() const = 0;
    virtual int faceIndex() const = 0;
    // The whole font file's bytes.
    virtual const QByteArray& fileData() const = 0;
    virtual int unitsPerEm() const = 0;
    // True when the face has no bold or italic of its own and it must be made up when drawing.
    virtual bool synthesizeBold() const = 0;
    virtual bool synthesizeItalic() const = 0;
    // The character cell above and below the baseline at an em size in pixels, from the Windows
    // metrics of the OS/2 table (hhea when there is none), as a platform text metric reports them.
    virtual double ascent(double emPixels) const = 0;
    virtual double descent(double emPixels) const = 0;
    // Underline (post table) and strike-out (OS/2) strokes at an em size in pixels: the distance of
    // the stroke's centre below, respectively above, the baseline, and its thickness.
    struct Decorations {
        double underlineOffset = 0;
        double underlineThickness = 0;
        double strikeoutOffset = 0;
        double strikeoutThickness = 0;
    };
    virtual Decorations decorationsAt(double emPixels) const = 0;

    // The face's metrics in font units, read once from its tables; ascent() and descent() scale
    // these, and the PDF font descriptor takes them too.
    struct Metrics {
        // False when the face could not be read: the values are then rough guesses.
        bool fromTables = false;
        // The Windows metrics of OS/2, hhea's where they are missing or zero; descent is positive.
        int ascent = 0;
        int descent = 0;
        // The box around all glyphs (head), y upwards.
        int xMin = 0;
        int yMin = 0;
        int xMax = 0;
        int yMax = 0;
        // OS/2's average width, half the widest advance (hhea) without OS/2.
        int averageCharWidth = 0;
        int maxAdvanceWidth = 0;
        // OS/2's weight class; 0 without OS/2.
        int weight = 0;
        // OS/2's default character (version 2 on), else the space.
        int defaultChar = 32;
        // post's italic angle in degrees, negative for a face leaning right.
        double italicAngle = 0;
    };
    virtual const Metrics& metrics() const = 0;
    // A glyph's advance width in font units as hmtx gives it, without kerning or shaping.
    virtual int glyphAdvance(quint32 glyph) const = 0;

    // One glyph of a shaped string: its index, its advance at the given em size in pixels, the
    // first UTF-16 index of the characters it stands for, and its offset from the pen position
    // (marks; y upwards, as HarfBuzz gives it).
    struct Glyph {
        quint32 index = 0;
        double advance = 0;
        int cluster = 0;
        double xOffset = 0;
        double yOffset = 0;
    };
    // Shapes a string (one line, one font) with HarfBuzz; right-to-left runs are found with FriBidi
    // when rtl is set. The glyphs come in visual order.
    virtual std::vector<Glyph> shape(const QString& text, double emPixels, bool rtl = false) const = 0;

    // The advance after each UTF-16 code unit of the string, from one shaping call: element i is the
    // width of characters 0..i. Characters of one cluster share its advance at its first character.
    virtual std::vector<double> cumulativeAdvances(const QString& text, double emPixels) const = 0;

    // The same face for QPainter::drawGlyphRun, at an em size in pixels; invalid without a
    // QGuiApplication. Each thread gets raw fonts of its own, cached per size and released when
    // the thread ends (a std::thread's; the main thread's when the application object goes).
    virtual QRawFont rawFont(double emPixels) const = 0;
};

// One face of a collection file ("ttcf") as a font file of its own, because QRawFont only loads
// the first face of a collection. Other files come back unchanged; empty when the data is broken
// or the index is out of range.
QByteArray extractCollectionFace(const QByteArray& fileData, int faceIndex);

// Finds and caches faces for the whole process.
class FontService {
public:
    static FontService& instance();

    // The face for a family and the style bits of a report font (bold 1, italic 2); "Arial" and
    // other missing families come from fontconfig's substitutes (Liberation Sans for Arial). Never
    // null: the last resort is fontconfig's default sans face.
    std::shared_ptr<const FontFace> face(const QString& family, int style);

    struct Cache;

private:
    FontService();
    std::shared_ptr<Cache> m_cache;
};

} // namespace quittung::report
