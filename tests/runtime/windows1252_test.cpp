#include "runtime/windows1252.h"

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

using namespace quittung;

TEST(Windows1252, EveryByteSurvivesARoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = decodeWindows1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0xF6], QChar(0xF6));
    EXPECT_EQ(text[0x81], QChar(0x81));
    EXPECT_EQ(encodeWindows1252(text), all);
}

TEST(Windows1252, CharactersOutsideTheCodePageAreRefused)
{
    EXPECT_EQ(encodeWindows1252(QStringLiteral("Köln €")), QByteArray("K\xF6ln \x80"));
    EXPECT_FALSE(encodeWindows1252(QStringLiteral("Łódź")).has_value());
}
