// Decoding of the typed reads over a scripted game memory.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "fakes/fakes.h"
#include "process/game_memory.h"

namespace {

constexpr int32_t kGame = 900;

class GameMemoryReads : public ::testing::Test {
 protected:
  void SetUp() override {
    resetFakeGameMemory();
    fakeGameMemory().pid = kGame;
  }
  static void pokeBytes(uint32_t address, const std::vector<uint8_t>& bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) fakeGameMemory().bytes[address + i] = bytes[i];
  }
};

uint32_t bitsOf(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

TEST_F(GameMemoryReads, Int64TakesTheLowHalfFirst) {
  pokeBytes(0x1000, {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80});
  EXPECT_EQ(static_cast<uint64_t>(readInt64(kGame, 0x1000)), 0x8000000000000001ull);
  pokeBytes(0x2000, {0x78, 0x56, 0x34, 0x12, 0xF0, 0xDE, 0xBC, 0x9A});
  EXPECT_EQ(static_cast<uint64_t>(readInt64(kGame, 0x2000)), 0x9ABCDEF012345678ull);
  EXPECT_EQ(readInt32(kGame, 0x2000), 0x12345678);
  EXPECT_EQ(readInt32(kGame, 0x2004), static_cast<int32_t>(0x9ABCDEF0));
  // One read of the whole width per value.
  EXPECT_EQ(fakeGameMemory().reads.front(), (FakeRead{0x1000, 8}));
}

TEST_F(GameMemoryReads, FloatBitPatternsArriveUnchanged) {
  const uint32_t patterns[] = {
      0x7FC00001,  // quiet NaN with a payload
      0x7F800001,  // signalling NaN
      0xFFC00000,  // negative quiet NaN
      0x7F800000,  // +infinity
      0xFF800000,  // -infinity
      0x00000001,  // smallest denormal
      0x807FFFFF,  // largest negative denormal
      0x80000000,  // -0.0
      0xBF800000,  // -1.0, the same value a failed read gives
  };
  for (uint32_t bits : patterns) {
    pokeInt32(0x3000, static_cast<int32_t>(bits));
    EXPECT_EQ(bitsOf(readFloat(kGame, 0x3000, 7.0f)), bits) << std::hex << bits;
  }
}

TEST_F(GameMemoryReads, FallbackOnlyWhenTheReadFails) {
  pokeInt32(0x4000, 1234);
  EXPECT_EQ(readInt32(kGame, 0x4000, 55), 1234);
  EXPECT_EQ(readInt32(kGame, 0x5000, 55), 55);
  EXPECT_EQ(readInt32(kGame, 0x5000), -1);
  EXPECT_EQ(readInt64(kGame, 0x5000, 1ll << 40), 1ll << 40);
  EXPECT_EQ(readInt64(kGame, 0x5000), -1);
  EXPECT_EQ(bitsOf(readFloat(kGame, 0x5000, 2.5f)), bitsOf(2.5f));
  EXPECT_EQ(bitsOf(readFloat(kGame, 0x5000)), bitsOf(-1.0f));
  // A read of a process that is not there fails like an unreadable address.
  EXPECT_EQ(readInt32(0, 0x4000), -1);
  EXPECT_EQ(readInt32(kGame + 1, 0x4000, 9), 9);
}

TEST_F(GameMemoryReads, RangeWithAnUnreadableByteFailsWhole) {
  pokeBytes(0x6000, {1, 2, 3, 4, 5, 6, 7, 8});
  unmapBytes(0x6007, 1);
  EXPECT_EQ(readInt32(kGame, 0x6000), 0x04030201);
  EXPECT_EQ(readInt64(kGame, 0x6000), -1);
  EXPECT_EQ(readInt32(kGame, 0x6004), -1);
  EXPECT_EQ(bitsOf(readFloat(kGame, 0x6005)), bitsOf(-1.0f));
}

TEST_F(GameMemoryReads, AddressesAboveTwoGigabytesArePassedOnUnchanged) {
  pokeInt32(0x80000010, 42);
  pokeInt32(0xFFFFFFFC, 43);
  EXPECT_EQ(readInt32(kGame, static_cast<int32_t>(0x80000010)), 42);
  EXPECT_EQ(readInt32(kGame, -4), 43);
  EXPECT_EQ(fakeGameMemory().reads[0], (FakeRead{0x80000010, 4}));
  EXPECT_EQ(fakeGameMemory().reads[1], (FakeRead{0xFFFFFFFC, 4}));
}

TEST(GameFloatTruncation, TowardZeroThroughSixtyFourBits) {
  struct Case {
    float value;
    int32_t expected;
  };
  const Case cases[] = {
      {50001.9f, 50001},
      {-0.5f, 0},
      {-2.7f, -2},
      {4294967296.0f + 512.0f, 512},       // 2^32 + 512: the low 32 bits
      {3.0e9f, static_cast<int32_t>(3000000000u)},
      {std::ldexp(1.0f, 63), 0},           // 2^63 and beyond: out of range
      {-std::ldexp(1.0f, 63), 0},
      {std::ldexp(1.0f, 62) + std::ldexp(1.0f, 40) + 7.0f, 0},  // huge, low 32 bits 0
      {INFINITY, 0},
      {-INFINITY, 0},
      {NAN, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(truncateGameFloat(c.value), c.expected) << c.value;
}

}  // namespace
