// Every Windows call of the tool that takes or gives text, window messages
// that carry text included, goes through this file. Texts here are the tool's
// own GBK byte texts. Making the tool independent of the system's code page
// means converting here and calling the wide functions; nothing else changes.
#pragma once

#include <windows.h>

#include <string>

// Window classes, windows and their procedures.
ATOM registerWindowClass(const char* className, WNDPROC procedure, UINT classStyle, HCURSOR cursor,
                         HBRUSH background, HINSTANCE instance);
HWND createWindow(DWORD exStyle, const char* className, const std::string& text, DWORD style, int left,
                  int top, int width, int height, HWND parent, int childId, HINSTANCE instance);
LRESULT defaultWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Puts `procedure` in front of a window's own; returns the one it replaced.
WNDPROC replaceWindowProcedure(HWND window, WNDPROC procedure);
LRESULT callWindowProcedure(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The message loop's side: false once WM_QUIT has been taken (or on failure).
bool takeMessage(MSG& message);
void dispatchMessage(const MSG& message);

// Window texts.
void setWindowText(HWND window, const std::string& text);
std::string windowText(HWND window);

// Painting text: one line in `box` with DrawText's `format`, and the height of
// a text in the font selected into `dc`.
void drawTextLine(HDC dc, const std::string& text, RECT box, UINT format);
int textHeight(HDC dc, const std::string& text);

// A window property holding a number.
void setWindowNumber(HWND window, const char* name, uintptr_t value);
uintptr_t windowNumber(HWND window, const char* name);

// The font of the window and its controls: the system's default GUI font.
// Where the system's code page is not 936 that font has no Chinese glyphs, so
// the same font is asked for with the GB2312 character set instead (same size
// and style), and the system picks a face that can show the tool's texts.
HFONT guiFont();

// Message boxes; the result is the button that closed it.
int showMessageBox(HWND owner, const std::string& text, const std::string& title, UINT type);

// The running program's own file, the working directory and the environment.
std::string ownExecutablePath();
bool setWorkingDirectory(const std::string& directory);
std::string environmentVariable(const char* name);

// Opens a web address in the user's default browser; failures are not reported.
void openWebAddress(const std::string& address);
