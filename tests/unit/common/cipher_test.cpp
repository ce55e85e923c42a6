#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "common/Cipher.h"
#include "common/Text.h"

namespace {

// The inverse of DecipherText: the running key advances with each
// enciphered byte, exactly as deciphering sees it.
std::string Encipher(const std::string& plain, std::uint16_t key) {
    std::string stored(plain.size(), '\0');
    std::uint16_t running = key;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const auto e = static_cast<unsigned char>(static_cast<unsigned char>(plain[i]) ^ (running >> 8));
        stored[i] = static_cast<char>(e);
        running = static_cast<std::uint16_t>((running + e) * 52845u + 11719u);
    }
    return stored;
}

std::string AllByteValues() {
    std::string bytes;
    for (int i = 0; i < 255; ++i) bytes += static_cast<char>(255 - i);
    return bytes;
}

TEST(DecipherText, UndoesEncipheringForAnyBytes) {
    struct Case {
        const char* name;
        std::string plain;
        std::uint16_t key;
    };
    const Case cases[] = {
        {"empty", "", 8413},
        {"text", "Fee table 134", 8413},
        {"zero bytes inside", std::string("a\0b\0", 4), 1},
        {"255 bytes of every value", AllByteValues(), 0xFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string stored = Encipher(c.plain, c.key);
        ASSERT_EQ(stored.size(), c.plain.size());
        EXPECT_EQ(DecipherText(stored, c.key), c.plain);
    }
}

TEST(DecipherText, AdvancesTheKeyWithTheStoredByte) {
    // Worked by hand with key 0x1234: byte 0 is 0x41 ^ 0x12 = 0x53; the key
    // becomes ((0x1234 + 0x41) * 52845 + 11719) mod 65536 = 0x2F98, so
    // byte 1 is 0x42 ^ 0x2F = 0x6D. Advancing with the result byte 0x53
    // instead would give 0x42 ^ 0xB3 = 0xF1.
    EXPECT_EQ(DecipherText("\x41\x42", 0x1234), "\x53\x6D");
}

TEST(DecipherText, ChangingOneStoredByteLeavesTheBytesBeforeItAlone) {
    const std::string stored = Encipher("ABCDEFGH", 8413);
    std::string damaged = stored;
    damaged[4] = static_cast<char>(damaged[4] ^ 0x01);
    const std::string good = DecipherText(stored, 8413);
    const std::string bad = DecipherText(damaged, 8413);
    EXPECT_EQ(bad.substr(0, 4), good.substr(0, 4));
    EXPECT_NE(bad[4], good[4]);
    EXPECT_EQ(DecipherText(stored, 8413), good);  // no state between calls
}

TEST(DecipherText, KeyWithZeroHighByteLeavesTheFirstByte) {
    EXPECT_EQ(DecipherText("Q", 0x00FF), "Q");
}

TEST(DatabasePassword, IsFivePrintableCharactersNotStoredInPlain) {
    const std::string password = DatabasePassword();
    ASSERT_EQ(password.size(), 5u);
    for (char c : password) {
        EXPECT_GT(static_cast<unsigned char>(c), 32);
        EXPECT_LT(static_cast<unsigned char>(c), 127);
    }
    // Enciphering it back gives bytes other than the password itself.
    EXPECT_NE(Encipher(password, 8413), password);
}

TEST(DatabasePassword, SurvivesUpperCasingSoAVolumeLabelCanHoldIt) {
    // Drive C:'s label is read upper-cased before it is searched for the
    // password; a password with small letters could never be found.
    EXPECT_EQ(AnsiUpperCase(DatabasePassword()), DatabasePassword());
}

}  // namespace
