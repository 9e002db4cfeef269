// The control operations on the real main window.
#include "ui/controls.h"

#include "platform/system_text_win.h"
#include "ui/main_window_win.h"

// Edit texts and button captions are both the control's window text.
static void setControlText(ControlId control, const std::string& text) {
  HWND window = controlWindow(control);
  if (window != nullptr) setWindowText(window, text);
}

static std::string controlText(ControlId control) {
  HWND window = controlWindow(control);
  return window != nullptr ? windowText(window) : std::string();
}

void setEditText(ControlId edit, const std::string& text) { setControlText(edit, text); }

std::string readEditText(ControlId edit) { return controlText(edit); }

void setButtonCaption(ControlId button, const std::string& caption) { setControlText(button, caption); }

std::string readButtonCaption(ControlId button) { return controlText(button); }

void enableButton(ControlId button, bool enabled) {
  HWND window = controlWindow(button);
  if (window != nullptr) EnableWindow(window, enabled ? TRUE : FALSE);
}

void setTimerPeriod(ControlId timer, int32_t milliseconds) { changeTimerPeriod(timer, milliseconds); }

void setStatusText(const std::string& text) {
  setControlText(ControlId::透明标签5, text);
  repaintStatusLabelNow();
}

std::string readStatusText() { return controlText(ControlId::透明标签5); }

void setStatusColour(uint32_t colour) {
  setStatusLabelColour(colour);
  repaintStatusLabelNow();
}
