#include "app/texts.h"
#include "fakes/fakes.h"

FakeControls& fakeControls() {
  static FakeControls controls;
  return controls;
}

void resetFakeControls() {
  FakeControls& c = fakeControls();
  c = FakeControls();
  c.texts[ControlId::编辑框1] = kBaseNameDefault;
  c.texts[ControlId::编辑框2] = "";
  c.texts[ControlId::按钮1] = kStartRecording;
  c.texts[ControlId::按钮2] = kDiscardButton;
  c.enabled[ControlId::按钮1] = true;
  c.enabled[ControlId::按钮2] = true;
  c.timerPeriods[ControlId::时钟1] = 0;
  c.timerPeriods[ControlId::时钟3] = 0;
  c.statusText = kStatusDetecting;
}

void setEditText(ControlId edit, const std::string& text) {
  fakeControls().texts[edit] = text;
  fakeControls().log.push_back("edit " + text);
}
std::string readEditText(ControlId edit) { return fakeControls().texts[edit]; }
void setButtonCaption(ControlId button, const std::string& caption) {
  fakeControls().texts[button] = caption;
  fakeControls().log.push_back("caption " + caption);
}
std::string readButtonCaption(ControlId button) { return fakeControls().texts[button]; }
void enableButton(ControlId button, bool enabled) {
  fakeControls().enabled[button] = enabled;
  fakeControls().log.push_back(enabled ? "enable" : "disable");
}
void setTimerPeriod(ControlId timer, int32_t milliseconds) {
  fakeControls().timerPeriods[timer] = milliseconds < 0 ? 0 : milliseconds;
  fakeControls().log.push_back("timer " + std::to_string(milliseconds));
}
void setStatusText(const std::string& text) {
  fakeControls().statusText = text;
  fakeControls().log.push_back("status " + text);
}
std::string readStatusText() { return fakeControls().statusText; }
void setStatusColour(uint32_t colour) {
  fakeControls().statusColour = colour;
  fakeControls().log.push_back("colour " + std::to_string(colour));
}
