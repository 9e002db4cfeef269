#include "ui/main_window_win.h"

#include "app/startup.h"
#include "app/texts.h"
#include "attach/attach_monitor.h"
#include "capture/capture_handlers.h"
#include "platform/system_text_win.h"
#include "ui/control_ids.h"
#include "ui/resources/resource_ids.h"
#include "ui/window_rules.h"

// The author's page on the forum, opened by a press on 标签1.
static const char kAuthorPageAddress[] = "https://forum.example.org/members/quorvath";

static const char kMainWindowClass[] = "TallowickMainWindow";
static const char kLabelClass[] = "TallowickLabel";
// Never registered: asking for it makes the window's creation fail.
static const char kMissingWindowClass[] = "TallowickNoSuchClass";

constexpr DWORD kMainWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;

// Design-time properties of the controls, from the top of the stacking order
// to the bottom.
struct ControlDesign {
  ControlId control;
  const char* className;
  int left, top, width, height;
  const char* text;
  DWORD style;
  DWORD exStyle;
  uint32_t textColour;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
static const ControlDesign kControls[] = {
    {ControlId::标签1, kLabelClass, 77, 160, 84, 16, kAuthorLabel, kChild, 0, 0xC06000},
    {ControlId::编辑框2, "EDIT", 2, 64, 148, 56, "",
     kChild | WS_TABSTOP | WS_BORDER | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 0, 0xFF8800},
    {ControlId::按钮2, "BUTTON", 154, 72, 64, 36, kDiscardButton,
     kChild | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE, 0, 0},
    // 编辑框1's thin border is drawn with its centred line (see below).
    {ControlId::编辑框1, "EDIT", 2, 8, 148, 28, kBaseNameDefault,
     kChild | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, 0, 0x000000},
    {ControlId::按钮1, "BUTTON", 154, 8, 64, 24, kStartRecording,
     kChild | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE, 0, 0},
    {ControlId::透明标签5, kLabelClass, 0, 140, 226, 20, kStatusDetecting, kChild | WS_DISABLED,
     WS_EX_TRANSPARENT, 0xFF8800},
    {ControlId::标签2, kLabelClass, 3, 47, 84, 16, kCurrentLineLabel, kChild, 0, 0x000000},
};

constexpr int kControlCount = static_cast<int>(ControlId::时钟3) + 1;

struct TimerSlot {
  int32_t period = 0;
  UINT_PTR systemId = 0;  // 0 while idle
};

struct MainWindow {
  HWND window = nullptr;
  HWND controls[kControlCount] = {};
  uint32_t textColours[kControlCount] = {};
  TimerSlot timers[kControlCount];
  UINT_PTR lastTimerId = 0;
  HFONT font = nullptr;
  HICON icon = nullptr;
  int baseNameLineHeight = 0;
  WNDPROC baseNameBoxProcedure = nullptr;
  HWND focusWhenDeactivated = nullptr;
  bool eventsEnabled = false;
  bool built = false;  // closing it from now on ends the message loop
};
static MainWindow theWindow;

static int indexOf(ControlId control) { return static_cast<int>(control); }

HWND controlWindow(ControlId control) { return theWindow.controls[indexOf(control)]; }

void stopWindowEvents() { theWindow.eventsEnabled = false; }

// Every handler of the rest of the tool is run through here, so that nothing
// runs before the created event or while the fatal report is shown.
static void deliver(void (*handler)()) {
  if (theWindow.eventsEnabled) handler();
}

static bool isControlOf(HWND window, ControlId* which) {
  if (window == nullptr) return false;
  for (int i = 0; i < kControlCount; ++i) {
    if (theWindow.controls[i] == window) {
      if (which != nullptr) *which = static_cast<ControlId>(i);
      return true;
    }
  }
  return false;
}

static bool controlTakesFocus(ControlId control) {
  HWND window = controlWindow(control);
  return window != nullptr && IsWindowEnabled(window) && IsWindowVisible(window);
}

// ---- Timers.

int32_t timerPeriod(ControlId timer) { return theWindow.timers[indexOf(timer)].period; }

void changeTimerPeriod(ControlId timer, int32_t milliseconds) {
  TimerSlot& slot = theWindow.timers[indexOf(timer)];
  TimerChange change = timerChangeFor(slot.period, milliseconds);
  if (change.stop && slot.systemId != 0) {
    if (theWindow.window != nullptr) KillTimer(theWindow.window, slot.systemId);
    slot.systemId = 0;
  }
  slot.period = change.period;
  if (change.start && theWindow.window != nullptr) {
    // A fresh identifier each start: a tick of the old rhythm still queued is
    // then told apart and dropped.
    slot.systemId = ++theWindow.lastTimerId;
    SetTimer(theWindow.window, slot.systemId, static_cast<UINT>(change.period), nullptr);
  }
}

static void onSystemTimer(UINT_PTR systemId) {
  if (systemId == theWindow.timers[indexOf(ControlId::时钟1)].systemId) {
    deliver(trackerTick);
  } else if (systemId == theWindow.timers[indexOf(ControlId::时钟3)].systemId) {
    deliver(attachTick);
  } else {
    KillTimer(theWindow.window, systemId);  // a stopped or replaced timer
  }
}

// ---- Status label.

void setStatusLabelColour(uint32_t colour) {
  theWindow.textColours[indexOf(ControlId::透明标签5)] = colour;
  HWND label = controlWindow(ControlId::透明标签5);
  if (label != nullptr) setWindowNumber(label, kStatusColourProperty, colour | kColourPresent);
}

void repaintStatusLabelNow() {
  HWND label = controlWindow(ControlId::透明标签5);
  if (label == nullptr) return;
  // The window beneath the label first, so the old text goes, then whatever
  // overlaps that part, the label included; all before returning.
  RECT area;
  GetWindowRect(label, &area);
  MapWindowPoints(nullptr, theWindow.window, reinterpret_cast<POINT*>(&area), 2);
  RedrawWindow(theWindow.window, &area, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
}

// ---- Labels: painted by the tool itself.

static void paintLabel(HWND label, ControlId control) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(label, &paint);
  RECT box;
  GetClientRect(label, &box);
  UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  if (control == ControlId::透明标签5) {
    // No background of its own: the main window's background shows through,
    // painted into the label as the window would paint it there.
    POINT offset{0, 0};
    MapWindowPoints(label, theWindow.window, &offset, 1);
    POINT previous;
    SetViewportOrgEx(dc, -offset.x, -offset.y, &previous);
    SendMessageA(theWindow.window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
    format |= DT_CENTER;
  } else {
    FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
    format |= DT_LEFT;
  }
  HGDIOBJ previousFont = SelectObject(dc, theWindow.font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, theWindow.textColours[indexOf(control)]);
  drawTextLine(dc, windowText(label), box, format);
  SelectObject(dc, previousFont);
  EndPaint(label, &paint);
}

static LRESULT CALLBACK labelProcedure(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
  ControlId control = ControlId::标签2;
  isControlOf(label, &control);
  switch (message) {
    case WM_PAINT:
      paintLabel(label, control);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the whole label is painted in WM_PAINT
    case WM_NCHITTEST:
      // Presses on 标签2 and on the status label reach the window beneath,
      // which turns them into a drag of the window.
      if (control != ControlId::标签1) return HTTRANSPARENT;
      break;
    case WM_SETCURSOR:
      if (control == ControlId::标签1) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
      // The second press of a double-click arrives as WM_LBUTTONDBLCLK (the
      // class has CS_DBLCLKS), so a double-click opens the page once.
      if (control == ControlId::标签1 && theWindow.eventsEnabled) openWebAddress(kAuthorPageAddress);
      return 0;
    case WM_SETTEXT: {
      LRESULT result = defaultWindowProcedure(label, message, wParam, lParam);
      InvalidateRect(label, nullptr, FALSE);
      return result;
    }
    default:
      break;
  }
  return defaultWindowProcedure(label, message, wParam, lParam);
}

// ---- 编辑框1: its one line centred in the 28-pixel box.
//
// The box is created without WS_BORDER: an edit control draws that border
// around its client area, which here is only the one text line. Instead the
// box's frame is the thin border plus the strips above and below the line,
// all painted here in the box's colours, and none of it takes the caret.

static LineBand baseNameBand(int clientHeight) {
  return centredLineBand(clientHeight, theWindow.baseNameLineHeight);
}

static void paintBaseNameFrame(HWND box) {
  RECT outer;
  GetWindowRect(box, &outer);
  POINT clientOrigin{0, 0};
  ClientToScreen(box, &clientOrigin);
  RECT client;
  GetClientRect(box, &client);
  OffsetRect(&client, clientOrigin.x - outer.left, clientOrigin.y - outer.top);
  RECT whole{0, 0, outer.right - outer.left, outer.bottom - outer.top};
  HDC dc = GetWindowDC(box);
  ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
  FillRect(dc, &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  FrameRect(dc, &whole, GetSysColorBrush(COLOR_WINDOWFRAME));  // as an edit box draws its border
  ReleaseDC(box, dc);
}

static LRESULT CALLBACK baseNameBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCALCSIZE: {
      LRESULT result = callWindowProcedure(theWindow.baseNameBoxProcedure, box, message, wParam, lParam);
      RECT* client = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                            : reinterpret_cast<RECT*>(lParam);
      InflateRect(client, -1, -1);  // the thin border
      LineBand band = baseNameBand(client->bottom - client->top);
      client->top += band.above;
      client->bottom -= band.below;
      return result;
    }
    case WM_NCPAINT:
      paintBaseNameFrame(box);
      return 0;
    default:
      return callWindowProcedure(theWindow.baseNameBoxProcedure, box, message, wParam, lParam);
  }
}

static void centreBaseNameLine(HWND box) {
  HDC dc = GetDC(box);
  HGDIOBJ previous = SelectObject(dc, theWindow.font);
  theWindow.baseNameLineHeight = textHeight(dc, "W");
  SelectObject(dc, previous);
  ReleaseDC(box, dc);
  theWindow.baseNameBoxProcedure = replaceWindowProcedure(box, baseNameBoxProcedure);
  // Have the frame measured again with the new procedure.
  SetWindowPos(box, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// ---- Focus.

static void restoreFocus() {
  HWND saved = theWindow.focusWhenDeactivated;
  ControlId control;
  if (isControlOf(saved, &control) && controlTakesFocus(control)) {
    SetFocus(saved);
    return;
  }
  ControlId first = firstInFocusCycle(controlTakesFocus, ControlId::时钟1);
  if (first != ControlId::时钟1) SetFocus(controlWindow(first));
}

// Tab and Shift+Tab walk the focus cycle; Tab is never typed into a box.
// Enter only starts a new line in 编辑框2, Esc does nothing. True when the
// message has been dealt with here.
static bool handleKeyboard(const MSG& message) {
  if (theWindow.window == nullptr) return false;
  if (message.hwnd != theWindow.window && !IsChild(theWindow.window, message.hwnd)) return false;
  bool inReadOut = message.hwnd == controlWindow(ControlId::编辑框2);
  if (message.message == WM_KEYDOWN) {
    switch (message.wParam) {
      case VK_TAB: {
        if (GetKeyState(VK_CONTROL) < 0) return true;
        ControlId from = ControlId::时钟1;  // outside the cycle
        isControlOf(GetFocus(), &from);
        ControlId to = nextInFocusCycle(from, GetKeyState(VK_SHIFT) < 0, controlTakesFocus);
        if (to != from) SetFocus(controlWindow(to));
        return true;
      }
      case VK_ESCAPE:
        return true;
      case VK_RETURN:
        return !inReadOut;
      default:
        return false;
    }
  }
  if (message.message == WM_CHAR) {
    switch (message.wParam) {
      case '\t':
      case 0x1B:
        return true;
      case '\r':
      case '\n':
        return !inReadOut;
      default:
        return false;
    }
  }
  return false;
}

int runMessageLoop() {
  MSG message;
  while (takeMessage(message)) {
    if (handleKeyboard(message)) continue;
    TranslateMessage(&message);
    dispatchMessage(message);
  }
  return static_cast<int>(message.wParam);
}

// ---- The main window.

static LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CTLCOLOREDIT: {
      ControlId control;
      if (!isControlOf(reinterpret_cast<HWND>(lParam), &control)) break;
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, theWindow.textColours[indexOf(control)]);
      SetBkColor(dc, RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        HWND from = reinterpret_cast<HWND>(lParam);
        if (from != nullptr && from == controlWindow(ControlId::按钮1)) deliver(onStartButtonClicked);
        if (from != nullptr && from == controlWindow(ControlId::按钮2)) deliver(onDiscardButtonClicked);
        return 0;
      }
      break;
    case WM_TIMER:
      onSystemTimer(wParam);
      return 0;
    case WM_LBUTTONDOWN:
      // A press on the window's surface drags it like its caption bar.
      ReleaseCapture();
      SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (isControlOf(focus, nullptr)) theWindow.focusWhenDeactivated = focus;
      } else if (!HIWORD(wParam)) {
        restoreFocus();
      }
      return 0;
    case WM_SETFOCUS:
      restoreFocus();
      return 0;
    case WM_DESTROY:
      for (TimerSlot& slot : theWindow.timers) {
        if (slot.systemId != 0) KillTimer(window, slot.systemId);
        slot = TimerSlot();
      }
      theWindow.window = nullptr;
      for (HWND& control : theWindow.controls) control = nullptr;
      // A window torn down half-built must not end the loop of the fatal
      // report's message box.
      if (theWindow.built) PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return defaultWindowProcedure(window, message, wParam, lParam);
}

static bool registerClasses(HINSTANCE instance) {
  static bool registered = false;
  if (registered) return true;
  HBRUSH buttonFace = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
  registered = registerWindowClass(kMainWindowClass, mainWindowProcedure, 0, arrow, buttonFace, instance) != 0 &&
               registerWindowClass(kLabelClass, labelProcedure, CS_DBLCLKS, arrow, nullptr, instance) != 0;
  return registered;
}

static bool createControls(HINSTANCE instance) {
  for (const ControlDesign& design : kControls) {
    HWND control = createWindow(design.exStyle, design.className, design.text, design.style, design.left,
                                design.top, design.width, design.height, theWindow.window,
                                controlWindowId(design.control), instance);
    if (control == nullptr) return false;
    theWindow.controls[indexOf(design.control)] = control;
    theWindow.textColours[indexOf(design.control)] = design.textColour;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(theWindow.font), FALSE);
    // Stack in table order: each control goes beneath the ones before it.
    SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  setStatusLabelColour(theWindow.textColours[indexOf(ControlId::透明标签5)]);
  centreBaseNameLine(controlWindow(ControlId::编辑框1));
  return true;
}

static void setWindowIcon(HINSTANCE instance) {
  theWindow.icon = static_cast<HICON>(LoadImage(instance, MAKEINTRESOURCE(TALLOWICK_ICON_ID), IMAGE_ICON,
                                                48, 48, LR_DEFAULTCOLOR));
  if (theWindow.icon == nullptr) return;
  // The one 48 x 48 image serves as the large and the small icon.
  SendMessageA(theWindow.window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(theWindow.icon));
  SendMessageA(theWindow.window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(theWindow.icon));
}

bool createMainWindow(HINSTANCE instance, bool useMissingClass) {
  theWindow.font = guiFont();
  if (!registerClasses(instance)) return false;
  WindowOrigin origin = centredOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  theWindow.window = createWindow(0, useMissingClass ? kMissingWindowClass : kMainWindowClass,
                                  kMainWindowCaption, kMainWindowStyle, origin.left, origin.top,
                                  kMainWindowWidth, kMainWindowHeight, nullptr, 0, instance);
  if (theWindow.window == nullptr) return false;

  RECT outer;
  GetWindowRect(theWindow.window, &outer);
  if (outer.right - outer.left != kMainWindowWidth || outer.bottom - outer.top != kMainWindowHeight) {
    SetWindowPos(theWindow.window, nullptr, 0, 0, kMainWindowWidth, kMainWindowHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SetWindowPos(theWindow.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageA(theWindow.window, WM_SETFONT, reinterpret_cast<WPARAM>(theWindow.font), FALSE);
  setWindowIcon(instance);
  if (!createControls(instance)) {
    DestroyWindow(theWindow.window);
    return false;
  }

  theWindow.built = true;
  // The created event: the first event any handler sees.
  theWindow.eventsEnabled = true;
  onWindowCreated();
  if (theWindow.window != nullptr) {
    ShowWindow(theWindow.window, SW_SHOWNORMAL);
    SetForegroundWindow(theWindow.window);
    restoreFocus();
    UpdateWindow(theWindow.window);
  }
  return true;
}
