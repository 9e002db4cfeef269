// The control operations through which every handler changes the main window.
// The Windows side (ui/controls_win.cpp) works on the real controls; tests of
// the handlers link a scripted fake instead. All texts are GBK bytes.
#pragma once

#include <cstdint>
#include <string>

// The window's controls, by their names on the form.
enum class ControlId {
  编辑框1,    // base-name box (single line)
  编辑框2,    // read-out box (multi-line)
  按钮1,      // start button: its caption is the recording state
  按钮2,      // "删除该句停止记录"
  标签1,      // author label
  标签2,      // "当前人名和对白"
  透明标签5,  // status label
  时钟1,      // capture timer
  时钟3,      // attach timer
};

void setEditText(ControlId edit, const std::string& text);
std::string readEditText(ControlId edit);
void setButtonCaption(ControlId button, const std::string& caption);
std::string readButtonCaption(ControlId button);
void enableButton(ControlId button, bool enabled);
// A negative period counts as 0 (stopped); setting the period a timer already
// has changes nothing, so a running timer keeps its rhythm.
void setTimerPeriod(ControlId timer, int32_t milliseconds);
void setStatusText(const std::string& text);
std::string readStatusText();
// Windows colour value 0x00BBGGRR.
void setStatusColour(uint32_t colour);
