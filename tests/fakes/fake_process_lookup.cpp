#include "fakes/fakes.h"
#include "process/name_compare.h"
#include "process/process_lookup.h"

FakeSystem& fakeSystem() {
  static FakeSystem system;
  return system;
}

void resetFakeSystem() { fakeSystem() = FakeSystem(); }

int32_t findProcessId(const std::string& exeName) {
  for (const FakeProcess& process : fakeSystem().processes) {
    if (exeNamesEqual(process.exeName, exeName, false)) return process.pid;
  }
  return 0;
}

std::string findExecutablePath(const std::string& exeName, bool exactCase) {
  ++fakeSystem().findExecutablePathCalls;
  if (fakeSystem().duringFindExecutablePath) fakeSystem().duringFindExecutablePath();
  for (const FakeProcess& process : fakeSystem().processes) {
    if (process.pid != 0 && exeNamesEqual(process.exeName, exeName, exactCase)) return process.exePath;
  }
  return std::string();
}

int32_t executableFileSize(const std::string& path) {
  ++fakeSystem().fileSizeCalls;
  auto size = fakeSystem().fileSizes.find(path);
  return size == fakeSystem().fileSizes.end() || path.empty() ? -1 : size->second;
}
