// The lookup-table file format: a 112-byte header, a catalogue of 72-byte
// column descriptors, fixed-size records; long texts and byte data in a side
// file of 512-byte blocks. These steps check, repair and decode; they keep no
// state and return 0 or a negative reason code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lookup/lookup_table.h"
#include "platform/table_file.h"

enum ColumnType : uint32_t {
  kTypeByte = 1, kTypeShort = 2, kTypeInt = 3, kTypeInt64 = 4, kTypeFloat = 5,
  kTypeDouble = 6, kTypeBool = 7, kTypeDateTime = 8, kTypeSubPointer = 9,
  kTypeText = 10, kTypeBytes = 11, kTypeMemo = 12,
};

constexpr int32_t kTableMagic = 0x42444557;           // "WEDB"
constexpr int32_t kProtectedTableMagic = 0x42444357;  // "WCDB"
constexpr int32_t kSideFileMagic = 0x54444557;        // "WEDT"
constexpr int32_t kTableVersion = 0x00010000;
constexpr int64_t kHeaderSize = 112;
constexpr int64_t kDescriptorSize = 72;
constexpr int64_t kNameFieldSize = 20;
constexpr int64_t kRecordCountOffset = 16;  // also the header lock's byte
constexpr int64_t kBlockSize = 512;
constexpr int64_t kBlockHeaderSize = 12;
constexpr int32_t kBlockDataSize = 500;
constexpr int64_t kBlockCountOffset = 16;
// The largest column catalogue read into memory: about 930,000 columns.
constexpr int64_t kLargestCatalogue = 64 << 20;

// Reason codes of the format steps and of the table component.
enum TableCode : int32_t {
  kTableOk = 0,
  kSystemFailure = -1,
  kNoSuchFile = -3,
  kSlotPastEnd = -10,
  kLockConflict = -13,
  kOpenFailure = -21,
  kBadTable = -22,
  kNewerVersion = -23,
  kBadAlias = -24,
  kBadSideFile = -35,
  kSideVersionMismatch = -36,
  kAlreadyOpen = -38,
  kSlotUnreadable = -46,   // also a slot that does not lie inside its record
  kBlockReadShort = -59,
  kMalformedChain = -60,   // a block chain that loops, overruns or overfills
  kRecordReadShort = -62,
  kCountReadShort = -65,
  kNoSuchTable = -66,
  kNoCurrentTable = -67,
  kNoSuchColumn = -9,      // readColumn of a column the table does not have
  kProtectedTable = -78,
};

// What a reason code means, in a few English words (for tabletool).
const char* tableCodeMeaning(int32_t code);

struct ColumnDescriptor {
  std::string name;  // up to the first zero byte
  uint32_t type = 0;
  int32_t offset = 0;
  int32_t width = 0;
};

struct TableLayout {
  int32_t version = 0;
  int32_t recordCount = 0;
  int32_t recordSize = 0;
  int32_t columnCount = 0;
  std::vector<ColumnDescriptor> columns;
  int64_t recordsStart = 0;
  bool needsSideFile = false;
};

// Bytes a column occupies in each record.
int64_t slotSize(const ColumnDescriptor& column);

// True when the column's slot lies inside the record; a column whose slot does
// not is never read (its reads fail with kSlotUnreadable).
bool slotInsideRecord(const ColumnDescriptor& column, int32_t recordSize);

// Checks the header and catalogue; cuts the record count to the whole records
// present and the file to its last record (written to the file).
int32_t loadTableLayout(TableFile& table, TableLayout& layout);

// Checks the side file's block 0; lowers its block count to the blocks present.
int32_t checkSideFile(TableFile& side, int32_t tableVersion);

// The bytes of the chain that starts at `firstBlock`, block by block under each
// block's lock. A chain that loops, holds more blocks than the side file's
// block count allows, or claims more than 500 bytes in a block fails.
int32_t readBlockChain(TableFile& side, int32_t firstBlock, std::string& bytes);

// `slot` holds slotSize(column) bytes; `side` is null when the table has none.
int32_t decodeColumn(const ColumnDescriptor& column, const uint8_t* slot, TableFile* side,
                     ColumnValue& value);

// The empty value of a column's kind (a Memo column's kind is Text).
ColumnValue emptyColumnValue(uint32_t type);
ColumnKind kindOfColumn(uint32_t type);

// Path rules. Separators and dots are single-byte characters only: the second
// byte of a two-byte character is never taken for one.
std::string withDefaultExtension(const std::string& path);  // adds ".EDB" / "EDB"
std::string sideFilePathOf(const std::string& tablePath);   // extension -> "EDT"
std::string tableNameOf(const std::string& fullPath);       // no directory, no extension

int32_t loadInt32(const uint8_t* bytes);
void storeInt32(uint8_t* bytes, int32_t value);
