// The tool in a folder whose name GBK cannot hold (Korean here). Inside the
// tool such a path is GBK text with "?" for each character GBK lacks; the
// tables and the recording file it names must still be the real files there.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/texts.h"
#include "capture/recording_file.h"
#include "lookup/lookup_table.h"
#include "platform/gbk_wide_win.h"
#include "tabletool/tabletool.h"
#include "windows/child_process.h"

namespace {

std::string wideFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes(4096, '\0');
  DWORD got = 0;
  ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(file);
  bytes.resize(got);
  return bytes;
}

TEST(ForeignFolder, TablesAndRecordingBesideTheToolAreTheRealFiles) {
  wchar_t temp[MAX_PATH];
  ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring folder = std::wstring(temp) + L"\uD55C\uAE00-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  std::string standIn;
  ASSERT_TRUE(windowsPathToGbk(folder, standIn));
  ASSERT_NE(standIn.find('?'), std::string::npos) << "the folder's name should have no GBK form";

  std::string out, err;
  ASSERT_EQ(runTabletool({"build", standIn + "\\" + kNameTableFile, sourceFile("samples/names.tsv")}, out, err), 0)
      << err;
  const std::wstring table = folder + L"\\" + gbkToWide(kNameTableFile);
  EXPECT_NE(GetFileAttributesW(table.c_str()), INVALID_FILE_ATTRIBUTES);

  // Record 2 is 101 沈青, its text in the side file beside the table.
  ASSERT_TRUE(openTable(standIn + "\\" + kNameTableFile, "names")) << lastTableError();
  ASSERT_TRUE(goToRecord(2));
  EXPECT_EQ(readColumn(2).bytes, "\xC9\xF2\xC7\xE0");
  closeAllTables();

  const std::string recording = standIn + "\\run" + kRecordingSuffix;
  ASSERT_TRUE(writeRecordingKey("50001", "s", "A", recording));
  ASSERT_TRUE(writeRecordingKey("50001", "c", "B", recording));
  const std::wstring recordingFile = folder + L"\\run" + gbkToWide(kRecordingSuffix);
  EXPECT_EQ(wideFileBytes(recordingFile), "[50001]\r\ns=A\r\nc=B\r\n");

  DeleteFileW(recordingFile.c_str());
  DeleteFileW(table.c_str());
  DeleteFileW((table.substr(0, table.size() - 3) + L"EDT").c_str());
  RemoveDirectoryW(folder.c_str());
}

}  // namespace
