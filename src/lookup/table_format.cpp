#include "lookup/table_format.h"

#include <cstring>
#include <set>

int32_t loadInt32(const uint8_t* bytes) {
  uint32_t value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                   static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
  return static_cast<int32_t>(value);
}

void storeInt32(uint8_t* bytes, int32_t value) {
  uint32_t bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
}

static uint64_t loadUint64(const uint8_t* bytes) {
  uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

const char* tableCodeMeaning(int32_t code) {
  switch (code) {
    case kTableOk: return "success";
    case kSystemFailure: return "system failure";
    case kNoSuchFile: return "no such file";
    case -4: return "invalid path";
    case -5: return "too many open files";
    case -6: return "access denied (the table must be writable)";
    case kNoSuchColumn: return "no such column";
    case kSlotPastEnd: return "the record lies beyond the end of the file";
    case -12: return "sharing conflict";
    case kLockConflict: return "locked by another program";
    case -14: return "disk full";
    case -15: return "end of file";
    case kOpenFailure: return "the table could not be opened";
    case kBadTable: return "not a table, or a damaged header or column catalogue";
    case kNewerVersion: return "a newer version of the format";
    case kBadAlias: return "invalid alias";
    case kBadSideFile: return "side file missing, unreadable or damaged";
    case kSideVersionMismatch: return "side file version differs from the table's";
    case kAlreadyOpen: return "the table is already open";
    case kSlotUnreadable: return "the column's slot could not be read whole";
    case kBlockReadShort: return "a side-file block could not be read whole";
    case kMalformedChain: return "a malformed side-file block chain";
    case kRecordReadShort: return "a record could not be read whole";
    case kCountReadShort: return "the record count could not be read";
    case kNoSuchTable: return "no table with that alias or name";
    case kNoCurrentTable: return "no current table";
    case kProtectedTable: return "a password-protected table";
    default: return "unknown reason";
  }
}

int64_t slotSize(const ColumnDescriptor& column) {
  switch (column.type) {
    case kTypeByte:
    case kTypeBool: return 1;
    case kTypeShort: return 2;
    case kTypeInt:
    case kTypeFloat:
    case kTypeSubPointer:
    case kTypeBytes:
    case kTypeMemo: return 4;
    case kTypeInt64:
    case kTypeDouble:
    case kTypeDateTime: return 8;
    case kTypeText: return column.width;
    default: return 0;
  }
}

bool slotInsideRecord(const ColumnDescriptor& column, int32_t recordSize) {
  int64_t size = slotSize(column);
  return column.offset >= 0 && size > 0 && column.offset + size <= recordSize;
}

// Reads exactly `size` bytes; false when fewer came or the read failed.
static bool readWhole(TableFile& file, int64_t offset, void* buffer, uint32_t size,
                      int32_t& code) {
  uint32_t got = 0;
  code = readTableFile(file, offset, buffer, size, got);
  return code == 0 && got == size;
}

static bool descriptorIsValid(const uint8_t* entry, ColumnDescriptor& column) {
  const void* end = std::memchr(entry, 0, 17);
  if (end == nullptr) return false;  // a name has at most 16 bytes
  column.name.assign(reinterpret_cast<const char*>(entry),
                     static_cast<const uint8_t*>(end) - entry);
  column.type = static_cast<uint32_t>(loadInt32(entry + 20));
  column.offset = loadInt32(entry + 24);
  column.width = loadInt32(entry + 28);
  if (column.offset < 0) return false;
  if (column.type == kTypeText) return column.width > 0;
  return column.type >= 1 && column.type <= 12;
}

int32_t loadTableLayout(TableFile& table, TableLayout& layout) {
  uint8_t header[kHeaderSize];
  int32_t code = 0;
  if (!readWhole(table, 0, header, sizeof header, code)) return code != 0 ? code : kBadTable;
  int32_t magic = loadInt32(header);
  if (magic == kProtectedTableMagic) return kProtectedTable;
  if (magic != kTableMagic) return kBadTable;
  int32_t version = loadInt32(header + 4);
  int32_t recordCount = loadInt32(header + kRecordCountOffset);
  int32_t recordSize = loadInt32(header + 24);
  if (recordSize <= 0 || recordCount < 0 || loadInt32(header + 20) < 1) return kBadTable;
  if (version > kTableVersion) return kNewerVersion;

  uint8_t countBytes[4];
  if (!readWhole(table, kHeaderSize, countBytes, 4, code)) return code != 0 ? code : kBadTable;
  int32_t columnCount = loadInt32(countBytes);
  if (columnCount <= 0) return kBadTable;
  int64_t length = 0;
  code = tableFileLength(table, length);
  if (code != 0) return code;
  int64_t recordsStart = kHeaderSize + 4 + kDescriptorSize * columnCount;
  // A catalogue longer than the file is refused before anything is allocated
  // for it; one too large to hold in memory (a sparse file, say) cannot be read.
  if (recordsStart > length) return kBadTable;
  if (recordsStart - kHeaderSize - 4 > kLargestCatalogue) return kOpenFailure;
  std::string catalogue(static_cast<size_t>(recordsStart - kHeaderSize - 4), '\0');
  if (!readWhole(table, kHeaderSize + 4, &catalogue[0], static_cast<uint32_t>(catalogue.size()),
                 code)) {
    return code != 0 ? code : kBadTable;
  }

  int64_t recordsPresent = (length - recordsStart) / recordSize;
  if (recordsPresent < recordCount) {
    recordCount = static_cast<int32_t>(recordsPresent);
    uint8_t bytes[4];
    storeInt32(bytes, recordCount);
    code = writeTableFile(table, kRecordCountOffset, bytes, 4);
    if (code != 0) return code;
  }
  int64_t exactLength = recordsStart + static_cast<int64_t>(recordCount) * recordSize;
  if (exactLength != length) {
    code = setTableFileLength(table, exactLength);
    if (code != 0) return code;
  }

  layout = TableLayout();
  layout.version = version;
  layout.recordCount = recordCount;
  layout.recordSize = recordSize;
  layout.columnCount = columnCount;
  layout.recordsStart = recordsStart;
  layout.columns.resize(static_cast<size_t>(columnCount));
  const uint8_t* entries = reinterpret_cast<const uint8_t*>(catalogue.data());
  for (int32_t i = 0; i < columnCount; ++i) {
    ColumnDescriptor& column = layout.columns[static_cast<size_t>(i)];
    if (!descriptorIsValid(entries + kDescriptorSize * i, column)) return kBadTable;
    if (column.type == kTypeBytes || column.type == kTypeMemo) layout.needsSideFile = true;
  }
  return 0;
}

int32_t checkSideFile(TableFile& side, int32_t tableVersion) {
  uint8_t header[32];
  int32_t code = 0;
  if (!readWhole(side, 0, header, sizeof header, code)) return kBadSideFile;
  if (loadInt32(header) != kSideFileMagic) return kBadSideFile;
  int32_t blockCount = loadInt32(header + kBlockCountOffset);
  int32_t first = loadInt32(header + 20);
  int32_t second = loadInt32(header + 24);
  if (blockCount < 1 || first < 0 || first >= blockCount || second < 0 || second >= blockCount) {
    return kBadSideFile;
  }
  if (loadInt32(header + 4) != tableVersion) return kSideVersionMismatch;
  int64_t length = 0;
  code = tableFileLength(side, length);
  if (code != 0) return code;
  int64_t blocksPresent = length / kBlockSize;
  if (blocksPresent < blockCount) {
    uint8_t bytes[4];
    storeInt32(bytes, static_cast<int32_t>(blocksPresent));
    code = writeTableFile(side, kBlockCountOffset, bytes, 4);
    if (code != 0) return code;
  }
  return 0;
}

int32_t readBlockChain(TableFile& side, int32_t firstBlock, std::string& bytes) {
  bytes.clear();
  if (firstBlock <= 0) return 0;
  // The block count is read afresh: another program may have added blocks.
  uint8_t countBytes[4];
  int32_t code = 0;
  if (!readWhole(side, kBlockCountOffset, countBytes, 4, code)) {
    return code != 0 ? code : kBlockReadShort;
  }
  int64_t dataBlocksAllowed = static_cast<int64_t>(loadInt32(countBytes)) - 1;
  std::set<int32_t> visited;
  int32_t held = 0;  // the block whose lock we hold; 0: none
  int32_t block = firstBlock;
  uint8_t buffer[kBlockSize];
  while (block > 0) {
    if (static_cast<int64_t>(visited.size()) >= dataBlocksAllowed ||
        !visited.insert(block).second) {
      code = kMalformedChain;
      break;
    }
    int64_t offset = static_cast<int64_t>(block) * kBlockSize;
    code = lockTableFileRange(side, offset, 1);
    if (code != 0) break;
    if (held != 0) unlockTableFileRange(side, static_cast<int64_t>(held) * kBlockSize, 1);
    held = block;
    if (!readWhole(side, offset, buffer, kBlockSize, code)) {
      if (code == 0) code = kBlockReadShort;
      break;
    }
    int32_t used = loadInt32(buffer + 8);
    if (used > kBlockDataSize) {
      code = kMalformedChain;
      break;
    }
    if (used > 0) bytes.append(reinterpret_cast<const char*>(buffer + kBlockHeaderSize), used);
    block = loadInt32(buffer + 4);
  }
  if (held != 0) unlockTableFileRange(side, static_cast<int64_t>(held) * kBlockSize, 1);
  if (code != 0) bytes.clear();
  return code;
}

ColumnKind kindOfColumn(uint32_t type) {
  switch (type) {
    case kTypeByte: return ColumnKind::Byte;
    case kTypeShort: return ColumnKind::Short;
    case kTypeInt: return ColumnKind::Int;
    case kTypeInt64: return ColumnKind::Int64;
    case kTypeFloat: return ColumnKind::Float;
    case kTypeDouble: return ColumnKind::Double;
    case kTypeBool: return ColumnKind::Bool;
    case kTypeDateTime: return ColumnKind::DateTime;
    case kTypeSubPointer: return ColumnKind::SubPointer;
    case kTypeBytes: return ColumnKind::Bytes;
    default: return ColumnKind::Text;  // Text and Memo
  }
}

ColumnValue emptyColumnValue(uint32_t type) {
  ColumnValue value;
  value.kind = kindOfColumn(type);
  return value;
}

static std::string textUpToZero(const char* bytes, size_t size) {
  const void* zero = std::memchr(bytes, 0, size);
  return std::string(bytes, zero ? static_cast<const char*>(zero) - bytes : size);
}

int32_t decodeColumn(const ColumnDescriptor& column, const uint8_t* slot, TableFile* side,
                     ColumnValue& value) {
  value.kind = kindOfColumn(column.type);
  value.integer = 0;
  value.real = 0.0;
  value.flag = false;
  value.bytes.clear();
  switch (column.type) {
    case kTypeByte: value.integer = slot[0]; break;
    case kTypeShort: value.integer = static_cast<int16_t>(slot[0] | slot[1] << 8); break;
    case kTypeInt: value.integer = loadInt32(slot); break;
    case kTypeSubPointer: value.integer = static_cast<uint32_t>(loadInt32(slot)); break;
    case kTypeInt64: value.integer = static_cast<int64_t>(loadUint64(slot)); break;
    case kTypeFloat: {
      uint32_t bits = static_cast<uint32_t>(loadInt32(slot));
      float real;
      std::memcpy(&real, &bits, 4);
      value.real = real;
      break;
    }
    case kTypeDouble:
    case kTypeDateTime: {
      uint64_t bits = loadUint64(slot);
      std::memcpy(&value.real, &bits, 8);
      if (column.type == kTypeDateTime) {
        // 1 January 100 to 31 December 9999 in days since 30 December 1899.
        if (value.real < -657434.0) value.real = -657434.0;
        if (value.real > 2958465.0) value.real = 2958465.0;
      }
      break;
    }
    case kTypeBool: value.flag = slot[0] != 0; break;
    case kTypeText:
      value.bytes = textUpToZero(reinterpret_cast<const char*>(slot), slotSize(column));
      break;
    case kTypeBytes:
    case kTypeMemo: {
      if (side == nullptr) return kSlotUnreadable;
      std::string chain;
      int32_t code = readBlockChain(*side, loadInt32(slot), chain);
      if (code != 0) return code;
      value.bytes = column.type == kTypeMemo ? textUpToZero(chain.data(), chain.size()) : chain;
      break;
    }
    default: return kBadTable;
  }
  return 0;
}

// Finds the last single-byte separator and the last dot after it; -1 when none.
static void scanPath(const std::string& path, long& lastSeparator, long& lastDot) {
  lastSeparator = -1;
  lastDot = -1;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char byte = static_cast<unsigned char>(path[i]);
    if (byte >= 0x81 && byte <= 0xFE && i + 1 < path.size()) {
      ++i;  // a two-byte character: its trail byte is never a separator or dot
    } else if (byte == '\\' || byte == '/') {
      lastSeparator = static_cast<long>(i);
      lastDot = -1;
    } else if (byte == '.') {
      lastDot = static_cast<long>(i);
    }
  }
}

std::string withDefaultExtension(const std::string& path) {
  long lastSeparator, lastDot;
  scanPath(path, lastSeparator, lastDot);
  if (lastDot < 0) return path + ".EDB";
  if (lastDot == static_cast<long>(path.size()) - 1) return path + "EDB";
  return path;
}

std::string sideFilePathOf(const std::string& tablePath) {
  long lastSeparator, lastDot;
  scanPath(tablePath, lastSeparator, lastDot);
  if (lastDot < 0) return tablePath + ".EDT";
  return tablePath.substr(0, static_cast<size_t>(lastDot) + 1) + "EDT";
}

std::string tableNameOf(const std::string& fullPath) {
  long lastSeparator, lastDot;
  scanPath(fullPath, lastSeparator, lastDot);
  size_t start = static_cast<size_t>(lastSeparator + 1);
  size_t end = lastDot < 0 ? fullPath.size() : static_cast<size_t>(lastDot);
  return fullPath.substr(start, end - start);
}
