// The program's entry: start-up, the message loop, and the fatal report.
#include <windows.h>

#include <cstdlib>

#include "app/shared_state.h"
#include "app/startup.h"
#include "app/texts.h"
#include "platform/system_text_win.h"
#include "ui/main_window_win.h"

// Test seam: with this environment variable set to 1 the main window is asked
// for under a class that was never registered, so its creation really fails
// and the fatal report can be tested. Only the Windows tests set it.
static const char kFailWindowCreationVariable[] = "TALLOWICK_FAIL_WINDOW_CREATION";

// Reports a fatal error and ends the process with exit code -1 at once; the
// shutdown step does not run.
[[noreturn]] static void raiseRuntimeError(const std::string& message) {
  stopWindowEvents();  // ticks and clicks that arrive while the box is up are dropped
  showMessageBox(nullptr, runtimeErrorReport(message), kErrorTitle, MB_OK | MB_ICONHAND);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(-1));
  std::abort();  // not reached
}

static void runShutdownStep() { shutDown(); }

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  std::string directory = runDirectoryOf(ownExecutablePath());
  setRunDirectory(directory);
  setWorkingDirectory(directory);

  resetSharedState();
  std::atexit(runShutdownStep);

  bool failCreation = environmentVariable(kFailWindowCreationVariable) == "1";
  if (!createMainWindow(instance, failCreation)) raiseRuntimeError(kWindowLoadFailed);
  return runMessageLoop();
}
