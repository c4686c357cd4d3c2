// The fixture of zenthar's end-to-end tests: testsupport's program fixture run on zenthar,
// whose usage text every run prints first, and its out.txt; the texts its bad-input tests
// expect.
#ifndef TESTSUPPORT_ZENTHAR_FIXTURE_H_
#define TESTSUPPORT_ZENTHAR_FIXTURE_H_

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "testsupport/program_test.h"

namespace runcompare {

const std::string kUsage = "Usage: \n\tzenthar <file1> <file2> ... <lnLcolumn>\n\n";

// The lines of a table, each with its line feed when it has one.
inline std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

class ZentharTest : public testsupport::ProgramTest {
 protected:
  // Runs zenthar in the test's folder. Standard error may hold zenthar's own lines only, its
  // warnings and error details, whose words diagnostics_test.cc checks.
  testsupport::RunResult Run(const std::vector<std::string>& args, const std::string& input = "",
                             const std::string& stdout_path = "") {
    testsupport::RunResult result =
        testsupport::RunProgram(ZENTHAR_PATH, args, dir_.Path(), input, stdout_path);
    for (const std::string& line : LinesOf(result.err)) {
      EXPECT_TRUE(line.rfind("zenthar: ", 0) == 0 && line.back() == '\n') << line;
    }
    return result;
  }
  // Runs zenthar through /bin/sh after the shell commands `before` (limits set with
  // ulimit, for example), which then apply to zenthar.
  testsupport::RunResult RunAfter(const std::string& before, const std::vector<std::string>& args,
                                  const std::string& input = "") {
    std::vector<std::string> words = {"-c", before + "\nexec \"$0\" \"$@\"", ZENTHAR_PATH};
    words.insert(words.end(), args.begin(), args.end());
    return ProgramTest::Run("/bin/sh", words, input);
  }
  // Runs zenthar and expects the usage text followed by `console`, and `status`.
  void Expect(const std::vector<std::string>& args, const std::string& console, int status,
              const std::string& input = "") {
    const testsupport::RunResult result = Run(args, input);
    EXPECT_EQ(result.out, kUsage + console);
    EXPECT_EQ(result.status, status);
  }
  std::string OutTxt() { return Read("out.txt"); }
  bool OutTxtExists() { return access(dir_.File("out.txt").c_str(), F_OK) == 0; }
};

class ZentharBadInputTest : public ZentharTest {};

// A record line of two tables.
inline std::string Record(int number, const char* marks, double low, int low_file, double high,
                          int high_file) {
  char text[200];
  std::snprintf(text, sizeof text, "record %4d  (%s) %10.3f (%d) - %10.3f (%d) = %8.3f\n", number,
                marks, low, low_file, high, high_file, low - high);
  return text;
}

// A table line of `length` bytes: the index, the value, then padding and a line feed.
inline std::string PaddedLine(int index, const std::string& value, std::size_t length) {
  const std::string line = std::to_string(index) + " " + value + " ";
  return line + std::string(length - 1 - line.size(), 'p') + "\n";
}

inline std::string Wrote(int records) {
  return "\nwrote " + std::to_string(records) + " records into out.txt\n";
}

}  // namespace runcompare

#endif  // TESTSUPPORT_ZENTHAR_FIXTURE_H_
