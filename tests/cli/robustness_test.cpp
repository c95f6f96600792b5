// The command under hostile conditions: failing reads and writes, resource
// limits, malformed and oversized input. Every row must end with its exit
// status and a one-line reason, never a crash, a hang or a success that lost
// output.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>

#include "cli_checks.hpp"
#include "process.hpp"

namespace ztxgrp::testing {
namespace {

// What a row needs beyond any system: a memory limit that the process feels
// (not under the sanitizers), or POSIX behaviour (signals, resource limits,
// arguments as bytes) that the Windows build does not see.
enum Needs { kAnySystem = 0, kRealMemoryLimit = 1, kPosix = 2 };

TEST(CliRobustnessTest, FailuresEndWithAStatusAndAReason) {
  const struct {
    const char* name;
    std::string script;  // bash; $Z is the command
    std::string input;
    int status;
    const char* err;                 // pattern that standard error must contain
    std::optional<std::string> out;  // exact standard output, when it is fixed
    int needs = kAnySystem;
  } cases[] = {
      {"full disk", "$Z expand R1-R32766 >/dev/full", "", 2,
       "^ztxgrp: cannot write standard output: No space left", ""},
      {"closed standard output", "$Z group R2 R1 >&-", "", 2, "cannot write standard output", ""},
      {"file-size limit", "ulimit -f 1; $Z expand R1-R32766", "", 2,
       "cannot write standard output: File too large", std::nullopt, kPosix},
      {"reader gone, SIGPIPE ignored", "trap '' PIPE; $Z expand R1-R32766 | true; sleep 0", "", 0,
       "cannot write standard output: Broken pipe", "", kPosix},
      {"reader gone", "$Z expand R1-R32766 | head -c 2; echo \" ${PIPESTATUS[0]}\"", "", 0, "^$",
       "R1 141\n", kPosix},
      {"standard input is a directory", "$Z group < /", "", 2, "cannot read standard input", ""},
      {"standard input closed", "$Z group <&-", "", 2, "cannot read standard input", ""},
      {"memory limit", "ulimit -v 200000; head -c 300000000 /dev/zero | tr '\\0' R | $Z group", "",
       3, "^ztxgrp: runtime error 7: Out of memory\n$", "", kRealMemoryLimit | kPosix},
      {"endless input", "yes R1 | $Z group", "", 3, "runtime error 6: Overflow", ""},
      {"endless empty lines", "yes '' | $Z ungroup", "", 3, "runtime error 6: Overflow", ""},
      {"JSON with much white space", "$Z group --json",
       std::string(1, '[').append(200000, ' ').append("]"), 0, "^$", "[null]\n"},
      {"JSON array past the list limit",
       "{ printf '['; yes '\"R1\",' | head -n 40000 | tr -d '\\n'; echo '\"R1\"]'; } | "
       "$Z group --json",
       "", 3, "runtime error 6: Overflow", ""},
      {"deep JSON nesting", "$Z group --json", std::string(100000, '['), 2, "malformed JSON", ""},
      {"deep JSON element", "$Z group --json",
       "[\"R1\"," + std::string(100000, '[') + std::string(100000, ']') + "]", 3,
       "runtime error 13: Type mismatch", ""},
      {"JSON number beyond a double", "$Z group --json", "[1e400]", 2, "malformed JSON", ""},
      {"JSON text number beyond a double", "$Z expand --json", "1e400", 2, "malformed JSON", ""},
      {"data after a NUL byte", "$Z group --json", std::string("[\"R1\"]\0garbage", 14), 2,
       "NUL byte in JSON input at byte 6", ""},
      {"byte-order mark on lines", "$Z group", "\xEF\xBB\xBFR2\nR1\n", 0, "^$", "R1-R2\n"},
      {"byte-order mark alone", "$Z group", "\xEF\xBB\xBF", 0, "^$", "\n"},
      {"huge failing item quoted short",
       "{ head -c 1000000 /dev/zero | tr '\\0' R; echo 1; } | $Z group", "", 3,
       "offending item: \"R{64}\"\\.\\.\\. \\(cut; 1000001 characters in all\\)\n$", ""},
      {"separator not UTF-8", "$Z group -j $'\\xff' R1", "", 2, "--join: invalid UTF-8", "",
       kPosix},
      {"line break in an item", "$Z group R1 $'R2\\nR3'", "", 2,
       "argument 2 holds a line break.*--json", ""},
      {"carriage return inside a line", "$Z ungroup", "R1\rR2\n", 2, "line 1 holds a line break",
       ""},
      {"items after --", "$Z group R1 -- -R2", "", 0, "^$", "-R2\nR1\n"},
      {"-- as the join separator", "$Z group -j -- R2 R1", "", 0, "^$", "R1-R2\n"},
      {"split item not UTF-8", "$Z group -s", "R1 R2\nR3 \xFF\n", 2, "at byte 3 in line 2", ""},
      // A short line of many ranges stops at the list's limit; it is not
      // expanded whole (2,000 ranges of 32,767 designators each).
      {"split line of many ranges",
       "python3 -c \"print(' '.join(f'A{i}x1-A{i}x32767' for i in range(2000)))\" | $Z group -s",
       "", 3, "runtime error 6: Overflow", ""},
      {"split lone dash", "$Z ungroup -s", "C1 - C4\n -\nC9 -\n", 2, "line 3: a lone dash", ""},
      {"unknown option", "$Z group --nope", "", 2, "^ztxgrp: .*--nope\nRun 'ztxgrp --help'", ""},
      {"check streams", "yes R1-R3 | head -n 100000 | $Z check | wc -l", "", 0, "^$", "100000\n"},
      {"git-diff with a file missing", "$Z git-diff p.csv /no/such/file 0 0 /dev/null 0 0", "", 2,
       "cannot open /no/such/file", "", kPosix},
      {"git-diff of two empty sides", "$Z git-diff p.csv /dev/null 0 0 /dev/null 0 0", "", 0, "^$",
       "ztxgrp diff a/p.csv b/p.csv\nthe lists agree\n"},
      {"git-diff with a word too many", "$Z git-diff p a b c d e f g", "", 2, "seven words", ""},
      {"title row with a quote never closed", "$Z bom", "Title,\"x\nRef\nR1\n", 2,
       "the quote opened in line 1 is never closed", ""},
      {"header below the rows searched for it",
       "{ yes a | head -n 200; printf 'Ref\\nR1\\n'; } | $Z bom", "", 2,
       "no designator column .* \"a\"", ""},
      {"header row past the end", "$Z bom --header-row 99", "Ref\nR1\n", 2,
       "--header-row: the header row 99 is not in the file", ""},
      {"header row past any file", "$Z bom --header-row 99999999999", "Ref\nR1\n", 2,
       "--header-row: the header row is counted from 1.*up to 4294967295", ""},
      {"parts list is a directory", "$Z bom /", "", 2,
       "cannot (read /: Is a directory|open /: Permission denied)", ""},
      {"parts list on a full disk", "$Z bom >/dev/full", "Ref\nR1\n", 2,
       "cannot write standard output", ""},
      {"parts list output in a missing folder", "$Z bom -o /nonexistent/x.csv", "Ref\nR1\n", 2,
       "cannot create a file beside /nonexistent/x.csv", ""},
      {"parts list with a NUL byte", "$Z bom", std::string("Ref\nR\0\n", 7), 0, "^$",
       std::string("Ref,Qty\nR\0,1\n", 13)},
      {"parts list named by a pipe", "$Z bom <(printf 'Ref\\nR2\\nR1\\n')", "", 0, "^$",
       "Ref,Qty\nR1-R2,2\n", kPosix},
      {"parts list that is an empty device", "$Z bom /dev/null", "", 2, "the CSV input is empty",
       "", kPosix},
      {"workbook that is only an archive's signature", "printf 'PK\\003\\004' | $Z bom", "", 2,
       "the workbook is damaged: its archive cannot be read", ""},
      {"workbook cut short",
       "$Z bom --format xlsx -o /dev/stdout <<< $'Ref\\nR1' | head -c 900 | $Z bom", "", 2,
       "workbook is damaged", "", kPosix},
      {"workbook to a terminal",
       "script -qec \"echo Ref | $Z bom --format xlsx 2>&3\" /dev/null 3>&2", "", 2,
       "a workbook is not written to a terminal", "", kPosix},
      {"parts list with a huge unquoted cell",
       "{ echo Ref,Note; printf 'R1,'; head -c 1000000 /dev/zero | tr '\\0' x; echo; } | "
       "$Z bom | wc -c",
       "", 0, "^$", "1000019\n"},
      {"compared list is a directory", "$Z diff / <(printf 'Ref\\nR1\\n')", "", 2,
       "cannot (read /: Is a directory|open /: Permission denied)", "", kPosix},
      {"compared lists both from standard input", "$Z diff - -", "Ref\nR1\n", 2,
       "at most one of OLD and NEW", ""},
      {"compared list not UTF-8", "$Z diff - <(printf 'Ref\\nR1\\n')", "Ref\nR\xFF\n", 2,
       "line 2: invalid UTF-8", "", kPosix},
      {"compared lists on a full disk", "$Z diff - <(printf 'Ref\\nR2\\n') >/dev/full", "Ref\nR1\n",
       2, "cannot write standard output", "", kPosix},
      {"compared list with a range too long", "$Z diff - <(printf 'Ref\\nR1\\n')",
       "Ref\nR1-R40000\n", 3, "runtime error 6: Overflow", "", kPosix},
      {"parts list cell past the list limit",
       "{ echo Ref; printf '\"'; yes R1, | head -n 40000 | tr -d '\\n'; echo 'R1\"'; } | $Z bom",
       "", 3, "runtime error 6: Overflow\n.*line 2", ""},
      {"placement file is a directory", "$Z verify - /", "Ref\nR1\n", 2,
       "cannot (read /: Is a directory|open /: Permission denied)", "", kPosix},
      {"placement file from a closed input", "$Z verify <(printf 'Ref\nR1\n') - <&-", "", 2,
       "cannot read standard input", "", kPosix},
      {"placement file with a NUL byte", "$Z verify <(printf 'Ref\nR1\n') -",
       std::string("Designator\nR1\0\n", 15), 2, "neither text nor a workbook", "", kPosix},
      {"placement findings on a full disk", "$Z verify <(printf 'Ref\nR1\n') - >/dev/full",
       "Designator\nR2\n", 2, "cannot write standard output", "", kPosix},
      {"set operand file missing", "$Z union R1 @/nonexistent/list", "", 2,
       "cannot open /nonexistent/list", ""},
      {"set operand is a directory", "$Z union R1 @/", "", 2,
       "cannot (read /: Is a directory|open /: Permission denied)", "", kPosix},
      {"set operand not UTF-8", "$Z union R1 -", "R2 \xFF\n", 2, "invalid UTF-8", ""},
      {"set operand past the list limit",
       "python3 -c \"print(' '.join(f'A{i}x1-A{i}x32767' for i in range(40)))\" | $Z count -", "",
       2, "more than 1048576 designators", ""},
      {"set result on a full disk", "$Z union R1-R32767 C1 >/dev/full", "", 2,
       "cannot write standard output", "", kPosix},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
#ifdef ZTXGRP_SANITIZED
    // The sanitizers reserve more address space than any memory limit allows.
    if (c.needs & kRealMemoryLimit) continue;
#endif
    if ((c.needs & kPosix) && CommandIsWindows()) continue;
    const ProcessResult result =
        RunProcess("/bin/bash", {"-c", "Z='" + CommandUnderTest() + "'; " + c.script}, c.input);
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_TRUE(std::regex_search(result.err, std::regex(c.err))) << result.err;
    if (c.out) {
      EXPECT_EQ(result.out, *c.out);
    }
  }
}

// Kept fuzz inputs and the fuzz seeds, through the fuzz target's check.
TEST(CliRobustnessTest, KeptInputsKeepPassing) {
  int replayed = 0;
  for (const char* directory : {ZTXGRP_CLI_REGRESSIONS, ZTXGRP_CLI_SEEDS}) {
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
      if (!entry.is_regular_file()) continue;
      SCOPED_TRACE(entry.path().string());
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string data((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
      EXPECT_EQ(
          fuzz::CheckCommandInput(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()),
          "");
      ++replayed;
    }
  }
  EXPECT_GT(replayed, 0);
}

}  // namespace
}  // namespace ztxgrp::testing
