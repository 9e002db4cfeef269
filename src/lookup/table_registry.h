// The records behind the lookup-table operations: the open tables and which of
// them is current. Used on the window thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lookup/table_format.h"
#include "platform/table_file.h"

struct HeldLock {
  int64_t offset;  // the one locked byte in the table file
  int32_t count;   // nesting: the byte is unlocked when this returns to 0
};

struct LookupTable {
  TableFile file;
  std::string fullPath;
  std::string name;   // fullPath without directory and extension
  std::string alias;  // may be empty
  TableLayout layout;
  TableFile sideFile;  // closed when no column needs one
  int32_t currentRecord = 1;
  // While findForward runs on this table: the record under test, which
  // readColumn serves column reads from. Null at all other times.
  const uint8_t* searchBuffer = nullptr;
  int32_t* searchError = nullptr;  // the searching thread's reason code, meanwhile
  std::vector<uint8_t> searchBatch;  // records read at once by findForward
  std::vector<bool> columnInsideRecord;  // per column: its slot lies inside the record
  std::vector<HeldLock> lockTable;
  bool open = true;  // false once closeAllTables has released it
};

struct TableRegistry {
  // In the order opened. Shared so that a search keeps its table alive even
  // if its predicate closes every table.
  std::vector<std::shared_ptr<LookupTable>> tables;
  LookupTable* current = nullptr;
};

TableRegistry& tableRegistry();

// Key comparison of aliases, names and paths: ASCII letters regardless of
// case, a two-byte character as one character.
bool tableKeysEqual(const std::string& a, const std::string& b);

// A valid alias: first a letter (half- or full-width) or a Chinese character,
// then letters, digits (half- or full-width) or Chinese characters.
bool aliasIsValid(const std::string& alias);

// How many bytes findForward reads at once under the header lock.
constexpr int64_t kSearchBatchBytes = 1 << 20;
