#include "lookup/lookup_table.h"

#include <algorithm>
#include <vector>

#include "lookup/table_registry.h"

static thread_local int32_t threadTableError = 0;

int32_t lastTableError() { return threadTableError; }

static bool fail(int32_t code) {
  threadTableError = code;
  return false;
}

TableRegistry& tableRegistry() {
  static TableRegistry registry;
  return registry;
}

// ---- Keys and aliases (GBK byte texts)

static bool isLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

static unsigned char asciiLower(unsigned char byte) {
  return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + 32) : byte;
}

bool tableKeysEqual(const std::string& a, const std::string& b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[j]);
    bool wideX = isLeadByte(x) && i + 1 < a.size();
    bool wideY = isLeadByte(y) && j + 1 < b.size();
    if (wideX != wideY) return false;
    if (wideX) {
      if (x != y || a[i + 1] != b[j + 1]) return false;
      i += 2;
      j += 2;
    } else {
      if (asciiLower(x) != asciiLower(y)) return false;
      ++i;
      ++j;
    }
  }
  return i == a.size() && j == b.size();
}

enum class AliasChar { Letter, Digit, Chinese, Other };

static AliasChar classifyWide(unsigned char lead, unsigned char trail) {
  if (lead == 0xA3 && ((trail >= 0xC1 && trail <= 0xDA) || (trail >= 0xE1 && trail <= 0xFA))) {
    return AliasChar::Letter;  // full-width Latin letters
  }
  if (lead == 0xA3 && trail >= 0xB0 && trail <= 0xB9) return AliasChar::Digit;
  if (trail == 0x7F || trail == 0xFF || trail < 0x40) return AliasChar::Other;
  // Chinese characters: the GB2312 block and the two GBK extension blocks.
  if (lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1) return AliasChar::Chinese;
  if (lead >= 0x81 && lead <= 0xA0) return AliasChar::Chinese;
  if (lead >= 0xAA && trail <= 0xA0) return AliasChar::Chinese;
  return AliasChar::Other;
}

bool aliasIsValid(const std::string& alias) {
  for (size_t i = 0; i < alias.size();) {
    unsigned char byte = static_cast<unsigned char>(alias[i]);
    AliasChar kind = AliasChar::Other;
    size_t width = 1;
    if (isLeadByte(byte)) {
      if (i + 1 >= alias.size()) return false;
      kind = classifyWide(byte, static_cast<unsigned char>(alias[i + 1]));
      width = 2;
    } else if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')) {
      kind = AliasChar::Letter;
    } else if (byte >= '0' && byte <= '9') {
      kind = AliasChar::Digit;
    }
    if (kind == AliasChar::Other || (i == 0 && kind == AliasChar::Digit)) return false;
    i += width;
  }
  return true;
}

// ---- One-byte locks, counted per table so that nested requests stack

// A lock refused with a sharing violation counts as held by another program.
static int32_t lockRange(TableFile& file, int64_t offset, int64_t length) {
  int32_t code = lockTableFileRange(file, offset, length);
  return code == -12 ? kLockConflict : code;
}

static int32_t takeTableLock(LookupTable& table, int64_t offset) {
  for (HeldLock& held : table.lockTable) {
    if (held.offset == offset) {
      ++held.count;
      return 0;
    }
  }
  int32_t code = lockRange(table.file, offset, 1);
  if (code != 0) return code;
  table.lockTable.push_back(HeldLock{offset, 1});
  return 0;
}

static void releaseTableLock(LookupTable& table, int64_t offset) {
  for (size_t i = 0; i < table.lockTable.size(); ++i) {
    if (table.lockTable[i].offset != offset) continue;
    if (--table.lockTable[i].count == 0) {
      unlockTableFileRange(table.file, offset, 1);
      table.lockTable.erase(table.lockTable.begin() + static_cast<long>(i));
    }
    return;
  }
}

static int64_t recordOffset(const LookupTable& table, int64_t record) {
  return table.layout.recordsStart + (record - 1) * table.layout.recordSize;
}

// ---- The six operations

static void closeTableFiles(LookupTable& table) {
  for (const HeldLock& held : table.lockTable) unlockTableFileRange(table.file, held.offset, 1);
  table.lockTable.clear();
  closeTableFile(table.sideFile);
  closeTableFile(table.file);
  table.open = false;
}

bool openTable(const std::string& path, const std::string& alias) {
  threadTableError = 0;
  if (path.empty()) return fail(kNoSuchFile);
  std::string fullPath;
  int32_t code = tableFullPath(withDefaultExtension(path), fullPath);
  if (code != 0) return fail(code);
  TableRegistry& registry = tableRegistry();
  for (const auto& open : registry.tables) {
    if (tableKeysEqual(open->fullPath, fullPath)) return fail(kAlreadyOpen);
  }
  if (!alias.empty() && !aliasIsValid(alias)) return fail(kBadAlias);

  auto table = std::make_shared<LookupTable>();
  code = openTableFile(fullPath, table->file);
  if (code != 0) return fail(code);
  code = lockRange(table->file, 0, kWholeFileLockLength);
  if (code != 0) {
    closeTableFile(table->file);
    return fail(code);
  }
  code = loadTableLayout(table->file, table->layout);
  if (code == 0 && table->layout.needsSideFile) {
    if (openTableFile(sideFilePathOf(fullPath), table->sideFile) != 0) {
      code = kBadSideFile;
    } else {
      code = lockRange(table->sideFile, 0, kWholeFileLockLength);
      if (code == 0) {
        code = checkSideFile(table->sideFile, table->layout.version);
        unlockTableFileRange(table->sideFile, 0, kWholeFileLockLength);
      }
    }
  }
  unlockTableFileRange(table->file, 0, kWholeFileLockLength);
  if (code != 0) {
    closeTableFile(table->sideFile);
    closeTableFile(table->file);
    return fail(code);
  }

  for (const ColumnDescriptor& column : table->layout.columns) {
    table->columnInsideRecord.push_back(slotInsideRecord(column, table->layout.recordSize));
  }
  table->fullPath = fullPath;
  table->name = tableNameOf(fullPath);
  table->alias = alias;
  registry.tables.push_back(table);
  registry.current = table.get();
  return true;
}

static LookupTable* findTableByKey(const std::string& key) {
  if (key.empty()) return nullptr;
  TableRegistry& registry = tableRegistry();
  for (int pass = 0; pass < 3; ++pass) {
    for (auto it = registry.tables.rbegin(); it != registry.tables.rend(); ++it) {
      LookupTable& table = **it;
      const std::string& candidate =
          pass == 0 ? table.alias : pass == 1 ? table.name : table.fullPath;
      if (!candidate.empty() && tableKeysEqual(candidate, key)) return &table;
    }
  }
  return nullptr;
}

bool selectTable(const std::string& alias) {
  LookupTable* table = findTableByKey(alias);
  if (table == nullptr) return fail(kNoSuchTable);
  tableRegistry().current = table;
  threadTableError = 0;
  return true;
}

// The header lock for goToRecord: another program holding it is waited for,
// pausing 20 to 39 ms between tries, for up to 2000 ms from the first try.
static int32_t takeHeaderLockWaiting(LookupTable& table) {
  uint32_t firstTry = tableClockMs();
  for (;;) {
    int32_t code = takeTableLock(table, kRecordCountOffset);
    if (code != kLockConflict) return code;
    uint32_t now = tableClockMs();
    if (now - firstTry > 2000) return kLockConflict;
    tableSleepMs(20 + now % 20);
    if (tableClockMs() - firstTry > 2000) return kLockConflict;
  }
}

// Reads the record count (and, when `bytes` is 8, the word after it).
static int32_t readRecordCount(LookupTable& table, uint32_t bytes, int32_t& count) {
  uint8_t buffer[8];
  uint32_t got = 0;
  int32_t code = readTableFile(table.file, kRecordCountOffset, buffer, bytes, got);
  if (code != 0) return code;
  if (got < bytes) return kCountReadShort;
  count = loadInt32(buffer);
  return 0;
}

bool goToRecord(int32_t n) {
  LookupTable* table = tableRegistry().current;
  if (table == nullptr) return fail(kNoCurrentTable);
  int32_t code = takeHeaderLockWaiting(*table);
  if (code != 0) return fail(code);
  int32_t count = 0;
  code = readRecordCount(*table, 8, count);
  releaseTableLock(*table, kRecordCountOffset);
  if (code != 0) return fail(code);
  if (count < 0) count = 0;
  int32_t record = n > count ? count : n;
  if (record < 1) record = 1;
  table->currentRecord = record;
  threadTableError = 0;
  return true;
}

namespace {

// The state of one findForward run.
struct Search {
  std::shared_ptr<LookupTable> table;  // kept alive even if the predicate closes it
  TablePredicate predicate;
  void* context;
  int32_t code = 0;
  int64_t match = 0;         // the matching record, its record lock still held
  std::vector<uint8_t> confirm;  // a record re-read under its record lock
};

}  // namespace

// Runs the predicate on `record` whose bytes are at `bytes`. False when the
// table was closed under the search (the search must then stop).
static bool testRecord(Search& search, int64_t record, const uint8_t* bytes, bool& result) {
  LookupTable& table = *search.table;
  table.searchBuffer = bytes;
  table.currentRecord = static_cast<int32_t>(record);
  result = search.predicate(search.context);
  if (!table.open) {
    search.code = kNoCurrentTable;
    return false;
  }
  return true;
}

// Reads record k under its own record lock and tests it. On a match the lock
// stays held and search.match is set. False ends the search.
static bool testUnderRecordLock(Search& search, int64_t record) {
  LookupTable& table = *search.table;
  int64_t offset = recordOffset(table, record);
  search.code = takeTableLock(table, offset);
  if (search.code != 0) return false;
  uint32_t size = static_cast<uint32_t>(table.layout.recordSize);
  search.confirm.resize(size);
  uint32_t got = 0;
  search.code = readTableFile(table.file, offset, search.confirm.data(), size, got);
  if (search.code == 0 && got < size) search.code = kRecordReadShort;
  bool result = false;
  if (search.code != 0 || !testRecord(search, record, search.confirm.data(), result)) {
    if (table.open) releaseTableLock(table, offset);
    return false;
  }
  if (result) {
    search.match = record;
    return false;
  }
  releaseTableLock(table, offset);
  return true;
}

bool findForward(TablePredicate predicate, void* context) {
  threadTableError = 0;
  TableRegistry& registry = tableRegistry();
  if (registry.current == nullptr) return fail(kNoCurrentTable);
  if (predicate == nullptr) return fail(kSystemFailure);
  Search search;
  for (const auto& open : registry.tables) {
    if (open.get() == registry.current) search.table = open;
  }
  if (!search.table) return fail(kNoCurrentTable);
  search.predicate = predicate;
  search.context = context;
  LookupTable& table = *search.table;

  int32_t code = takeTableLock(table, kRecordCountOffset);
  if (code != 0) return fail(code);
  const int32_t remembered = table.currentRecord;
  const uint8_t* outerBuffer = table.searchBuffer;  // a search inside a predicate
  int32_t* outerError = table.searchError;
  table.searchError = &threadTableError;
  int32_t count = 0;
  int64_t length = 0;
  search.code = readRecordCount(table, 4, count);
  if (search.code == 0) search.code = tableFileLength(table.file, length);

  // Records are read many at a time under the header lock; a record whose
  // unlocked copy satisfies the predicate is read again under its own record
  // lock and tested again, so a match never comes from bytes another program
  // may have been writing.
  const int64_t recordSize = table.layout.recordSize;
  const int64_t perBatch = std::max<int64_t>(1, kSearchBatchBytes / recordSize);
  // The table keeps its batch buffer between searches: allocating and
  // touching a fresh megabyte would cost more than a short search. A search
  // run from inside a predicate must not overwrite the outer one's records.
  std::vector<uint8_t> nestedBatch;
  std::vector<uint8_t>& batch = outerBuffer == nullptr ? table.searchBatch : nestedBatch;
  int64_t record = remembered < 1 ? 1 : remembered;
  bool going = search.code == 0;
  while (going && record <= count) {
    int64_t records = std::min<int64_t>(perBatch, count - record + 1);
    int64_t offset = recordOffset(table, record);
    // A record larger than what the file still holds is not worth allocating.
    if (offset + recordSize > length && records == 1 && recordSize > kSearchBatchBytes) {
      search.code = kRecordReadShort;
      break;
    }
    uint32_t wanted = static_cast<uint32_t>(records * recordSize);
    if (batch.size() < wanted) batch.resize(wanted);
    uint32_t got = 0;
    int32_t readCode = readTableFile(table.file, offset, batch.data(), wanted, got);
    if (readCode == kLockConflict || readCode == -12) {
      // Windows refuses reads over bytes another program has locked: go
      // record by record through this batch, each under its record lock.
      for (int64_t i = 0; going && i < records; ++i) going = testUnderRecordLock(search, record + i);
      record += records;
      continue;
    }
    if (readCode != 0) {
      search.code = readCode;
      break;
    }
    int64_t whole = got / recordSize;
    for (int64_t i = 0; going && i < whole; ++i) {
      bool result = false;
      going = testRecord(search, record + i,
                         batch.data() + i * recordSize, result);
      if (going && result) going = testUnderRecordLock(search, record + i);
    }
    if (going && whole < records) {
      search.code = kRecordReadShort;
      going = false;
    }
    record += records;
  }

  if (table.open) {
    table.searchBuffer = outerBuffer;
    table.searchError = outerError;
    table.currentRecord = remembered;
    if (search.match != 0) releaseTableLock(table, recordOffset(table, search.match));
    releaseTableLock(table, kRecordCountOffset);
  }
  if (search.code != 0) return fail(search.code);
  if (search.match == 0) return false;
  table.currentRecord = static_cast<int32_t>(search.match);
  threadTableError = 0;
  return true;
}

// Reads the current record's slot of `column` under the record's lock.
static int32_t readColumnFromFile(LookupTable& table, const ColumnDescriptor& column,
                                  ColumnValue& value) {
  int64_t recordStart = recordOffset(table, table.currentRecord);
  int32_t code = takeTableLock(table, recordStart);
  if (code != 0) return code;
  int64_t slotStart = recordStart + column.offset;
  int64_t length = 0;
  code = tableFileLength(table.file, length);
  if (code == 0 && slotStart >= length) code = kSlotPastEnd;
  std::vector<uint8_t> slot;
  if (code == 0) {
    uint32_t size = static_cast<uint32_t>(slotSize(column));
    // Never allocate past what the file holds: the read would come short anyway.
    if (slotStart + size > length) {
      code = kSlotUnreadable;
    } else {
      slot.resize(size);
      uint32_t got = 0;
      code = readTableFile(table.file, slotStart, slot.data(), size, got);
      if (code == 0 && got < size) code = kSlotUnreadable;
    }
  }
  if (code == 0) {
    TableFile* side = table.layout.needsSideFile ? &table.sideFile : nullptr;
    code = decodeColumn(column, slot.data(), side, value);
  }
  releaseTableLock(table, recordStart);
  return code;
}

ColumnValue readColumn(int32_t n) {
  LookupTable* table = tableRegistry().current;
  // Inside a search the predicate runs on the searching thread, whose reason
  // code the search keeps at hand: a thread-local lookup per record would
  // cost as much as the rest of the column read.
  int32_t& error = table != nullptr && table->searchError != nullptr ? *table->searchError
                                                                     : threadTableError;
  error = 0;
  // No column to read: the empty text, which both of the capture's reads
  // (a text, or a number compared against) treat as "nothing there".
  if (table == nullptr) {
    error = kNoCurrentTable;
    return emptyColumnValue(kTypeText);
  }
  if (n < 1 || n > table->layout.columnCount) {
    error = kNoSuchColumn;
    return emptyColumnValue(kTypeText);
  }
  const size_t index = static_cast<size_t>(n - 1);
  const ColumnDescriptor& column = table->layout.columns[index];
  ColumnValue value;
  int32_t code = 0;
  if (!table->columnInsideRecord[index]) {
    // A slot the catalogue places (partly) outside the record is never read.
    code = kSlotUnreadable;
  } else if (table->searchBuffer != nullptr) {
    TableFile* side = table->layout.needsSideFile ? &table->sideFile : nullptr;
    code = decodeColumn(column, table->searchBuffer + column.offset, side, value);
  } else {
    code = readColumnFromFile(*table, column, value);
  }
  if (code != 0) {
    error = code;
    return emptyColumnValue(column.type);
  }
  return value;
}

void closeAllTables() {
  threadTableError = 0;
  TableRegistry& registry = tableRegistry();
  for (auto& table : registry.tables) closeTableFiles(*table);
  registry.tables.clear();
  registry.current = nullptr;
}
