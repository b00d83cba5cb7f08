#pragma once

#include <QString>

#include <vector>

namespace quittung::report {

class PreparedPages;

// A text object of a prepared page whose laid-out lines do not all fit its text rectangle, so the
// page shows only part of its text.
struct ClippedText {
    int page = 0;
    QString name;
    // The lines laid out and the lines the rectangle shows whole.
    int lines = 0;
    int shownLines = 0;
};

// The clipped text objects of the prepared pages, page by page in the page walk's order. Objects
// that draw beyond their frame (not clipped) and rotated ones are not listed.
std::vector<ClippedText> clippedTexts(const PreparedPages& pages);

} // namespace quittung::report
