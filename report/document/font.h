#pragma once

#include "report/document/property_object.h"
#include "report/document/units.h"

#include <QFlags>

#include <functional>

namespace quittung::report {

enum class FontStyle : int { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };
Q_DECLARE_FLAGS(FontStyles, FontStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(FontStyles)
enum class FontPitch { Default, Variable, Fixed };
enum class FontQuality {
    Default, Draft, Proof, NonAntialiased, Antialiased, ClearType, ClearTypeNatural
};

// The font of a report object. The resolution is fixed at 96 pixels per inch, so Size (points) and
// Height (negative pixels) are two views of the same value.
class Font : public PropertyObject {
public:
    Font();
    Font(const Font& other);
    Font& operator=(const Font& other);

    QString className() const override { return QStringLiteral("TFont"); }
    const PropertyTable& properties() const override;

    int charset() const { return m_charset; }
    void setCharset(int value);
    Color color() const { return m_color; }
    void setColor(Color value);
    int height() const { return m_height; }
    void setHeight(int value);
    QString name() const { return m_name; }
    void setName(const QString& value);
    int orientation() const { return m_orientation; }
    void setOrientation(int value);
    FontPitch pitch() const { return m_pitch; }
    void setPitch(FontPitch value);
    FontStyles style() const { return m_style; }
    void setStyle(FontStyles value);
    FontQuality Quality() const { return m_quality; }
    void setQuality(FontQuality value);

    // Size in points: round(-Height × 72 / 96).
    int size() const;
    void setSize(int points);

    // Copies all fields and reports one change.
    void assign(const Font& source);
    bool operator==(const Font& other) const;

    // Called after every change; the owning object uses it for its font coupling.
    void setOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }

private:
    void changed();

    int m_charset = 1;
    Color m_color = colors::Black;
    int m_height = -13;
    QString m_name = QStringLiteral("Arial");
    int m_orientation = 0;
    FontPitch m_pitch = FontPitch::Default;
    FontStyles m_style;
    FontQuality m_quality = FontQuality::Default;
    std::function<void()> m_onChange;
};

} // namespace quittung::report
