// The table cipher against the vectors of paradox-format.md section 8.6,
// which were taken from pxlib.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/paradox_cipher.h"

namespace {

struct KeyCase {
    const char* password;
    std::uint32_t key;
};

class PasswordKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(PasswordKeyTest, GivesThePxlibChecksum) {
    EXPECT_EQ(GetParam().key, engine::PasswordKey(GetParam().password)) << GetParam().password;
}

INSTANTIATE_TEST_SUITE_P(Vectors, PasswordKeyTest,
                         ::testing::Values(KeyCase{"a", 0x35FFEEAB}, KeyCase{"A", 0x2B0496B0},
                                           KeyCase{"aa", 0x79E4EEAB}, KeyCase{"secret", 0x6E25449A},
                                           KeyCase{"SECRET", 0xD7FB4EE3},
                                           KeyCase{"password", 0x73BC0DF9},
                                           KeyCase{"Paradox7", 0xCE2EC669},
                                           KeyCase{"xxxxxxxxxxxxxxx", 0x2146B221}));

TEST(PasswordKey, EmptyPasswordMeansNotProtected) { EXPECT_EQ(0u, engine::PasswordKey("")); }

TEST(BlockCipher, TransformOfZeroChunkMatchesReference) {
    // 256 zero bytes, key 0x6E25449A (a = 0x9A, b = 0x44), chunk 1 of block 2.
    std::vector<unsigned char> block(1024, 0);
    engine::EncipherBlock(block.data(), block.size(), 0x6E25449A, 2);
    const unsigned char expected[16] = {0x60, 0x7A, 0x8E, 0x31, 0x07, 0x94, 0xB9, 0x4C,
                                        0xC3, 0xFB, 0x4B, 0xBF, 0x28, 0x08, 0x02, 0x66};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(expected[i], block[256 + i]) << i;
}

TEST(BlockCipher, TransformOfZeroChunkWithZeroKey) {
    // 256 zero bytes with a = b = c = 0, n = 1: chunk 0 of block 1, key 0
    // in its low 16 bits (only the low word matters), but a non-zero key.
    std::vector<unsigned char> block(1024, 0);
    engine::EncipherBlock(block.data(), block.size(), 0x00010000, 1);
    const unsigned char expected[16] = {0xA2, 0xCD, 0x76, 0x77, 0xAD, 0x4A, 0x5A, 0xFC,
                                        0x41, 0x50, 0x3F, 0x24, 0xA6, 0x8D, 0x71, 0x52};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(expected[i], block[i]) << i;
}

TEST(BlockCipher, DeciphersWhatItEnciphersForEveryBlockSize) {
    std::mt19937 random(7);
    for (int kib : {1, 2, 4, 8, 16, 32}) {
        std::vector<unsigned char> block(static_cast<std::size_t>(kib) * 1024);
        for (auto& b : block) b = static_cast<unsigned char>(random());
        const std::vector<unsigned char> original(block);
        for (std::uint32_t n : {1u, 2u, 255u, 256u, 257u, 520u}) {
            engine::EncipherBlock(block.data(), block.size(), 0xCE2EC669, n);
            EXPECT_NE(original, block);
            engine::DecipherBlock(block.data(), block.size(), 0xCE2EC669, n);
            EXPECT_EQ(original, block) << kib << " KiB, block " << n;
        }
    }
}

TEST(BlockCipher, OnePlaintextByteChangesOneCipherByteAtItsPosition) {
    std::vector<unsigned char> a(1024, 0x11), b(a);
    b[3] = 0x12;
    engine::EncipherBlock(a.data(), a.size(), 0x1234, 5);
    engine::EncipherBlock(b.data(), b.size(), 0x1234, 5);
    int differing = 0;
    for (std::size_t i = 0; i < a.size(); ++i) differing += a[i] != b[i];
    EXPECT_EQ(1, differing);
    EXPECT_NE(a[engine::CipherPosition(3, 5)], b[engine::CipherPosition(3, 5)]);
}

}  // namespace
