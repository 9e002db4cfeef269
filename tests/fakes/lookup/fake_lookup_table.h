// A scripted lookup-table component for the capture's tests: tables are lists
// of (column 1, column 2) records kept in memory under a path, and every
// operation is logged so that a test can check which searches were made.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "lookup/lookup_table.h"

struct FakeTableRecord {
  ColumnValue key;   // column 1
  std::string text;  // column 2
};

struct FakeOpenTable {
  std::string path;
  std::string alias;
  int32_t currentRecord = 1;
};

struct FakeLookup {
  std::map<std::string, std::vector<FakeTableRecord>> files;  // path -> records; absent: no file
  std::vector<FakeOpenTable> open;                            // in opening order
  int current = -1;                                           // index into `open`, -1: none
  int32_t recordUnderTest = 0;                                // inside findForward only
  // "open <alias>", "open <alias> refused", "select <alias>", "find <alias> from <n>",
  // "find <alias> found <n>", "goto <alias> <n>", "read <alias> <n>", "close all".
  std::vector<std::string> log;
};
FakeLookup& fakeLookup();
void resetFakeLookup();

// Records with Int keys and the given texts, for the common case.
std::vector<FakeTableRecord> fakeTable(const std::vector<std::pair<int64_t, std::string>>& records);
// The open table under `alias`, or nullptr.
FakeOpenTable* fakeOpenTable(const std::string& alias);
