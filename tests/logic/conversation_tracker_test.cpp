// The tracker's choice of dialogue record, its state and latch, and the exact
// reads it makes (each read sees the game at its own moment).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "app/shared_state.h"
#include "capture/conversation_tracker.h"
#include "fakes/fakes.h"

namespace {

constexpr int32_t kPid = 4242;
constexpr uint32_t A = 0x1000;       // dialogue list header
constexpr uint32_t B = 0x2000;       // holds the conversation object's address
constexpr uint32_t X = 0x3000;       // conversation object
constexpr uint32_t ARR = 0x4000;     // entry array
constexpr uint32_t BEFORE = 0x6000;  // record named by the word just before the array

constexpr uint32_t rec(int i) { return 0x5000 + 0x100 * i; }  // record of entry i (0-based)
constexpr float lineOf(int i) { return 50001.0f + i; }

FakeRead r32(uint32_t address) { return {address, 4}; }
FakeRead r64(uint32_t address) { return {address, 8}; }
FakeRead rf(uint32_t address) { return {address, 4}; }

struct ListWords {
  int32_t count;
  int32_t word12;
  int32_t word16;
  int32_t conversationWord;
};

void pokeGame(const ListWords& words) {
  FakeGameMemory& memory = fakeGameMemory();
  memory.pid = kPid;
  pokeInt32(A, ARR);
  pokeInt32(A + 8, words.count);
  pokeInt32(A + 12, words.word12);
  pokeInt32(A + 16, words.word16);
  pokeInt32(B, X);
  pokeInt32(X + 796, words.conversationWord);
  pokeInt32(ARR - 4, BEFORE);
  pokeFloat(BEFORE + 4, 49000.0f);
  for (int i = 0; i < 8; ++i) {
    pokeInt32(ARR + 4 * i, rec(i));
    pokeFloat(rec(i) + 4, lineOf(i));
  }
}

class TrackerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetSharedState();
    resetFakeGameMemory();
    SharedState& state = sharedState();
    storeRelaxed(state.gamePid, kPid);
    state.dialogueListAddr = A;
    state.conversationAddr = B;
  }
};

struct TrackCase {
  const char* label;
  uint8_t latch, track;
  int32_t held;
  ListWords words;
  // expected
  uint8_t latchAfter, trackAfter;
  int32_t heldAfter;
  uint32_t record;
  float lineNumber;
  std::vector<FakeRead> reads;
};

TEST_F(TrackerTest, RulesLatchAndReadsFollowTheGameWords) {
  // Every case starts with the default record's three reads.
  auto last = [](int count) { return std::vector<FakeRead>{r32(A), r32(A + 8), r32(ARR + 4 * count - 4)}; };
  auto join = [](std::vector<FakeRead> a, std::vector<FakeRead> b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const TrackCase cases[] = {
      {"latch 1, state 0, plain list: the last entry", 1, 0, 0, {3, 0, 0, 0},
       1, 0, 0, rec(2), lineOf(2),
       join(last(3), {r32(A + 12), r32(B), r32(X + 796), r32(A + 12), r32(A + 16), rf(rec(2) + 4)})},
      {"latch 1, word +12 not 0: the latch reads only +12", 1, 0, 0, {3, 1, 0, 9},
       1, 1, 4, rec(2), lineOf(2),
       join(last(3), {r32(A + 12), r32(A + 12), r32(A + 8), rf(rec(2) + 4)})},
      {"R1: state 1 holds one past the last entry, last entry used", 0, 0, 0, {5, 1, 0, 7},
       0, 1, 6, rec(4), lineOf(4),
       join(last(5), {r32(B), r32(X + 796), r32(A + 12), r32(A + 8), rf(rec(4) + 4)})},
      {"R2: the held entry, from the array read afresh", 0, 1, 6, {0, 0, 1, 7},
       0, 2, 6, rec(5), lineOf(5),
       join(last(0), {r32(B), r32(X + 796), r32(A + 16), r32(A + 8), r32(A), r32(ARR + 20),
                      rf(rec(5) + 4)})},
      {"state 2 waits; count 0 takes the word before the array", 0, 2, 6, {0, 0, 1, 7},
       0, 2, 6, BEFORE, 49000.0f,
       join(last(0), {r32(B), r32(X + 796), r32(A + 16), rf(BEFORE + 4)})},
      {"R5: word +16 back to 0 ends state 2", 0, 2, 6, {2, 0, 0, 7},
       0, 0, 6, rec(1), lineOf(1),
       join(last(2), {r32(B), r32(X + 796), r32(A + 16), rf(rec(1) + 4)})},
      {"R3: entry 0 while +16 is 1 and the 64-bit word at +8 is 0", 0, 0, 0, {0, 0, 1, 7},
       0, 0, 0, rec(0), lineOf(0),
       join(last(0), {r32(B), r32(X + 796), r32(A + 12), r32(A + 16), r64(A + 8), r32(A), r32(ARR),
                      rf(rec(0) + 4)})},
      {"R3 refused: +12 is 2, so the 64-bit word is not 0", 0, 0, 0, {0, 2, 1, 7},
       0, 0, 0, BEFORE, 49000.0f,
       join(last(0), {r32(B), r32(X + 796), r32(A + 12), r32(A + 16), r64(A + 8), rf(BEFORE + 4)})},
      {"R4: state 1 and +12 above 1 go back to 0", 0, 1, 4, {3, 2, 0, 7},
       0, 0, 4, rec(2), lineOf(2),
       join(last(3), {r32(B), r32(X + 796), r32(A + 16), r32(A + 12), rf(rec(2) + 4)})},
      {"state 1 stays when R2 fails on the count", 0, 1, 4, {3, 0, 1, 7},
       0, 1, 4, rec(2), lineOf(2),
       join(last(3), {r32(B), r32(X + 796), r32(A + 16), r32(A + 8), r32(A + 12), rf(rec(2) + 4)})},
      {"latch 0 and conversation word 0: latch set, its reset not tried", 0, 2, 3, {2, 0, 1, 0},
       1, 2, 3, rec(1), lineOf(1),
       join(last(2), {r32(B), r32(X + 796), r32(A + 16), rf(rec(1) + 4)})},
      {"latch 1 clears from state 2; R3 applies in the same tick", 1, 2, 3, {0, 0, 1, 5},
       0, 0, 3, rec(0), lineOf(0),
       join(last(0), {r32(A + 12), r32(B), r32(X + 796), r32(A + 12), r32(A + 16), r64(A + 8), r32(A),
                      r32(ARR), rf(rec(0) + 4)})},
      {"latch 1 stays while the conversation word is negative", 1, 2, 3, {2, 0, 1, -4},
       1, 2, 3, rec(1), lineOf(1),
       join(last(2), {r32(A + 12), r32(B), r32(X + 796), r32(A + 16), rf(rec(1) + 4)})},
  };
  for (const TrackCase& c : cases) {
    SetUp();
    pokeGame(c.words);
    SharedState& state = sharedState();
    state.resetLatch = c.latch;
    state.trackState = c.track;
    state.heldIndex = c.held;
    trackConversation();
    EXPECT_EQ(state.currentLineRecord, static_cast<int32_t>(c.record)) << c.label;
    EXPECT_EQ(state.currentLineId, static_cast<int32_t>(c.lineNumber)) << c.label;
    EXPECT_EQ(state.trackState, c.trackAfter) << c.label;
    EXPECT_EQ(state.resetLatch, c.latchAfter) << c.label;
    EXPECT_EQ(state.heldIndex, c.heldAfter) << c.label;
    EXPECT_EQ(describeReads(fakeGameMemory().reads), describeReads(c.reads)) << c.label;
  }
}

TEST_F(TrackerTest, ChoiceSequenceUsesTheHeldEntryForOneTickOnly) {
  pokeGame({5, 1, 0, 7});
  trackConversation();  // R1
  EXPECT_EQ(sharedState().heldIndex, 6);
  pokeGame({0, 0, 1, 7});
  pokeInt32(ARR + 20, rec(7));  // the game has rewritten the array meanwhile
  trackConversation();          // R2
  EXPECT_EQ(sharedState().currentLineRecord, static_cast<int32_t>(rec(7)));
  trackConversation();  // state 2: the last entry again
  EXPECT_EQ(sharedState().currentLineRecord, static_cast<int32_t>(BEFORE));
  EXPECT_EQ(sharedState().trackState, 2);
}

TEST_F(TrackerTest, NoGameGivesMinusOneAndWrapsAddresses) {
  // Every read fails: E = N = -1 gives the entry address E + 4N - 4 = -9,
  // and the line number is read at -1 + 4.
  SharedState& state = sharedState();
  storeRelaxed(state.gamePid, 0);
  resetFakeGameMemory();
  trackConversation();
  EXPECT_EQ(state.currentLineRecord, -1);
  EXPECT_EQ(state.currentLineId, -1);
  EXPECT_EQ(state.resetLatch, 0);
  EXPECT_EQ(state.trackState, 0);
  EXPECT_EQ(describeReads(fakeGameMemory().reads),
            describeReads({r32(A), r32(A + 8), r32(0xFFFFFFF7), r32(B), r32(795), r32(A + 12), r32(A + 16),
                      rf(3)}));
}

TEST_F(TrackerTest, LineNumberIsTruncatedTowardZero) {
  const struct {
    float value;
    int32_t id;
  } cases[] = {
      {50001.9f, 50001},
      {-0.5f, 0},
      {-1.0f, -1},
      {std::numeric_limits<float>::quiet_NaN(), 0},
      {1e19f, 0},                 // 2^63 or more
      {3000000000.0f, -1294967296},  // low 32 bits of the 64-bit integer
  };
  for (const auto& c : cases) {
    SetUp();
    pokeGame({1, 0, 0, 7});
    pokeFloat(rec(0) + 4, c.value);
    trackConversation();
    EXPECT_EQ(sharedState().currentLineId, c.id) << c.value;
  }
}

}  // namespace
