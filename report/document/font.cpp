#include "report/document/font.h"

#include <cmath>

namespace quittung::report {

Font::Font() = default;

Font::Font(const Font& other)
    : PropertyObject(other)
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

Font& Font::operator=(const Font& other)
{
    assign(other);
    return *this;
}

const PropertyTable& Font::properties() const
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
        property<Font>(QStringLiteral("Charset"), PropType::Integer, &Font::charset, &Font::setCharset),
        property<Font>(QStringLiteral("Color"), PropType::ColorValue, &Font::color, &Font::setColor),
        property<Font>(QStringLiteral("Height"), PropType::Integer, &Font::height, &Font::setHeight),
        property<Font>(QStringLiteral("Name"), PropType::String, &Font::name, &Font::setName),
        property<Font>(QStringLiteral("Orientation"), PropType::Integer, &Font::orientation,
            &Font::setOrientation, qint64(0)),
        property<Font>(QStringLiteral("Pitch"), PropType::Enum, &Font::pitch, &Font::setPitch, qint64(0),
            &pitch),
        property<Font>(QStringLiteral("Style"), PropType::Set, &Font::style, &Font::setStyle, std::nullopt,
            &style),
        property<Font>(QStringLiteral("Quality"), PropType::Enum, &Font::Quality, &Font::setQuality,
            qint64(0), &quality),
    };
    return table;
}

void Font::changed()
{
    if (m_onChange)
        m_onChange();
}

void Font::setCharset(int value)
{
    m_charset = value & 0xFF;
    changed();
}

void Font::setColor(Color value)
{
    m_color = value;
    changed();
}

void Font::setHeight(int value)
{
    m_height = value;
    changed();
}

void Font::setName(const QString& value)
{
    m_name = value;
    changed();
}

void Font::setOrientation(int value)
{
    m_orientation = value;
    changed();
}

void Font::setPitch(FontPitch value)
{
    m_pitch = value;
    changed();
}

void Font::setStyle(FontStyles value)
{
    m_style = value & FontStyles::fromInt(0xF);
    changed();
}

void Font::setQuality(FontQuality value)
{
    m_quality = value;
    changed();
}

int Font::size() const
{
    // Halves away from zero, as a multiply-then-divide of integers rounds them.
    return static_cast<int>(std::lround(-m_height * 72.0 / 96.0));
}

void Font::setSize(int points)
{
    setHeight(-static_cast<int>(std::lround(points * 96.0 / 72.0)));
}

void Font::assign(const Font& source)
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

bool Font::operator==(const Font& other) const
{
    return m_charset == other.m_charset && m_color == other.m_color && m_height == other.m_height
        && m_name == other.m_name && m_orientation == other.m_orientation && m_pitch == other.m_pitch
        && m_style == other.m_style && m_quality == other.m_quality;
}

} // namespace quittung::report
