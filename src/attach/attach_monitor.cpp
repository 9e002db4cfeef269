#include "attach/attach_monitor.h"


#include "app/shared_state.h"
#include "app/texts.h"
#include "attach/build_table.h"
#include "process/process_lookup.h"
#include "ui/controls.h"

// Compares the game's executable with the rows in order. The executable is
// looked up and measured afresh for every row compared, so a game whose file
// cannot be found costs seven lookups, as does the last row.
static const BuildRow* identifyRunningBuild() {
  for (const BuildRow& row : kBuildTable) {
    if (executableFileSize(findExecutablePath(kGameExeName)) == row.exeFileSize) return &row;
  }
  return nullptr;
}

static void attachGame(SharedState& state, int32_t gamePid) {
  // Claimed before the table is consulted: a lookup may open a message box,
  // and the ticks that run meanwhile must not attach a second time.
  state.attachedPid = gamePid;
  const BuildRow* row = identifyRunningBuild();
  if (row != nullptr) {
    setStatusText(row->statusText);
    applyBuildProfile(state, row->profile);
  } else {
    setStatusColour(kUnknownBuildColour);
    setStatusText(kUnknownBuild);
    // Every capture read then fails. The entry offset is not an address and
    // keeps whatever an earlier attach gave it.
    state.dialogueListAddr = 0;
    state.conversationAddr = 0;
    state.sceneWatchAddr = 0;
    storeRelaxed(state.rosterCountAddr, 0);
    storeRelaxed(state.rosterTableAddr, 0);
  }
  // Recording may start even on an unknown build; it then records nothing.
  enableButton(ControlId::按钮1, true);
}

static void reportGameGone(SharedState& state) {
  state.attachedPid = 0;
  if (readStatusText() != kGameNotRunning) {
    setStatusColour(kGameGoneColour);
    setStatusText(kGameNotRunning);
  }
  // The gone game's profile and the enabled start button are kept: a capture
  // that is still running picks up again once the game is looked up anew.
}

void attachTick() {
  SharedState& state = sharedState();
  int32_t gamePid = loadRelaxed(state.gamePid);
  if (state.attachedPid == 0 && gamePid > 0) {
    attachGame(state, gamePid);
  } else if (gamePid == 0 && state.attachedPid > 0) {
    reportGameGone(state);
  }
  storeRelaxed(state.gamePid, findProcessId(kGameExeName));
}
