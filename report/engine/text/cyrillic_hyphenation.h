#pragma once

// Where a Cyrillic word may be broken with a hyphen.

#include <QString>

namespace quittung::report {

// Longer words are broken without a hyphen.
constexpr int MaxHyphenatedWord = 100;

// The number of letters of the word at wordStart (1-based) to keep before a hyphen, or 0. Only
// Cyrillic letters take part, so other text is never hyphenated.
int cyrillicHyphenation(const QString& line, int wordStart, int overflow, int fit);

} // namespace quittung::report
