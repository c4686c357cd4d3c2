// The help and version flags of the three checkers: given alone they print the help (as in
// testdata/NAME.help) or the name and version, and end with status 0; with other arguments
// they are read as any argument is.
#include <gtest/gtest.h>

#include <string>

#include "testsupport/program_test.h"

namespace {

class CheckerFlagsTest : public testsupport::ProgramTest {};

TEST_F(CheckerFlagsTest, HelpAndVersionGivenAlone) {
  struct Program {
    const char* name;
    const char* path;
    const char* usage;  // what a run prints first
  } programs[] = {
      {"VarnelDrovik", VARNEL_DROVIK_PATH, "VarnelDrovik <#sites>  <#repl>\n"},
      {"SelwickBR", SELWICK_BR_PATH, "Usage:\n\tSelwickBR  <#sites>"},
      {"SelwickBEB", SELWICK_BEB_PATH, "Usage:\n\tSelwickBEB <#sites>"},
  };
  for (const Program& p : programs) {
    const std::string help =
        testsupport::ReadFile(std::string(TESTDATA_DIR) + "/" + p.name + ".help");
    ASSERT_FALSE(help.empty()) << p.name;
    Expect(p.path, {"-h"}, help, 0);
    Expect(p.path, {"--help"}, help, 0);
    Expect(p.path, {"--version"}, std::string(p.name) + " " + SITETOOLS_VERSION + "\n", 0);
    // Not alone, or not exactly the flag: read as an argument, as always.
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--help", "1"}, {"-V"}, {"--versions"}}) {
      EXPECT_EQ(Run(p.path, args).out.rfind(p.usage, 0), 0u) << p.name << " " << args[0];
    }
  }
}

}  // namespace
