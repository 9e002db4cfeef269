// A small scripted game for the capture's tests: a dialogue list of one entry,
// its dialogue record, a character table and a scene value, at fixed addresses
// of the fake game memory; and the two lookup tables beside the tool.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/shared_state.h"
#include "app/startup.h"
#include "app/texts.h"
#include "capture/speaker_scan.h"
#include "fakes/fakes.h"
#include "fakes/lookup/fake_lookup_table.h"

namespace capture_fixture {

constexpr int32_t kPid = 5150;
constexpr uint32_t kList = 0x1000;          // dialogue list header
constexpr uint32_t kEntries = 0x1100;       // its entry array
constexpr uint32_t kConversation = 0x2000;  // holds the conversation object's address
constexpr uint32_t kConversationObject = 0x3000;
constexpr uint32_t kRecord = 0x4000;        // the one dialogue record
constexpr uint32_t kRosterCount = 0x5000;
constexpr uint32_t kRosterTable = 0x5004;   // holds the entry-pointer array's address
constexpr uint32_t kSceneWatch = 0x5008;
constexpr uint32_t kRosterPointers = 0x6000;
constexpr int32_t kEntryOffset = 8;         // name number at +8, slot at +12
constexpr uint32_t rosterEntry(int i) { return 0x7000 + 0x20 * i; }  // entry i, from 1

const std::string kRunDirectory = "C:\\Tallowick";
inline std::string lineTablePath() { return kRunDirectory + "\\" + kLineTableFile; }
inline std::string nameTablePath() { return kRunDirectory + "\\" + kNameTableFile; }

struct Character {
  int32_t slot;
  int32_t nameNumber;
};

inline void setCharacters(const std::vector<Character>& characters) {
  pokeInt32(kRosterCount, static_cast<int32_t>(characters.size()));
  pokeInt32(kRosterTable, kRosterPointers);
  for (size_t i = 0; i < characters.size(); ++i) {
    uint32_t entry = rosterEntry(static_cast<int>(i) + 1);
    pokeInt32(kRosterPointers + 4 * static_cast<uint32_t>(i), entry);
    pokeInt32(entry + kEntryOffset, characters[i].nameNumber);
    pokeInt32(entry + kEntryOffset + 4, characters[i].slot);
  }
}

// The record on screen: its kind word, line number and speaker fields.
struct ShownLine {
  int32_t kind;
  float lineNumber;
  float slot = 0.0f;          // +12, ordinary lines
  float kindThreeSlot = 0.0f;  // +16
  float kindThreeName = 0.0f;  // +20
};

inline void showLine(const ShownLine& line) {
  pokeInt32(kRecord, line.kind);
  pokeFloat(kRecord + 4, line.lineNumber);
  pokeFloat(kRecord + 12, line.slot);
  pokeFloat(kRecord + 16, line.kindThreeSlot);
  pokeFloat(kRecord + 20, line.kindThreeName);
}

// Game running, build known, plain list (the tracker takes the last entry),
// characters: slot 1 -> name 11, slot 2 -> name 12.
class CaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setScanThreadStarter(nullptr);
    resetSharedState();
    resetFakeGameMemory();
    resetFakeControls();
    resetFakeRecordingFile();
    resetFakeLookup();
    setRunDirectory(kRunDirectory);
    SharedState& state = sharedState();
    storeRelaxed(state.gamePid, kPid);
    state.dialogueListAddr = kList;
    state.conversationAddr = kConversation;
    state.sceneWatchAddr = kSceneWatch;
    storeRelaxed(state.rosterCountAddr, kRosterCount);
    storeRelaxed(state.rosterTableAddr, kRosterTable);
    storeRelaxed(state.rosterEntryOffset, kEntryOffset);

    fakeGameMemory().pid = kPid;
    pokeInt32(kList, kEntries);
    pokeInt32(kList + 8, 1);
    pokeInt32(kList + 12, 0);
    pokeInt32(kList + 16, 0);
    pokeInt32(kEntries, kRecord);
    pokeInt32(kConversation, kConversationObject);
    pokeInt32(kConversationObject + 796, 7);
    pokeInt32(kSceneWatch, 1);
    setCharacters({{1, 11}, {2, 12}});
    showLine({0, 49000.0f});

    fakeLookup().files[lineTablePath()] =
        fakeTable({{50000, "first line"}, {50001, "line one"}, {50002, "line two"}, {50003, "line three"}});
    fakeLookup().files[nameTablePath()] = fakeTable({{1, "narrator"}, {11, "Ana"}, {12, "Bo"}, {42, "Cy"}});
  }
  void TearDown() override {
    resetSharedState();  // waits for any worker still running
    setScanThreadStarter(nullptr);
  }
};

}  // namespace capture_fixture
