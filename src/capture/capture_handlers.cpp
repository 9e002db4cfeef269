#include "capture/capture_handlers.h"

#include "app/shared_state.h"
#include "app/texts.h"
#include "capture/conversation_tracker.h"
#include "capture/line_resolution.h"
#include "capture/recording_control.h"
#include "capture/speaker_scan.h"
#include "ui/controls.h"

void trackerTick() {
  SharedState& state = sharedState();
  trackConversation();
  if (isNewLine(state.currentLineId, state.lastLineId)) resolveNewLine();
  checkRescan();
}

void onStartButtonClicked() {
  if (readButtonCaption(ControlId::按钮1) == kStartRecording) {
    startRecording();
  } else {
    stopRecording();
  }
}

void onDiscardButtonClicked() {
  if (readButtonCaption(ControlId::按钮1) == kStopRecording) discardLastLine();
}
