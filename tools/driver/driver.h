// Drives Tallowick's main window from another process, as a user would see and
// touch it: finds the window by its caption, lists its controls with their
// class, identifier, rectangles, styles, state and text, sets edit text,
// clicks buttons, closes the window, and finds and answers message boxes.
// Used by the `driver` command-line program and linked by the Windows tests.
// Texts are the window's own code page 936 (GBK) bytes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// A rectangle as left, top, width, height.
struct DriverRect {
  int left = 0, top = 0, width = 0, height = 0;
};

struct DriverWindow {
  HWND window = nullptr;
  DWORD processId = 0;
  std::string className;
  int controlId = 0;        // child-window identifier (0 for a top-level window)
  DriverRect screen;        // outer rectangle on the screen
  DriverRect client;        // outer rectangle relative to the parent's client area
                            // (for a top-level window: its client area on the screen)
  DWORD style = 0;
  DWORD exStyle = 0;
  bool enabled = false;
  bool visible = false;
  bool topmost = false;
  std::string text;         // window text (GBK bytes)
  bool hasColour = false;   // the tool's status label publishes its text colour
  uint32_t colour = 0;      // 0x00BBGGRR
};

// The first visible or hidden top-level window with exactly this caption;
// `processId` 0 accepts any process. Null when there is none.
HWND findTopWindow(const std::string& caption, DWORD processId);
// Polls for it up to `timeoutMs`.
HWND waitForTopWindow(const std::string& caption, DWORD processId, DWORD timeoutMs);

// Everything about one window; `window` null when it no longer exists.
DriverWindow describeWindow(HWND window);
// The direct children of a window, in stacking order (top first).
std::vector<DriverWindow> listChildren(HWND parent);
// A direct child by its identifier; null when there is none.
HWND findChild(HWND parent, int controlId);

// The window text, asked of the window's own thread (so it works across
// processes); empty when the window does not answer within a few seconds.
std::string readText(HWND window);
// Replaces an edit box's text. False when the window did not answer.
bool setText(HWND window, const std::string& text);
// Clicks a button by posting BM_CLICK: the driver does not wait for the click
// handler, so a handler that opens a message box cannot block it. False when
// the button is disabled (a user could not click it either) or gone.
bool clickButton(HWND button);
// Posts WM_CLOSE, as the Close button of the caption bar does.
bool closeWindow(HWND window);
// Polls until the window's text equals `text`, up to `timeoutMs`. The text last
// read is left in `lastText`.
bool waitForText(HWND window, const std::string& text, DWORD timeoutMs, std::string* lastText);

// The window that has the keyboard focus in `window`'s thread; null if none.
HWND focusedWindow(HWND window);
// Posts a key press (key down, then key up) of virtual key `key` to `target`,
// as the keyboard would send it to the focused control. Modifier keys are not
// pressed, so Shift+Tab cannot be sent this way.
bool pressKey(HWND target, UINT key);

// Answers a message box (or any dialog) by clicking its first push button.
bool pressFirstButton(HWND dialog);

// Control names the command line accepts besides numbers: edit1, edit2,
// button1, button2, label1, label2, status. 0 for an unknown name.
int controlIdByName(const std::string& name);
// The name of a control identifier; empty when it is not one of the tool's.
std::string controlNameOf(int controlId);

// Text as upper-case hex digits of its bytes.
std::string hexOf(const std::string& bytes);
// Back from hex digits; false on an odd length or a non-hex digit.
bool bytesOfHex(const std::string& hex, std::string& bytes);
