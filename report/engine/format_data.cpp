#include "report/engine/format_data.h"

#include "report/document/report_options.h"
#include "runtime/decimal_scan.h"
#include "runtime/exception.h"
#include "runtime/number_format.h"
#include "runtime/rounding.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <exception>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quittung::report {

namespace {

// Raised by the formatters below; FormatData shows the plain text of the value instead.
struct FormatFailure : std::exception {
    const char* what() const noexcept override { return "value cannot be formatted"; }
};

QString latin(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString unsignedText(quint64 value, int minDigits = 1, int base = 10)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, base);
    std::string digits(buffer, result.ptr);
    if (static_cast<int>(digits.size()) < minDigits)
        digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
    if (base == 16)
        std::transform(digits.begin(), digits.end(), digits.begin(), [](char c) { return c >= 'a' ? char(c - 'a' + 'A') : c; });
    return latin(digits);
}

quint64 magnitudeOf(qint64 value)
{
    return value < 0 ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
}

QString signedText(qint64 value, int minDigits = 1)
{
    return (value < 0 ? QStringLiteral("-") : QString()) + unsignedText(magnitudeOf(value), minDigits);
}

// ---- Decimal digits of a double -------------------------------------------------------------

// A non-negative number 0.d1d2d3... × 10^point, without leading or trailing zero digits (zero has none).
struct Decimal {
    std::string digits;
    int point = 0;

    bool isZero() const { return digits.empty(); }
};

// The shortest decimal that reads back as the same double. Rounding works on these digits, so 2,675
// is shown as 2,68 although the double lies slightly below: halves are judged on what the user typed
// and sees, not on the binary approximation.
Decimal decimalOf(double magnitude)
{
    DecimalDigits decimal = decimalDigits(magnitude);
    Decimal d;
    d.digits = std::move(decimal.digits);
    d.point = d.digits.empty() ? 0 : decimal.exponent + 1;
    return d;
}

// Keeps the first `keep` digits, rounding halves away from zero.
Decimal keepDigits(Decimal d, long keep)
{
    if (keep < 0)
        return {};
    if (keep >= static_cast<long>(d.digits.size()))
        return d;
    const auto cut = static_cast<std::size_t>(keep);
    const bool up = d.digits[cut] >= '5';
    d.digits.resize(cut);
    if (up) {
        std::size_t i = cut;
        while (i > 0 && d.digits[i - 1] == '9')
            d.digits[--i] = '0';
        if (i == 0) {
            d.digits.insert(0, 1, '1');
            ++d.point;
        } else {
            ++d.digits[i - 1];
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.point = 0;
    return d;
}

Decimal roundToDecimals(const Decimal& d, int decimals)
{
    return keepDigits(d, static_cast<long>(d.point) + decimals);
}

Decimal roundToSignificant(const Decimal& d, int digits)
{
    return keepDigits(d, digits);
}

// The digits before the point; empty below one.
std::string wholeDigits(const Decimal& d)
{
    if (d.point <= 0)
        return {};
    const auto point = static_cast<std::size_t>(d.point);
    std::string whole = d.digits.substr(0, std::min(point, d.digits.size()));
    whole.append(point - whole.size(), '0');
    return whole;
}

std::string fractionDigits(const Decimal& d, int count)
{
    std::string fraction;
    for (int j = 0; j < count; ++j) {
        const long index = static_cast<long>(d.point) + j;
        fraction += index >= 0 && index < static_cast<long>(d.digits.size()) ? d.digits[static_cast<std::size_t>(index)] : '0';
    }
    return fraction;
}

QString grouped(const std::string& whole, QChar separator)
{
    QString text;
    const auto size = whole.size();
    for (std::size_t i = 0; i < size; ++i) {
        text += QLatin1Char(whole[i]);
        const std::size_t power = size - 1 - i;
        if (power > 0 && power % 3 == 0)
            text += separator;
    }
    return text;
}

double requireFinite(double value)
{
    if (!std::isfinite(value))
        throw FormatFailure();
    return value;
}

// ---- printf-style formats --------------------------------------------------------------------

// "-ddd.ddd" with the regional separators; a value that rounds to zero gets no minus sign.
QString fixedText(double value, int decimals, bool grouping, const FormatSettings& regional)
{
    const Decimal d = roundToDecimals(decimalOf(std::fabs(requireFinite(value))), decimals);
    std::string whole = wholeDigits(d);
    if (whole.empty())
        whole.push_back('0');
    QString text;
    if (value < 0 && !d.isZero())
        text += QLatin1Char('-');
    text += grouping ? grouped(whole, regional.thousandSeparator) : latin(whole);
    if (decimals > 0) {
        text += regional.decimalSeparator;
        text += latin(fractionDigits(d, decimals));
    }
    return text;
}

// "-d.dddE+ddd": `digits` significant digits, the exponent with a sign and at least three digits.
QString scientificText(double value, int digits, const FormatSettings& regional)
{
    const Decimal d = roundToSignificant(decimalOf(std::fabs(requireFinite(value))), digits);
    std::string mantissa = d.digits;
    mantissa.append(static_cast<std::size_t>(digits) - mantissa.size(), '0');
    const int exponent = d.isZero() ? 0 : d.point - 1;
    QString text;
    if (value < 0 && !d.isZero())
        text += QLatin1Char('-');
    text += QLatin1Char(mantissa[0]);
    if (digits > 1) {
        text += regional.decimalSeparator;
        text += latin(std::string_view(mantissa).substr(1));
    }
    text += exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
    text += unsignedText(magnitudeOf(exponent), 3);
    return text;
}

using FormatArgument = std::variant<qint64, double>;

// A field is padded to at most this width; "%999999999d" asks for more than any page shows.
constexpr qint64 kMaxFieldWidth = 100000;
// All fields together: more than a whole page holds even at one point, so that "%0:100000d" written
// many times over cannot fill gigabytes. Longer results fail, and the value shows as plain text.
constexpr qsizetype kMaxFormattedLength = qsizetype(1) << 20;

// A printf-style format string: "%" [index ":"] ["-"] [width] ["." precision] type,
// where index, width and precision may be "*" to take them from the arguments. Types d, u and x take
// integers; e, f, g, n and m take floats. Anything else, or an argument of the wrong type, fails.
QString formatPrintf(const QString& pattern, std::span<const FormatArgument> args, const FormatSettings& regional)
{
    QString out;
    std::size_t next = 0;
    const qsizetype n = pattern.size();
    auto takeArgument = [&]() -> const FormatArgument& {
        if (next >= args.size())
            throw FormatFailure();
        return args[next++];
    };
    auto takeInteger = [&]() {
        const auto* value = std::get_if<qint64>(&takeArgument());
        if (!value)
            throw FormatFailure();
        return *value;
    };
    auto readCount = [&](qsizetype& i) -> std::optional<qint64> {
        if (i < n && pattern[i] == QLatin1Char('*')) {
            ++i;
            return std::min(takeInteger(), kMaxFieldWidth);
        }
        if (i >= n || !isDigit(pattern[i]))
            return std::nullopt;
        qint64 count = 0;
        for (; i < n && isDigit(pattern[i]); ++i)
            count = std::min<qint64>(count * 10 + (pattern[i].unicode() - '0'), kMaxFieldWidth);
        return count;
    };

    for (qsizetype i = 0; i < n;) {
        if (pattern[i] != QLatin1Char('%')) {
            out += pattern[i++];
            continue;
        }
        ++i;
        if (i < n && pattern[i] == QLatin1Char('%')) {
            out += pattern[i++];
            continue;
        }
        std::optional<qint64> width = readCount(i);
        if (width && i < n && pattern[i] == QLatin1Char(':')) {
            if (*width < 0)
                throw FormatFailure();
            next = static_cast<std::size_t>(*width);
            width.reset();
            ++i;
        }
        bool leftJustify = false;
        if (!width) {
            if (i < n && pattern[i] == QLatin1Char('-')) {
                leftJustify = true;
                ++i;
            }
            width = readCount(i);
        }
        qint64 precision = -1; // none given
        if (i < n && pattern[i] == QLatin1Char('.')) {
            ++i;
            precision = std::max<qint64>(readCount(i).value_or(0), -1);
        }
        if (i >= n)
            throw FormatFailure();
        const char type = static_cast<char>(pattern[i++].toLower().unicode());
        const FormatArgument& argument = takeArgument();
        const auto* integer = std::get_if<qint64>(&argument);
        const auto* number = std::get_if<double>(&argument);
        auto digitsOr = [&](int fallback, int low, int high) {
            return static_cast<int>(std::clamp<qint64>(precision < 0 ? fallback : precision, low, high));
        };

        QString text;
        switch (type) {
        case 'd':
            if (!integer)
                throw FormatFailure();
            text = signedText(*integer, digitsOr(1, 1, 32));
            break;
        case 'u':
        case 'x':
            if (!integer)
                throw FormatFailure();
            // Negative values show as their 32-bit two's complement, as unsigned integers do.
            text = unsignedText(*integer < 0 ? static_cast<quint32>(*integer) : static_cast<quint64>(*integer),
                digitsOr(1, 1, 32), type == 'x' ? 16 : 10);
            break;
        case 'f':
        case 'n':
        case 'm':
            if (!number)
                throw FormatFailure();
            text = fixedText(*number, digitsOr(2, 0, 18), type != 'f', regional);
            // Receipts are paid in euros, whatever the locale's own currency.
            if (type == 'm')
                text += QStringLiteral(" €");
            break;
        case 'e':
        case 'g':
            if (!number)
                throw FormatFailure();
            text = type == 'e'
                ? scientificText(*number, digitsOr(15, 1, 18), regional)
                : formatGeneral(requireFinite(*number), digitsOr(15, 1, 18), regional.decimalSeparator);
            break;
        default:
            throw FormatFailure();
        }
        const qsizetype padding = std::max<qint64>(width.value_or(0), 0) - text.size();
        if (out.size() + text.size() + std::max<qsizetype>(padding, 0) > kMaxFormattedLength)
            throw FormatFailure();
        if (padding > 0)
            text = leftJustify ? text + QString(padding, QLatin1Char(' ')) : QString(padding, QLatin1Char(' ')) + text;
        out += text;
    }
    return out;
}

// ---- Picture formats -------------------------------------------------------------------------

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

// Sections "positive;negative;zero". An empty negative section borrows the positive one with a minus
// sign; a value that rounds to zero takes the zero section, or else loses its minus sign.
QString formatPicture(const QString& picture, double value, const FormatSettings& regional)
{
    requireFinite(value);
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

// ---- Numbers from values ---------------------------------------------------------------------

std::optional<double> readNumber(const QString& text, const FormatSettings& settings)
{
    try {
        return stringToFloat(text, settings);
    } catch (const ConvertError&) {
        return std::nullopt;
    }
}

// The text without its grouping separators, or a null string when they do not separate groups of
// three digits in the whole part.
QString withoutGrouping(const QString& text, const FormatSettings& regional)
{
    const QChar separator = regional.thousandSeparator;
    if (separator == regional.decimalSeparator || !text.contains(separator))
        return text;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    const qsizetype start = i;
    int group = 0;
    bool firstGroup = true;
    for (; i < n && (isDigit(text[i]) || text[i] == separator); ++i) {
        if (text[i] != separator) {
            ++group;
            continue;
        }
        if (firstGroup ? group < 1 || group > 3 : group != 3)
            return {};
        firstGroup = false;
        group = 0;
    }
    if (firstGroup || group != 3)
        return {};
    qsizetype end = n;
    while (end > i && text[end - 1] == QLatin1Char(' '))
        --end;
    if (text.mid(i, end - i).contains(separator))
        return {};
    QString digits = text.mid(start, i - start);
    digits.remove(separator);
    return text.left(start) + digits + text.mid(i);
}

double requireNumber(const Variant& value, const FormatSettings& regional)
{
    const std::optional<double> number = variantToNumber(value, regional);
    if (!number)
        throw FormatFailure();
    return *number;
}

// Converting to an integer rounds halves to even, as variants convert; the result must fit 32 bits.
qint64 requireInteger(const Variant& value, const FormatSettings& regional)
{
    constexpr qint64 low = std::numeric_limits<qint32>::min();
    constexpr qint64 high = std::numeric_limits<qint32>::max();
    if (value.type() == Variant::Type::Integer) {
        if (value.integerValue() < low || value.integerValue() > high)
            throw FormatFailure();
        return value.integerValue();
    }
    const double number = requireNumber(value, regional);
    if (!(number > double(low) - 1 && number < double(high) + 1))
        throw FormatFailure();
    const qint64 rounded = roundHalfEven(number);
    if (rounded < low || rounded > high)
        throw FormatFailure();
    return rounded;
}

QString formatNumeric(const Variant& value, const QString& pattern, const FormatSettings& regional)
{
    if (pattern.contains(QLatin1Char('#')) || pattern.startsWith(QLatin1Char('0')))
        return formatPicture(pattern, requireNumber(value, regional), regional);
    const FormatArgument argument = pattern.contains(QLatin1Char('d')) || pattern.contains(QLatin1Char('u'))
        ? FormatArgument(requireInteger(value, regional))
        : FormatArgument(requireNumber(value, regional));
    return formatPrintf(pattern, std::span(&argument, 1), regional);
}

// The format's own separators replace the regional ones; the decimal separator is found before the
// thousands separators change, in case the format swaps the two.
QString applyFormatSeparators(QString text, const DisplayFormat& format, const FormatSettings& regional)
{
    const QString& decimal = format.decimalSeparator();
    const QString& thousand = format.thousandSeparator();
    qsizetype decimalAt = -1;
    if (decimal.size() == 1 && decimal[0] != regional.decimalSeparator)
        decimalAt = text.lastIndexOf(regional.decimalSeparator);
    if (thousand.size() == 1 && thousand[0] != regional.thousandSeparator)
        text.replace(regional.thousandSeparator, thousand[0]);
    if (decimalAt >= 0)
        text[decimalAt] = decimal[0];
    return text;
}

// ---- Date-times ------------------------------------------------------------------------------

QString twoDigits(int value)
{
    return unsignedText(static_cast<quint64>(value), 2);
}

QString timeText(const QTime& time, bool seconds)
{
    QString text = twoDigits(time.hour()) + QLatin1Char(':') + twoDigits(time.minute());
    if (seconds)
        text += QLatin1Char(':') + twoDigits(time.second());
    return text;
}

bool isMidnight(const QTime& time)
{
    return time.msecsSinceStartOfDay() == 0;
}

QString dateTimeText(const QDateTime& dateTime, const FormatSettings& regional)
{
    QString text = regional.formatShortDate(dateTime.date());
    if (!isMidnight(dateTime.time()))
        text += QLatin1Char(' ') + timeText(dateTime.time(), true);
    return text;
}

QChar dateSeparator(const FormatSettings& regional)
{
    for (const QChar c : regional.shortDateFormat)
        if (!c.isLetter() && c != QLatin1Char('\''))
            return c;
    return QLatin1Char('/');
}

// Whether an "h" at `from` shows a 12-hour clock: an "am/pm", "a/p" or "ampm" follows before the
// next "h".
bool twelveHourClock(const QString& format, qsizetype from)
{
    QChar quote;
    for (qsizetype i = from; i < format.size(); ++i) {
        const QChar c = format[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('h') || c == QLatin1Char('H')) {
            return false;
        } else if (c == QLatin1Char('a') || c == QLatin1Char('A')) {
            const QStringView rest = QStringView(format).mid(i);
            return rest.startsWith(u"am/pm", Qt::CaseInsensitive) || rest.startsWith(u"a/p", Qt::CaseInsensitive)
                || rest.startsWith(u"ampm", Qt::CaseInsensitive);
        }
    }
    return false;
}

// `nested` is set while the long date picture is written, which must not call itself.
QString formatDateTime(const QString& givenFormat, const QDateTime& dateTime, const FormatSettings& regional,
    bool nested = false)
{
    const QString format = givenFormat.isEmpty() ? QStringLiteral("c") : givenFormat;
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    const auto monthIndex = static_cast<std::size_t>(date.month() - 1);
    const auto dayIndex = static_cast<std::size_t>(date.dayOfWeek() - 1);
    QString out;
    QChar lastToken;
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            qsizetype close = format.indexOf(c, i + 1);
            if (close < 0)
                close = n;
            out += format.mid(i + 1, close - i - 1);
            i = close + 1;
            continue;
        }
        if (c == QLatin1Char('/')) {
            out += dateSeparator(regional);
            ++i;
            continue;
        }
        const QChar token = c.toUpper();
        if (token == QLatin1Char('A')) {
            const QStringView rest = QStringView(format).mid(i);
            const bool pm = time.hour() >= 12;
            if (rest.startsWith(u"am/pm", Qt::CaseInsensitive)) {
                out += rest.mid(pm ? 3 : 0, 2);
                i += 5;
            } else if (rest.startsWith(u"a/p", Qt::CaseInsensitive)) {
                out += rest[pm ? 2 : 0];
                i += 3;
            } else if (rest.startsWith(u"ampm", Qt::CaseInsensitive)) {
                out += pm ? QStringLiteral("PM") : QStringLiteral("AM");
                i += 4;
            } else {
                out += c;
                ++i;
            }
            continue;
        }
        qsizetype count = 1;
        while (i + count < n && format[i + count] == c)
            ++count;
        const auto digits = [](qsizetype runLength) { return runLength >= 2 ? 2 : 1; };
        switch (token.unicode()) {
        case 'Y':
            out += count <= 2 ? twoDigits(date.year() % 100) : signedText(date.year(), 4);
            break;
        case 'M':
            // "m" right after an hour means minutes: "hh:mm".
            if (count <= 2 && lastToken == QLatin1Char('H'))
                out += unsignedText(static_cast<quint64>(time.minute()), digits(count));
            else if (count <= 2)
                out += unsignedText(static_cast<quint64>(date.month()), digits(count));
            else if (count == 3)
                out += regional.shortMonthNames.at(monthIndex);
            else
                out += regional.longMonthNames.at(monthIndex);
            break;
        case 'D':
            if (count <= 2)
                out += unsignedText(static_cast<quint64>(date.day()), digits(count));
            else if (count == 3)
                out += regional.shortDayNames.at(dayIndex);
            else if (count == 4)
                out += regional.longDayNames.at(dayIndex);
            else if (count == 5 || nested)
                out += regional.formatShortDate(date);
            else
                out += formatDateTime(regional.longDateFormat, dateTime, regional, true);
            break;
        case 'H': {
            int hour = time.hour();
            if (twelveHourClock(format, i + count))
                hour = hour == 0 ? 12 : hour > 12 ? hour - 12 : hour;
            out += unsignedText(static_cast<quint64>(hour), digits(count));
            break;
        }
        case 'N':
            out += unsignedText(static_cast<quint64>(time.minute()), digits(count));
            break;
        case 'S':
            out += unsignedText(static_cast<quint64>(time.second()), digits(count));
            break;
        case 'Z':
            out += unsignedText(static_cast<quint64>(time.msec()), count >= 3 ? 3 : 1);
            break;
        case 'T':
            out += timeText(time, count >= 2);
            break;
        case 'C':
            out += dateTimeText(dateTime, regional);
            break;
        default:
            out += c;
            ++i;
            continue;
        }
        lastToken = token;
        i += count;
    }
    return out;
}

std::optional<QDate> parseDate(const QString& text, const FormatSettings& regional)
{
    const QStringList parts = text.split(dateSeparator(regional));
    if (parts.size() != 3)
        return std::nullopt;
    // The order of day, month and year follows the short date format.
    struct Field {
        qsizetype position;
        char name;
    };
    std::vector<Field> fields{{regional.shortDateFormat.indexOf(QLatin1Char('d')), 'd'},
        {regional.shortDateFormat.indexOf(QLatin1Char('M')), 'M'}, {regional.shortDateFormat.indexOf(QLatin1Char('y')), 'y'}};
    if (std::any_of(fields.begin(), fields.end(), [](const Field& f) { return f.position < 0; }))
        fields = {{0, 'd'}, {1, 'M'}, {2, 'y'}};
    std::stable_sort(fields.begin(), fields.end(), [](const Field& a, const Field& b) { return a.position < b.position; });
    int day = 0;
    int month = 0;
    int year = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        const QString& part = parts[static_cast<qsizetype>(k)];
        if (part.isEmpty() || part.size() > 4 || !std::all_of(part.begin(), part.end(), isDigit))
            return std::nullopt;
        const int number = part.toInt();
        switch (fields[k].name) {
        case 'd': day = number; break;
        case 'M': month = number; break;
        default:
            // Two-digit years: 00-49 in this century, 50-99 in the last.
            year = part.size() <= 2 ? number + (number < 50 ? 2000 : 1900) : number;
            break;
        }
    }
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QTime> parseTime(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    int fields[3] = {0, 0, 0};
    for (qsizetype k = 0; k < parts.size(); ++k) {
        const QString& part = parts[k];
        if (part.isEmpty() || part.size() > 2 || !std::all_of(part.begin(), part.end(), isDigit))
            return std::nullopt;
        fields[k] = part.toInt();
    }
    const QTime time(fields[0], fields[1], fields[2]);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

// A date in the regional short date format, a time "h:mm[:ss]", or both separated by blanks; a time
// alone falls on day zero.
std::optional<QDateTime> parseDateTime(const QString& text, const FormatSettings& regional)
{
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.size() > 2)
        return std::nullopt;
    QDate date(1899, 12, 30);
    QTime time(0, 0);
    qsizetype k = 0;
    if (!parts[0].contains(QLatin1Char(':'))) {
        const auto parsed = parseDate(parts[0], regional);
        if (!parsed)
            return std::nullopt;
        date = *parsed;
        ++k;
    }
    if (k < parts.size()) {
        const auto parsed = parseTime(parts[k]);
        if (!parsed)
            return std::nullopt;
        time = *parsed;
        ++k;
    }
    if (k != parts.size())
        return std::nullopt;
    return QDateTime(date, time);
}

QDateTime requireDateTime(const Variant& value, const FormatSettings& regional)
{
    switch (value.type()) {
    case Variant::Type::DateTime:
        if (value.dateTimeValue().date().isValid())
            return value.dateTimeValue();
        break;
    case Variant::Type::Integer:
    case Variant::Type::Float:
    case Variant::Type::Currency: {
        // 1 January 1 to 31 December 9999.
        const double days = requireNumber(value, regional);
        if (days >= -693593.0 && days < 2958466.0)
            return daysToDateTime(days);
        break;
    }
    case Variant::Type::String:
        if (auto parsed = parseDateTime(value.stringValue(), regional))
            return *parsed;
        break;
    default:
        break;
    }
    throw FormatFailure();
}

bool equalsTrue(const Variant& value, const FormatSettings& regional)
{
    switch (value.type()) {
    case Variant::Type::Boolean:
        return value.booleanValue();
    case Variant::Type::Integer:
    case Variant::Type::Float:
    case Variant::Type::Currency:
        return requireNumber(value, regional) != 0;
    case Variant::Type::String: {
        if (value.stringValue().trimmed().compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        const auto number = variantToNumber(value, regional);
        return number && *number != 0;
    }
    default:
        return false;
    }
}

// "yes,no" split at the first comma; without a comma true shows nothing and false the whole text.
QString formatBoolean(const Variant& value, const QString& pattern, const FormatSettings& regional)
{
    const qsizetype comma = pattern.indexOf(QLatin1Char(','));
    if (equalsTrue(value, regional))
        return comma < 0 ? QString() : pattern.left(comma);
    return pattern.mid(comma + 1);
}

QString currencyText(Variant::Currency amount, const FormatSettings& regional)
{
    const quint64 magnitude = magnitudeOf(amount.tenThousandths);
    QString text = (amount.tenThousandths < 0 ? QStringLiteral("-") : QString()) + unsignedText(magnitude / 10000);
    QString fraction = unsignedText(magnitude % 10000, 4);
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += regional.decimalSeparator + fraction;
    return text;
}

} // namespace

QString variantToText(const Variant& value, const FormatSettings& regional)
{
    switch (value.type()) {
    case Variant::Type::Empty:
    case Variant::Type::Null:
        return {};
    case Variant::Type::Integer:
        return signedText(value.integerValue());
    case Variant::Type::Float:
        return floatToString(value.floatValue(), regional);
    case Variant::Type::Currency:
        return currencyText(value.currencyValue(), regional);
    case Variant::Type::Boolean:
        return value.booleanValue() ? QStringLiteral("True") : QStringLiteral("False");
    case Variant::Type::DateTime:
        return dateTimeText(value.dateTimeValue(), regional);
    case Variant::Type::String:
        return value.stringValue();
    }
    return {};
}

std::optional<double> variantToNumber(const Variant& value, const FormatSettings& regional)
{
    switch (value.type()) {
    case Variant::Type::Integer:
        return static_cast<double>(value.integerValue());
    case Variant::Type::Float:
        return value.floatValue();
    case Variant::Type::Currency:
        return static_cast<double>(value.currencyValue().tenThousandths) / 10000.0;
    case Variant::Type::String: {
        const QString& text = value.stringValue();
        const QString plain = withoutGrouping(text, regional);
        if (!plain.isNull())
            if (const auto number = readNumber(plain, regional))
                return number;
        FormatSettings point = regional;
        point.decimalSeparator = QLatin1Char('.');
        return readNumber(text, point);
    }
    default:
        return std::nullopt;
    }
}

QString formatData(const Variant& value, const DisplayFormat& format, const FormatSettings& regional)
{
    if (value.isNull())
        return {};
    try {
        switch (format.kind()) {
        case FormatKind::Text:
            break;
        case FormatKind::Numeric:
            return applyFormatSeparators(formatNumeric(value, format.formatStr(), regional), format, regional);
        case FormatKind::DateTime:
            return formatDateTime(format.formatStr(), requireDateTime(value, regional), regional);
        case FormatKind::Boolean:
            return formatBoolean(value, format.formatStr(), regional);
        }
    } catch (const std::exception&) {
        // Shown as plain text below.
    }
    return variantToText(value, regional);
}

} // namespace quittung::report
