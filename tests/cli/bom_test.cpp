// ztxgrp bom on real parts lists and on the shapes that CSV exports take.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli_checks.hpp"
#include "process.hpp"
#include "ztxgrp/csv_file.hpp"

namespace ztxgrp::testing {
namespace {

ProcessResult Bom(const std::vector<std::string>& args, const std::string& input = {}) {
  std::vector<std::string> all = {"bom"};
  all.insert(all.end(), args.begin(), args.end());
  return RunProcess(CommandUnderTest(), all, input);
}

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The rows of a CSV text, without the column named `drop`, sorted.
std::vector<std::vector<std::string>> SortedRows(const std::string& csv, const std::string& drop) {
  const CsvTable table = ReadCsv(csv, std::nullopt);
  const auto dropped = std::find(table.header.begin(), table.header.end(), drop);
  std::vector<std::vector<std::string>> rows;
  for (std::size_t r = 0; r < table.RowCount(); ++r) {
    const auto row = table.Row(r);
    std::vector<std::string> fields(row.begin(), row.end());
    if (dropped != table.header.end())
      fields.erase(fields.begin() + (dropped - table.header.begin()));
    rows.push_back(std::move(fields));
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

// Collapse then expand gives back the same rows; collapsing twice changes
// nothing. On the real boards when they are at hand.
TEST(BomTest, RealBoardsRoundTrip) {
  const std::filesystem::path boards = ZTXGRP_BOARD_DATA;
  if (!std::filesystem::exists(boards)) GTEST_SKIP() << "board data not found at " << boards;
  int checked = 0;
  for (const auto& entry : std::filesystem::directory_iterator(boards)) {
    if (entry.path().extension() != ".csv") continue;
    SCOPED_TRACE(entry.path().filename().string());
    const std::string original = Slurp(entry.path());
    const ProcessResult collapsed = Bom({}, original);
    ASSERT_EQ(collapsed.status, 0) << collapsed.err;
    EXPECT_LT(collapsed.out.size(), original.size());
    const ProcessResult expanded = Bom({"--expand"}, collapsed.out);
    ASSERT_EQ(expanded.status, 0) << expanded.err;
    EXPECT_EQ(SortedRows(expanded.out, "Qty"), SortedRows(original, "Qty"));
    const ProcessResult again = Bom({}, collapsed.out);
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, collapsed.out);
    ++checked;
  }
  EXPECT_EQ(checked, 5);
}

// Lines without quotes are split without libcsv: they must read exactly as
// libcsv reads them, failures included.
TEST(BomTest, PlainLinesReadAsLibcsvReadsThem) {
  std::vector<std::string> inputs = {
      "Ref,Value\nR1,10k\n\nR2, 10k \n,\n,,,\nR3,\n",
      "Ref;Value\r\nR1;1\r\n\r\nR2;\"a;b\"\r\nR3;2",
      "Ref\tValue\rR1\t1\rR2\t\"x\ry\"\rR3\t\r",
      "Ref,Value\nR1,\"two\nlines, none quoted\nhere\"\nR2,3\n",
      "Ref,Value\nR1,1,2,3\n",
      "Ref,Value\nR1,1,,\n",
      "Ref,Value\nR1,a\"b\nR2,1\n",
      "Ref,Value\nR1,\"open\nR2,1\n",
      "\xEF\xBB\xBFRef,Value\nR1,\xC3\xA9\n",
      "Ref,Value\nR1,\xC3\n",
      "\n\n  \nRef,Value\n",
      "",
  };
  const std::filesystem::path boards = ZTXGRP_BOARD_DATA;
  if (std::filesystem::exists(boards))
    for (const auto& entry : std::filesystem::directory_iterator(boards))
      if (entry.path().extension() == ".csv") inputs.push_back(Slurp(entry.path()));
  for (const std::string& input : inputs) {
    SCOPED_TRACE(input.substr(0, 60));
    EXPECT_EQ(fuzz::DescribeCsv(input, false), fuzz::DescribeCsv(input, true));
  }
}

TEST(BomTest, MergedRowsOfARealBoard) {
  const ProcessResult result = Bom({ZTXGRP_TEST_DATA "/bom/excerpt.csv"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "Reference,Qty,Value,Footprint\r\n"
            "C106-C107,2,4.7uF,Capacitors_SMD:C_0805_HandSoldering\r\n"
            "\"D601-D602, D605-D606\",4,L4148,Diodes_SMD:D_0805\r\n"
            "\"D603-D604, D607-D608\",4,Green,LEDs:LED_0805_HandSoldering\r\n"
            "Half-Bridge_DO1301,1,Half-Bridge DO,Project:IDC_Header_Straight_26pins\r\n"
            "J101,1,Bornier,Project:AK300-2\r\n"
            "\"J102, J601-J605\",6,Bornier,Project:AK300-3\r\n");
}

TEST(BomTest, ExportShapesOptionsAndFailures) {
  const struct {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string out;
    const char* err;  // pattern
  } cases[] = {
      {{}, "Ref,Value\nR2,10k\nR1,10k\nC1,1u\n", 0, "Ref,Qty,Value\nC1,1,1u\nR1-R2,2,10k\n", "^$"},
      // Quoted cells with commas, ranges and hyphenated designators in a cell.
      {{},
       "Designator,Value\n\"R1, R3-R5 R9\",10k\nX-1A1,10k\nR2,10k\n",
       0,
       "Designator,Qty,Value\n\"R1-R5, R9, X-1A1\",7,10k\n",
       "^$"},
      {{"--expand"},
       "Refs,Qty,Value\n\"R1-R3, X-1A1\",4,10k\n",
       0,
       "Refs,Qty,Value\nR1,1,10k\nR2,1,10k\nR3,1,10k\nX-1A1,1,10k\n",
       "^$"},
      // CRLF, a byte-order mark, empty rows, a trailing empty column: the
      // parts end at the first empty row, unless the last row is named past
      // them; the rows below are kept as written.
      {{"--last-row", "5"},
       "\xEF\xBB\xBFReference,Value,\r\nR2,10k,\r\n\r\n,,\r\nR1,10k,\r\n",
       0,
       "\xEF\xBB\xBFReference,Qty,Value,\r\nR1-R2,2,10k,\r\n",
       "^$"},
      {{},
       "\xEF\xBB\xBFReference,Value,\r\nR2,10k,\r\n\r\n,,\r\nTotal,1,\r\n",
       0,
       "\xEF\xBB\xBFReference,Qty,Value,\r\nR2,1,10k,\r\n\r\n,,\r\nTotal,1,\r\n",
       "^ztxgrp: note: the parts end at the empty line 3: the row below it is kept as it is, not "
       "read as a part\n$"},
      {{"--last-row", "2"},
       "Ref,Value\nR2,10k\nR1,10k\nTotal,2\n",
       0,
       "Ref,Qty,Value\nR2,1,10k\nR1,10k\nTotal,2\n",
       "^ztxgrp: note: the parts end at line 2, the last row asked for: the 2 rows below it are "
       "kept as "
       "they are, not read as parts\n$"},
      {{"--header-row", "2", "--last-row", "1"},
       "Title\nRef\nR1\n",
       2,
       "",
       "--last-row: the last row 1 is above the header row 2"},
      // A cell with a line break, written back quoted.
      {{},
       "Ref,Note\nR1,\"two\nlines\"\nR2,\"two\nlines\"\n",
       0,
       "Ref,Qty,Note\nR1-R2,2,\"two\nlines\"\n",
       "^$"},
      {{"--by", "Value", "--qty", "Count", "-j", " ", "--min-run", "3"},
       "RefDes,Value,Count,Note\nR1,10k,1,a\nR2,10k,1,a\nR4,10k,1,a\nR5,10k,1,a\nR6,10k,1,a\n",
       0,
       "RefDes,Value,Count,Note\nR1 R2 R4-R6,10k,5,a\n",
       "^$"},
      // Designators exactly as written; separators; placeholders; quantities.
      {{},
       "Ref,Value\n\"R001,R002,U1.1;U1.2\",1k\n\"C1 - C4\",1u\n\"R7\nR8\",2k\n-,PCB\n",
       0,
       "Ref,Qty,Value\nC1-C4,4,1u\n\"R001, R002, U1.1, U1.2\",4,1k\nR7-R8,2,2k\n-,,PCB\n",
       "^$"},
      {{"--expand", "-j", ";"},
       "Ref,Value\nR1;R3-R4,1k\n",
       0,
       "Ref,Value\nR1,1k\nR3,1k\nR4,1k\n",
       "^$"},
      {{},
       "Ref,Qty,Value\nR1,1,1k\nR2,DNP,1k\nR3,5,1k\n,2,PCB\n",
       0,
       "Ref,Qty,Value\n\"R1, R3\",2,1k\nR2,DNP,1k\n,2,PCB\n",
       "line 3: the quantity \"DNP\" is no whole number.*\n.*line 4: the quantity \"5\" differs"},
      // Exports: separators, UTF-16, CR-only line ends, header names.
      {{}, "Ref Des;Value\r\nR2;1k\r\nR1;1k\r\n", 0, "Ref Des;Qty;Value\r\nR1-R2;2;1k\r\n", "^$"},
      {{"--sep", "tab"},
       "Part Reference\tValue\nR1\t1,5k\n",
       0,
       "Part Reference\tQty\tValue\nR1\t1\t1,5k\n",
       "^$"},
      {{},
       std::string("\xFF\xFER\0e\0f\0\n\0R\0\x31\0\n\0", 16),
       0,
       std::string("\xFF\xFER\0e\0f\0,\0Q\0t\0y\0\n\0R\0\x31\0,\0\x31\0\n\0", 28),
       "^$"},
      {{}, std::string("R\0e\0f\0\n\0", 8), 2, "", "UTF-16 without a byte-order mark"},
      {{},
       "Ref,Value\rR1,1k\rR1,1k\r",
       0,
       "Ref,Qty,Value\r\"R1, R1\",2,1k\r",
       "occurs 2 times, in lines 2, 3"},
      {{}, "Ref,Value\n\"C1 - X\",1k\n", 2, "", "line 2: the dash in \"C1 - X\""},
      {{}, "Ref,Value\nR001-R003,1k\n", 2, "", "line 2: the range \"R001-R003\" would change"},
      {{"--expand"},
       "Ref,Value\nR1-R30000 R30001-R32767 Z1-Z9,1k\n",
       3,
       "",
       "runtime error 6.*\n.*\"R1-R30000.*\n.*line 2"},
      {{"--qty", "Reference"}, "Reference,Value\nR1,1k\n", 2, "", "names the designator column"},
      {{"--min-run", "0x10"}, "Ref\nR1\n", 2, "", "decimal number"},
      {{"--min-run", "010", "-j", " "}, "Ref\nR1\nR2\nR3\n", 0, "Ref,Qty\nR1 R2 R3,3\n", "^$"},
      {{"--by", "Value", "-j", " "},
       "Ref,Value,MPN\nR1,1k,A\nR2,1k,B\n",
       0,
       "Ref,Qty,Value,MPN\nR1-R2,2,1k,A\n",
       "column \"MPN\" differs between the merged lines 2, 3"},
      {{"--by", "Value", "--strict"}, "Ref,Value,MPN\nR1,1k,A\nR2,1k,B\n", 2, "", "--strict"},
      {{"--by", "Nope"},
       "Ref,Value\nR1,1k\n",
       2,
       "",
       "--by: no column named \"Nope\"; the headers are"},
      {{"-o", ""}, "Ref\nR1\n", 2, "", "file name is empty"},
      {{"-o", "/dev/full"}, "Ref\nR1\n", 2, "", "cannot write /dev/full: (No space|Disk full)"},
      {{},
       "Ref,Value\nR1,1k\nR1,1k\n",
       0,
       "Ref,Qty,Value\n\"R1, R1\",2,1k\n",
       "warning: designator \"R1\" occurs 2 times, in lines 2, 3"},
      {{"--strict"}, "Ref,Value\nR1,1k\nR1,2k\n", 2, "", "occurs 2 times.*\n.*--strict"},
      {{},
       "Ref,Value\nR1,1k\nR3-R1,1k\n",
       3,
       "",
       "runtime error 9: Subscript out of range\n.*\"R3-R1\"\n.*line 3"},
      {{}, "Ref,Value\nR1,1k\n.5,1k\n", 3, "", "runtime error 13.*\n.*\n.*line 3"},
      {{}, "Part,Value\nR1,1k\n", 2, "", "no designator column .*\"Part\", \"Value\".*--refs"},
      {{"--refs", "Nope"}, "Ref,Value\nR1,1k\n", 2, "", "no column named \"Nope\""},
      {{}, "Ref,Value\nR1,\"1k\nR2,1k\n", 2, "", "quote opened in line 2 is never closed"},
      {{}, "Ref,Value\nR1,1k\"x\n", 2, "", "malformed CSV in line 2"},
      {{}, "Ref,Value\nR1,1k\nR2,\xFF\n", 2, "", "line 3: invalid UTF-8"},
      {{}, "Ref,Value\nR1,1k,x\n", 2, "", "line 2 has 3 fields; the header has 2"},
      {{}, "", 2, "", "empty"},
      {{"/nonexistent/parts.csv"}, "", 2, "", "cannot open /nonexistent/parts.csv"},
      {{"--", "-parts.csv"}, "", 2, "", "cannot open -parts.csv"},
      {{"a.csv", "--", "b.csv"}, "", 2, "", "at most one FILE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    const ProcessResult result = Bom(c.args, c.input);
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_EQ(result.out, c.out);
    EXPECT_TRUE(std::regex_search(result.err, std::regex(c.err))) << result.err;
  }
}

// -o replaces the file only when everything succeeded.
TEST(BomTest, OutputFileIsReplacedOnlyOnSuccess) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "ztxgrp-bom-test";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "out.csv").string();
  std::ofstream(path) << "old\n";
  EXPECT_EQ(Bom({"-o", path}, "Ref,Value\nR3-R1,1k\n").status, 3);
  EXPECT_EQ(Slurp(path), "old\n");
  EXPECT_EQ(Bom({"-o", path}, "Ref,Value\nR1,1k\n").status, 0);
  EXPECT_EQ(Slurp(path), "Ref,Qty,Value\nR1,1,1k\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
  std::filesystem::remove_all(dir);
}

// -o writes as cp does: a replaced file keeps its mode, a new one gets
// 0666 less the umask, a symlink's target is replaced, a FIFO is written in
// place, any name the file system takes works.
TEST(BomTest, OutputFileIsWrittenAsCpWritesIt) {
  namespace fs = std::filesystem;
  if (CommandIsWindows()) GTEST_SKIP() << "modes, symbolic links and FIFOs are POSIX's";
  const fs::path dir = fs::temp_directory_path() / "ztxgrp-bom-o-test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string input = "Ref,Value\nR1,1k\n";
  const std::string output = "Ref,Qty,Value\nR1,1,1k\n";
  const mode_t oldMask = ::umask(027);

  const fs::path kept = dir / "kept.csv";
  std::ofstream(kept) << "old\n";
  fs::permissions(kept, fs::perms(0604));
  const fs::path fresh = dir / "new.csv";
  const fs::path target = dir / "target.csv";
  std::ofstream(target) << "old\n";
  const fs::path link = dir / "link.csv";
  fs::create_symlink(target, link);
  const fs::path longName = dir / std::string(250, 'n');
  std::ofstream(longName) << "old\n";
  for (const fs::path& path : {kept, fresh, link, longName}) {
    SCOPED_TRACE(path.string());
    EXPECT_EQ(Bom({"-o", path.string()}, input).status, 0);
    EXPECT_EQ(Slurp(path), output);
  }
  EXPECT_EQ(fs::status(kept).permissions(), fs::perms(0604));
  EXPECT_EQ(fs::status(fresh).permissions(), fs::perms(0640));
  EXPECT_TRUE(fs::is_symlink(link));
  ::umask(oldMask);

  const fs::path fifo = dir / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const int reader = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);  // keeps the FIFO open
  ASSERT_GE(reader, 0);
  EXPECT_EQ(Bom({"-o", fifo.string()}, input).status, 0);
  char buffer[256];
  const ssize_t got = ::read(reader, buffer, sizeof buffer);
  ::close(reader);
  EXPECT_EQ(std::string(buffer, got > 0 ? static_cast<std::size_t>(got) : 0), output);
  EXPECT_TRUE(fs::is_fifo(fifo));

  // Standard output redirected to a file: the output goes where the
  // descriptor stands, and what the shell writes next follows it.
  const fs::path in = dir / "in.csv", log = dir / "log";
  std::ofstream(in) << input;
  const std::string script = "{ '" + CommandUnderTest() + "' bom '" + in.string() +
                             "' -o /dev/stdout; echo done; } > '" + log.string() + "'";
  EXPECT_EQ(std::system(script.c_str()), 0);
  EXPECT_EQ(Slurp(log), output + "done\n");
  fs::remove_all(dir);
}

}  // namespace
}  // namespace ztxgrp::testing
