// Tallowick's main window as another program sees it: started for real under
// Wine and inspected with the test driver (tools/driver).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/texts.h"
#include "attach/attach_monitor.h"
#include "driver/driver.h"
#include "ui/control_ids.h"
#include "windows/child_process.h"

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 15000;

std::string tallowickPath() { return builtProgram("Tallowick.exe"); }

// Starts Tallowick and waits for its main window.
HWND startTallowick(ChildProcess& child) {
  if (!startChild("\"" + tallowickPath() + "\"", child)) return nullptr;
  return waitForTopWindow(kMainWindowCaption, child.processId, kStartTimeoutMs);
}

struct ExpectedControl {
  ControlId control;
  const char* className;
  DriverRect rect;  // relative to the main window's client area
  const char* text;
  bool enabled;
  DWORD styleBits;     // must all be set
  DWORD absentBits;    // must all be clear
  DWORD exStyle;
};

constexpr DWORD kChildBits = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kButtonBits = kChildBits | WS_TABSTOP | BS_CENTER | BS_VCENTER | BS_MULTILINE;

// The form, top of the stacking order first. The edit boxes' thin border is
// painted by the boxes themselves (an edit control takes WS_BORDER out of its
// window style and draws it), so it is not looked for in the style.
const ExpectedControl kForm[] = {
    {ControlId::标签1, "TallowickLabel", {77, 160, 84, 16}, kAuthorLabel, true, kChildBits, WS_TABSTOP, 0},
    {ControlId::编辑框2, "Edit", {2, 64, 148, 56}, "", true,
     kChildBits | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
     WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL | ES_READONLY | ES_NOHIDESEL | ES_CENTER | ES_RIGHT, 0},
    {ControlId::按钮2, "Button", {154, 72, 64, 36}, kDiscardButton, true, kButtonBits, BS_DEFPUSHBUTTON, 0},
    {ControlId::编辑框1, "Edit", {2, 8, 148, 28}, kBaseNameDefault, true, kChildBits | WS_TABSTOP | ES_AUTOHSCROLL,
     ES_MULTILINE | ES_READONLY | ES_PASSWORD | ES_UPPERCASE | ES_LOWERCASE | ES_NUMBER | ES_NOHIDESEL, 0},
    // Disabled by the window-created handler: no game runs in these tests.
    {ControlId::按钮1, "Button", {154, 8, 64, 24}, kStartRecording, false, kButtonBits, BS_DEFPUSHBUTTON, 0},
    {ControlId::透明标签5, "TallowickLabel", {0, 140, 226, 20}, kGameNotRunning, false, kChildBits | WS_DISABLED,
     WS_TABSTOP, WS_EX_TRANSPARENT},
    {ControlId::标签2, "TallowickLabel", {3, 47, 84, 16}, kCurrentLineLabel, true, kChildBits, WS_TABSTOP, 0},
};

TEST(MainWindow, StartsAsDesignedWithoutTheGameAndClosesWithExitCodeZero) {
  ChildProcess tallowick;
  ChildGuard guard{tallowick};
  HWND window = startTallowick(tallowick);
  ASSERT_NE(window, nullptr);
  // The created handler has run before the window is shown.
  ASSERT_TRUE(waitForText(findChild(window, controlWindowId(ControlId::透明标签5)), kGameNotRunning, 5000,
                          nullptr));

  DriverWindow main = describeWindow(window);
  EXPECT_EQ(main.text, "Tallowick");
  EXPECT_EQ(main.screen.width, 228);
  EXPECT_EQ(main.screen.height, 208);
  EXPECT_EQ(main.screen.left, (GetSystemMetrics(SM_CXSCREEN) - 228) / 2);
  EXPECT_EQ(main.screen.top, (GetSystemMetrics(SM_CYSCREEN) - 208) / 2);
  const DWORD wanted = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE;
  EXPECT_EQ(main.style & wanted, wanted);
  EXPECT_EQ(main.style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_POPUP | WS_CHILD | WS_DISABLED), 0u);
  // Topmost, and nothing else but the edge the system gives every captioned window.
  EXPECT_EQ(main.exStyle & ~static_cast<DWORD>(WS_EX_WINDOWEDGE), static_cast<DWORD>(WS_EX_TOPMOST));
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
  EXPECT_EQ(GetMenu(window), nullptr);

  std::vector<DriverWindow> children = listChildren(window);
  ASSERT_EQ(children.size(), sizeof kForm / sizeof kForm[0]);
  for (size_t i = 0; i < children.size(); ++i) {
    const ExpectedControl& want = kForm[i];
    const DriverWindow& got = children[i];
    SCOPED_TRACE(controlNameOf(controlWindowId(want.control)));
    EXPECT_EQ(got.controlId, controlWindowId(want.control));  // stacking order
    EXPECT_EQ(lstrcmpiA(got.className.c_str(), want.className), 0) << got.className;
    EXPECT_EQ(got.client.left, want.rect.left);
    EXPECT_EQ(got.client.top, want.rect.top);
    EXPECT_EQ(got.client.width, want.rect.width);
    EXPECT_EQ(got.client.height, want.rect.height);
    EXPECT_EQ(got.text, want.text);
    EXPECT_EQ(got.enabled, want.enabled);
    EXPECT_EQ(got.style & want.styleBits, want.styleBits);
    EXPECT_EQ(got.style & want.absentBits, 0u);
    EXPECT_EQ(got.exStyle, want.exStyle);
  }
  DriverWindow status = describeWindow(findChild(window, controlWindowId(ControlId::透明标签5)));
  ASSERT_TRUE(status.hasColour);
  EXPECT_EQ(status.colour, 0xFF8800u);  // only the text was set

  // 按钮1 being disabled, the focus starts in 编辑框1.
  GUITHREADINFO thread;
  ZeroMemory(&thread, sizeof thread);
  thread.cbSize = sizeof thread;
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread));
  EXPECT_EQ(thread.hwndFocus, findChild(window, controlWindowId(ControlId::编辑框1)));

  ASSERT_TRUE(closeWindow(window));
  DWORD exitCode = 1;
  ASSERT_TRUE(waitForChildExit(tallowick, kExitTimeoutMs, &exitCode));
  EXPECT_EQ(exitCode, 0u);
}

TEST(MainWindow, WithTheGameRunningKeepsTheDesignStatusUntilTheFirstAttachTick) {
  ChildProcess game, tallowick;
  ChildGuard gameGuard{game};
  ChildGuard tallowickGuard{tallowick};
  ASSERT_FALSE(startStandInGame("game-running", "Pal5.exe", game).empty());
  HWND window = startTallowick(tallowick);
  ASSERT_NE(window, nullptr);
  HWND status = findChild(window, controlWindowId(ControlId::透明标签5));
  HWND startButton = findChild(window, controlWindowId(ControlId::按钮1));

  // The game was found (so no "not running"), and nothing else happens until
  // the attach timer's first tick, 2000 ms after the window was created.
  EXPECT_EQ(readText(status), kStatusDetecting);
  EXPECT_FALSE(IsWindowEnabled(startButton));

  // The stand-in's file size is no known build: the first tick says so in red
  // and enables the start button, which shows the tick had the game's pid.
  std::string last;
  EXPECT_TRUE(waitForText(status, kUnknownBuild, 15000, &last)) << hexOf(last);
  EXPECT_EQ(describeWindow(status).colour, kUnknownBuildColour);
  EXPECT_TRUE(IsWindowEnabled(startButton));
}

// Polls until the focus in the window's thread is on `expected`.
bool waitForFocus(HWND window, HWND expected) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    if (focusedWindow(window) == expected) return true;
    Sleep(25);
  }
  return false;
}

TEST(MainWindow, TabWalksTheFocusCycleAndEnterAndEscDoNothingOutsideTheReadOutBox) {
  ChildProcess tallowick;
  ChildGuard guard{tallowick};
  HWND window = startTallowick(tallowick);
  ASSERT_NE(window, nullptr);
  HWND baseName = findChild(window, controlWindowId(ControlId::编辑框1));
  HWND readOut = findChild(window, controlWindowId(ControlId::编辑框2));
  HWND discard = findChild(window, controlWindowId(ControlId::按钮2));
  ASSERT_TRUE(waitForFocus(window, baseName));

  // Keys go to the focused control in order; where a step names no focus to
  // wait for, the next step's wait shows its keys have been dealt with.
  struct Step {
    UINT key;
    HWND focusAfter;  // null: do not wait
  } steps[] = {
      {VK_TAB, discard}, {VK_TAB, readOut}, {VK_TAB, baseName},  // 按钮1 is disabled and left out
      {VK_RETURN, nullptr}, {VK_ESCAPE, nullptr}, {VK_TAB, discard},
      {VK_TAB, readOut}, {VK_RETURN, nullptr}, {VK_TAB, baseName},
  };
  for (const Step& step : steps) {
    ASSERT_TRUE(pressKey(focusedWindow(window), step.key));
    if (step.focusAfter != nullptr) {
      ASSERT_TRUE(waitForFocus(window, step.focusAfter)) << "key " << step.key;
    }
  }
  EXPECT_TRUE(IsWindow(window)) << "Esc does not close the window";
  EXPECT_EQ(readText(baseName), kBaseNameDefault) << "Tab and Enter are not typed into 编辑框1";
  EXPECT_EQ(readText(readOut), "\r\n") << "Enter starts a new line in 编辑框2, Tab is not typed";
}

// The message box of the fatal report, owned by no window of Tallowick.
HWND waitForReport(DWORD processId) { return waitForTopWindow(kErrorTitle, processId, kStartTimeoutMs); }

TEST(FatalReport, WindowThatCannotBeCreatedIsReportedAndEndsWithMinusOne) {
  ChildProcess tallowick;
  ChildGuard guard{tallowick};
  {
    // The test seam: Tallowick asks for a window class that does not exist.
    ScopedEnvironment failCreation("TALLOWICK_FAIL_WINDOW_CREATION", "1");
    ASSERT_TRUE(startChild("\"" + tallowickPath() + "\"", tallowick));
  }
  HWND report = waitForReport(tallowick.processId);
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(findTopWindow(kMainWindowCaption, tallowick.processId), nullptr);
  EXPECT_EQ(GetWindow(report, GW_OWNER), nullptr);

  // The message text and the stop icon are the box's static controls.
  std::string expected = std::string(kRuntimeErrorHead) + kErrorMessagePrefix + kWindowLoadFailed + "\r\n";
  bool textFound = false, iconShown = false;
  int buttons = 0;
  for (const DriverWindow& child : listChildren(report)) {
    if (lstrcmpiA(child.className.c_str(), "Static") == 0) {
      if ((child.style & SS_TYPEMASK) == SS_ICON) {
        iconShown = iconShown || child.visible;
      } else if (child.text == expected) {
        textFound = true;
      }
    }
    if (lstrcmpiA(child.className.c_str(), "Button") == 0 && child.visible) ++buttons;
  }
  EXPECT_TRUE(textFound) << "the report's text";
  EXPECT_TRUE(iconShown) << "the stop icon";
  EXPECT_EQ(buttons, 1) << "a single OK button";

  // Until the report is answered the process waits.
  DWORD exitCode = 0;
  EXPECT_FALSE(waitForChildExit(tallowick, 500, &exitCode));
  ASSERT_TRUE(pressFirstButton(report));
  ASSERT_TRUE(waitForChildExit(tallowick, kExitTimeoutMs, &exitCode));
  EXPECT_EQ(exitCode, static_cast<DWORD>(-1));
}

TEST(ProgramFile, CarriesItsVersionAndA48PixelIconWithAlpha) {
  std::string path = tallowickPath();
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000000u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010001u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000000u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                             &length));
  ASSERT_EQ(length, 4u);  // one string table
  EXPECT_EQ(translation[0], 0x0804);
  EXPECT_EQ(translation[1], 1200);
  for (const char* key : {"FileVersion", "ProductVersion"}) {
    char* value = nullptr;
    std::string query = std::string("\\StringFileInfo\\080404b0\\") + key;
    ASSERT_TRUE(VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << key;
    EXPECT_STREQ(value, "1.1.0.0") << key;
  }

  // The icon group holds one image: 48 x 48 at 32 bits per pixel, with alpha.
  HMODULE program = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  HRSRC group = FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  const BYTE* directory = static_cast<const BYTE*>(LockResource(LoadResource(program, group)));
  ASSERT_NE(directory, nullptr);
  WORD count = *reinterpret_cast<const WORD*>(directory + 4);
  EXPECT_EQ(count, 1);
  const BYTE* entry = directory + 6;  // width, height, colours, reserved, planes, bit count, ...
  EXPECT_EQ(entry[0], 48);
  EXPECT_EQ(entry[1], 48);
  EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), 32);
  WORD imageId = *reinterpret_cast<const WORD*>(entry + 12);
  HRSRC image = FindResourceA(program, MAKEINTRESOURCEA(imageId), MAKEINTRESOURCEA(3));  // RT_ICON
  ASSERT_NE(image, nullptr);
  const BYTE* bits = static_cast<const BYTE*>(LockResource(LoadResource(program, image)));
  const BITMAPINFOHEADER* header = reinterpret_cast<const BITMAPINFOHEADER*>(bits);
  EXPECT_EQ(header->biBitCount, 32);
  // Some pixels are see-through and some opaque: the alpha channel is used.
  const BYTE* pixels = bits + header->biSize;
  bool clear = false, opaque = false;
  for (int i = 0; i < 48 * 48; ++i) {
    clear = clear || pixels[i * 4 + 3] == 0;
    opaque = opaque || pixels[i * 4 + 3] == 255;
  }
  EXPECT_TRUE(clear && opaque);
  FreeLibrary(program);
}

}  // namespace
