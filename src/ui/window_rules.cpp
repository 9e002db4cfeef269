#include "ui/window_rules.h"

WindowOrigin centredOrigin(int screenWidth, int screenHeight) {
  // C++ division truncates toward zero, as the placement asks.
  return WindowOrigin{(screenWidth - kMainWindowWidth) / 2, (screenHeight - kMainWindowHeight) / 2};
}

TimerChange timerChangeFor(int32_t currentPeriod, int32_t requestedPeriod) {
  int32_t period = requestedPeriod < 0 ? 0 : requestedPeriod;
  if (period == currentPeriod) return TimerChange{currentPeriod, false, false};
  return TimerChange{period, currentPeriod > 0, period > 0};
}

static const ControlId kFocusCycle[] = {ControlId::按钮1, ControlId::编辑框1, ControlId::按钮2,
                                        ControlId::编辑框2};
constexpr int kFocusCycleLength = sizeof kFocusCycle / sizeof kFocusCycle[0];

ControlId nextInFocusCycle(ControlId from, bool backward, bool (*isEnabled)(ControlId)) {
  int position = -1;
  for (int i = 0; i < kFocusCycleLength; ++i) {
    if (kFocusCycle[i] == from) position = i;
  }
  // From outside the cycle, forward starts at its first control and backward
  // at its last.
  if (position < 0) position = backward ? 0 : kFocusCycleLength - 1;
  int step = backward ? kFocusCycleLength - 1 : 1;
  for (int taken = 1; taken <= kFocusCycleLength; ++taken) {
    ControlId candidate = kFocusCycle[(position + step * taken) % kFocusCycleLength];
    if (candidate == from) break;
    if (isEnabled(candidate)) return candidate;
  }
  return from;
}

ControlId firstInFocusCycle(bool (*isEnabled)(ControlId), ControlId fallback) {
  for (ControlId control : kFocusCycle) {
    if (isEnabled(control)) return control;
  }
  return fallback;
}

LineBand centredLineBand(int clientHeight, int lineHeight) {
  if (lineHeight <= 0 || lineHeight >= clientHeight) return LineBand{0, 0};
  int spare = clientHeight - lineHeight;
  return LineBand{spare / 2, spare - spare / 2};
}
