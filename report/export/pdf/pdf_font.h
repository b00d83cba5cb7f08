#pragma once

#include "report/document/engine_host.h"
#include "report/document/font.h"
#include "report/engine/text/font_service.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace quittung::report {

struct PreparedFontFile;
struct PreparedSubset;

// The font's outline metrics, all in 1/1000 em (PDF glyph units); the italic angle in tenths of a
// degree. The box is left, top, right, bottom with y upwards, so top is the highest point.
struct PdfOutlineMetrics {
    int height = 0;
    int internalLeading = 0;
    int averageCharWidth = 0;
    int maxCharWidth = 0;
    int weight = 0;
    int defaultChar = 32;
    int italicAngle = 0;
    int ascent = 0;
    int descent = 0;
    struct Box {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    } fontBox;
};

// One distinct font of a PDF document: the glyphs its text used and the font file to embed.
class PdfFont {
public:
    explicit PdfFont(const Font& font);

    // Takes the metrics from the face, by the same rule as layout's ascent and descent; a face
    // that could not be read takes Arial's.
    void fillOutlineTextMetrics();
    // The line as glyph indices (one 16-bit unit per glyph, visual order); records new glyphs.
    QString remapString(const QString& text, bool rtl);
    // The same line as shaped glyphs at an em of 1000 (advances and offsets in 1/1000 em, kerning
    // included); records new glyphs as remapString() does. A glyph that is the only one of its
    // cluster takes the cluster's characters as its text when it has none yet. readsBack, when
    // given, tells whether the ToUnicode map gives back exactly this line: not so where a cluster
    // has several glyphs, a glyph stands for other characters elsewhere, or a character has no
    // glyph; the page content then carries the line's text beside its glyphs.
    std::vector<FontFace::Glyph> remapGlyphs(const QString& text, bool rtl, bool* readsBack = nullptr);
    // A glyph's width for /W in 1/1000 em: the font's advance width (hmtx), rounded, the same
    // wherever the glyph stands.
    int glyphWidth(std::uint32_t glyph) const;
    // The PDF font name: escaped face name and style.
    QString getFontName() const;
    // The name the font's dictionaries give it: once getFontFile() has cut the font down, the font
    // name behind a subset tag ("ABCDEF+Arial,Bold"), as readers expect of an embedded subset.
    QString baseFontName() const;
    // Six capital letters that stand for a set of glyphs of a font, the same for the same glyphs of
    // the same font name; the name keeps the tags of two fonts with equal glyph numbers apart.
    static QString subsetTag(const std::vector<std::uint32_t>& glyphs, const QString& fontName = QString());
    // The font file (cut down to the used glyphs when subset()); also kept in fontData(). A table
    // given twice is told to the user and tables whose checksums do not match are put to the user
    // as a question, through the host of the export.
    QByteArray getFontFile(EngineHost& host = engineHost());
    // The subset of a font file as getFontFile() cuts it: the font with the wanted full name, else
    // the one at fallbackFont, keeping the glyphs; faults are told and asked the same way.
    static QByteArray subsetFontFile(const QByteArray& file, const QString& wantedName,
                                     const std::vector<std::uint32_t>& glyphs, std::size_t fallbackFont,
                                     EngineHost& host = engineHost());

    // The font's PDF objects: each dictionary as it stands between the object line and "endobj",
    // every line ending with CR LF; the arguments are the object numbers referred to.
    // The dictionary line of the font file and ToUnicode streams, for stored (possibly deflated)
    // and raw data lengths.
    static QByteArray streamDictionary(qsizetype storedLength, qsizetype rawLength, bool compressed);
    // fontFileObject 0: the font is not embedded.
    QByteArray fontDescriptorDictionary(int fontFileObject) const;
    // The text of the ToUnicode stream, before any deflating.
    QByteArray toUnicodeMap() const;
    static QByteArray cidSystemInfoDictionary();
    QByteArray descendantFontDictionary(int cidSystemInfoObject, int descriptorObject) const;
    QByteArray fontDictionary(int descendantObject, int toUnicodeObject) const;
    // The descriptor's stem width, from the weight.
    int stemV() const;

    // The report font this PDF font stands for.
    const Font& sourceFont() const { return m_sourceFont; }
    const PdfOutlineMetrics& metrics() const { return m_metrics; }
    // Sets metrics and glyphs as fillOutlineTextMetrics() and remapString() would (for writing the
    // font objects of known data).
    void setMetrics(const PdfOutlineMetrics& metrics) { m_metrics = metrics; }
    void setUsedGlyphs(std::vector<std::uint32_t> glyphs, std::vector<int> widths, std::vector<QString> texts)
    {
        m_usedGlyphs = std::move(glyphs);
        m_widths = std::move(widths);
        m_usedTexts = std::move(texts);
        m_slots.clear();
    }
    // The glyphs the text used, in the order first met, with their widths and the characters
    // they stand for in the ToUnicode map: one or more (a ligature, a letter with its marks, an
    // emoji sequence), none for a glyph never met alone in its cluster and for the missing glyph.
    const std::vector<std::uint32_t>& usedGlyphs() const { return m_usedGlyphs; }
    const std::vector<int>& widths() const { return m_widths; }
    const std::vector<QString>& usedTexts() const { return m_usedTexts; }
    // The font file as getFontFile() last made it.
    const QByteArray& fontData() const { return m_fontData; }
    // fontData() deflated with zlib at its fastest level. The tables a subset takes over unchanged
    // (names, character map, hinting programs) are deflated once per font file and reused.
    QByteArray deflatedFontData() const;
    // Whether getFontFile() cuts the font down to the used glyphs (on by default).
    bool subset() const { return m_subset; }
    void setSubset(bool value) { m_subset = value; }
    // Characters whose glyphs every subset holds besides the used ones (none by default). Documents
    // that differ only in their words then embed the same subset, which is cut and deflated once
    // for all of them; the font's tables and widths list only the glyphs used.
    const QString& commonCharacters() const { return m_commonCharacters; }
    void setCommonCharacters(const QString& value) { m_commonCharacters = value; }

private:
    // A font file deflated, the tables the prepared file has deflated before taken from there.
    static QByteArray deflatedFontFile(const QByteArray& data, const PreparedFontFile* prepared);
    // The glyph's place in usedGlyphs(), recording it with its width when it is new.
    std::size_t slotOf(std::uint32_t glyph);

    Font m_sourceFont;
    PdfOutlineMetrics m_metrics;
    std::vector<std::uint32_t> m_usedGlyphs;
    // By glyph number, the glyph's place in m_usedGlyphs plus one, 0 while unused; grown as
    // glyphs are met, so a long text of many glyphs never searches the list.
    std::vector<std::uint32_t> m_slots;
    std::vector<int> m_widths;
    std::vector<QString> m_usedTexts;
    QByteArray m_fontData;
    bool m_subset = true;
    QString m_subsetTag;
    QString m_commonCharacters;
    // The subset in fontData(), kept with its deflated bytes for the next document of the same glyphs.
    std::shared_ptr<const PreparedSubset> m_preparedSubset;
    // The font file read for the subset in fontData(), shared with other documents.
    std::shared_ptr<const PreparedFontFile> m_prepared;
    // Shaping, metrics and the font file all come from this face.
    std::shared_ptr<const FontFace> m_face;
};

} // namespace quittung::report
