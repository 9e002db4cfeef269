// The main window: built once at start-up, the tool's only window. Its events
// run the handlers of the rest of the tool; the control operations
// (ui/controls.h) act on it through the functions below.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/controls.h"

// Builds the window hidden with all its controls, runs the window-created
// handler, then shows and activates the window. False when the window could
// not be created. `useMissingClass` makes the creation fail for real, for the
// test of the fatal report.
bool createMainWindow(HINSTANCE instance, bool useMissingClass);

// Dispatches messages until the window has been closed; the exit code.
int runMessageLoop();

// From now on no handler runs; events that arrive are dropped.
void stopWindowEvents();

// The control's child window; null for the timers and before the window exists.
HWND controlWindow(ControlId control);

// Timer periods, and the status label's colour and repaint.
int32_t timerPeriod(ControlId timer);
void changeTimerPeriod(ControlId timer, int32_t milliseconds);
void setStatusLabelColour(uint32_t colour);
void repaintStatusLabelNow();
