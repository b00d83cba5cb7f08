#include "runtime/byte_reader.h"
#include "runtime/exception.h"

#include <gtest/gtest.h>

#include <functional>

using namespace quittung;

namespace {

TEST(ByteReaderTest, ReadsBigEndianInsideTheWindow)
{
    const QByteArray data = QByteArray::fromHex("00112233fffe8001");
    const ByteReader whole(data);
    EXPECT_EQ(whole.u8(1), 0x11);
    EXPECT_EQ(whole.u16(0), 0x0011);
    EXPECT_EQ(whole.s16(4), -2);
    EXPECT_EQ(whole.u32(4), 0xFFFE8001u);
    EXPECT_EQ(whole.u32le(4), 0x0180FEFFu);
    const ByteReader window = whole.sub(2, 4);
    EXPECT_EQ(window.size(), 4);
    EXPECT_EQ(window.u32(0), 0x2233FFFEu);
    EXPECT_EQ(window.bytes(1, 2), QByteArray::fromHex("33ff"));
}

TEST(ByteReaderTest, EveryReadPastTheEndThrows)
{
    const QByteArray data = QByteArray::fromHex("00112233fffe8001");
    const ByteReader window = ByteReader(data).sub(2, 4);
    const struct {
        const char* name;
        std::function<void()> read;
    } cases[] = {
        {"u8 at end", [&] { (void)window.u8(4); }},
        {"u16 straddling", [&] { (void)window.u16(3); }},
        {"u32 straddling", [&] { (void)window.u32(1); }},
        {"little-endian u32 straddling", [&] { (void)window.u32le(2); }},
        {"negative offset", [&] { (void)window.u8(-1); }},
        {"bytes too long", [&] { (void)window.bytes(2, 3); }},
        {"negative count", [&] { (void)window.bytes(0, -1); }},
        {"sub beyond", [&] { (void)window.sub(1, 4); }},
        {"window beyond", [&] { (void)ByteReader(data, 6, 3); }},
        {"empty buffer", [&] { (void)ByteReader(QByteArray()).u8(0); }},
        {"put beyond", [&] { QByteArray b(3, '\0'); putU32(b, 0, 1); }},
    };
    for (const auto& c : cases) {
        try {
            c.read();
            ADD_FAILURE() << c.name << ": no error";
        } catch (const ReadError&) {
        }
    }
}

} // namespace
