#pragma once

// The HTML-like tags of text objects: <b>, <i>, <u>, <strike>, <sub>, <sup>, <nowrap> and
// <font color=...>.

#include "report/engine/text/text_layout.h"

#include <QString>

#include <vector>

namespace quittung::report {

// Removes the tags of one source line and gives every remaining character its style.
void parseHtml(const QString& line, TextLayout::CharStyle& style, const TextLayout::CharStyle& base, QString& text,
    std::vector<TextLayout::CharStyle>& styles);

} // namespace quittung::report
