#include "app/startup.h"

#include "app/shared_state.h"
#include "app/texts.h"
#include "process/process_lookup.h"
#include "ui/controls.h"

static std::string theRunDirectory;

std::string runDirectoryOf(const std::string& executablePath) {
  // Find the last single-byte backslash; a GBK trail byte can be 0x5C and must
  // not be taken for one.
  size_t lastBackslash = std::string::npos;
  for (size_t i = 0; i < executablePath.size(); ++i) {
    unsigned char byte = static_cast<unsigned char>(executablePath[i]);
    if (byte >= 0x80) {
      ++i;  // two-byte character: skip its trail byte
    } else if (byte == '\\') {
      lastBackslash = i;
    }
  }
  if (lastBackslash == std::string::npos) return std::string();
  return executablePath.substr(0, lastBackslash);
}

std::string runDirectory() { return theRunDirectory; }

void setRunDirectory(const std::string& directory) { theRunDirectory = directory; }

void onWindowCreated() {
  SharedState& state = sharedState();
  storeRelaxed(state.gamePid, findProcessId(kGameExeName));
  if (loadRelaxed(state.gamePid) == 0) setStatusText(kGameNotRunning);
  enableButton(ControlId::按钮1, false);
  setTimerPeriod(ControlId::时钟3, 2000);
}

std::string runtimeErrorReport(const std::string& message) {
  std::string report = kRuntimeErrorHead;
  if (!message.empty()) report += kErrorMessagePrefix + message + "\r\n";
  return report;
}

void shutDown() {
  SharedState& state = sharedState();
  std::string().swap(state.lineText);
  std::string().swap(state.speakerName);
  std::string().swap(state.recordingIniPath);
}
