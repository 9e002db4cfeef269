// tabletool: the build/dump round trip and the errors users will meet.
#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/table_test_files.h"
#include "tabletool/tabletool.h"

namespace {

class TabletoolTest : public TableFilesTest {
 protected:
  int run(const std::vector<std::string>& args) {
    out.clear();
    err.clear();
    return runTabletool(args, out, err);
  }
  std::string out, err;
};

// UTF-8 texts: "对白" (two characters GBK holds), and an escaped tab,
// newline and backslash.
const std::string kRows =
    "50001\t\xE5\xAF\xB9\xE7\x99\xBD\n"
    "-7\ttab\\there, line\\nbreak, back\\\\slash\n"
    "3\t\n";

TEST_F(TabletoolTest, BuildThenDumpGivesTheRowsBack) {
  write("rows.tsv", kRows);
  const struct {
    const char* label;
    std::vector<std::string> options;
    std::string header;
  } cases[] = {
      {"int key, memo text", {}, "number:Int\ttext:Memo"},
      {"int key, text of 40 bytes", {"--text", "40"}, "number:Int\ttext:Text"},
      {"double key", {"--key", "double"}, "number:Double\ttext:Memo"},
      {"float key", {"--key", "float", "--text", "memo"}, "number:Float\ttext:Memo"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<std::string> args = {"build", path("t.dat"), path("rows.tsv")};
    args.insert(args.end(), c.options.begin(), c.options.end());
    ASSERT_EQ(run(args), 0) << err;
    ASSERT_EQ(run({"dump", path("t.dat"), "--header"}), 0) << err;
    EXPECT_EQ(out, c.header + "\n" + kRows);
  }
  // The text is stored as code page 936: the table reads back its GBK bytes.
  // The table's name is GBK too ("对白编号.dat"), and tabletool names the same
  // files as the tool whatever the system's code page.
#ifdef _WIN32
  std::string table = dir_ + "\\\xB6\xD4\xB0\xD7\xB1\xE0\xBA\xC5.dat";
#else
  std::string table = dir_ + "/\xB6\xD4\xB0\xD7\xB1\xE0\xBA\xC5.dat";
#endif
  ASSERT_EQ(run({"build", table, path("rows.tsv")}), 0) << err;
  ASSERT_TRUE(openTable(table, "a")) << lastTableError();
  EXPECT_EQ(readColumn(2).bytes, "\xB6\xD4\xB0\xD7");
  EXPECT_EQ(readColumn(1).integer, 50001);
}

TEST_F(TabletoolTest, DumpPrintsNumbersInTheirShortestExactForm) {
  write("rows.tsv", "0.1\ta\n1e+300\tb\n-2.5\tc\n");
  ASSERT_EQ(run({"build", path("d.dat"), path("rows.tsv"), "--key", "double"}), 0) << err;
  ASSERT_EQ(run({"dump", path("d.dat")}), 0) << err;
  EXPECT_EQ(out, "0.1\ta\n1e+300\tb\n-2.5\tc\n");
}

TEST_F(TabletoolTest, BuildErrorsNameTheLineAndLeaveNoFile) {
  const struct {
    const char* label;
    std::string rows;
    std::vector<std::string> options;
    std::string message;
  } cases[] = {
      {"missing tab", "1\tone\n2 two\n", {}, "rows.tsv:2: no tab"},
      {"bad number", "1\tone\nx\ttwo\n", {}, "rows.tsv:2: \"x\" is not a number"},
      {"int out of range", "4294967296\tone\n", {}, "rows.tsv:1:"},
      {"fraction for an int key", "1.5\tone\n", {}, "rows.tsv:1:"},
      {"float overflow", "1e39\tone\n", {"--key", "float"}, "rows.tsv:1:"},
      // U+1F600, a smiling face, has no code page 936 form.
      {"text GBK cannot hold", "1\tone\n2\tsmile \xF0\x9F\x98\x80\n", {}, "rows.tsv:2: the text"},
      {"not UTF-8", "1\t\xFF\n", {}, "rows.tsv:1: the text"},
      {"text wider than the column", "1\tabcdef\n", {"--text", "4"}, "rows.tsv:1: the text takes 6"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("rows.tsv", c.rows);
    std::vector<std::string> args = {"build", path("bad.dat"), path("rows.tsv")};
    args.insert(args.end(), c.options.begin(), c.options.end());
    EXPECT_EQ(run(args), 1);
    EXPECT_NE(err.find(c.message), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(path("bad.dat")));
    EXPECT_FALSE(std::filesystem::exists(path("bad.EDT")));
  }
  for (const auto& usage : std::vector<std::vector<std::string>>{
           {}, {"build", "x.dat"}, {"build", "x", "y", "--key", "long"}, {"build", "x", "y", "--text", "0"},
           {"dump"}, {"frobnicate", "x"}}) {
    EXPECT_EQ(run(usage), 2);
  }
}

TEST_F(TabletoolTest, CheckReportsWithoutWritingAndRepairWrites) {
  TableImage image = numberedTable(3);
  image.recordCount = 5;
  std::string damaged = tableImageBytes(image) + "xx";
  write("t.dat", damaged);

  ASSERT_EQ(run({"check", path("t.dat")}), 0) << err;
  EXPECT_NE(out.find("records: 3 of 16 bytes, from offset 260"), std::string::npos) << out;
  EXPECT_NE(out.find("lowers the record count from 5"), std::string::npos) << out;
  EXPECT_NE(out.find("1 key Int offset 4 width 4"), std::string::npos) << out;
  EXPECT_NE(out.find("2 label Text offset 8 width 8"), std::string::npos) << out;
  EXPECT_NE(out.find("side file: none needed"), std::string::npos) << out;
  EXPECT_EQ(readFileBytes(path("t.dat")), damaged) << "check never writes";

  ASSERT_EQ(run({"repair", path("t.dat")}), 0) << err;
  std::string repaired = readFileBytes(path("t.dat"));
  EXPECT_EQ(int32At(repaired, 16), 3);
  EXPECT_EQ(repaired.size(), 260u + 48u);
  ASSERT_EQ(run({"repair", path("t.dat")}), 0) << err;
  EXPECT_NE(out.find("nothing to repair"), std::string::npos);

  image.magic = kProtectedTableMagic;
  write("p.dat", tableImageBytes(image));
  EXPECT_EQ(run({"check", path("p.dat")}), 1);
  EXPECT_NE(err.find("-78 a password-protected table"), std::string::npos) << err;
  EXPECT_EQ(run({"check", path("missing.dat")}), 1);
  EXPECT_NE(err.find("-3 "), std::string::npos) << err;
  EXPECT_EQ(run({"repair", path("p.dat")}), 1);
}

}  // namespace
