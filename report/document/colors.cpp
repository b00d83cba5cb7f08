#include "report/document/colors.h"

#include <array>

namespace quittung::report {

namespace {

// Indexed like COLOR_SCROLLBAR (0) .. COLOR_MENUBAR (30).
constexpr std::array<RgbColor, 31> defaultSystemColors{{
    {200, 200, 200}, // scroll bar
    {0, 0, 0},       // desktop
    {153, 180, 209}, // active caption
    {191, 205, 219}, // inactive caption
    {240, 240, 240}, // menu
    {255, 255, 255}, // window
    {100, 100, 100}, // window frame
    {0, 0, 0},       // menu text
    {0, 0, 0},       // window text
    {0, 0, 0},       // caption text
    {180, 180, 180}, // active border
    {244, 247, 252}, // inactive border
    {171, 171, 171}, // application workspace
    {0, 120, 215},   // highlight
    {255, 255, 255}, // highlight text
    {240, 240, 240}, // button face
    {160, 160, 160}, // button shadow
    {109, 109, 109}, // grey text
    {0, 0, 0},       // button text
    {0, 0, 0},       // inactive caption text
    {255, 255, 255}, // button highlight
    {105, 105, 105}, // 3D dark shadow
    {227, 227, 227}, // 3D light
    {0, 0, 0},       // info text
    {255, 255, 225}, // info background
    {0, 0, 0},       // (unused index)
    {0, 102, 204},   // hot light
    {185, 209, 234}, // gradient active caption
    {215, 228, 242}, // gradient inactive caption
    {0, 120, 215},   // menu highlight
    {240, 240, 240}, // menu bar
}};

} // namespace

RgbColor systemColorRgb(int index)
{
    if (index < 0 || index >= static_cast<int>(defaultSystemColors.size()))
        return {}; // an index the desktop does not know reads as black there too
    return defaultSystemColors[static_cast<std::size_t>(index)];
}

std::optional<RgbColor> colorToRgb(Color color)
{
    if (color == colors::None)
        return std::nullopt;
    if (color < 0)
        return systemColorRgb(color & 0xFF);
    const auto value = static_cast<quint32>(color);
    return RgbColor{quint8(value & 0xFF), quint8((value >> 8) & 0xFF), quint8((value >> 16) & 0xFF)};
}

} // namespace quittung::report
