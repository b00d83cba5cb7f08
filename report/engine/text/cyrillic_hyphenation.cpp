// Hyphenation of Cyrillic words after the vowel and consonant rules.

#include "report/engine/text/cyrillic_hyphenation.h"

#include <QStringView>

#include <algorithm>

namespace quittung::report {

namespace {

bool isCyrillicVowel(QChar c)
{
    return QStringView(u"АЕЁИОУЫЭЮЯ").contains(c);
}

bool isCyrillicConsonant(QChar c)
{
    return QStringView(u"БВГДЖЗЙКЛМНПРСТФХЦЧШЩЬЪ").contains(c);
}

bool hasVowel(QStringView letters)
{
    return std::any_of(letters.begin(), letters.end(), isCyrillicVowel);
}

} // namespace

int cyrillicHyphenation(const QString& line, int wordStart, int overflow, int fit)
{
    int end = overflow;
    while (end <= line.size() && !QStringView(u" .,-;").contains(line[end - 1])) {
        // No word of a language is that long; scanning a run of millions of letters again at every
        // break would take time growing with its square. Such a run breaks without a hyphen.
        if (end - wordStart >= MaxHyphenatedWord)
            return 0;
        ++end;
    }
    const QString word = line.mid(wordStart - 1, end - wordStart).toUpper();
    const int letters = int(word.size());
    if (letters <= 3)
        return 0;
    const auto at = [&](int p) { return p < letters ? word[p] : QChar(); };
    int best = 0;
    for (int p = 1; p < letters && p < fit; ++p) {
        const QChar letter = word[p - 1];
        const QChar next = at(p);
        bool candidate = false;
        if (isCyrillicConsonant(letter))
            candidate = !isCyrillicVowel(next) && next != u'Ь' && next != u'Ъ';
        else if (isCyrillicVowel(letter))
            candidate = next != u'Й'
                && !(isCyrillicConsonant(next) && at(p + 1) == next && isCyrillicVowel(at(p + 2)));
        if (candidate && hasVowel(QStringView(word).left(p)) && hasVowel(QStringView(word).mid(p)))
            best = p;
    }
    return best;
}

} // namespace quittung::report
