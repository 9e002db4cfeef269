#include "platform/system_text_win.h"

#include <shellapi.h>

#include <vector>

#include "platform/gbk_wide_win.h"

// The window and its controls are Unicode windows: their texts go in and come
// out as GBK converted with code page 936, not through the system's code page.

ATOM registerWindowClass(const char* className, WNDPROC procedure, UINT classStyle, HCURSOR cursor,
                         HBRUSH background, HINSTANCE instance) {
  const std::wstring wideClassName = gbkToWide(className);
  WNDCLASSEXW windowClass;
  ZeroMemory(&windowClass, sizeof windowClass);
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = classStyle;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = cursor;
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = wideClassName.c_str();
  return RegisterClassExW(&windowClass);
}

HWND createWindow(DWORD exStyle, const char* className, const std::string& text, DWORD style, int left,
                  int top, int width, int height, HWND parent, int childId, HINSTANCE instance) {
  HMENU menuOrId = reinterpret_cast<HMENU>(static_cast<intptr_t>(childId));
  return CreateWindowExW(exStyle, gbkToWide(className).c_str(), gbkToWide(text).c_str(), style, left, top, width,
                         height, parent, menuOrId, instance, nullptr);
}

LRESULT defaultWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

WNDPROC replaceWindowProcedure(HWND window, WNDPROC procedure) {
  return reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

LRESULT callWindowProcedure(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(procedure, window, message, wParam, lParam);
}

bool takeMessage(MSG& message) { return GetMessageW(&message, nullptr, 0, 0) > 0; }

void dispatchMessage(const MSG& message) { DispatchMessageW(&message); }

void setWindowText(HWND window, const std::string& text) { SetWindowTextW(window, gbkToWide(text).c_str()); }

std::string windowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  if (length <= 0) return std::string();
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  int copied = GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
  return wideToGbk(std::wstring(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0));
}

void drawTextLine(HDC dc, const std::string& text, RECT box, UINT format) {
  const std::wstring wide = gbkToWide(text);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &box, format);
}

int textHeight(HDC dc, const std::string& text) {
  SIZE size{0, 0};
  const std::wstring wide = gbkToWide(text);
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  return size.cy;
}

void setWindowNumber(HWND window, const char* name, uintptr_t value) {
  SetPropA(window, name, reinterpret_cast<HANDLE>(value));
}

uintptr_t windowNumber(HWND window, const char* name) {
  return reinterpret_cast<uintptr_t>(GetPropA(window, name));
}

HFONT guiFont() {
  static HFONT font = [] {
    HFONT standard = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW description;
    if (GetACP() == 936 || GetObjectW(standard, sizeof description, &description) == 0) return standard;
    description.lfCharSet = GB2312_CHARSET;
    description.lfFaceName[0] = L'\0';
    HFONT chinese = CreateFontIndirectW(&description);  // kept for the life of the process
    return chinese != nullptr ? chinese : standard;
  }();
  return font;
}

int showMessageBox(HWND owner, const std::string& text, const std::string& title, UINT type) {
  return MessageBoxW(owner, gbkToWide(text).c_str(), gbkToWide(title).c_str(), type);
}

std::string ownExecutablePath() {
  // Paths may exceed MAX_PATH; grow until the whole name fits.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size() || buffer.size() >= 32768) {
      std::string path;
      return windowsPathToGbk(std::wstring(buffer.data(), length), path) ? path : std::string();
    }
    buffer.resize(buffer.size() * 2);
  }
}

bool setWorkingDirectory(const std::string& directory) {
  return SetCurrentDirectoryW(widePath(directory).c_str()) != FALSE;
}

std::string environmentVariable(const char* name) {
  char buffer[256];
  DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return std::string();
  return std::string(buffer, length);
}

void openWebAddress(const std::string& address) {
  // The address itself is opened, so the user's default browser takes it.
  ShellExecuteW(nullptr, L"open", gbkToWide(address).c_str(), nullptr, L"", SW_SHOWNORMAL);
}
