// driver: Tallowick's main window from the command line, for scripts and
// end-to-end tests. See README.md beside this file.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/gbk_utf8.h"
#include "driver/driver.h"

namespace {

const char kUsage[] =
    "usage: driver [--caption TEXT] [--pid N] [--timeout MS] [--utf8] COMMAND [ARGS]\n"
    "  window              the top-level window: rectangles, styles, state, caption\n"
    "  list                one line per child control\n"
    "  text CONTROL        the control's text\n"
    "  set CONTROL TEXT    replace an edit box's text\n"
    "  click CONTROL       click a button (refused while it is disabled)\n"
    "  close               close the window\n"
    "  wait CONTROL TEXT   wait until the control's text equals TEXT\n"
    "  wait-gone           wait until the window no longer exists\n"
    "  dismiss             click the window's first button (a message box's OK)\n"
    "  focus               the control that has the keyboard focus\n"
    "  key KEY             press KEY (tab, enter, escape, space, or a virtual-key number)\n"
    "                      in the control that has the focus\n"
    "  idle MS             do nothing for MS milliseconds (a copy stands in for a game)\n"
    "CONTROL: edit1 edit2 button1 button2 label1 label2 status, or a number.\n"
    "TEXT: as typed, or hex:BYTES for code page 936 bytes in hex.\n";

struct Options {
  std::string caption = "Tallowick";
  DWORD processId = 0;
  DWORD timeoutMs = 10000;
  bool utf8 = false;
  std::vector<std::string> words;  // the command and its arguments (GBK)
};

// Command-line words, taken wide from the system and converted to the tool's
// code page 936 ourselves, whatever code page this process runs with.
std::vector<std::string> commandLineWords() {
  std::vector<std::string> words;
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr) return words;
  for (int i = 1; i < count; ++i) {
    int length = WideCharToMultiByte(936, 0, arguments[i], -1, nullptr, 0, nullptr, nullptr);
    std::string word(length > 0 ? static_cast<size_t>(length) : 1, '\0');
    if (length > 0) WideCharToMultiByte(936, 0, arguments[i], -1, &word[0], length, nullptr, nullptr);
    word.resize(word.size() - 1);  // the terminating zero
    words.push_back(word);
  }
  LocalFree(arguments);
  return words;
}

bool parseOptions(Options& options) {
  std::vector<std::string> words = commandLineWords();
  size_t i = 0;
  for (; i < words.size() && words[i].rfind("--", 0) == 0; ++i) {
    const std::string& word = words[i];
    if (word == "--utf8") {
      options.utf8 = true;
    } else if (i + 1 < words.size() && word == "--caption") {
      options.caption = words[++i];
    } else if (i + 1 < words.size() && word == "--pid") {
      options.processId = static_cast<DWORD>(std::strtoul(words[++i].c_str(), nullptr, 10));
    } else if (i + 1 < words.size() && word == "--timeout") {
      options.timeoutMs = static_cast<DWORD>(std::strtoul(words[++i].c_str(), nullptr, 10));
    } else {
      return false;
    }
  }
  options.words.assign(words.begin() + static_cast<long>(i), words.end());
  return !options.words.empty();
}

// hex:BYTES gives the bytes themselves; anything else is the text as typed.
bool textArgument(const std::string& word, std::string& text) {
  if (word.rfind("hex:", 0) == 0) return bytesOfHex(word.substr(4), text);
  text = word;
  return true;
}

// A text in the output: hex of its bytes, or UTF-8 with \ \r \n \t escaped.
std::string shownText(const std::string& gbk, bool utf8) {
  if (!utf8) return "hex:" + hexOf(gbk);
  std::string converted, shown;
  gbkToUtf8(gbk, converted);
  for (char c : converted) {
    switch (c) {
      case '\\': shown += "\\\\"; break;
      case '\r': shown += "\\r"; break;
      case '\n': shown += "\\n"; break;
      case '\t': shown += "\\t"; break;
      default: shown += c;
    }
  }
  return shown;
}

std::string rectText(const DriverRect& r) {
  char text[64];
  std::snprintf(text, sizeof text, "%d,%d,%d,%d", r.left, r.top, r.width, r.height);
  return text;
}

std::string hex32(unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", value);
  return text;
}

void printWindow(const char* kind, const DriverWindow& w, bool utf8) {
  std::string line = kind;
  if (w.style & WS_CHILD) {
    line += " id=" + std::to_string(w.controlId);
    std::string name = controlNameOf(w.controlId);
    line += " name=" + (name.empty() ? std::string("-") : name);
  } else {
    line += " pid=" + std::to_string(w.processId);
  }
  line += " class=" + w.className;
  line += " screen=" + rectText(w.screen);
  line += " client=" + rectText(w.client);
  line += " style=" + hex32(w.style);
  line += " exstyle=" + hex32(w.exStyle);
  line += std::string(" enabled=") + (w.enabled ? "1" : "0");
  line += std::string(" visible=") + (w.visible ? "1" : "0");
  if (!(w.style & WS_CHILD)) line += std::string(" topmost=") + (w.topmost ? "1" : "0");
  if (w.hasColour) line += " colour=" + hex32(w.colour);
  line += " text=" + shownText(w.text, utf8);
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
}

HWND controlArgument(HWND window, const std::string& word) {
  int id = controlIdByName(word);
  if (id == 0) id = std::atoi(word.c_str());
  return id != 0 ? findChild(window, id) : nullptr;
}

UINT keyByName(const std::string& name) {
  if (name == "tab") return VK_TAB;
  if (name == "enter") return VK_RETURN;
  if (name == "escape") return VK_ESCAPE;
  if (name == "space") return VK_SPACE;
  return static_cast<UINT>(std::strtoul(name.c_str(), nullptr, 0));
}

int fail(const char* what) {
  std::fprintf(stderr, "driver: %s\n", what);
  return 1;
}

int run(const Options& options) {
  const std::vector<std::string>& w = options.words;
  const std::string& command = w[0];
  if (command == "idle" && w.size() == 2) {
    Sleep(static_cast<DWORD>(std::strtoul(w[1].c_str(), nullptr, 10)));
    return 0;
  }
  HWND window = waitForTopWindow(options.caption, options.processId, options.timeoutMs);
  if (command == "wait-gone" && w.size() == 1) {
    DWORD start = GetTickCount();
    while (window != nullptr && IsWindow(window)) {
      if (GetTickCount() - start >= options.timeoutMs) return fail("the window is still there");
      Sleep(50);
    }
    return 0;
  }
  if (window == nullptr) return fail("no window with that caption");
  if (command == "window" && w.size() == 1) {
    printWindow("window", describeWindow(window), options.utf8);
    return 0;
  }
  if (command == "list" && w.size() == 1) {
    for (const DriverWindow& child : listChildren(window)) printWindow("control", child, options.utf8);
    return 0;
  }
  if (command == "close" && w.size() == 1) return closeWindow(window) ? 0 : fail("cannot close");
  if (command == "dismiss" && w.size() == 1) return pressFirstButton(window) ? 0 : fail("no button to press");
  if (command == "focus" && w.size() == 1) {
    HWND focus = focusedWindow(window);
    if (focus == nullptr) return fail("nothing has the focus");
    printWindow(focus == window ? "window" : "control", describeWindow(focus), options.utf8);
    return 0;
  }
  if (command == "key" && w.size() == 2) {
    HWND focus = focusedWindow(window);
    UINT key = keyByName(w[1]);
    if (key == 0) return 2;
    return pressKey(focus != nullptr ? focus : window, key) ? 0 : fail("cannot press the key");
  }
  if (w.size() < 2) return 2;
  HWND control = controlArgument(window, w[1]);
  if (control == nullptr) return fail("no such control");
  if (command == "text" && w.size() == 2) {
    std::string shown = shownText(readText(control), options.utf8) + "\n";
    std::fwrite(shown.data(), 1, shown.size(), stdout);
    return 0;
  }
  if (command == "click" && w.size() == 2) return clickButton(control) ? 0 : fail("the button is disabled");
  std::string text;
  if (w.size() != 3) return 2;
  if (!textArgument(w[2], text)) return fail("bad hex text");
  if (command == "set") return setText(control, text) ? 0 : fail("the control did not take the text");
  if (command == "wait") {
    std::string last;
    if (waitForText(control, text, options.timeoutMs, &last)) return 0;
    std::string message = "timed out; the text is " + shownText(last, options.utf8);
    return fail(message.c_str());
  }
  return 2;
}

}  // namespace

int main() {
  Options options;
  int status = parseOptions(options) ? run(options) : 2;
  if (status == 2) std::fputs(kUsage, stderr);
  std::fflush(stdout);
  return status;
}
