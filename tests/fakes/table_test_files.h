// Scratch directories and files for the lookup-table tests, natively and
// under Wine (narrow paths, which Windows takes in the ANSI code page).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "fakes/scratch_files.h"
#include "lookup/lookup_table.h"
#include "tabletool/table_image.h"

// A table of `count` records of 16 bytes: status word, int key at 4, and an
// 8-byte text at 8 holding "r<key>". Keys are given by `keyOf(k)` for record k.
template <typename KeyOf>
TableImage keyedTable(int32_t count, KeyOf keyOf) {
  TableImage image;
  image.recordSize = 16;
  image.recordCount = count;
  image.columns = {imageColumn("key", kTypeInt, 4), imageColumn("label", kTypeText, 8, 8)};
  for (int32_t k = 1; k <= count; ++k) {
    int32_t key = keyOf(k);
    std::string record = recordWith(16, 4, &key, 4);
    std::string label = "r" + std::to_string(key);
    image.records += recordWith(16, 8, label.data(), label.size() < 8 ? label.size() : 8, record);
  }
  return image;
}

inline TableImage numberedTable(int32_t count) {
  return keyedTable(count, [](int32_t k) { return k * 10; });
}

// Scratch directory per test, every table closed afterwards.
class TableFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = scratchDirectory(); }
  void TearDown() override {
    closeAllTables();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  std::string path(const std::string& name) const {
    return (std::filesystem::path(dir_) / name).string();
  }
  std::string write(const std::string& name, const std::string& bytes) const {
    writeFileBytes(path(name), bytes);
    return path(name);
  }
  std::string dir_;
};

// A predicate over column 1 (an int key) matching one key.
struct KeyMatch {
  int64_t key = 0;
  int calls = 0;
};

inline bool keyMatches(void* context) {
  KeyMatch& match = *static_cast<KeyMatch*>(context);
  ++match.calls;
  return readColumn(1).integer == match.key;
}
