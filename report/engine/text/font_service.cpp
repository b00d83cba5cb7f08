#include "report/engine/text/font_service.h"

#include "report/engine/text/font_file.h"
#include "runtime/exception.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QThread>

#include <fontconfig/fontconfig.h>
#include <fribidi.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace quittung::report {

namespace {

constexpr int StyleBold = 1;
constexpr int StyleItalic = 2;

// Characters that make a string need the bidirectional algorithm even in left-to-right text.
bool hasRightToLeft(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x0590)
            continue;
        switch (c.direction()) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirRLI:
            return true;
        default:
            break;
        }
    }
    return false;
}

// One shaping buffer per thread, reused for every call.
struct BufferHolder {
    hb_buffer_t* buffer = hb_buffer_create();
    ~BufferHolder() { hb_buffer_destroy(buffer); }
};

hb_buffer_t* threadBuffer()
{
    thread_local BufferHolder holder;
    hb_buffer_reset(holder.buffer);
    return holder.buffer;
}

// A run of text as HarfBuzz shaped it, in font units.
struct ShapedRun {
    quint64 face = 0; // ResolvedFace::m_serial; 0: the slot is free
    QString text;
    int start = 0;
    int length = 0;
    hb_direction_t direction = HB_DIRECTION_INVALID;
    std::vector<hb_glyph_info_t> infos;
    std::vector<hb_glyph_position_t> positions;
};

// The runs this thread shaped last. A line of text is shaped to measure it for the layout, again
// to place its glyphs for drawing and again to map it to the PDF's glyphs; the results do not
// depend on the size, so the later calls take the first one's.
class ShapedRunCache {
public:
    ShapedRun* find(quint64 face, const QString& text, int start, int length, hb_direction_t direction)
    {
        for (ShapedRun& run : m_runs) {
            if (run.face == face && run.start == start && run.length == length && run.direction == direction
                && run.text == text)
                return &run;
        }
        return nullptr;
    }
    // The slot for a new run: the one used longest ago.
    ShapedRun& next()
    {
        ShapedRun& run = m_runs[m_next];
        m_next = (m_next + 1) % m_runs.size();
        return run;
    }

private:
    std::array<ShapedRun, 32> m_runs;
    std::size_t m_next = 0;
};

ShapedRunCache& shapedRunCache()
{
    thread_local ShapedRunCache cache;
    return cache;
}

// A fixed language keeps shaping independent of the process locale.
hb_language_t shapingLanguage()
{
    static const hb_language_t language = hb_language_from_string("und", -1);
    return language;
}

// Qt's font engines belong to the thread that made them (their FreeType faces live in that
// thread's FreeType library), so every thread loads and drops its own raw fonts.
struct ThreadRawFonts {
    struct Sizes {
        bool loaded = false;
        QRawFont base;
        std::map<double, QRawFont> sized;
    };
    std::unordered_map<const FontFace*, Sizes> faces;
    bool cleanupRegistered = false;
};

thread_local ThreadRawFonts t_rawFonts;

ThreadRawFonts& threadRawFonts()
{
    if (!t_rawFonts.cleanupRegistered && QThread::currentThread() == QCoreApplication::instance()->thread()) {
        // The main thread's raw fonts hold font engines of the GUI application and must go before
        // it does; other threads drop theirs when they end.
        t_rawFonts.cleanupRegistered = true;
        qAddPostRoutine([] {
            t_rawFonts.faces.clear();
            t_rawFonts.cleanupRegistered = false;
        });
    }
    return t_rawFonts;
}

class ResolvedFace final : public FontFace {
public:
    ResolvedFace(QString family, QString path, int index, QByteArray data, bool wantBold, bool wantItalic)
        : m_family(std::move(family)), m_path(std::move(path)), m_index(index), m_data(std::move(data))
    {
        m_blob = hb_blob_create(m_data.constData(), static_cast<unsigned>(m_data.size()),
            HB_MEMORY_MODE_READONLY, nullptr, nullptr);
        m_hbFace = hb_face_create(m_blob, static_cast<unsigned>(m_index));
        m_font = hb_font_create(m_hbFace);
        m_unitsPerEm = std::max(1, static_cast<int>(hb_face_get_upem(m_hbFace)));
        hb_font_set_scale(m_font, m_unitsPerEm, m_unitsPerEm);
        m_synthesizeBold = wantBold;
        m_synthesizeItalic = wantItalic;
        // Guesses for a face FreeType cannot open.
        m_metrics.ascent = m_unitsPerEm * 9 / 10;
        m_metrics.descent = m_unitsPerEm / 5;
        m_metrics.maxAdvanceWidth = m_unitsPerEm;
        m_metrics.averageCharWidth = m_unitsPerEm / 2;
        m_decorations = {m_unitsPerEm * 0.1, m_unitsPerEm * 0.05, m_unitsPerEm * 0.25, m_unitsPerEm * 0.05};
    }

    ~ResolvedFace() override
    {
        hb_font_destroy(m_font);
        hb_face_destroy(m_hbFace);
        hb_blob_destroy(m_blob);
    }

    ResolvedFace(const ResolvedFace&) = delete;
    ResolvedFace& operator=(const ResolvedFace&) = delete;

    // Style and Windows metrics come from FreeType, which knows the OS/2 and head flags.
    void readMetrics(FT_Library library, bool wantBold, bool wantItalic)
    {
        FT_Face face = nullptr;
        if (!library || m_data.isEmpty()
            || FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(m_data.constData()),
                   static_cast<FT_Long>(m_data.size()), m_index, &face)
                != 0)
            return;
        if (face->units_per_EM > 0 && face->units_per_EM != m_unitsPerEm) {
            m_unitsPerEm = face->units_per_EM;
            hb_font_set_scale(m_font, m_unitsPerEm, m_unitsPerEm);
        }
        m_synthesizeBold = wantBold && !(face->style_flags & FT_STYLE_FLAG_BOLD);
        m_synthesizeItalic = wantItalic && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 && os2->version == 0xFFFF)
            os2 = nullptr;
        Metrics& m = m_metrics;
        m.fromTables = true;
        if (os2 && (os2->usWinAscent || os2->usWinDescent)) {
            m.ascent = os2->usWinAscent;
            m.descent = os2->usWinDescent;
        } else {
            m.ascent = face->ascender;
            m.descent = -face->descender;
        }
        m.xMin = int(face->bbox.xMin);
        m.yMin = int(face->bbox.yMin);
        m.xMax = int(face->bbox.xMax);
        m.yMax = int(face->bbox.yMax);
        m.maxAdvanceWidth = face->max_advance_width;
        m.averageCharWidth = os2 ? os2->xAvgCharWidth : m.maxAdvanceWidth / 2;
        m.weight = os2 ? os2->usWeightClass : 0;
        m.defaultChar = os2 && os2->version >= 2 && os2->usDefaultChar ? os2->usDefaultChar : 32;
        if (const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST)))
            m.italicAngle = double(post->italicAngle) / 65536.0; // 16.16 fixed
        if (face->underline_thickness > 0)
            m_decorations.underlineThickness = face->underline_thickness;
        m_decorations.underlineOffset = -face->underline_position;
        if (os2 && os2->yStrikeoutSize > 0) {
            m_decorations.strikeoutThickness = os2->yStrikeoutSize;
            m_decorations.strikeoutOffset = os2->yStrikeoutPosition - os2->yStrikeoutSize / 2.0;
        } else {
            m_decorations.strikeoutThickness = m_decorations.underlineThickness;
            m_decorations.strikeoutOffset = m.ascent / 3.0;
        }
        FT_Done_Face(face);
    }

    QString familyName() const override { return m_family; }
    QString filePath() const override { return m_path; }
    int faceIndex() const override { return m_index; }
    const QByteArray& fileData() const override { return m_data; }
    int unitsPerEm() const override { return m_unitsPerEm; }
    bool synthesizeBold() const override { return m_synthesizeBold; }
    bool synthesizeItalic() const override { return m_synthesizeItalic; }
    double ascent(double emPixels) const override { return m_metrics.ascent * emPixels / m_unitsPerEm; }
    double descent(double emPixels) const override { return m_metrics.descent * emPixels / m_unitsPerEm; }
    const Metrics& metrics() const override { return m_metrics; }
    int glyphAdvance(quint32 glyph) const override
    {
        // The font's scale is its units per em, so HarfBuzz gives hmtx's value unchanged.
        return int(hb_font_get_glyph_h_advance(m_font, glyph));
    }
    Decorations decorationsAt(double emPixels) const override
    {
        const double scale = emPixels / m_unitsPerEm;
        return {m_decorations.underlineOffset * scale, m_decorations.underlineThickness * scale,
            m_decorations.strikeoutOffset * scale, m_decorations.strikeoutThickness * scale};
    }

    std::vector<Glyph> shape(const QString& text, double emPixels, bool rtl) const override
    {
        std::vector<Glyph> glyphs;
        if (text.isEmpty())
            return glyphs;
        glyphs.reserve(static_cast<std::size_t>(text.size()));
        if (!rtl && !hasRightToLeft(text)) {
            shapeRun(text, 0, text.size(), HB_DIRECTION_LTR, emPixels, glyphs);
            return glyphs;
        }
        for (const Run& run : visualRuns(text, rtl))
            shapeRun(text, run.start, run.length, run.level % 2 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR, emPixels,
                glyphs);
        return glyphs;
    }

    std::vector<double> cumulativeAdvances(const QString& text, double emPixels) const override
    {
        const auto n = static_cast<std::size_t>(text.size());
        std::vector<double> advances(n, 0.0);
        if (n == 0)
            return advances;
        const ShapedRun& run = shaped(text, 0, int(n), HB_DIRECTION_INVALID);
        const auto count = unsigned(run.infos.size());
        const hb_glyph_info_t* info = run.infos.data();
        const hb_glyph_position_t* pos = run.positions.data();
        // Each cluster's advance is counted at its first character; in font units until the end,
        // so the sums stay exact.
        std::vector<qint64> units(n, 0);
        for (unsigned g = 0; g < count; ++g) {
            if (info[g].cluster < n)
                units[info[g].cluster] += pos[g].x_advance;
        }
        qint64 sum = 0;
        const double scale = emPixels / m_unitsPerEm;
        for (std::size_t i = 0; i < n; ++i) {
            sum += units[i];
            advances[i] = double(sum) * scale;
        }
        return advances;
    }

    QRawFont rawFont(double emPixels) const override
    {
        // Without a GUI application Qt has no font database to load into.
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            return {};
        ThreadRawFonts::Sizes& fonts = threadRawFonts().faces[this];
        if (!fonts.loaded) {
            fonts.loaded = true;
            const QByteArray single = singleFaceData();
            if (!single.isEmpty())
                fonts.base.loadFromData(single, emPixels, QFont::PreferVerticalHinting);
        }
        if (!fonts.base.isValid())
            return {};
        auto found = fonts.sized.find(emPixels);
        if (found == fonts.sized.end()) {
            // One raw font per size keeps each size's glyph cache alive between lines.
            QRawFont sized = fonts.base;
            sized.setPixelSize(emPixels);
            found = fonts.sized.emplace(emPixels, sized).first;
        }
        return found->second;
    }

private:
    struct Run {
        int start = 0;
        int length = 0;
        int level = 0;
    };

    // Runs of one embedding level in visual order (FriBidi levels, rule L2 for the reordering).
    static std::vector<Run> visualRuns(const QString& text, bool rtl)
    {
        const std::vector<uint> ucs4 = [&] {
            const QList<uint> list = text.toUcs4();
            return std::vector<uint>(list.begin(), list.end());
        }();
        const auto n = static_cast<FriBidiStrIndex>(ucs4.size());
        std::vector<FriBidiChar> chars(ucs4.begin(), ucs4.end());
        std::vector<FriBidiCharType> types(chars.size());
        std::vector<FriBidiBracketType> brackets(chars.size());
        std::vector<FriBidiLevel> levels(chars.size());
        fribidi_get_bidi_types(chars.data(), n, types.data());
        fribidi_get_bracket_types(chars.data(), n, types.data(), brackets.data());
        FriBidiParType base = rtl ? FRIBIDI_PAR_RTL : FRIBIDI_PAR_LTR;
        if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), n, &base, levels.data()) == 0)
            std::fill(levels.begin(), levels.end(), FriBidiLevel(rtl ? 1 : 0));

        std::vector<Run> runs;
        int utf16 = 0;
        for (std::size_t i = 0; i < chars.size(); ++i) {
            const int width = chars[i] > 0xFFFF ? 2 : 1;
            if (runs.empty() || runs.back().level != levels[i])
                runs.push_back({utf16, 0, levels[i]});
            runs.back().length += width;
            utf16 += width;
        }
        int highest = 0;
        int lowestOdd = 255;
        for (const Run& run : runs) {
            highest = std::max(highest, run.level);
            if (run.level % 2)
                lowestOdd = std::min(lowestOdd, run.level);
        }
        for (int level = highest; level >= lowestOdd; --level) {
            for (std::size_t i = 0; i < runs.size();) {
                if (runs[i].level < level) {
                    ++i;
                    continue;
                }
                std::size_t end = i;
                while (end < runs.size() && runs[end].level >= level)
                    ++end;
                std::reverse(runs.begin() + std::ptrdiff_t(i), runs.begin() + std::ptrdiff_t(end));
                i = end;
            }
        }
        return runs;
    }

    // Characters start..start+length-1 of the text (the rest is context) shaped, or taken from
    // this thread's last runs; an invalid direction is guessed from the text.
    const ShapedRun& shaped(const QString& text, int start, int length, hb_direction_t direction) const
    {
        ShapedRunCache& cache = shapedRunCache();
        if (const ShapedRun* known = cache.find(m_serial, text, start, length, direction))
            return *known;
        hb_buffer_t* buffer = threadBuffer();
        hb_buffer_add_utf16(
            buffer, reinterpret_cast<const uint16_t*>(text.utf16()), int(text.size()), unsigned(start), length);
        if (direction != HB_DIRECTION_INVALID)
            hb_buffer_set_direction(buffer, direction);
        hb_buffer_set_language(buffer, shapingLanguage());
        hb_buffer_guess_segment_properties(buffer);
        hb_shape(m_font, buffer, nullptr, 0);
        unsigned count = 0;
        const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
        const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, nullptr);
        ShapedRun& run = cache.next();
        run.face = m_serial;
        run.text = text;
        run.start = start;
        run.length = length;
        run.direction = direction;
        run.infos.assign(info, info + count);
        run.positions.assign(pos, pos + count);
        return run;
    }

    void shapeRun(const QString& text, int start, int length, hb_direction_t direction, double emPixels,
        std::vector<Glyph>& out) const
    {
        const ShapedRun& run = shaped(text, start, length, direction);
        const auto count = unsigned(run.infos.size());
        const hb_glyph_info_t* info = run.infos.data();
        const hb_glyph_position_t* pos = run.positions.data();
        const double scale = emPixels / m_unitsPerEm;
        for (unsigned g = 0; g < count; ++g)
            out.push_back({info[g].codepoint, pos[g].x_advance * scale, int(info[g].cluster), pos[g].x_offset * scale,
                pos[g].y_offset * scale});
    }

    static quint64 nextSerial()
    {
        static std::atomic<quint64> serial{0};
        return ++serial;
    }

    // The face as a file of its own for QRawFont, cut from a collection once for all threads.
    QByteArray singleFaceData() const
    {
        std::lock_guard lock(m_singleMutex);
        if (!m_single)
            m_single = extractCollectionFace(m_data, m_index);
        return *m_single;
    }

    QString m_family;
    QString m_path;
    int m_index = 0;
    QByteArray m_data;
    hb_blob_t* m_blob = nullptr;
    hb_face_t* m_hbFace = nullptr;
    hb_font_t* m_font = nullptr;
    // Tells this face's runs in the shaping cache from those of a face that had its address before.
    const quint64 m_serial = nextSerial();
    int m_unitsPerEm = 1000;
    bool m_synthesizeBold = false;
    bool m_synthesizeItalic = false;
    Metrics m_metrics;
    Decorations m_decorations; // font units

    mutable std::mutex m_singleMutex;
    mutable std::optional<QByteArray> m_single;
};

QString patternString(FcPattern* pattern, const char* object)
{
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || !value)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(value));
}

} // namespace

struct FontService::Cache {
    std::mutex mutex;
    // Font files are mapped rather than read: only the pages of the tables and glyphs used are
    // touched, straight from the page cache. A mapping lasts as long as its file object, so the
    // files are declared before the faces that read them and go after them.
    struct MappedFile {
        std::unique_ptr<QFile> file;
        QByteArray bytes;
    };
    std::map<QString, MappedFile> files;
    QHash<QString, std::shared_ptr<const ResolvedFace>> faces;
    FT_Library freetype = nullptr;

    Cache()
    {
        if (FT_Init_FreeType(&freetype) != 0)
            freetype = nullptr;
    }
    ~Cache()
    {
        if (freetype)
            FT_Done_FreeType(freetype);
    }
    Cache(const Cache&) = delete;
    Cache& operator=(const Cache&) = delete;

    QByteArray fileBytes(const QString& path)
    {
        if (const auto found = files.find(path); found != files.end())
            return found->second.bytes;
        MappedFile mapped{std::make_unique<QFile>(path), QByteArray()};
        if (mapped.file->open(QIODevice::ReadOnly)) {
            const qint64 size = mapped.file->size();
            if (const uchar* data = size > 0 ? mapped.file->map(0, size) : nullptr)
                mapped.bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
            else
                mapped.bytes = mapped.file->readAll();
        }
        QByteArray bytes = mapped.bytes;
        files.emplace(path, std::move(mapped));
        return bytes;
    }

    std::shared_ptr<const ResolvedFace> resolve(const QString& family, int style)
    {
        const bool bold = style & StyleBold;
        const bool italic = style & StyleItalic;
        FcPattern* pattern = FcPatternCreate();
        const QByteArray familyUtf8 = family.toUtf8();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(familyUtf8.constData()));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        FcPatternDestroy(pattern);

        QString path;
        QString matchedFamily = family;
        int index = 0;
        if (match) {
            path = patternString(match, FC_FILE);
            const QString name = patternString(match, FC_FAMILY);
            if (!name.isEmpty())
                matchedFamily = name;
            int value = 0;
            if (FcPatternGetInteger(match, FC_INDEX, 0, &value) == FcResultMatch)
                index = value & 0xFFFF; // the upper bits name an instance of a variable font
            FcPatternDestroy(match);
        }
        QByteArray data = path.isEmpty() ? QByteArray() : fileBytes(path);
        auto face = std::make_shared<ResolvedFace>(matchedFamily, path, index, std::move(data), bold, italic);
        face->readMetrics(freetype, bold, italic);
        return face;
    }
};

FontService::FontService() : m_cache(std::make_shared<Cache>()) {}

FontService& FontService::instance()
{
    static FontService service;
    return service;
}

std::shared_ptr<const FontFace> FontService::face(const QString& family, int style)
{
    style &= StyleBold | StyleItalic;
    const QString key = family.toCaseFolded() + QChar(u'\n') + QChar(u'0' + style);
    std::lock_guard lock(m_cache->mutex);
    auto found = m_cache->faces.constFind(key);
    if (found != m_cache->faces.constEnd())
        return *found;
    auto face = m_cache->resolve(family, style);
    m_cache->faces.insert(key, face);
    return face;
}

QByteArray extractCollectionFace(const QByteArray& fileData, int faceIndex)
{
    try {
        const FontFile file(fileData);
        if (faceIndex < 0 || std::size_t(faceIndex) >= file.fontCount())
            return {};
        return file.singleFont(std::size_t(faceIndex));
    } catch (const ReadError&) {
        return {};
    }
}

} // namespace quittung::report
