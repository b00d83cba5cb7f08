#include "runtime/exception.h"
#include "runtime/messages.h"

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace quittung;

TEST(Messages, PlaceholdersAreFilledInOrder)
{
    EXPECT_EQ(formatMessage(msg::SInvalidFloat, {QStringLiteral("1.000,50")}),
        QStringLiteral("'1.000,50' ist kein gültiger Gleitkommawert"));
    EXPECT_EQ(formatMessage(msg::SListIndexError, {QStringLiteral("2")}),
        QStringLiteral("Listenindex überschreitet das Maximum (2)"));
    EXPECT_EQ(formatMessage(msg::SFCreateErrorEx, {QStringLiteral("a.jpg"), QStringLiteral("Zugriff verweigert")}),
        QStringLiteral("Datei \"a.jpg\" kann nicht erstellt werden. Zugriff verweigert"));
    // An argument that itself holds "%s" is not expanded again.
    EXPECT_EQ(formatMessage("%s und %s", {QStringLiteral("%s"), QStringLiteral("x")}), QStringLiteral("%s und x"));
    EXPECT_EQ(formatMessage("100%% von %s", {}), QStringLiteral("100% von %s"));
}

TEST(Messages, DisplayTextGetsAFullStopOnlyAfterCharactersAboveIt)
{
    const struct {
        const char* message;
        const char* shown;
    } rows[] = {
        {"'x' ist kein gültiger Integerwert", "'x' ist kein gültiger Integerwert."},
        {"Listenindex überschreitet das Maximum (2)", "Listenindex überschreitet das Maximum (2)"},
        {"Fest eingestellt!", "Fest eingestellt!"},
        {"Schon ein Punkt.", "Schon ein Punkt."},
        {"Zahl 5", "Zahl 5."},
        {"Umlaut ü", "Umlaut ü."},
        {"", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(messageForDisplay(QString::fromUtf8(row.message)), QString::fromUtf8(row.shown)) << row.message;
}

TEST(Messages, ExceptionsCarryTheirTextForTheUser)
{
    EXPECT_EQ(exceptionMessage(IntegerOverflowError()), QStringLiteral("Integerüberlauf"));
    EXPECT_EQ(exceptionMessage(std::runtime_error("plain")), QStringLiteral("plain"));
    EXPECT_STREQ(ConvertError(QStringLiteral("ä")).what(), "ä");
}
