// Per-line cost of recording a line (key "s", then key "c", in a new section)
// at lines 1, 1,000, 10,000 and 50,000 of a recording, with the tool's writer
// and with WritePrivateProfileStringA, in the same run.
//
// Each point has its own file holding the lines before it. The points are
// measured in turns (one line at each point, then the next line at each), so
// that whatever else runs on the machine meanwhile weighs on all of them alike,
// and the median of each point's timings is reported. The system writer
// rewrites the whole file on every call, so it is measured for a few turns only.
//   recording_bench [last-point]    (default 50000)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "capture/recording_writer.h"
#include "../median_time.h"

namespace {

// A speaker name and a line text of a typical length, in GBK.
const std::string kSpeaker = "\xC0\xEE\xE5\xD0\xD2\xA3";  // 李逍遥
std::string lineText(int line) {
  std::string text;
  for (int i = 0; i < 18; ++i) text += "\xC4\xE3\xBA\xC3";  // 你好
  return text + std::to_string(line);
}
std::string sectionOf(int line) { return std::to_string(50000 + line); }

// The recording of lines 1 .. count, as both writers leave it.
std::string recordingOf(int count) {
  std::string text;
  for (int line = 1; line <= count; ++line) {
    text += "[" + sectionOf(line) + "]\r\ns=" + kSpeaker + "\r\nc=" + lineText(line) + "\r\n";
  }
  return text;
}

void putFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD put = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
  CloseHandle(file);
}

struct Point {
  int line;
  std::string toolPath;
  std::string systemPath;
  RecordingWriter writer;
  int nextLine = 0;
  std::vector<double> tool, system, toolAgain;
};

}  // namespace

int main(int argc, char** argv) {
  const int lastPoint = argc > 1 ? std::atoi(argv[1]) : 50000;
  const int toolTurns = 300;
  const int systemTurns = 3;
  const int againTurns = 3;

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string directory = std::string(temp) + "recording-bench-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(directory.c_str(), nullptr);

  std::vector<Point> points;
  for (int line : {1, 1000, 10000, 50000}) {
    if (line > lastPoint) continue;
    Point point;
    point.line = line;
    point.nextLine = line;
    point.toolPath = directory + "\\tool-" + std::to_string(line) + ".ini";
    point.systemPath = directory + "\\system-" + std::to_string(line) + ".ini";
    if (line > 1) {
      const std::string before = recordingOf(line - 1);
      putFile(point.toolPath, before);
      putFile(point.systemPath, before);
    }
    points.push_back(std::move(point));
  }

  int failures = 0;
  auto toolLine = [&](Point& point, int line, const std::string& text) {
    if (writeRecordingValue(point.writer, point.toolPath, sectionOf(line), "s", kSpeaker) ==
        RecordingWriteResult::Failed) {
      ++failures;
    }
    if (writeRecordingValue(point.writer, point.toolPath, sectionOf(line), "c", text) ==
        RecordingWriteResult::Failed) {
      ++failures;
    }
  };
  // Each writer reads its file once, at its first write; that is not a line's cost.
  for (Point& point : points) {
    toolLine(point, point.nextLine, lineText(point.nextLine));
    ++point.nextLine;
  }

  for (int turn = 0; turn < toolTurns; ++turn) {
    for (Point& point : points) {
      const int line = point.nextLine++;
      const std::string text = lineText(line);
      point.tool.push_back(timeMs([&] { toolLine(point, line, text); }) * 1000);
    }
  }
  // A line recorded again with other texts: both keys replaced where they stand.
  for (int turn = 0; turn < againTurns; ++turn) {
    for (Point& point : points) {
      const int line = point.line / 2 + 1;
      const std::string text = lineText(line) + std::to_string(turn);
      point.toolAgain.push_back(timeMs([&] { toolLine(point, line, text); }) * 1000);
    }
  }
  for (int turn = 0; turn < systemTurns; ++turn) {
    for (Point& point : points) {
      const int line = point.line + turn;
      const std::string section = sectionOf(line);
      const std::string text = lineText(line);
      point.system.push_back(timeMs([&] {
        if (!WritePrivateProfileStringA(section.c_str(), "s", kSpeaker.c_str(), point.systemPath.c_str())) ++failures;
        if (!WritePrivateProfileStringA(section.c_str(), "c", text.c_str(), point.systemPath.c_str())) ++failures;
      }) * 1000);
    }
  }

  std::printf("Recording one line (keys s and c): median microseconds per line, code page %u\n", GetACP());
  std::printf("%8s %10s %12s %12s %18s\n", "line", "tool", "system", "system/tool", "tool, line again");
  for (const Point& point : points) {
    const double tool = medianOf(point.tool);
    const double system = medianOf(point.system);
    std::printf("%8d %10.1f %12.1f %12.1f %18.1f\n", point.line, tool, system, system / tool,
                medianOf(point.toolAgain));
  }
  if (points.size() >= 2) {
    const double base = medianOf(points[1].tool);
    const double last = medianOf(points.back().tool);
    std::printf("tool at line %d / tool at line %d: %.2f; tool at line %d %s 1000 us\n", points.back().line,
                points[1].line, last / base, points.back().line, last < 1000.0 ? "under" : "OVER");
  }
  if (failures != 0) std::printf("%d writes failed\n", failures);

  for (const Point& point : points) {
    DeleteFileA(point.toolPath.c_str());
    DeleteFileA(point.systemPath.c_str());
  }
  RemoveDirectoryA(directory.c_str());
  return failures == 0 ? 0 : 1;
}
