// The help and version flags of zenthar: given alone they print the help (as in
// testdata/zenthar.help) or the name and version, without the usage text, and end with
// status 0; with other arguments, or not exactly a flag, they are read as any argument is.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport/zenthar_fixture.h"

namespace runcompare {
namespace {

TEST_F(ZentharTest, HelpAndVersionGivenAlone) {
  const std::string help = testsupport::ReadFile(std::string(TESTDATA_DIR) + "/zenthar.help");
  ASSERT_FALSE(help.empty());
  ProgramTest::Expect(ZENTHAR_PATH, {"-h"}, help, 0);
  ProgramTest::Expect(ZENTHAR_PATH, {"--help"}, help, 0);
  ProgramTest::Expect(ZENTHAR_PATH, {"--version"},
                      std::string("zenthar ") + SITETOOLS_VERSION + "\n", 0);
  EXPECT_EQ(Run({"--help"}, "", "/dev/full").status, 255);
  // One argument that is not exactly a flag: the usage text, status 1, as always.
  for (const char* other : {"-V", "--versions", "-help", "help"}) Expect({other}, "", 1);
  // With other arguments a flag names a file.
  Expect({"--help", "-h", "2"},
         "\nerror when opening file --help\ntell me the full path-name of the file? Can't find "
         "the file.  I give up.\n",
         255);
  EXPECT_FALSE(OutTxtExists());
}

}  // namespace
}  // namespace runcompare
