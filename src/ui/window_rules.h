// The main window's rules that need no window: where it goes, how a timer's
// period changes, where Tab moves the focus. The
// Windows side (ui/main_window_win.cpp) applies them.
#pragma once

#include <cstdint>

#include "ui/controls.h"

constexpr int kMainWindowWidth = 228;
constexpr int kMainWindowHeight = 208;

struct WindowOrigin {
  int left;
  int top;
};

// Centred on a screen of that size; truncating division, not clamped, so a
// screen narrower than the window gives a negative left edge.
WindowOrigin centredOrigin(int screenWidth, int screenHeight);

// What setting a timer's period asks of the system timer.
struct TimerChange {
  int32_t period;   // the timer's period afterwards
  bool stop;        // stop the running system timer
  bool start;       // start it afresh with `period`
};

// A negative period counts as 0; the period the timer already has changes
// nothing (a running timer keeps its rhythm); any other stops a running timer
// and starts it again when the new period is above 0.
TimerChange timerChangeFor(int32_t currentPeriod, int32_t requestedPeriod);

// The focus cycle 按钮1, 编辑框1, 按钮2, 编辑框2 (then 按钮1 again), leaving out
// disabled controls. `from` is where the focus is (any control, or one outside
// the cycle); `isEnabled` tells whether a control of the cycle can take it.
// Returns `from` itself when no other control of the cycle is enabled.
ControlId nextInFocusCycle(ControlId from, bool backward, bool (*isEnabled)(ControlId));

// The first enabled control of the cycle; `fallback` when none is.
ControlId firstInFocusCycle(bool (*isEnabled)(ControlId), ControlId fallback);

// The single-line box's one text line, centred vertically in a client area
// `clientHeight` high: how many pixels stay above and below it.
struct LineBand {
  int above;
  int below;
};
LineBand centredLineBand(int clientHeight, int lineHeight);
