// Test fixture shared by zenthar's end-to-end tests: runs the built program in a fresh
// folder and compares its whole console output and exit status.
#ifndef RUNCOMPARE_ZENTHAR_FIXTURE_H_
#define RUNCOMPARE_ZENTHAR_FIXTURE_H_

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "testsupport/run_program.h"

namespace runcompare_test {

const std::string kUsage = "Usage: \n\tzenthar <file1> <file2> ... <lnLcolumn>\n\n";

class ZentharFixture : public ::testing::Test {
 protected:
  testsupport::RunResult Run(const std::vector<std::string>& args, const std::string& input = "",
                             const std::string& stdout_path = "") {
    testsupport::RunResult result =
        testsupport::RunProgram(ZENTHAR_PATH, args, dir_.path(), input, stdout_path);
    EXPECT_EQ(result.err, "");  // nothing ever goes to standard error
    return result;
  }
  // Runs zenthar and expects the usage text followed by `console`, and `status`.
  void Expect(const std::vector<std::string>& args, const std::string& console, int status,
              const std::string& input = "") {
    testsupport::RunResult result = Run(args, input);
    EXPECT_EQ(result.out, kUsage + console);
    EXPECT_EQ(result.status, status);
  }
  void Write(const std::string& name, const std::string& text) { dir_.Write(name, text); }
  std::string OutTxt() { return dir_.Read("out.txt"); }
  bool OutTxtExists() { return access(dir_.File("out.txt").c_str(), F_OK) == 0; }

  testsupport::TempDir dir_;
};

}  // namespace runcompare_test

#endif  // RUNCOMPARE_ZENTHAR_FIXTURE_H_
