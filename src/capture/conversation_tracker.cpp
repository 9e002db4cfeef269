#include "capture/conversation_tracker.h"

#include "app/shared_state.h"
#include "process/game_memory.h"

// Offsets in the game's dialogue list header and conversation object.
constexpr int32_t kListEntries = 0;   // address of the entry array
constexpr int32_t kListCount = 8;     // entry count (with +12, one 64-bit word)
constexpr int32_t kListHoldWord = 12;    // 1: remember the position past the last entry
constexpr int32_t kListReturnWord = 16;  // 1: go back to the remembered (or first) entry
constexpr int32_t kConversationWord = 796;
constexpr int32_t kLineNumber = 4;    // float in a dialogue record

// Every read below is its own read of the game, made when its step is reached:
// the game runs on between reads, so neither their order nor their number may
// change (a value read twice may differ).
void trackConversation() {
  SharedState& state = sharedState();
  const int32_t pid = loadRelaxed(state.gamePid);
  const int32_t list = state.dialogueListAddr;
  auto read32 = [pid](int32_t address) { return readInt32(pid, address); };
  auto listWord = [&](int32_t offset) { return read32(gameAddressPlus(list, offset)); };
  auto conversationWord = [&]() {
    int32_t conversation = read32(state.conversationAddr);
    return read32(gameAddressPlus(conversation, kConversationWord));
  };

  // Normally the last entry of the list is the line on screen (a count of 0
  // gives the word just before the array).
  int32_t entries = listWord(kListEntries);
  int32_t count = listWord(kListCount);
  state.currentLineRecord = read32(gameArrayEntry(entries, count));

  if (state.resetLatch == 0) {
    if (conversationWord() == 0) state.resetLatch = 1;
  } else if (listWord(kListHoldWord) == 0 && conversationWord() > 0) {
    state.resetLatch = 0;
    state.trackState = 0;
  }

  // The first rule whose tests all pass is carried out; && stops at the first
  // failing test so that no later read is made.
  const uint8_t track = state.trackState;
  if (track == 0 && listWord(kListHoldWord) == 1) {
    state.trackState = 1;
    // Wraps like the game's own 32-bit arithmetic.
    state.heldIndex = static_cast<int32_t>(static_cast<uint32_t>(listWord(kListCount)) + 1u);
  } else if (track == 1 && listWord(kListReturnWord) == 1 && listWord(kListCount) == 0) {
    state.trackState = 2;
    state.currentLineRecord = read32(gameArrayEntry(listWord(kListEntries), state.heldIndex));
  } else if (track == 0 && listWord(kListReturnWord) == 1 &&
             readInt64(pid, gameAddressPlus(list, kListCount)) == 0) {
    state.currentLineRecord = read32(gameArrayEntry(listWord(kListEntries), 1));
  } else if (track == 1 && listWord(kListHoldWord) > 1) {
    state.trackState = 0;
  } else if (track == 2 && listWord(kListReturnWord) == 0) {
    state.trackState = 0;
  }

  float lineNumber = readFloat(pid, gameAddressPlus(state.currentLineRecord, kLineNumber));
  state.currentLineId = truncateGameFloat(lineNumber);
}
