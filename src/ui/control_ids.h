// The child-window identifiers of the main window's controls, shared by the
// window and by the test driver that finds the controls from another process.
#pragma once

#include "ui/controls.h"

// The main window's caption, by which the driver finds it.
constexpr char kMainWindowCaption[] = "Tallowick";

// Window property on the status label holding its current text colour
// (0x00BBGGRR) with kColourPresent added, so that another process can read it
// and black is told apart from no property at all.
constexpr char kStatusColourProperty[] = "TallowickTextColour";
constexpr unsigned kColourPresent = 0x01000000;

// Child-window identifier of a control; timers have none (0).
constexpr int controlWindowId(ControlId control) {
  switch (control) {
    case ControlId::编辑框1: return 101;
    case ControlId::编辑框2: return 102;
    case ControlId::按钮1: return 103;
    case ControlId::按钮2: return 104;
    case ControlId::标签1: return 105;
    case ControlId::标签2: return 106;
    case ControlId::透明标签5: return 107;
    case ControlId::时钟1: return 0;
    case ControlId::时钟3: return 0;
  }
  return 0;
}

