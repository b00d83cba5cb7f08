#include "report/document/font.h"

#include <cmath>

namespace quittung {

TfrxFont::TfrxFont() = default;

TfrxFont::TfrxFont(const TfrxFont& other)
    : TfrxPersistent(other)
    , m_charset(other.m_charset)
    , m_color(other.m_color)
    , m_height(other.m_height)
    , m_name(other.m_name)
    , m_orientation(other.m_orientation)
    , m_pitch(other.m_pitch)
    , m_style(other.m_style)
    , m_quality(other.m_quality)
{
    // The change handler belongs to the owner of the original, not to the copy.
}

TfrxFont& TfrxFont::operator=(const TfrxFont& other)
{
    Assign(other);
    return *this;
}

const PropertyTable& TfrxFont::Properties() const
{
    using namespace props;
    static const EnumType pitch{{QStringLiteral("fpDefault"), QStringLiteral("fpVariable"), QStringLiteral("fpFixed")}};
    static const EnumType style{{QStringLiteral("fsBold"), QStringLiteral("fsItalic"), QStringLiteral("fsUnderline"),
        QStringLiteral("fsStrikeOut")}};
    static const EnumType quality{{QStringLiteral("fqDefault"), QStringLiteral("fqDraft"), QStringLiteral("fqProof"),
        QStringLiteral("fqNonAntialiased"), QStringLiteral("fqAntialiased"), QStringLiteral("fqClearType"),
        QStringLiteral("fqClearTypeNatural")}};
    // Charset, Color, Height and Style have no declared default: they are always written.
    static const PropertyTable table{
        property<TfrxFont>(QStringLiteral("Charset"), PropType::Integer, &TfrxFont::Charset, &TfrxFont::SetCharset),
        property<TfrxFont>(QStringLiteral("Color"), PropType::Color, &TfrxFont::Color, &TfrxFont::SetColor),
        property<TfrxFont>(QStringLiteral("Height"), PropType::Integer, &TfrxFont::Height, &TfrxFont::SetHeight),
        property<TfrxFont>(QStringLiteral("Name"), PropType::String, &TfrxFont::Name, &TfrxFont::SetName),
        property<TfrxFont>(QStringLiteral("Orientation"), PropType::Integer, &TfrxFont::Orientation,
            &TfrxFont::SetOrientation, qint64(0)),
        property<TfrxFont>(QStringLiteral("Pitch"), PropType::Enum, &TfrxFont::Pitch, &TfrxFont::SetPitch, qint64(0),
            &pitch),
        property<TfrxFont>(QStringLiteral("Style"), PropType::Set, &TfrxFont::Style, &TfrxFont::SetStyle, std::nullopt,
            &style),
        property<TfrxFont>(QStringLiteral("Quality"), PropType::Enum, &TfrxFont::Quality, &TfrxFont::SetQuality,
            qint64(0), &quality),
    };
    return table;
}

void TfrxFont::changed()
{
    if (m_onChange)
        m_onChange();
}

void TfrxFont::SetCharset(int value)
{
    m_charset = value & 0xFF;
    changed();
}

void TfrxFont::SetColor(TColor value)
{
    m_color = value;
    changed();
}

void TfrxFont::SetHeight(int value)
{
    m_height = value;
    changed();
}

void TfrxFont::SetName(const QString& value)
{
    m_name = value;
    changed();
}

void TfrxFont::SetOrientation(int value)
{
    m_orientation = value;
    changed();
}

void TfrxFont::SetPitch(TFontPitch value)
{
    m_pitch = value;
    changed();
}

void TfrxFont::SetStyle(int value)
{
    m_style = value & 0xF;
    changed();
}

void TfrxFont::SetQuality(TFontQuality value)
{
    m_quality = value;
    changed();
}

int TfrxFont::Size() const
{
    // Halves away from zero, as a multiply-then-divide of integers rounds them.
    return static_cast<int>(std::lround(-m_height * 72.0 / 96.0));
}

void TfrxFont::SetSize(int points)
{
    SetHeight(-static_cast<int>(std::lround(points * 96.0 / 72.0)));
}

void TfrxFont::Assign(const TfrxFont& source)
{
    if (this == &source)
        return;
    m_charset = source.m_charset;
    m_color = source.m_color;
    m_height = source.m_height;
    m_name = source.m_name;
    m_orientation = source.m_orientation;
    m_pitch = source.m_pitch;
    m_style = source.m_style;
    m_quality = source.m_quality;
    changed();
}

bool TfrxFont::operator==(const TfrxFont& other) const
{
    return m_charset == other.m_charset && m_color == other.m_color && m_height == other.m_height
        && m_name == other.m_name && m_orientation == other.m_orientation && m_pitch == other.m_pitch
        && m_style == other.m_style && m_quality == other.m_quality;
}

} // namespace quittung
