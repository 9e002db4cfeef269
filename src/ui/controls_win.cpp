// The control operations on the real main window.
#include "ui/controls.h"

#include "platform/system_text_win.h"
#include "ui/main_window_win.h"

void setEditText(ControlId edit, const std::string& text) {
  HWND box = controlWindow(edit);
  if (box != nullptr) setWindowText(box, text);
}

std::string readEditText(ControlId edit) {
  HWND box = controlWindow(edit);
  return box != nullptr ? windowText(box) : std::string();
}

void setButtonCaption(ControlId button, const std::string& caption) {
  HWND window = controlWindow(button);
  if (window != nullptr) setWindowText(window, caption);
}

std::string readButtonCaption(ControlId button) {
  HWND window = controlWindow(button);
  return window != nullptr ? windowText(window) : std::string();
}

void enableButton(ControlId button, bool enabled) {
  HWND window = controlWindow(button);
  if (window != nullptr) EnableWindow(window, enabled ? TRUE : FALSE);
}

void setTimerPeriod(ControlId timer, int32_t milliseconds) { changeTimerPeriod(timer, milliseconds); }

void setStatusText(const std::string& text) {
  HWND label = controlWindow(ControlId::透明标签5);
  if (label == nullptr) return;
  setWindowText(label, text);
  repaintStatusLabelNow();
}

std::string readStatusText() {
  HWND label = controlWindow(ControlId::透明标签5);
  return label != nullptr ? windowText(label) : std::string();
}

void setStatusColour(uint32_t colour) {
  setStatusLabelColour(colour);
  repaintStatusLabelNow();
}
