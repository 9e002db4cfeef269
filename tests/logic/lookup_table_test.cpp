// The lookup-table component over real files: open-time checks and repairs,
// decoding, aliases and keys, going to and searching records, column reads.
// Also built into the Windows tests, where the same cases run over the
// Windows file layer.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <thread>
#include <vector>

#include "fakes/table_test_files.h"
#include "lookup/table_registry.h"

namespace {

using Mutation = std::function<void(TableImage&)>;

// ---- Opening: repairs of the record count and the length

struct RepairCase {
  const char* label;
  int32_t headerCount;
  int32_t recordsPresent;
  size_t strayBytes;
  int32_t countAfter;
};

TEST_F(TableFilesTest, OpenRepairsCountAndLength) {
  const RepairCase cases[] = {
      {"count above the whole records present", 5, 3, 0, 3},
      {"partial last record cut off", 5, 3, 7, 3},
      {"stray bytes after the last record", 3, 3, 2, 3},
      {"exact file kept", 3, 3, 0, 3},
      {"count below the records present", 2, 4, 0, 2},
      {"empty table", 0, 0, 0, 0},
  };
  for (const RepairCase& c : cases) {
    SCOPED_TRACE(c.label);
    TableImage image = numberedTable(c.recordsPresent);
    image.recordCount = c.headerCount;
    image.records += std::string(c.strayBytes, '\x55');
    std::string file = write("t.dat", tableImageBytes(image));
    ASSERT_TRUE(openTable(file, "a")) << lastTableError();
    closeAllTables();
    std::string after = readFileBytes(file);
    EXPECT_EQ(int32At(after, 16), c.countAfter);
    EXPECT_EQ(after.size(), 116u + 72u * 2 + 16u * static_cast<size_t>(c.countAfter));
  }
}

// ---- Opening: refusals, and which repairs happen before them

struct RefusalCase {
  const char* label;
  Mutation mutate;
  int32_t code;
  bool repairedFirst;  // the count was already cut when the refusal came
};

TEST_F(TableFilesTest, OpenRefusesDamagedTables) {
  auto badColumn = [](ColumnDescriptor column) {
    return [column](TableImage& image) { image.columns[1] = column; };
  };
  const RefusalCase cases[] = {
      {"not a table", [](TableImage& t) { t.magic = 0x12345678; }, -22, false},
      {"password-protected", [](TableImage& t) { t.magic = kProtectedTableMagic; }, -78, false},
      {"newer version", [](TableImage& t) { t.version = 0x00010001; }, -23, false},
      {"record size 0", [](TableImage& t) { t.recordSize = 0; }, -22, false},
      {"negative record count", [](TableImage& t) { t.recordCount = -1; }, -22, false},
      {"word at 20 is 0", [](TableImage& t) { t.headerWord20 = 0; }, -22, false},
      {"no columns", [](TableImage& t) { t.columns.clear(); t.records.clear(); }, -22, false},
      {"type 13", badColumn(imageColumn("label", 13, 8)), -22, true},
      {"type 0", badColumn(imageColumn("label", 0, 8)), -22, true},
      {"text width 0", badColumn(imageColumn("label", kTypeText, 8, 0)), -22, true},
      {"negative offset", badColumn(imageColumn("label", kTypeInt, -1)), -22, true},
      {"name of 17 bytes", badColumn(imageColumn("abcdefghijklmnopq", kTypeInt, 4)), -22, true},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.label);
    TableImage image = numberedTable(3);
    image.recordCount = 5;  // the repair that may or may not come first
    c.mutate(image);
    std::string file = write("t.dat", tableImageBytes(image));
    EXPECT_FALSE(openTable(file, "a"));
    EXPECT_EQ(lastTableError(), c.code);
    EXPECT_FALSE(selectTable("a")) << "a refused table is not registered";
    if (c.repairedFirst) {
      EXPECT_EQ(int32At(readFileBytes(file), 16), 3);
    }
  }
}

TEST_F(TableFilesTest, OpenRefusesShortFiles) {
  std::string whole = tableImageBytes(numberedTable(1));
  const struct {
    const char* label;
    std::string bytes;
  } cases[] = {
      {"empty file", ""},
      {"header cut short", whole.substr(0, 111)},
      {"no column count", whole.substr(0, 114)},
      {"catalogue cut short", whole.substr(0, 116 + 72 + 10)},
      {"column count far beyond the file", [&] {
         std::string bytes = whole;
         putInt32(bytes, 112, 0x7FFFFFFF);
         return bytes;
       }()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_FALSE(openTable(write("t.dat", c.bytes), "a"));
    EXPECT_EQ(lastTableError(), -22);
  }
}

TEST_F(TableFilesTest, CatalogueTooLargeToHoldIsNotRead) {
  // A sparse file long enough for a catalogue of a million columns.
  std::string bytes = tableImageBytes(numberedTable(0));
  putInt32(bytes, 112, 1000000);
  std::string file = write("huge.dat", bytes);
  std::filesystem::resize_file(file, 116 + 72 * 1000000LL);
  EXPECT_FALSE(openTable(file, "a"));
  EXPECT_EQ(lastTableError(), -21);
}

// ---- Opening: the side file

struct SideCase {
  const char* label;
  std::function<void(SideImage&)> mutate;
  bool sideExists;
  int32_t code;
};

TEST_F(TableFilesTest, OpenChecksTheSideFile) {
  const SideCase cases[] = {
      {"missing", nullptr, false, -35},
      {"bad magic", [](SideImage& s) { s.magic = 0; }, true, -35},
      {"block count 0", [](SideImage& s) { s.blockCount = 0; }, true, -35},
      {"version differs", [](SideImage& s) { s.version = 0x00010001; }, true, -36},
  };
  for (const SideCase& c : cases) {
    SCOPED_TRACE(c.label);
    TableImage image;
    image.recordSize = 8;
    image.recordCount = 0;
    image.columns = {imageColumn("memo", kTypeMemo, 4)};
    write("m.dat", tableImageBytes(image));
    std::filesystem::remove(path("m.EDT"));
    SideImage side;
    appendChain(side, "hello");
    if (c.mutate) c.mutate(side);
    if (c.sideExists) write("m.EDT", sideImageBytes(side));
    EXPECT_FALSE(openTable(path("m.dat"), "a"));
    EXPECT_EQ(lastTableError(), c.code);
  }
}

TEST_F(TableFilesTest, SideFileHeaderWordsMustLieInsideTheBlockCount) {
  for (size_t at : {20u, 24u}) {
    for (int32_t value : {-1, 2}) {
      SCOPED_TRACE(std::to_string(at) + " = " + std::to_string(value));
      TableImage image;
      image.recordSize = 8;
      image.columns = {imageColumn("memo", kTypeMemo, 4)};
      write("m.dat", tableImageBytes(image));
      SideImage side;
      appendChain(side, "x");  // two blocks: 0 and 1 are in range
      std::string bytes = sideImageBytes(side);
      putInt32(bytes, at, value);
      write("m.EDT", bytes);
      EXPECT_FALSE(openTable(path("m.dat"), "a"));
      EXPECT_EQ(lastTableError(), -35);
    }
  }
}

TEST_F(TableFilesTest, SideFileBlockCountLoweredToTheBlocksPresent) {
  TableImage image;
  image.recordSize = 8;
  image.columns = {imageColumn("memo", kTypeMemo, 4)};
  write("m.dat", tableImageBytes(image));
  SideImage side;
  appendChain(side, "x");
  side.blockCount = 9;
  std::string bytes = sideImageBytes(side) + "tail";  // 2 whole blocks and a bit
  write("m.EDT", bytes);
  ASSERT_TRUE(openTable(path("m.dat"), "a")) << lastTableError();
  closeAllTables();
  std::string after = readFileBytes(path("m.EDT"));
  EXPECT_EQ(int32At(after, 16), 2);
  EXPECT_EQ(after.size(), bytes.size()) << "the side file's length is never changed";
}

// ---- Decoding every column type

double doubleOf(const ColumnValue& value) { return value.real; }

TEST_F(TableFilesTest, ReadsEveryColumnType) {
  TableImage image;
  image.recordSize = 96;
  image.recordCount = 1;
  image.columns = {
      imageColumn("byte", kTypeByte, 4),          imageColumn("short", kTypeShort, 5),
      imageColumn("int", kTypeInt, 8),            imageColumn("int64", kTypeInt64, 12),
      imageColumn("float", kTypeFloat, 20),       imageColumn("double", kTypeDouble, 24),
      imageColumn("bool", kTypeBool, 32),         imageColumn("late", kTypeDateTime, 36),
      imageColumn("early", kTypeDateTime, 44),    imageColumn("day", kTypeDateTime, 52),
      imageColumn("sub", kTypeSubPointer, 60),    imageColumn("cut", kTypeText, 64, 8),
      imageColumn("full", kTypeText, 72, 8),      imageColumn("none", kTypeText, 80, 8),
      imageColumn("memo", kTypeMemo, 88),         imageColumn("bytes", kTypeBytes, 92),
      imageColumn("nomemo", kTypeMemo, 0),
  };
  std::string record(96, '\0');
  record[4] = '\xFF';
  putBytes(record, 5, "\xFE\xFF", 2);
  putInt32(record, 8, -7);
  int64_t big = -1234567890123LL;
  putBytes(record, 12, &big, 8);
  float f = 0.1f;
  putBytes(record, 20, &f, 4);
  double d = -2.5e300;
  putBytes(record, 24, &d, 8);
  record[32] = 2;
  double late = 3e6, early = -7e5, day = 45000.75;
  putBytes(record, 36, &late, 8);
  putBytes(record, 44, &early, 8);
  putBytes(record, 52, &day, 8);
  putInt32(record, 60, -1);
  putBytes(record, 64, "ab\0cdefg", 8);
  putBytes(record, 72, "abcdefgh", 8);
  putBytes(record, 80, "\0bcdefgh", 8);
  SideImage side;
  std::string memo = std::string(500, 'm') + std::string("tail\0after", 10) + std::string(10, 'z');
  putInt32(record, 88, appendChain(side, memo));
  std::string raw("\x00\x01\x02", 3);
  putInt32(record, 92, appendChain(side, raw));
  image.records = record;  // column "nomemo" reads the status word 0: no chain
  write("all.dat", tableImageBytes(image));
  write("all.EDT", sideImageBytes(side));
  ASSERT_TRUE(openTable(path("all.dat"), "a")) << lastTableError();

  struct Expect {
    int32_t column;
    ColumnKind kind;
    std::function<void(const ColumnValue&)> check;
  };
  const Expect expects[] = {
      {1, ColumnKind::Byte, [](const ColumnValue& v) { EXPECT_EQ(v.integer, 255); }},
      {2, ColumnKind::Short, [](const ColumnValue& v) { EXPECT_EQ(v.integer, -2); }},
      {3, ColumnKind::Int, [](const ColumnValue& v) { EXPECT_EQ(v.integer, -7); }},
      {4, ColumnKind::Int64, [&](const ColumnValue& v) { EXPECT_EQ(v.integer, big); }},
      {5, ColumnKind::Float, [&](const ColumnValue& v) { EXPECT_EQ(v.real, static_cast<double>(f)); }},
      {6, ColumnKind::Double, [&](const ColumnValue& v) { EXPECT_EQ(v.real, d); }},
      {7, ColumnKind::Bool, [](const ColumnValue& v) { EXPECT_TRUE(v.flag); }},
      {8, ColumnKind::DateTime, [](const ColumnValue& v) { EXPECT_EQ(doubleOf(v), 2958465.0); }},
      {9, ColumnKind::DateTime, [](const ColumnValue& v) { EXPECT_EQ(doubleOf(v), -657434.0); }},
      {10, ColumnKind::DateTime, [](const ColumnValue& v) { EXPECT_EQ(doubleOf(v), 45000.75); }},
      {11, ColumnKind::SubPointer, [](const ColumnValue& v) { EXPECT_EQ(v.integer, 0xFFFFFFFFLL); }},
      {12, ColumnKind::Text, [](const ColumnValue& v) { EXPECT_EQ(v.bytes, "ab"); }},
      {13, ColumnKind::Text, [](const ColumnValue& v) { EXPECT_EQ(v.bytes, "abcdefgh"); }},
      {14, ColumnKind::Text, [](const ColumnValue& v) { EXPECT_EQ(v.bytes, ""); }},
      {15, ColumnKind::Text, [](const ColumnValue& v) { EXPECT_EQ(v.bytes, std::string(500, 'm') + "tail"); }},
      {16, ColumnKind::Bytes, [&](const ColumnValue& v) { EXPECT_EQ(v.bytes, raw); }},
      {17, ColumnKind::Text, [](const ColumnValue& v) { EXPECT_EQ(v.bytes, ""); }},
  };
  for (const Expect& e : expects) {
    SCOPED_TRACE("column " + std::to_string(e.column));
    ColumnValue value = readColumn(e.column);
    EXPECT_EQ(lastTableError(), 0);
    EXPECT_EQ(value.kind, e.kind);
    e.check(value);
  }
}

// ---- Block chains: sound ones and the malformed ones that must stop

struct ChainCase {
  const char* label;
  std::vector<std::string> blocks;  // data blocks 1, 2, ...
  int32_t blockCount;               // -1: as composed
  int32_t firstBlock;
  int32_t code;
  std::string bytes;
};

TEST(BlockChain, WalksSoundChainsAndStopsMalformedOnes) {
  const ChainCase cases[] = {
      {"two blocks, 500 and 20 bytes", {sideBlock(2, std::string(500, 'a')), sideBlock(0, std::string(20, 'b'))},
       -1, 1, 0, std::string(500, 'a') + std::string(20, 'b')},
      {"negative next ends the chain", {sideBlock(-5, "xy")}, -1, 1, 0, "xy"},
      {"used 0 or below adds nothing", {sideBlock(2, "ignored", 0), sideBlock(0, "zz", -3)}, -1, 1, 0, ""},
      {"no chain", {}, -1, 0, 0, ""},
      {"used above 500", {sideBlock(0, "x", 501)}, -1, 1, -60, ""},
      {"loop back to itself", {sideBlock(1, "x")}, -1, 1, -60, ""},
      {"loop of two", {sideBlock(2, "x"), sideBlock(1, "y")}, -1, 1, -60, ""},
      {"more blocks than the count allows", {sideBlock(2, "x"), sideBlock(0, "y")}, 2, 1, -60, ""},
      {"block beyond the file", {sideBlock(7, "x")}, 9, 1, -59, ""},
      {"huge block number", {sideBlock(0x7FFFFFFF, "x")}, 0x7FFFFFFF, 1, -59, ""},
  };
  for (const ChainCase& c : cases) {
    SCOPED_TRACE(c.label);
    SideImage side;
    side.blocks = c.blocks;
    side.blockCount = c.blockCount;
    std::string bytes = sideImageBytes(side);
    TableFile file = memoryTableFile(bytes);
    std::string chain = "left over";
    EXPECT_EQ(readBlockChain(file, c.firstBlock, chain), c.code);
    EXPECT_EQ(chain, c.bytes);
  }
}

TEST(DecodeColumn, MemoAndBytesNeedASideFile) {
  uint8_t slot[4] = {1, 0, 0, 0};
  for (uint32_t type : {static_cast<uint32_t>(kTypeMemo), static_cast<uint32_t>(kTypeBytes)}) {
    ColumnValue value;
    EXPECT_EQ(decodeColumn(imageColumn("m", type, 0), slot, nullptr, value), -46);
  }
}

TEST_F(TableFilesTest, ChainFailureGivesTheEmptyValueOfTheColumn) {
  TableImage image;
  image.recordSize = 12;
  image.recordCount = 1;
  image.columns = {imageColumn("memo", kTypeMemo, 4), imageColumn("bytes", kTypeBytes, 8)};
  image.records = recordWith(12, 4, "\x01\x00\x00\x00\x01\x00\x00\x00", 8);
  SideImage side;
  side.blocks = {sideBlock(1, "loop")};
  write("c.dat", tableImageBytes(image));
  write("c.EDT", sideImageBytes(side));
  ASSERT_TRUE(openTable(path("c.dat"), "a"));
  for (int32_t column : {1, 2}) {
    ColumnValue value = readColumn(column);
    EXPECT_EQ(lastTableError(), -60);
    EXPECT_EQ(value.kind, column == 1 ? ColumnKind::Text : ColumnKind::Bytes);
    EXPECT_EQ(value.bytes, "");
  }
}

// ---- Columns that cannot be read

TEST_F(TableFilesTest, ColumnsWithoutASlotToReadGiveEmptyValues) {
  TableImage image = numberedTable(2);
  image.columns.push_back(imageColumn("past", kTypeInt64, 12));          // 12 + 8 > 16
  image.columns.push_back(imageColumn("wide", kTypeText, 8, 0x7FFFFFFF));  // far past the record
  write("t.dat", tableImageBytes(image));

  // No table at all: the empty text, and the "no current table" code.
  ColumnValue none = readColumn(2);
  EXPECT_EQ(none.kind, ColumnKind::Text);
  EXPECT_EQ(lastTableError(), -67);

  ASSERT_TRUE(openTable(path("t.dat"), "a"));
  const struct {
    int32_t column;
    int32_t code;
    ColumnKind kind;
  } cases[] = {
      {0, -9, ColumnKind::Text},   {5, -9, ColumnKind::Text},       {-1, -9, ColumnKind::Text},
      {3, -46, ColumnKind::Int64}, {4, -46, ColumnKind::Text},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.column);
    ColumnValue value = readColumn(c.column);
    EXPECT_EQ(lastTableError(), c.code);
    EXPECT_EQ(value.kind, c.kind);
    EXPECT_EQ(value.integer, 0);
    EXPECT_EQ(value.bytes, "");
  }
  // The same columns inside a search, read from the record under test.
  struct Seen {
    int32_t code;
  } seen{0};
  ASSERT_TRUE(goToRecord(1));
  findForward([](void* context) {
    readColumn(3);
    static_cast<Seen*>(context)->code = lastTableError();
    return true;
  }, &seen);
  EXPECT_EQ(seen.code, -46);
  EXPECT_EQ(readColumn(2).bytes, "r10") << "sound columns still read";
}

// ---- Paths, aliases and keys

TEST(TablePaths, DefaultExtensionNeverSplitsATwoByteCharacter) {
  const struct {
    std::string path, table, side, name;
  } cases[] = {
      {"lines", "lines.EDB", "lines.EDT", "lines"},
      {"lines.", "lines.EDB", "lines.EDT", "lines"},
      {"lines.dat", "lines.dat", "lines.EDT", "lines"},
      {"C:\\v1.2\\lines", "C:\\v1.2\\lines.EDB", "C:\\v1.2\\lines.EDT", "lines"},
      {"C:\\a.b\\c.d.dat", "C:\\a.b\\c.d.dat", "C:\\a.b\\c.d.EDT", "c.d"},
      // 0x95 0x5C is one character whose second byte is a backslash.
      {"C:\\x.y\\\x95\x5C", "C:\\x.y\\\x95\x5C.EDB", "C:\\x.y\\\x95\x5C.EDT", "\x95\x5C"},
      {"\xB6\xD4\xB0\xD7.dat", "\xB6\xD4\xB0\xD7.dat", "\xB6\xD4\xB0\xD7.EDT", "\xB6\xD4\xB0\xD7"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(withDefaultExtension(c.path), c.table);
    EXPECT_EQ(sideFilePathOf(withDefaultExtension(c.path)), c.side);
    EXPECT_EQ(tableNameOf(withDefaultExtension(c.path)), c.name);
  }
}

TEST(TableAliases, ValidNamesOnly) {
  const struct {
    std::string alias;
    bool valid;
  } cases[] = {
      {"a", true},
      {"b", true},
      {"Lines2", true},
      {"\xA3\xC1\xA3\xB1", true},        // full-width A then full-width 1
      {"\xB6\xD4\xB0\xD7" "9", true},    // Chinese characters then a digit
      {"\x81\x40", true},                // a GBK extension character
      {"1a", false},
      {"\xA3\xB1", false},               // a full-width digit cannot come first
      {"a_b", false},
      {"a b", false},
      {"a.", false},
      {"\xA1\xA1", false},               // the ideographic space is not a letter
      {"a\xB6", false},                  // a lead byte without its second byte
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.alias);
    EXPECT_EQ(aliasIsValid(c.alias), c.valid);
  }
}

TEST(TableKeys, CaseIgnoredForAsciiOnly) {
  EXPECT_TRUE(tableKeysEqual("Lines", "LINES"));
  EXPECT_TRUE(tableKeysEqual("\xB6\xD4" "a", "\xB6\xD4" "A"));
  EXPECT_FALSE(tableKeysEqual("\x81\x41", "\x81\x61")) << "second bytes are never case-folded";
  EXPECT_FALSE(tableKeysEqual("ab", "abc"));
}

TEST_F(TableFilesTest, OpenRefusalsLeaveTheRegistryAsItWas) {
  std::string tableBytes = tableImageBytes(numberedTable(3));
  write("one.dat", tableBytes);
  write("two.dat", tableBytes);
  std::filesystem::create_directories(path("dir.dat"));
  ASSERT_TRUE(openTable(path("one.dat"), "a"));
  ASSERT_TRUE(goToRecord(3));

  const struct {
    const char* label;
    std::string path, alias;
    int32_t code;
  } cases[] = {
      {"empty path", "", "b", -3},
      {"missing file", path("missing.dat"), "b", -3},
      {"missing file, default extension", path("one"), "b", -3},
      {"a directory", path("dir.dat"), "b", -6},
      {"same file again", path("one.dat"), "b", -38},
      {"same file, other spelling", path("ONE.DAT"), "a", -38},
      {"invalid alias", path("two.dat"), "2b", -24},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    if (std::string(c.label) == "same file, other spelling" && !std::filesystem::exists(path("ONE.DAT"))) {
      continue;  // a case-sensitive file system: another spelling is another file
    }
    EXPECT_FALSE(openTable(c.path, c.alias));
    EXPECT_EQ(lastTableError(), c.code);
    EXPECT_EQ(readColumn(1).integer, 30) << "table a stays current on its record 3";
    EXPECT_FALSE(selectTable("b"));
  }
}

TEST_F(TableFilesTest, KeysFindAliasesThenNamesThenPaths) {
  std::string bytes = tableImageBytes(numberedTable(3));
  write("x.dat", bytes);
  write("y.dat", bytes);
  write("z.dat", bytes);
  ASSERT_TRUE(openTable(path("x.dat"), "y"));  // alias y, name x
  ASSERT_TRUE(openTable(path("y.dat"), "x"));  // alias x, name y
  ASSERT_TRUE(openTable(path("z.dat"), ""));
  ASSERT_TRUE(goToRecord(3));  // z on 3: tells z from the others
  auto currentIsZ = [] { return readColumn(1).integer == 30; };

  EXPECT_TRUE(currentIsZ()) << "the last table opened is current";
  ASSERT_TRUE(selectTable("Y"));  // the alias pass comes before the name pass
  EXPECT_FALSE(currentIsZ());
  ASSERT_TRUE(goToRecord(2));
  ASSERT_TRUE(selectTable("z"));  // by name
  EXPECT_TRUE(currentIsZ());
  ASSERT_TRUE(selectTable("x"));  // alias of y.dat, on record 1
  EXPECT_EQ(readColumn(1).integer, 10);
  ASSERT_TRUE(selectTable("y"));  // alias of x.dat, on record 2
  EXPECT_EQ(readColumn(1).integer, 20);
  ASSERT_TRUE(selectTable(path("z.dat")));  // by full path
  EXPECT_TRUE(currentIsZ());

  EXPECT_FALSE(selectTable("w"));
  EXPECT_EQ(lastTableError(), -66);
  EXPECT_FALSE(selectTable(""));
  EXPECT_EQ(lastTableError(), -66);
  EXPECT_TRUE(currentIsZ()) << "a failed select keeps the current table";
}

// ---- Going to records

TEST_F(TableFilesTest, GoToRecordClampsToTheCountReadNow) {
  write("t.dat", tableImageBytes(numberedTable(10)));
  ASSERT_TRUE(openTable(path("t.dat"), "a"));
  const struct {
    int32_t n, record;
  } cases[] = {{0, 1}, {-5, 1}, {1, 1}, {7, 7}, {10, 10}, {1000, 10}, {INT32_MIN, 1}, {INT32_MAX, 10}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.n);
    ASSERT_TRUE(goToRecord(c.n));
    EXPECT_EQ(lastTableError(), 0);
    EXPECT_EQ(readColumn(1).integer, c.record * 10);
  }
}

TEST_F(TableFilesTest, EmptyTableGoesToRecordOneAndReadsNothing) {
  write("e.dat", tableImageBytes(numberedTable(0)));
  ASSERT_TRUE(openTable(path("e.dat"), "a"));
  EXPECT_TRUE(goToRecord(1));
  ColumnValue value = readColumn(2);
  EXPECT_EQ(lastTableError(), -10);
  EXPECT_EQ(value.kind, ColumnKind::Text);
  EXPECT_EQ(value.bytes, "");
  KeyMatch any{10};
  EXPECT_FALSE(findForward(keyMatches, &any));
  EXPECT_EQ(lastTableError(), 0);
  EXPECT_EQ(any.calls, 0);
}

// ---- Searching forward

TEST_F(TableFilesTest, FindForwardStartsAtTheCurrentRecordAndNeverWraps) {
  write("t.dat", tableImageBytes(numberedTable(10)));
  ASSERT_TRUE(openTable(path("t.dat"), "a"));

  ASSERT_TRUE(goToRecord(3));
  KeyMatch three{30};
  EXPECT_TRUE(findForward(keyMatches, &three)) << "the current record itself is tested";
  EXPECT_EQ(readColumn(1).integer, 30);

  ASSERT_TRUE(goToRecord(5));
  EXPECT_FALSE(findForward(keyMatches, &three));
  EXPECT_EQ(lastTableError(), 0);
  EXPECT_EQ(readColumn(1).integer, 50) << "a failed search leaves the current record";

  ASSERT_TRUE(goToRecord(1));
  EXPECT_TRUE(findForward(keyMatches, &three));
  EXPECT_EQ(readColumn(1).integer, 30);
  EXPECT_EQ(readColumn(2).bytes, "r30");
}

TEST_F(TableFilesTest, PredicateReadsTheRecordUnderTestAndDeletedRecordsCount) {
  TableImage image = numberedTable(4);
  putInt32(image.records, 16 * 2, -1);  // record 3 deleted
  write("t.dat", tableImageBytes(image));
  ASSERT_TRUE(openTable(path("t.dat"), "a"));
  ASSERT_TRUE(goToRecord(2));
  struct Visit {
    std::vector<int64_t> keys;
    std::vector<std::string> labels;
  } visit;
  EXPECT_FALSE(findForward([](void* context) {
    Visit& v = *static_cast<Visit*>(context);
    v.keys.push_back(readColumn(1).integer);
    v.labels.push_back(readColumn(2).bytes);
    return false;
  }, &visit));
  EXPECT_EQ(visit.keys, (std::vector<int64_t>{20, 30, 40}));
  EXPECT_EQ(visit.labels, (std::vector<std::string>{"r20", "r30", "r40"}));

  ASSERT_TRUE(goToRecord(1));
  KeyMatch deleted{30};
  EXPECT_TRUE(findForward(keyMatches, &deleted));
  EXPECT_EQ(readColumn(1).integer, 30);
}

TEST_F(TableFilesTest, FindForwardAcrossManyBatches) {
  // Enough records for several reads of a batch; keys repeat so the first
  // match must be the one taken.
  const int32_t count = static_cast<int32_t>(3 * kSearchBatchBytes / 16 + 5);
  write("big.dat", tableImageBytes(keyedTable(count, [&](int32_t k) { return k == count ? 7 : k % 1000 + 1000; })));
  ASSERT_TRUE(openTable(path("big.dat"), "a"));
  KeyMatch last{7};
  ASSERT_TRUE(findForward(keyMatches, &last));
  EXPECT_EQ(readColumn(2).bytes, "r7");
  ASSERT_TRUE(goToRecord(count));
  EXPECT_TRUE(findForward(keyMatches, &last)) << "the last record is its own match";
  ASSERT_TRUE(goToRecord(2));
  KeyMatch repeated{1999};
  ASSERT_TRUE(findForward(keyMatches, &repeated));
  ASSERT_TRUE(goToRecord(1));  // now on record 999: found first, not a later copy
  ASSERT_TRUE(findForward(keyMatches, &repeated));
  KeyMatch missing{-1};
  EXPECT_FALSE(findForward(keyMatches, &missing));
  EXPECT_EQ(lastTableError(), 0);
}

TEST_F(TableFilesTest, SearchesSeeTheCountAsTheFileHoldsItNow) {
  std::string file = write("t.dat", tableImageBytes(numberedTable(5)));
  ASSERT_TRUE(openTable(file, "a"));
  ASSERT_TRUE(goToRecord(5));

  // Another program lowers the count: the current record now lies beyond it.
  std::fstream edit(file, std::ios::in | std::ios::out | std::ios::binary);
  edit.seekp(16);
  edit.write(int32Bytes(2).data(), 4);
  edit.flush();
  KeyMatch any{50};
  EXPECT_FALSE(findForward(keyMatches, &any));
  EXPECT_EQ(lastTableError(), 0);
  EXPECT_EQ(any.calls, 0);

  // ...and raises it again above the records present: the read comes short.
  edit.seekp(16);
  edit.write(int32Bytes(9).data(), 4);
  edit.flush();
  KeyMatch none{-1};
  EXPECT_FALSE(findForward(keyMatches, &none));
  EXPECT_EQ(lastTableError(), -62);
  EXPECT_EQ(none.calls, 1) << "record 5 was tested before record 6 came short";
}

TEST_F(TableFilesTest, ClosingEndsEverything) {
  write("t.dat", tableImageBytes(numberedTable(3)));
  ASSERT_TRUE(openTable(path("t.dat"), "a"));
  // Closing every table from inside a predicate ends the search safely.
  EXPECT_FALSE(findForward([](void*) {
    closeAllTables();
    return true;
  }, nullptr));
  EXPECT_EQ(lastTableError(), -67);

  ASSERT_TRUE(openTable(path("t.dat"), "a")) << "closing let the file go";
  closeAllTables();
  EXPECT_EQ(lastTableError(), 0);
  KeyMatch any{10};
  EXPECT_FALSE(findForward(keyMatches, &any));
  EXPECT_EQ(lastTableError(), -67);
  EXPECT_FALSE(goToRecord(1));
  EXPECT_EQ(lastTableError(), -67);
  EXPECT_FALSE(selectTable("a"));
}

TEST_F(TableFilesTest, ReasonCodesAreKeptPerThread) {
  EXPECT_FALSE(selectTable("nothing"));
  int32_t elsewhere = 1;
  std::thread other([&] { elsewhere = lastTableError(); });
  other.join();
  EXPECT_EQ(elsewhere, 0);
  EXPECT_EQ(lastTableError(), -66);
}

TEST_F(TableFilesTest, SearchInsideAPredicateKeepsTheOuterRecord) {
  write("t.dat", tableImageBytes(numberedTable(6)));
  ASSERT_TRUE(openTable(path("t.dat"), "a"));
  struct Outer {
    std::vector<int64_t> before, after;
    int innerFound = 0;
  } outer;
  EXPECT_FALSE(findForward([](void* context) {
    Outer& o = *static_cast<Outer*>(context);
    o.before.push_back(readColumn(1).integer);
    KeyMatch six{60};
    o.innerFound += findForward(keyMatches, &six) ? 1 : 0;
    o.after.push_back(readColumn(1).integer);
    return false;
  }, &outer));
  EXPECT_EQ(outer.before, (std::vector<int64_t>{10, 20, 30, 40, 50, 60}));
  EXPECT_EQ(outer.after, outer.before);
  EXPECT_EQ(outer.innerFound, 6);
}

TEST_F(TableFilesTest, NestedLocksOfOneTableStack) {
  // A predicate that goes to a record and reads outside the search buffer of
  // another table takes locks the search already holds: they must nest.
  std::string bytes = tableImageBytes(numberedTable(3));
  write("a.dat", bytes);
  write("b.dat", bytes);
  ASSERT_TRUE(openTable(path("a.dat"), "a"));
  ASSERT_TRUE(openTable(path("b.dat"), "b"));
  ASSERT_TRUE(selectTable("a"));
  struct Inner {
    bool wentTo = false;
    int64_t fromB = 0;
  } inner;
  ASSERT_TRUE(findForward([](void* context) {
    Inner& in = *static_cast<Inner*>(context);
    in.wentTo = goToRecord(2);  // the header lock is held by the search
    selectTable("b");
    in.fromB = readColumn(1).integer;
    selectTable("a");
    return true;
  }, &inner));
  EXPECT_TRUE(inner.wentTo);
  EXPECT_EQ(inner.fromB, 10);
  // Every lock was given back: another open of the file can lock byte 16.
  TableFile other;
  ASSERT_EQ(openTableFile(path("a.dat"), other), 0);
  EXPECT_EQ(lockTableFileRange(other, 16, 1), 0);
  EXPECT_EQ(lockTableFileRange(other, 116 + 72 * 2, 1), 0);
  unlockTableFileRange(other, 16, 1);
  unlockTableFileRange(other, 116 + 72 * 2, 1);
  closeTableFile(other);
}

// Another open of the same file, in this same process, conflicts like another
// program would (the cross-process cases are in table_lock_test.cpp).
TEST_F(TableFilesTest, LocksOfAnotherOpenConflict) {
  write("t.dat", tableImageBytes(numberedTable(3)));
  ASSERT_TRUE(openTable(path("t.dat"), "a"));
  TableFile other;
  ASSERT_EQ(openTableFile(path("t.dat"), other), 0);

  ASSERT_EQ(lockTableFileRange(other, 16, 1), 0);
  KeyMatch any{20};
  EXPECT_FALSE(findForward(keyMatches, &any));
  EXPECT_EQ(lastTableError(), -13);
  EXPECT_EQ(any.calls, 0);
  unlockTableFileRange(other, 16, 1);

  int64_t record2 = 116 + 72 * 2 + 16;
  ASSERT_EQ(lockTableFileRange(other, record2, 1), 0);
  EXPECT_FALSE(findForward(keyMatches, &any)) << "a match is never taken without its lock";
  EXPECT_EQ(lastTableError(), -13);
  ASSERT_TRUE(goToRecord(2));
  EXPECT_EQ(readColumn(1).integer, 0);
  EXPECT_EQ(lastTableError(), -13);
  ASSERT_TRUE(goToRecord(1));
  KeyMatch first{10};
  EXPECT_TRUE(findForward(keyMatches, &first)) << "records before the locked one are found";

  // Past the locked record: where the system refuses reads over another
  // open's locked bytes (Windows, and the native layer likewise), the batch
  // is read again record by record and the locked record stops the search as
  // its lock would; where reads pass (Wine), the unlocked copy of record 2 is
  // no match and the search goes on to record 3.
  TableFile mine;
  ASSERT_EQ(openTableFile(path("t.dat"), mine), 0);
  char probe[16];
  uint32_t got = 0;
  bool refused = readTableFile(mine, record2, probe, 16, got) == -13;
  closeTableFile(mine);
  KeyMatch third{30};
  EXPECT_EQ(findForward(keyMatches, &third), !refused);
  EXPECT_EQ(lastTableError(), refused ? -13 : 0);
  EXPECT_EQ(third.calls, refused ? 1 : 4) << "a match is tested again under its lock";
  unlockTableFileRange(other, record2, 1);

  // A second open of the table is refused while another open holds a lock.
  ASSERT_EQ(lockTableFileRange(other, 16, 1), 0);
  closeAllTables();
  EXPECT_FALSE(openTable(path("t.dat"), "a"));
  EXPECT_EQ(lastTableError(), -13);
  unlockTableFileRange(other, 16, 1);
  closeTableFile(other);
}

}  // namespace
