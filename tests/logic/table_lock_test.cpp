// Table locks between two processes: another program (table_lock_holder)
// holds the header lock or a record lock while this one searches and goes to
// records. Also built into the Windows tests, to run under wine64.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

#include "fakes/table_test_files.h"

namespace {

// The other program, ended by its own pid (or handle) when the test is done.
struct OtherProgram {
#ifdef _WIN32
  PROCESS_INFORMATION process = {};
#else
  pid_t pid = 0;
#endif
  bool started = false;
};

bool startOther(OtherProgram& other, const std::vector<std::string>& args) {
#ifdef _WIN32
  std::string commandLine = "\"" TABLE_LOCK_HOLDER "\"";
  for (const std::string& arg : args) commandLine += " \"" + arg + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  other.started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &other.process) != 0;
#else
  std::vector<std::string> all = {TABLE_LOCK_HOLDER};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(&arg[0]);
  argv.push_back(nullptr);
  other.started = posix_spawn(&other.pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0;
#endif
  return other.started;
}

// Waits for the other program to end by itself; ends it when `end` is set.
// Gives its exit status.
int finishOther(OtherProgram& other, bool end) {
  if (!other.started) return -1;
  other.started = false;
#ifdef _WIN32
  if (end) TerminateProcess(other.process.hProcess, 99);
  WaitForSingleObject(other.process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(other.process.hProcess, &status);
  CloseHandle(other.process.hThread);
  CloseHandle(other.process.hProcess);
  return static_cast<int>(status);
#else
  if (end) kill(other.pid, SIGKILL);
  int status = 0;
  waitpid(other.pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
#endif
}

class TableLockTest : public TableFilesTest {
 protected:
  void TearDown() override {
    finishOther(other_, true);
    TableFilesTest::TearDown();
  }
  // Starts the other program holding the byte at `offset` for `holdMs` and
  // waits until it holds it (a generous guard, not a timing assertion).
  void holdByte(int64_t offset, int holdMs, const std::string& writeAt = "",
                const std::string& hex = "") {
    std::string ready = path("ready-" + std::to_string(offset));
    std::vector<std::string> args = {path("t.dat"), std::to_string(offset), std::to_string(holdMs), ready};
    if (!writeAt.empty()) {
      args.push_back(writeAt);
      args.push_back(hex);
    }
    ASSERT_TRUE(startOther(other_, args));
    for (int i = 0; i < 3000 && !std::filesystem::exists(ready); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(std::filesystem::exists(ready)) << "the other program never took its lock";
  }
  OtherProgram other_;
};

const int64_t kRecord2 = 116 + 72 * 2 + 16;  // numberedTable: 2 columns, 16-byte records

TEST_F(TableLockTest, HeaderLockHeldElsewhere) {
  write("t.dat", tableImageBytes(numberedTable(5)));
  ASSERT_TRUE(openTable(path("t.dat"), "a"));

  // Held for long: findForward gives up at once, goToRecord after its retries.
  holdByte(16, 20000);
  KeyMatch match{30};
  EXPECT_FALSE(findForward(keyMatches, &match));
  EXPECT_EQ(lastTableError(), -13);
  EXPECT_EQ(match.calls, 0);
  EXPECT_FALSE(goToRecord(4));
  EXPECT_EQ(lastTableError(), -13);
  finishOther(other_, true);

  // Released soon after: goToRecord waits for it and succeeds.
  holdByte(16, 300);
  EXPECT_TRUE(goToRecord(4)) << lastTableError();
  EXPECT_EQ(readColumn(1).integer, 40);
  EXPECT_EQ(finishOther(other_, false), 0);
}

TEST_F(TableLockTest, RecordBeingWrittenElsewhereIsNeverTakenAsAMatch) {
  write("t.dat", tableImageBytes(numberedTable(5)));
  ASSERT_TRUE(openTable(path("t.dat"), "a"));
  // The other program rewrites record 2's key to 77 under record 2's lock.
  holdByte(kRecord2, 20000, std::to_string(kRecord2 + 4), "4d000000");
  KeyMatch match{77};
  EXPECT_FALSE(findForward(keyMatches, &match));
  EXPECT_EQ(lastTableError(), -13);
  EXPECT_EQ(readColumn(1).integer, 10) << "still on record 1";
  KeyMatch earlier{10};
  EXPECT_TRUE(findForward(keyMatches, &earlier)) << "records before the locked one are found";
  finishOther(other_, true);

  // Once the writer has let go the new key is found, on record 2.
  EXPECT_TRUE(findForward(keyMatches, &match)) << lastTableError();
  EXPECT_EQ(readColumn(2).bytes, "r20");
}

}  // namespace
