#pragma once

#include "report/document/persistent.h"
#include "report/document/units.h"

#include <functional>

namespace quittung {

enum TfrxFontStyle : int { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
enum class TFontPitch { fpDefault, fpVariable, fpFixed };
enum class TFontQuality {
    fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType, fqClearTypeNatural
};

// The font of a report object. The resolution is fixed at 96 pixels per inch, so Size (points) and
// Height (negative pixels) are two views of the same value.
class TfrxFont : public TfrxPersistent {
public:
    TfrxFont();
    TfrxFont(const TfrxFont& other);
    TfrxFont& operator=(const TfrxFont& other);

    QString ClassName() const override { return QStringLiteral("TFont"); }
    const PropertyTable& Properties() const override;

    int Charset() const { return m_charset; }
    void SetCharset(int value);
    TColor Color() const { return m_color; }
    void SetColor(TColor value);
    int Height() const { return m_height; }
    void SetHeight(int value);
    QString Name() const { return m_name; }
    void SetName(const QString& value);
    int Orientation() const { return m_orientation; }
    void SetOrientation(int value);
    TFontPitch Pitch() const { return m_pitch; }
    void SetPitch(TFontPitch value);
    int Style() const { return m_style; }
    void SetStyle(int value);
    TFontQuality Quality() const { return m_quality; }
    void SetQuality(TFontQuality value);

    // Size in points: round(-Height × 72 / 96).
    int Size() const;
    void SetSize(int points);

    // Copies all fields and reports one change.
    void Assign(const TfrxFont& source);
    bool operator==(const TfrxFont& other) const;

    // Called after every change; the owning object uses it for its font coupling.
    void SetOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }

private:
    void changed();

    int m_charset = 1;
    TColor m_color = clBlack;
    int m_height = -13;
    QString m_name = QStringLiteral("Arial");
    int m_orientation = 0;
    TFontPitch m_pitch = TFontPitch::fpDefault;
    int m_style = 0;
    TFontQuality m_quality = TFontQuality::fqDefault;
    std::function<void()> m_onChange;
};

} // namespace quittung
