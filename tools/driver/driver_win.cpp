#include "driver/driver.h"

#include <cstdio>
#include <vector>

#include "ui/control_ids.h"

// How long the driver waits for another process's window to answer a message.
constexpr UINT kAnswerTimeoutMs = 5000;
constexpr DWORD kPollMs = 50;

struct TopWindowSearch {
  const std::string* caption;
  DWORD processId;
  HWND found;
};

static BOOL CALLBACK matchTopWindow(HWND window, LPARAM parameter) {
  TopWindowSearch* search = reinterpret_cast<TopWindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (search->processId != 0 && owner != search->processId) return TRUE;
  if (readText(window) != *search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

HWND findTopWindow(const std::string& caption, DWORD processId) {
  TopWindowSearch search{&caption, processId, nullptr};
  EnumWindows(matchTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND waitForTopWindow(const std::string& caption, DWORD processId, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND window = findTopWindow(caption, processId);
    if (window != nullptr || GetTickCount() - start >= timeoutMs) return window;
    Sleep(kPollMs);
  }
}

static DriverRect driverRect(const RECT& rect) {
  return DriverRect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

DriverWindow describeWindow(HWND window) {
  DriverWindow info;
  if (window == nullptr || !IsWindow(window)) return info;
  info.window = window;
  GetWindowThreadProcessId(window, &info.processId);
  char className[256] = {0};
  GetClassNameA(window, className, sizeof className);
  info.className = className;
  info.style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
  info.exStyle = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
  info.controlId = (info.style & WS_CHILD) ? GetDlgCtrlID(window) : 0;
  RECT outer;
  GetWindowRect(window, &outer);
  info.screen = driverRect(outer);
  HWND parent = (info.style & WS_CHILD) ? GetParent(window) : nullptr;
  if (parent != nullptr) {
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&outer), 2);
    info.client = driverRect(outer);
  } else {
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    info.client = driverRect(client);
  }
  info.enabled = IsWindowEnabled(window) != FALSE;
  info.visible = IsWindowVisible(window) != FALSE;
  info.topmost = (info.exStyle & WS_EX_TOPMOST) != 0;
  info.text = readText(window);
  uintptr_t colour = reinterpret_cast<uintptr_t>(GetPropA(window, kStatusColourProperty));
  info.hasColour = (colour & kColourPresent) != 0;
  info.colour = static_cast<uint32_t>(colour & 0xFFFFFF);
  return info;
}

std::vector<DriverWindow> listChildren(HWND parent) {
  std::vector<DriverWindow> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(describeWindow(child));
  }
  return children;
}

HWND findChild(HWND parent, int controlId) {
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (GetDlgCtrlID(child) == controlId) return child;
  }
  return nullptr;
}

// Texts are GBK like the tool's own, whatever the system's code page: they are
// exchanged with the windows as UTF-16 and converted with code page 936.
std::string readText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &length)) {
    return std::string();
  }
  // Ask for a little more in case it grew.
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 64, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                           SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &copied)) {
    return std::string();
  }
  if (copied > buffer.size() - 1) copied = buffer.size() - 1;
  if (copied == 0) return std::string();
  int size = WideCharToMultiByte(936, 0, buffer.data(), static_cast<int>(copied), nullptr, 0, nullptr, nullptr);
  std::string text(size > 0 ? static_cast<size_t>(size) : 0, '\0');
  if (size > 0) WideCharToMultiByte(936, 0, buffer.data(), static_cast<int>(copied), &text[0], size, nullptr, nullptr);
  return text;
}

bool setText(HWND window, const std::string& text) {
  std::wstring wide(text.size() + 1, L'\0');
  int length = text.empty() ? 0
                            : MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                                  static_cast<int>(wide.size()));
  wide.resize(length > 0 ? static_cast<size_t>(length) : 0);
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), SMTO_ABORTIFHUNG,
                             kAnswerTimeoutMs, &result) != 0 &&
         result != 0;
}

bool clickButton(HWND button) {
  if (button == nullptr || !IsWindow(button) || !IsWindowEnabled(button)) return false;
  return PostMessageA(button, BM_CLICK, 0, 0) != FALSE;
}

bool closeWindow(HWND window) { return window != nullptr && PostMessageA(window, WM_CLOSE, 0, 0) != FALSE; }

bool waitForText(HWND window, const std::string& text, DWORD timeoutMs, std::string* lastText) {
  DWORD start = GetTickCount();
  for (;;) {
    std::string now = readText(window);
    if (lastText != nullptr) *lastText = now;
    if (now == text) return true;
    if (!IsWindow(window) || GetTickCount() - start >= timeoutMs) return false;
    Sleep(kPollMs);
  }
}

HWND focusedWindow(HWND window) {
  GUITHREADINFO thread;
  ZeroMemory(&thread, sizeof thread);
  thread.cbSize = sizeof thread;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread)) return nullptr;
  return thread.hwndFocus;
}

bool pressKey(HWND target, UINT key) {
  UINT scanCode = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
  LPARAM down = 1 | static_cast<LPARAM>(scanCode << 16);
  LPARAM up = down | (static_cast<LPARAM>(1) << 30) | (static_cast<LPARAM>(1) << 31);
  return PostMessageA(target, WM_KEYDOWN, key, down) && PostMessageA(target, WM_KEYUP, key, up);
}

bool pressFirstButton(HWND dialog) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    char className[64] = {0};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Button") == 0) return clickButton(child);
  }
  return false;
}

struct NamedControl {
  const char* name;
  ControlId control;
};
static const NamedControl kControlNames[] = {
    {"edit1", ControlId::编辑框1},  {"edit2", ControlId::编辑框2}, {"button1", ControlId::按钮1},
    {"button2", ControlId::按钮2},  {"label1", ControlId::标签1},  {"label2", ControlId::标签2},
    {"status", ControlId::透明标签5},
};

int controlIdByName(const std::string& name) {
  for (const NamedControl& named : kControlNames) {
    if (name == named.name) return controlWindowId(named.control);
  }
  return 0;
}

std::string controlNameOf(int controlId) {
  for (const NamedControl& named : kControlNames) {
    if (controlWindowId(named.control) == controlId) return named.name;
  }
  return std::string();
}

std::string hexOf(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char byte : bytes) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0x0F];
  }
  return hex;
}

static int hexDigit(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  return -1;
}

bool bytesOfHex(const std::string& hex, std::string& bytes) {
  bytes.clear();
  if (hex.size() % 2 != 0) return false;
  for (size_t i = 0; i < hex.size(); i += 2) {
    int high = hexDigit(hex[i]), low = hexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes += static_cast<char>(high * 16 + low);
  }
  return true;
}
