// Pal5.exe [--build 1..7|unknown] [SCENARIO]
// The simulated game: lays out, at the addresses of one build of the game,
// everything Tallowick reads, then plays the scenario file line by line and
// stays running when it ends (until an exit line, or until it is ended).
// tools/fakegame/README.md describes the scenario format.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fakegame/game_image.h"
#include "fakegame/scenario.h"

namespace {

// The game's memory. With the image based at 0x400000 and no relocation this
// block lies below 32 MiB, where every build keeps its words.
constexpr uint32_t kGameMemorySize = 16u << 20;
uint8_t gGameMemory[kGameMemorySize];

int fail(const std::string& message) {
  std::fprintf(stderr, "Pal5.exe: %s\n", message.c_str());
  return 2;
}

int32_t ownFileSize() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return -1;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path, &found);
  if (search == INVALID_HANDLE_VALUE) return -1;
  FindClose(search);
  return static_cast<int32_t>(found.nFileSizeLow);
}

bool readWholeFile(const std::string& path, std::string& text) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  std::fclose(file);
  return true;
}

std::string folderOf(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Waits for the file NAME beside the scenario. NAME.waiting is there while the
// game waits, so a script knows every line before the hold has been played.
// Both are removed on the way on, NAME.waiting first.
void holdForFile(const std::string& folder, const std::string& name) {
  std::string release = folder + name;
  std::string waiting = release + ".waiting";
  FILE* marker = std::fopen(waiting.c_str(), "wb");
  if (marker != nullptr) std::fclose(marker);
  std::printf("Pal5.exe: holding for %s\n", name.c_str());
  std::fflush(stdout);
  while (!fileExists(release)) Sleep(10);
  DeleteFileA(waiting.c_str());
  // The script may still have the release file open (it has just written it),
  // and then it cannot be deleted yet: try until it is gone.
  while (!DeleteFileA(release.c_str()) && fileExists(release)) Sleep(10);
}

void holdForStdin() {
  std::printf("Pal5.exe: holding; press Enter to go on\n");
  std::fflush(stdout);
  char line[256];
  if (std::fgets(line, sizeof line, stdin) == nullptr) {
    // No input will ever come: hold for good, as the game would idle.
    for (;;) Sleep(1000);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string scenarioPath;
  std::string buildChoice;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--build") == 0 && i + 1 < argc) {
      buildChoice = argv[++i];
    } else if (argv[i][0] == '-' || !scenarioPath.empty()) {
      std::fprintf(stderr, "usage: Pal5.exe [--build 1..7|unknown] [SCENARIO]\n");
      return 2;
    } else {
      scenarioPath = argv[i];
    }
  }

  std::vector<Command> commands;
  if (!scenarioPath.empty()) {
    std::string text;
    if (!readWholeFile(scenarioPath, text)) return fail("cannot read " + scenarioPath);
    std::string error;
    if (!parseScenario(text, scenarioPath, commands, error)) return fail(error);
  }

  // The build: by default the one whose size this file has, as Tallowick
  // decides it; --build names a row of the build table or none.
  const BuildRow* row = nullptr;
  int32_t fileSize = ownFileSize();
  if (buildChoice.empty()) {
    row = findBuildRow(fileSize);
  } else if (buildChoice != "unknown") {
    int index = std::atoi(buildChoice.c_str());
    if (index < 1 || index > static_cast<int>(kBuildCount) || std::to_string(index) != buildChoice)
      return fail("--build takes 1 to " + std::to_string(kBuildCount) + " or unknown");
    row = &kBuildTable[index - 1];
  }

  uintptr_t base = reinterpret_cast<uintptr_t>(gGameMemory);
  if (base + kGameMemorySize > UINT32_MAX) return fail("the game's memory is not at a 32-bit address");
  GameImage image;
  std::string error;
  if (!layOutGame(image, gGameMemory, static_cast<uint32_t>(base), kGameMemorySize, row == nullptr ? nullptr : &row->profile,
                  error))
    return fail(error);

  if (row != nullptr) {
    std::printf("Pal5.exe: build row %d (file size %ld, this file %ld), dialogue list at 0x%X\n",
                static_cast<int>(row - kBuildTable) + 1, static_cast<long>(row->exeFileSize),
                static_cast<long>(fileSize), static_cast<unsigned>(image.layout.dialogueListAddr));
  } else {
    std::printf("Pal5.exe: unknown build (this file %ld bytes), dialogue list at 0x%X\n",
                static_cast<long>(fileSize), static_cast<unsigned>(image.layout.dialogueListAddr));
  }
  std::fflush(stdout);

  std::string folder = folderOf(scenarioPath);
  for (const Command& command : commands) {
    switch (command.kind) {
      case CommandKind::Wait:
        Sleep(static_cast<DWORD>(command.ints[0]));
        break;
      case CommandKind::Hold:
        if (command.name.empty()) holdForStdin();
        else holdForFile(folder, command.name);
        break;
      case CommandKind::Exit:
        std::fflush(stdout);
        return command.ints[0];
      default:
        if (!applyCommand(image, command, error))
          return fail(scenarioPath + ":" + std::to_string(command.lineNumber) + ": " + error);
    }
  }
  // The scene is over; the game stays as it is until it is ended.
  for (;;) Sleep(1000);
}
