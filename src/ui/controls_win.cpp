// Placeholder until the main window lands.
#include "ui/controls.h"

void setEditText(ControlId, const std::string&) {}
std::string readEditText(ControlId) { return std::string(); }
void setButtonCaption(ControlId, const std::string&) {}
std::string readButtonCaption(ControlId) { return std::string(); }
void enableButton(ControlId, bool) {}
void setTimerPeriod(ControlId, int32_t) {}
void setStatusText(const std::string&) {}
std::string readStatusText() { return std::string(); }
void setStatusColour(uint32_t) {}
