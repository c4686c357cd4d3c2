// The fixture of zenthar's end-to-end tests: testsupport's program fixture run on zenthar,
// whose usage text every run prints first, and its out.txt.
#ifndef RUNCOMPARE_ZENTHAR_FIXTURE_H_
#define RUNCOMPARE_ZENTHAR_FIXTURE_H_

#include <unistd.h>

#include <string>
#include <vector>

#include "testsupport/program_test.h"

namespace runcompare {

const std::string kUsage = "Usage: \n\tzenthar <file1> <file2> ... <lnLcolumn>\n\n";

class ZentharTest : public testsupport::ProgramTest {
 protected:
  testsupport::RunResult Run(const std::vector<std::string>& args, const std::string& input = "",
                             const std::string& stdout_path = "") {
    return ProgramTest::Run(ZENTHAR_PATH, args, input, stdout_path);
  }
  // Runs zenthar and expects the usage text followed by `console`, and `status`.
  void Expect(const std::vector<std::string>& args, const std::string& console, int status,
              const std::string& input = "") {
    ProgramTest::Expect(ZENTHAR_PATH, args, kUsage + console, status, input);
  }
  std::string OutTxt() { return Read("out.txt"); }
  bool OutTxtExists() { return access(dir_.File("out.txt").c_str(), F_OK) == 0; }
};

}  // namespace runcompare

#endif  // RUNCOMPARE_ZENTHAR_FIXTURE_H_
