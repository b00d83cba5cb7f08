// The HTML-like tags of text objects and the character styles they give.

#include "report/engine/text/html_tags.h"

#include <QStringView>

#include <optional>

namespace quittung::report {

namespace {

std::optional<Color> htmlColor(QString value)
{
    value = value.trimmed();
    if (value.startsWith(u'"')) {
        const qsizetype close = value.indexOf(u'"', 1);
        value = value.mid(1, close < 0 ? -1 : close - 1).trimmed();
    }
    if (value.startsWith(u'#')) {
        bool ok = false;
        const uint rgb = value.mid(1, 6).toUInt(&ok, 16);
        if (!ok || value.size() < 7)
            return std::nullopt;
        return Color((rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16);
    }
    struct Named {
        const char16_t* name;
        Color color;
    };
    static constexpr Named names[] = {{u"black", 0x000000}, {u"maroon", 0x000080}, {u"green", 0x008000},
        {u"olive", 0x008080}, {u"navy", 0x800000}, {u"purple", 0x800080}, {u"teal", 0x808000}, {u"gray", 0x808080},
        {u"silver", 0xC0C0C0}, {u"red", 0x0000FF}, {u"lime", 0x00FF00}, {u"yellow", 0x00FFFF}, {u"blue", 0xFF0000},
        {u"fuchsia", 0xFF00FF}, {u"aqua", 0xFFFF00}, {u"white", 0xFFFFFF}, {u"ltgray", 0xC0C0C0},
        {u"dkgray", 0x808080}, {u"moneygreen", 0xC0DCC0}, {u"skyblue", 0xF0CAA6}, {u"cream", 0xF0FBFF},
        {u"medgray", 0xA4A0A0}};
    for (const Named& named : names) {
        if (value.compare(QStringView(named.name), Qt::CaseInsensitive) == 0)
            return named.color;
    }
    return std::nullopt;
}

using CharStyle = TextLayout::CharStyle;

// Applies one tag to the running style; false for text that only looks like a tag.
bool applyTag(QStringView tag, CharStyle& style, const CharStyle& base)
{
    const QString t = tag.trimmed().toString().toLower();
    using CharFlag = TextLayout::CharFlag;
    struct Toggle {
        const char16_t* name;
        FontStyles fontStyle;
        TextLayout::CharFlags flags;
    };
    static constexpr Toggle toggles[] = {{u"b", FontStyle::Bold, {}}, {u"i", FontStyle::Italic, {}},
        {u"u", FontStyle::Underline, {}}, {u"strike", FontStyle::StrikeOut, {}}, {u"nowrap", {}, CharFlag::NoWrap}};
    for (const Toggle& toggle : toggles) {
        if (t == QStringView(toggle.name)) {
            style.fontStyle |= toggle.fontStyle;
            style.flags |= toggle.flags;
            return true;
        }
        if (t.startsWith(u'/') && QStringView(t).mid(1) == QStringView(toggle.name)) {
            style.fontStyle &= ~toggle.fontStyle;
            style.flags &= ~toggle.flags;
            return true;
        }
    }
    if (t == u"sub" || t == u"sup") {
        style.flags &= ~(CharFlag::Sub | CharFlag::Sup);
        style.flags |= t == u"sub" ? CharFlag::Sub : CharFlag::Sup;
        return true;
    }
    if (t == u"/sub" || t == u"/sup") {
        style.flags &= ~(CharFlag::Sub | CharFlag::Sup);
        return true;
    }
    if (t == u"/font") {
        style.color = base.color;
        return true;
    }
    if (t.startsWith(u"font") && t.size() > 4 && t[4].isSpace()) {
        const QString rest = t.mid(4).trimmed();
        if (!rest.startsWith(u"color"))
            return false;
        const qsizetype equals = rest.indexOf(u'=');
        if (equals < 0)
            return false;
        if (const auto color = htmlColor(tag.toString().mid(tag.toString().indexOf(u'=') + 1)))
            style.color = *color;
        return true;
    }
    return false;
}

} // namespace

// The tags are a few characters long, a font colour a few dozen; longer text between '<' and '>' is
// no tag, and is not copied again for every '<' before it.
constexpr qsizetype MaxTagLength = 256;

// Removes the tags of one source line and gives every remaining character its style.
void parseHtml(const QString& line, CharStyle& style, const CharStyle& base, QString& text,
    std::vector<CharStyle>& styles)
{
    text.clear();
    styles.clear();
    // The first '>' after the last '<' looked at, found again only once passed: a line of many '<'
    // and no '>' would otherwise be searched to its end once per '<'.
    qsizetype close = 0;
    for (qsizetype i = 0; i < line.size();) {
        if (line[i] == u'<') {
            if (close >= 0 && close <= i)
                close = line.indexOf(u'>', i + 1);
            if (close > 0 && close - i - 1 <= MaxTagLength
                && applyTag(QStringView(line).mid(i + 1, close - i - 1), style, base)) {
                i = close + 1;
                continue;
            }
        }
        text.append(line[i]);
        styles.push_back(style);
        ++i;
    }
    if (text.isEmpty()) {
        text = QStringLiteral(" ");
        styles.push_back(style);
    }
}

} // namespace quittung::report
