#include "fakes/lookup/fake_lookup_table.h"

FakeLookup& fakeLookup() {
  static FakeLookup lookup;
  return lookup;
}

void resetFakeLookup() { fakeLookup() = FakeLookup(); }

std::vector<FakeTableRecord> fakeTable(const std::vector<std::pair<int64_t, std::string>>& records) {
  std::vector<FakeTableRecord> table;
  for (const auto& record : records) {
    ColumnValue key;
    key.kind = ColumnKind::Int;
    key.integer = record.first;
    table.push_back({key, record.second});
  }
  return table;
}

FakeOpenTable* fakeOpenTable(const std::string& alias) {
  for (FakeOpenTable& table : fakeLookup().open) {
    if (table.alias == alias) return &table;
  }
  return nullptr;
}

static FakeOpenTable* currentTable() {
  FakeLookup& lookup = fakeLookup();
  return lookup.current < 0 ? nullptr : &lookup.open[lookup.current];
}

static const std::vector<FakeTableRecord>& recordsOf(const FakeOpenTable& table) {
  return fakeLookup().files[table.path];
}

bool openTable(const std::string& path, const std::string& alias) {
  FakeLookup& lookup = fakeLookup();
  bool alreadyOpen = false;
  for (const FakeOpenTable& table : lookup.open) alreadyOpen = alreadyOpen || table.path == path;
  if (alreadyOpen || lookup.files.count(path) == 0) {
    lookup.log.push_back("open " + alias + " refused");
    return false;
  }
  lookup.open.push_back({path, alias, 1});
  lookup.current = static_cast<int>(lookup.open.size()) - 1;
  lookup.log.push_back("open " + alias);
  return true;
}

bool selectTable(const std::string& alias) {
  FakeLookup& lookup = fakeLookup();
  lookup.log.push_back("select " + alias);
  for (size_t i = 0; i < lookup.open.size(); ++i) {
    if (lookup.open[i].alias == alias) {
      lookup.current = static_cast<int>(i);
      return true;
    }
  }
  return false;
}

bool goToRecord(int32_t n) {
  FakeOpenTable* table = currentTable();
  if (table == nullptr) return false;
  int32_t count = static_cast<int32_t>(recordsOf(*table).size());
  table->currentRecord = n > count ? count : n;
  if (table->currentRecord < 1) table->currentRecord = 1;
  fakeLookup().log.push_back("goto " + table->alias + " " + std::to_string(n));
  return true;
}

bool findForward(TablePredicate predicate, void* context) {
  FakeOpenTable* table = currentTable();
  if (table == nullptr) return false;
  FakeLookup& lookup = fakeLookup();
  int32_t start = table->currentRecord < 1 ? 1 : table->currentRecord;
  lookup.log.push_back("find " + table->alias + " from " + std::to_string(start));
  int32_t count = static_cast<int32_t>(recordsOf(*table).size());
  for (int32_t record = start; record <= count; ++record) {
    lookup.recordUnderTest = record;
    bool match = predicate(context);
    lookup.recordUnderTest = 0;
    if (match) {
      table->currentRecord = record;
      lookup.log.push_back("find " + table->alias + " found " + std::to_string(record));
      return true;
    }
  }
  return false;
}

ColumnValue readColumn(int32_t n) {
  FakeLookup& lookup = fakeLookup();
  FakeOpenTable* table = currentTable();
  if (table == nullptr) return ColumnValue();
  int32_t record = lookup.recordUnderTest != 0 ? lookup.recordUnderTest : table->currentRecord;
  if (lookup.recordUnderTest == 0) lookup.log.push_back("read " + table->alias + " " + std::to_string(record));
  const std::vector<FakeTableRecord>& records = recordsOf(*table);
  if (record < 1 || record > static_cast<int32_t>(records.size())) return ColumnValue();
  if (n == 1) return records[record - 1].key;
  ColumnValue text;
  if (n == 2) text.bytes = records[record - 1].text;
  return text;
}

void closeAllTables() {
  fakeLookup().open.clear();
  fakeLookup().current = -1;
  fakeLookup().log.push_back("close all");
}

int32_t lastTableError() { return 0; }
