#pragma once

#include <QtGlobal>

namespace quittung::report {

// Report pixels are 96 per inch. The millimetre factor is a fixed constant of the template format,
// not 96 / 25.4, so that positions read back exactly as they were designed.
inline constexpr double PixelsPerMm = 3.77953;
inline constexpr double PixelsPerCm = 37.7953;
inline constexpr double PixelsPerInch = 96;
inline constexpr double PixelsPerTenthInch = 9.6;
inline constexpr double CharWidthPixels = 9.6;
inline constexpr double CharHeightPixels = 17;

// Colours are signed 32-bit 0x00BBGGRR values; negative values name a colour of the desktop's scheme
// by the index in the low byte.
using Color = qint32;

// The named colours templates use; None means no colour at all.
namespace colors {
inline constexpr Color Black = 0x000000;
inline constexpr Color Gray = 0x808080;
inline constexpr Color White = 0xFFFFFF;
inline constexpr Color Cream = 0xF0FBFF;
inline constexpr Color Red = 0x0000FF;
inline constexpr Color None = 0x1FFFFFFF;
inline constexpr Color ButtonFace = qint32(0xFF00000F);
inline constexpr Color WindowText = qint32(0xFF000008);
} // namespace colors

} // namespace quittung::report
