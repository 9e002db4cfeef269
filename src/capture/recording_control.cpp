#include "capture/recording_control.h"

#include <chrono>
#include <string>
#include <thread>

#include "app/shared_state.h"
#include "app/startup.h"
#include "app/texts.h"
#include "capture/recording_file.h"
#include "capture/speaker_scan.h"
#include "lookup/lookup_table.h"
#include "process/game_memory.h"
#include "ui/controls.h"

constexpr int32_t kCaptureTickMs = 50;
constexpr int kDiscardWaitMs = 200;

static std::string runDirectoryFile(const std::string& name) { return runDirectory() + "\\" + name; }

void startRecording() {
  SharedState& state = sharedState();
  const int32_t pid = loadRelaxed(state.gamePid);
  // The game's values of this moment, so that the first tick does not repeat
  // the scan made here.
  state.sceneWatchValue = readInt32(pid, state.sceneWatchAddr);
  storeRelaxed(state.rosterCountSeen, readInt32(pid, loadRelaxed(state.rosterCountAddr)));
  state.lastLineId = -1;
  scanSpeakerTable();
  // A table that cannot be opened (or is still open from a recording ended
  // with 按钮2) leaves the tables as they are; recording starts all the same.
  openTable(runDirectoryFile(kLineTableFile), "a");
  openTable(runDirectoryFile(kNameTableFile), "b");
  state.recordingIniPath = runDirectoryFile(readEditText(ControlId::编辑框1) + kRecordingSuffix);
  setTimerPeriod(ControlId::时钟1, kCaptureTickMs);
  setButtonCaption(ControlId::按钮1, kStopRecording);
}

void stopRecording() {
  setTimerPeriod(ControlId::时钟1, 0);
  setButtonCaption(ControlId::按钮1, kStartRecording);
  closeAllTables();
}

void discardLastLine() {
  SharedState& state = sharedState();
  setTimerPeriod(ControlId::时钟1, 0);
  setButtonCaption(ControlId::按钮1, kStartRecording);
  std::this_thread::sleep_for(std::chrono::milliseconds(kDiscardWaitMs));
  const std::string section = std::to_string(state.lastLineId);
  bool speakerBlanked = writeRecordingKey(section, "s", "", state.recordingIniPath);
  bool textBlanked = writeRecordingKey(section, "c", "", state.recordingIniPath);
  // The line is still in the file: say so rather than clear the read-out.
  setEditText(ControlId::编辑框2, speakerBlanked && textBlanked ? std::string() : std::string(kWriteFailedNotice));
}
