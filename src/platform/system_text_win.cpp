#include "platform/system_text_win.h"

#include <shellapi.h>

#include <vector>

ATOM registerWindowClass(const char* className, WNDPROC procedure, UINT classStyle, HCURSOR cursor,
                         HBRUSH background, HINSTANCE instance) {
  WNDCLASSEXA windowClass;
  ZeroMemory(&windowClass, sizeof windowClass);
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = classStyle;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = cursor;
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = className;
  return RegisterClassExA(&windowClass);
}

HWND createWindow(DWORD exStyle, const char* className, const std::string& text, DWORD style, int left,
                  int top, int width, int height, HWND parent, int childId, HINSTANCE instance) {
  HMENU menuOrId = reinterpret_cast<HMENU>(static_cast<intptr_t>(childId));
  return CreateWindowExA(exStyle, className, text.c_str(), style, left, top, width, height, parent,
                         menuOrId, instance, nullptr);
}

LRESULT defaultWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

WNDPROC replaceWindowProcedure(HWND window, WNDPROC procedure) {
  return reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

LRESULT callWindowProcedure(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(procedure, window, message, wParam, lParam);
}

bool takeMessage(MSG& message) { return GetMessageA(&message, nullptr, 0, 0) > 0; }

void dispatchMessage(const MSG& message) { DispatchMessageA(&message); }

void setWindowText(HWND window, const std::string& text) { SetWindowTextA(window, text.c_str()); }

std::string windowText(HWND window) {
  int length = GetWindowTextLengthA(window);
  if (length <= 0) return std::string();
  std::vector<char> buffer(static_cast<size_t>(length) + 1);
  int copied = GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
  return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

void drawTextLine(HDC dc, const std::string& text, RECT box, UINT format) {
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &box, format);
}

int textHeight(HDC dc, const std::string& text) {
  SIZE size{0, 0};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cy;
}

void setWindowNumber(HWND window, const char* name, uintptr_t value) {
  SetPropA(window, name, reinterpret_cast<HANDLE>(value));
}

uintptr_t windowNumber(HWND window, const char* name) {
  return reinterpret_cast<uintptr_t>(GetPropA(window, name));
}

int showMessageBox(HWND owner, const std::string& text, const std::string& title, UINT type) {
  return MessageBoxA(owner, text.c_str(), title.c_str(), type);
}

std::string ownExecutablePath() {
  // Paths may exceed MAX_PATH; grow until the whole name fits.
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) return std::string(buffer.data(), length);
    if (buffer.size() >= 32768) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

bool setWorkingDirectory(const std::string& directory) {
  return SetCurrentDirectoryA(directory.c_str()) != FALSE;
}

std::string environmentVariable(const char* name) {
  char buffer[256];
  DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return std::string();
  return std::string(buffer, length);
}

void openWebAddress(const std::string& address) {
  // The address itself is opened, so the user's default browser takes it.
  ShellExecuteA(nullptr, "open", address.c_str(), nullptr, "", SW_SHOWNORMAL);
}
