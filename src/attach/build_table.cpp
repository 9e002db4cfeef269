#include "attach/build_table.h"

#include "app/shared_state.h"
#include "app/texts.h"

// Sizes in hex as the builds are usually quoted. The last two builds keep their
// data at the same addresses and differ only in what the label says.
const BuildRow kBuildTable[kBuildCount] = {
    {0x1039000, kBuild100, {0x9B81EC, 0x9385A0, 0x9B90BC, 0x9384A0, 0x938494, 0x4E0}},
    {0x1031000, kBuild101, {0xA7128C, 0x9305A0, 0x930FEC, 0x9304A0, 0x930494, 0x500}},
    {0x1037000, kBuild102, {0xA722AC, 0x9315C0, 0x93200C, 0x9314C0, 0x9314B4, 0x500}},
    {0x1079000, kBuild103, {0xA7428C, 0x9335A4, 0x933FEC, 0x9334A0, 0x933494, 0x500}},
    {0x107E000, kBuild104, {0xA752CC, 0x9345E4, 0x93502C, 0x9344A0, 0x934494, 0x508}},
    {0x107C000, kBuild105, {0xA762CC, 0x9355E4, 0x93602C, 0x93549C, 0x935490, 0x508}},
    {0x1081000, kBuild106, {0xA762CC, 0x9355E4, 0x93602C, 0x93549C, 0x935490, 0x508}},
};

const BuildRow* findBuildRow(int32_t exeFileSize) {
  for (const BuildRow& row : kBuildTable) {
    if (row.exeFileSize == exeFileSize) return &row;
  }
  return nullptr;
}

void applyBuildProfile(SharedState& state, const BuildProfile& profile) {
  state.dialogueListAddr = profile.dialogueListAddr;
  state.conversationAddr = profile.conversationAddr;
  state.sceneWatchAddr = profile.sceneWatchAddr;
  storeRelaxed(state.rosterCountAddr, profile.rosterCountAddr);
  storeRelaxed(state.rosterTableAddr, profile.rosterTableAddr);
  storeRelaxed(state.rosterEntryOffset, profile.rosterEntryOffset);
}

BuildProfile currentBuildProfile(const SharedState& state) {
  return BuildProfile{state.dialogueListAddr,          state.conversationAddr,
                      state.sceneWatchAddr,            loadRelaxed(state.rosterCountAddr),
                      loadRelaxed(state.rosterTableAddr), loadRelaxed(state.rosterEntryOffset)};
}
