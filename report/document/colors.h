#pragma once

#include "report/document/units.h"

#include <optional>

namespace quittung::report {

struct RgbColor {
    quint8 red = 0;
    quint8 green = 0;
    quint8 blue = 0;

    friend bool operator==(const RgbColor&, const RgbColor&) = default;
};

// The colour a system colour index names. Pages are paper, not windows: the indices resolve to the
// light default scheme of a Windows desktop, never to the program's own window style.
RgbColor systemColorRgb(int index);

// The RGB value of a colour: 0x00BBGGRR for ordinary values, the system colour named by the low
// byte for negative values, nothing for clNone.
std::optional<RgbColor> colorToRgb(Color color);

} // namespace quittung::report
