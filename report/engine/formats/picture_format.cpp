// Picture formats of numbers: "#,##0.00" with sections, quoted literals and exponents.

#include "report/engine/formats/picture_format.h"

#include "report/engine/formats/format_digits.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace quittung::report {

namespace {

struct PictureToken {
    enum class Kind { Digit, Point, Exponent, Literal } kind;
    bool zero = false;        // Digit: "0" rather than "#"
    bool fraction = false;    // Digit: after the decimal point
    QChar letter;             // Exponent: "E" or "e" as written
    bool plus = false;        // Exponent: "E+" shows the sign of positive exponents too
    int exponentDigits = 0;   // Exponent: minimum digits
    QString text;             // Literal
};

struct Picture {
    std::vector<PictureToken> tokens;
    bool grouping = false;
    bool scientific = false;
    int wholePlaceholders = 0;
    int wholeMin = 0; // placeholders from the first "0" to the point
    int fractionPlaceholders = 0;
    int fractionMin = 0; // placeholders up to the last "0" after the point
};

Picture parsePicture(const QString& section)
{
    Picture picture;
    bool point = false;
    int firstWholeZero = -1;
    const qsizetype n = section.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = section[i];
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            qsizetype close = section.indexOf(c, i + 1);
            if (close < 0)
                close = n;
            picture.tokens.push_back({PictureToken::Kind::Literal, false, false, {}, false, 0, section.mid(i + 1, close - i - 1)});
            i = close;
        } else if ((c == QLatin1Char('0') || c == QLatin1Char('#')) && !picture.scientific) {
            const bool zero = c == QLatin1Char('0');
            picture.tokens.push_back({PictureToken::Kind::Digit, zero, point, {}, false, 0, {}});
            if (point) {
                ++picture.fractionPlaceholders;
                if (zero)
                    picture.fractionMin = picture.fractionPlaceholders;
            } else {
                if (zero && firstWholeZero < 0)
                    firstWholeZero = picture.wholePlaceholders;
                ++picture.wholePlaceholders;
            }
        } else if (c == QLatin1Char('.')) {
            // Only the first point counts.
            if (!point && !picture.scientific)
                picture.tokens.push_back({PictureToken::Kind::Point, false, false, {}, false, 0, {}});
            point = true;
        } else if (c == QLatin1Char(',')) {
            // A comma anywhere asks for grouping; where it stands does not matter.
            picture.grouping = true;
        } else if ((c == QLatin1Char('E') || c == QLatin1Char('e')) && !picture.scientific && i + 1 < n
            && (section[i + 1] == QLatin1Char('+') || section[i + 1] == QLatin1Char('-'))) {
            picture.scientific = true;
            PictureToken token{PictureToken::Kind::Exponent, false, false, c, section[i + 1] == QLatin1Char('+'), 0, {}};
            i += 2;
            for (; i < n && (section[i] == QLatin1Char('0') || section[i] == QLatin1Char('#')); ++i)
                token.exponentDigits += section[i] == QLatin1Char('0') ? 1 : 0;
            token.exponentDigits = std::clamp(token.exponentDigits, 1, 4);
            --i;
            picture.tokens.push_back(token);
        } else {
            picture.tokens.push_back({PictureToken::Kind::Literal, false, false, {}, false, 0, QString(c)});
        }
    }
    picture.wholeMin = firstWholeZero < 0 ? 0 : picture.wholePlaceholders - firstWholeZero;
    return picture;
}

struct RenderedSection {
    QString text;
    bool zero = false; // the digits shown are all zero
};

RenderedSection renderPicture(const QString& section, double magnitude, const FormatSettings& regional)
{
    const Picture picture = parsePicture(section);
    const Decimal exact = decimalOf(magnitude);
    std::string whole;
    std::string fraction;
    int exponent = 0;
    Decimal shown;
    if (picture.scientific) {
        const int wholeCount = std::max(picture.wholePlaceholders, 1);
        shown = roundToSignificant(exact, wholeCount + picture.fractionPlaceholders);
        exponent = shown.isZero() ? 0 : shown.point - wholeCount;
        std::string all = shown.digits;
        all.resize(static_cast<std::size_t>(wholeCount + picture.fractionPlaceholders), '0');
        whole = all.substr(0, static_cast<std::size_t>(wholeCount));
        fraction = all.substr(static_cast<std::size_t>(wholeCount));
    } else {
        shown = roundToDecimals(exact, picture.fractionPlaceholders);
        whole = wholeDigits(shown);
        if (static_cast<int>(whole.size()) < picture.wholeMin)
            whole.insert(0, static_cast<std::size_t>(picture.wholeMin) - whole.size(), '0');
        fraction = fractionDigits(shown, picture.fractionPlaceholders);
    }
    while (static_cast<int>(fraction.size()) > picture.fractionMin && fraction.back() == '0')
        fraction.pop_back();

    RenderedSection result;
    result.zero = shown.isZero();
    QString& out = result.text;
    const int length = static_cast<int>(whole.size());
    const bool grouping = picture.grouping && !picture.scientific;
    auto emitWholeDigit = [&](int power) {
        out += QLatin1Char(whole[static_cast<std::size_t>(length - 1 - power)]);
        if (grouping && power > 0 && power % 3 == 0)
            out += regional.thousandSeparator;
    };
    int wholeSeen = 0;
    std::size_t fractionSeen = 0;
    for (const PictureToken& token : picture.tokens) {
        switch (token.kind) {
        case PictureToken::Kind::Digit:
            if (token.fraction) {
                if (fractionSeen < fraction.size())
                    out += QLatin1Char(fraction[fractionSeen]);
                ++fractionSeen;
            } else {
                const int power = picture.wholePlaceholders - 1 - wholeSeen;
                // Digits beyond the placeholders all go where the first one stands.
                if (wholeSeen == 0)
                    for (int p = length - 1; p > power; --p)
                        emitWholeDigit(p);
                if (power < length)
                    emitWholeDigit(power);
                ++wholeSeen;
            }
            break;
        case PictureToken::Kind::Point:
            if (picture.wholePlaceholders == 0)
                for (int p = length - 1; p >= 0; --p)
                    emitWholeDigit(p);
            if (!fraction.empty())
                out += regional.decimalSeparator;
            break;
        case PictureToken::Kind::Exponent:
            out += token.letter;
            if (exponent < 0)
                out += QLatin1Char('-');
            else if (token.plus)
                out += QLatin1Char('+');
            out += unsignedText(magnitudeOf(exponent), token.exponentDigits);
            break;
        case PictureToken::Kind::Literal:
            out += token.text;
            break;
        }
    }
    return result;
}

std::vector<QString> splitSections(const QString& picture)
{
    std::vector<QString> sections(1);
    QChar quote;
    for (const QChar c : picture) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            sections.emplace_back();
            continue;
        }
        sections.back() += c;
    }
    return sections;
}

} // namespace

// Sections "positive;negative;zero". An empty negative section borrows the positive one with a minus
// sign; a value that rounds to zero takes the zero section, or else loses its minus sign.
std::optional<QString> formatPicture(const QString& picture, double value, const FormatSettings& regional)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const std::vector<QString> sections = splitSections(picture);
    auto section = [&](std::size_t k) { return k < sections.size() ? sections[k] : QString(); };
    QString chosen = sections.front();
    bool minus = false;
    if (value < 0) {
        if (section(1).isEmpty())
            minus = true;
        else
            chosen = section(1);
    }
    const RenderedSection rendered = renderPicture(chosen, std::fabs(value), regional);
    if (rendered.zero) {
        if (!section(2).isEmpty())
            return renderPicture(section(2), 0, regional).text;
        minus = false;
    }
    return minus ? QLatin1Char('-') + rendered.text : rendered.text;
}

} // namespace quittung::report
