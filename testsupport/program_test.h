// The fixture of every end-to-end test: runs a built program in a fresh folder and compares
// its whole console output and exit status.
#ifndef TESTSUPPORT_PROGRAM_TEST_H_
#define TESTSUPPORT_PROGRAM_TEST_H_

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "testsupport/files.h"
#include "testsupport/run_program.h"

namespace testsupport {

class ProgramTest : public ::testing::Test {
 protected:
  /// Runs `program` in the test's folder and checks what it writes to standard error:
  /// `err` exactly when given, else only whole lines that start with the program's name
  /// (the four console programs write nothing else there).
  RunResult Run(const std::string& program, const std::vector<std::string>& args,
                const std::string& input = "", const std::string& stdout_path = "",
                const std::string& err = "") {
    RunResult result = RunProgram(program, args, dir_.Path(), input, stdout_path);
    if (!err.empty()) {
      EXPECT_EQ(result.err, err) << program;
    } else {
      const std::regex lines("(" + program.substr(program.rfind('/') + 1) + ": .*\n)*");
      EXPECT_TRUE(std::regex_match(result.err, lines)) << result.err;
    }
    return result;
  }
  /// Runs `program` and expects its whole console output and exit status.
  void Expect(const std::string& program, const std::vector<std::string>& args,
              const std::string& out, int status, const std::string& input = "") {
    RunResult result = Run(program, args, input);
    EXPECT_EQ(result.out, out) << program;
    EXPECT_EQ(result.status, status) << program;
  }
  void Write(const std::string& name, std::string_view text) { dir_.Write(name, text); }
  std::string Read(const std::string& name) { return dir_.Read(name); }

  TempDir dir_;
};

}  // namespace testsupport

#endif  // TESTSUPPORT_PROGRAM_TEST_H_
