#include "settings/ini_file_content.h"

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

namespace quittung::settings {
namespace {

using namespace Qt::StringLiterals;

struct TextCase {
    const char* name;
    QString text;
    QString written;
};

void PrintTo(const TextCase& row, std::ostream* out)
{
    *out << row.name;
}

class SettingsIniText : public ::testing::TestWithParam<TextCase> {};

TEST_P(SettingsIniText, ReadsAndWritesBackNormalised)
{
    IniFileContent ini;
    ini.setText(GetParam().text);
    EXPECT_EQ(ini.getText(), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SettingsIniText,
    ::testing::Values(
        TextCase{"Empty", u""_s, u""_s},
        TextCase{"CommentsAndBlankLinesSkipped",
                 u"[A]\r\n;k=1\r\n\r\n \t \r\n  ;x\r\nk=2\r\n"_s,
                 u"[A]\r\nk=2\r\n\r\n"_s},
        TextCase{"LinesBeforeFirstSectionDropped",
                 u"k=1\r\nfree\r\n[A]\r\nb=2\r\n"_s,
                 u"[A]\r\nb=2\r\n\r\n"_s},
        TextCase{"NamesAndValuesTrimmedAndSplitAtFirstEquals",
                 u"  [ A b ]  \r\n\x01 k  =  v = w \x1f\r\n=x\r\n"_s,
                 u"[A b]\r\nk=v = w\r\n=x\r\n\r\n"_s},
        // Only codes up to the space are trimmed, not every Unicode blank.
        TextCase{"NoBreakSpaceKept",
                 u"[A]\r\nk=\u00A0v\u00A0\r\n"_s,
                 u"[A]\r\nk=\u00A0v\u00A0\r\n\r\n"_s},
        TextCase{"LineWithoutEqualsKept",
                 u"[A]\r\n  free text  \r\n[not a section\r\n"_s,
                 u"[A]\r\nfree text\r\n[not a section\r\n\r\n"_s},
        TextCase{"AnyLineEnd",
                 u"[A]\ra=1\nb=2\r\nc=3\n\rd=4"_s,
                 u"[A]\r\na=1\r\nb=2\r\nc=3\r\nd=4\r\n\r\n"_s},
        TextCase{"RepeatedAndEmptySectionsKept",
                 u"[A]\r\n[B]\r\nk=1\r\n[a]\r\nk=2\r\n"_s,
                 u"[A]\r\n\r\n[B]\r\nk=1\r\n\r\n[a]\r\nk=2\r\n\r\n"_s}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(SettingsIniLookup, MatchesWithoutCaseAndFindsFirst)
{
    IniFileContent ini;
    ini.setText(u"[Telvo]\r\nqid=1\r\nQID=2\r\nfree\r\n[TELVO]\r\nother=3\r\n"_s);

    EXPECT_EQ(ini.readString(u"TELVO"_s, u"Qid"_s, u"d"_s), u"1"_s);
    EXPECT_TRUE(ini.sectionExists(u"telvo"_s));
    // The second [TELVO] is a section of its own that lookups never reach.
    EXPECT_FALSE(ini.valueExists(u"Telvo"_s, u"other"_s));
    EXPECT_FALSE(ini.valueExists(u"Telvo"_s, u"free"_s));
    EXPECT_EQ(ini.readString(u"Telvo"_s, u"missing"_s, u"d"_s), u"d"_s);
    EXPECT_EQ(ini.readString(u"Nowhere"_s, u"qid"_s, u"d"_s), u"d"_s);
}

TEST(SettingsIniLookup, WritesReplaceInPlaceOrAppend)
{
    IniFileContent ini;
    ini.setText(u"[A]\r\nx=1\r\nkey=2\r\nkey=3\r\n[B]\r\nz=4\r\n[a]\r\nkey=5\r\n"_s);

    ini.writeString(u"a"_s, u"KEY"_s, u"9"_s);
    ini.writeString(u"A"_s, u"new"_s, u" spaced "_s);
    ini.writeString(u"C"_s, u"c"_s, u"1"_s);

    EXPECT_EQ(ini.getText(), u"[A]\r\nx=1\r\nKEY=9\r\nkey=3\r\nnew= spaced \r\n\r\n"
                             u"[B]\r\nz=4\r\n\r\n"
                             u"[a]\r\nkey=5\r\n\r\n"
                             u"[C]\r\nc=1\r\n\r\n"_s);
    EXPECT_EQ(ini.readString(u"A"_s, u"NEW"_s, QString()), u" spaced "_s);
}

} // namespace
} // namespace quittung::settings
