// The typed reads against real memory: the tool's own (process id -1 and its
// real id) and the simulated game's, read from this process.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "attach/build_table.h"
#include "process/game_memory.h"
#include "windows/fakegame_process.h"

namespace {

uint32_t bitsOf(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// A block of the tool's own memory at a 32-bit address (game addresses are 32
// bits, and this 64-bit test's own data lies higher) with nothing mapped after
// it, so a read that runs past its end meets memory that cannot be read. (A
// PAGE_NOACCESS neighbour would not do: Wine reads such pages all the same.)
// In the 64-bit build it lies above 2 GiB, where game addresses are negative
// 32-bit numbers.
class OwnMemory : public ::testing::Test {
 protected:
  static constexpr size_t kSize = 0x10000;  // one allocation granule
  void SetUp() override {
    // A 32-bit build has no room above 2 GiB: there the system's choice will do.
    const uintptr_t candidates[] = {0x90000000, 0xA0000000, 0xB0000000, 0xC0000000, 0};
    for (uintptr_t candidate : candidates) {
      block_ = static_cast<uint8_t*>(
          VirtualAlloc(reinterpret_cast<void*>(candidate), kSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
      MEMORY_BASIC_INFORMATION after;
      if (block_ != nullptr && VirtualQuery(block_ + kSize, &after, sizeof after) != 0 && after.State == MEM_FREE)
        break;
      if (block_ != nullptr) VirtualFree(block_, 0, MEM_RELEASE);
      block_ = nullptr;
    }
    ASSERT_NE(block_, nullptr);
    page_ = kSize;  // the first unreadable byte, as an offset from the block
  }
  void TearDown() override {
    if (block_ != nullptr) VirtualFree(block_, 0, MEM_RELEASE);
  }
  int32_t at(size_t offset) const { return static_cast<int32_t>(reinterpret_cast<uintptr_t>(block_) + offset); }
  void put(size_t offset, const void* bytes, size_t size) { std::memcpy(block_ + offset, bytes, size); }

  uint8_t* block_ = nullptr;
  size_t page_ = 0;
};

TEST_F(OwnMemory, OwnProcessIsReadByMinusOneAndByItsId) {
  const int32_t value = 0x5A17C0DE;
  put(64, &value, 4);
  EXPECT_EQ(readInt32(kOwnProcess, at(64)), value);
  EXPECT_EQ(readInt32(static_cast<int32_t>(GetCurrentProcessId()), at(64)), value);
}

TEST_F(OwnMemory, Int64TakesTheLowHalfFirst) {
  const uint8_t bytes[] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80};
  put(128, bytes, sizeof bytes);
  EXPECT_EQ(static_cast<uint64_t>(readInt64(kOwnProcess, at(128))), 0x8000000000000001ull);
  EXPECT_EQ(readInt32(kOwnProcess, at(128)), 1);
  EXPECT_EQ(readInt32(kOwnProcess, at(132)), INT32_MIN);
}

TEST_F(OwnMemory, FloatBitPatternsArriveUnchanged) {
  const uint32_t patterns[] = {
      0x7FC00001,  // quiet NaN with a payload
      0x7F800001,  // signalling NaN: must not be quieted on the way
      0x7F800000,  // +infinity
      0xFF800000,  // -infinity
      0x00000001,  // smallest denormal: must not be flushed to zero
      0x807FFFFF,  // negative denormal
      0xBF800000,  // -1.0, read for real: the same value a failed read gives
  };
  for (uint32_t bits : patterns) {
    put(256, &bits, 4);
    EXPECT_EQ(bitsOf(readFloat(kOwnProcess, at(256), 3.0f)), bits) << std::hex << bits;
  }
}

TEST_F(OwnMemory, RangeRunningIntoAnUnreadablePageFailsWhole) {
  const uint8_t ones[8] = {1, 1, 1, 1, 1, 1, 1, 1};
  put(page_ - 8, ones, sizeof ones);
  EXPECT_EQ(readInt32(kOwnProcess, at(page_ - 4)), 0x01010101);    // last readable word
  EXPECT_EQ(readInt64(kOwnProcess, at(page_ - 8)), 0x0101010101010101ll);
  EXPECT_EQ(readInt32(kOwnProcess, at(page_ - 2)), -1);            // half on the unreadable page
  EXPECT_EQ(readInt64(kOwnProcess, at(page_ - 4)), -1);
  EXPECT_EQ(bitsOf(readFloat(kOwnProcess, at(page_ - 1))), bitsOf(-1.0f));
  EXPECT_EQ(readInt32(kOwnProcess, at(page_)), -1);                // wholly unreadable
  // Through a real open of this process the same.
  EXPECT_EQ(readInt64(static_cast<int32_t>(GetCurrentProcessId()), at(page_ - 4)), -1);
}

TEST_F(OwnMemory, FallbackOnlyWhenTheReadFails) {
  const int32_t value = 1234;
  put(512, &value, 4);
  EXPECT_EQ(readInt32(kOwnProcess, at(512), 55), 1234);
  EXPECT_EQ(readInt32(kOwnProcess, at(page_), 55), 55);
  EXPECT_EQ(readInt64(kOwnProcess, at(page_ - 4), 1ll << 40), 1ll << 40);
  EXPECT_EQ(bitsOf(readFloat(kOwnProcess, at(page_), 2.5f)), bitsOf(2.5f));
}

TEST(GameMemoryReads, NoProcessAndAddressZeroFail) {
  // gamePid 0: no game.
  EXPECT_EQ(readInt32(0, 0x9B81EC), -1);
  EXPECT_EQ(readInt64(0, 0x9B81EC), -1);
  EXPECT_EQ(bitsOf(readFloat(0, 0x9B81EC)), bitsOf(-1.0f));
  // Address 0 of a live process.
  EXPECT_EQ(readInt32(kOwnProcess, 0), -1);
  EXPECT_EQ(readInt64(static_cast<int32_t>(GetCurrentProcessId()), 0), -1);
  EXPECT_EQ(bitsOf(readFloat(kOwnProcess, 0)), bitsOf(-1.0f));
}

// The simulated game, read from this process as the tool reads it: at its
// build's fixed addresses, through the pointers it holds, and not at all once
// it has gone.
TEST(GameMemoryReads, SimulatedGameIsReadFromAnotherProcess) {
  const std::string folder = scratchFolder("reads-row2");
  ChildProcess game;
  ChildGuard guard{game};
  ASSERT_TRUE(startFakeGame("row2", folder,
                            "roster 101 1 102 7\n"
                            "scene 33\n"
                            "say 50001 7\n"
                            "record 3 50002.75 0 0 42\n"
                            "list-words 1 0\n"
                            "conversation 5\n"
                            "hold read\n",
                            game));
  ASSERT_TRUE(waitForHold(folder, "read"));
  const int32_t pid = static_cast<int32_t>(game.processId);
  const BuildProfile& at = kBuildTable[1].profile;

  const int32_t list = at.dialogueListAddr;
  EXPECT_EQ(readInt32(pid, list + 8), 2);
  EXPECT_EQ(readInt64(pid, list + 8), 2 + (1ll << 32));  // the count, then the word at +12
  const int32_t entries = readInt32(pid, list);
  const int32_t last = readInt32(pid, entries + 4);
  EXPECT_EQ(readInt32(pid, last), 3);
  EXPECT_EQ(readFloat(pid, last + 4), 50002.75f);
  EXPECT_EQ(readFloat(pid, last + 20), 42.0f);
  EXPECT_EQ(readFloat(pid, readInt32(pid, entries) + 12), 7.0f);
  EXPECT_EQ(readInt32(pid, readInt32(pid, at.conversationAddr) + 796), 5);

  EXPECT_EQ(readInt32(pid, at.sceneWatchAddr), 33);
  EXPECT_EQ(readInt32(pid, at.rosterCountAddr), 2);
  const int32_t character2 = readInt32(pid, readInt32(pid, at.rosterTableAddr) + 4);
  EXPECT_EQ(readInt32(pid, character2 + at.rosterEntryOffset), 102);
  EXPECT_EQ(readInt32(pid, character2 + at.rosterEntryOffset + 4), 7);

  endChild(game);
  EXPECT_EQ(readInt32(pid, list + 8), -1);
  EXPECT_EQ(readInt32(pid, list + 8, 9), 9);
}

}  // namespace
