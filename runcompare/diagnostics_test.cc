// zenthar's lines on standard error, end to end: each ordinary mistake names itself once,
// while the console output, out.txt and the exit status stay those of the run without the
// line; good tables, gzip-compressed ones among them, give none.
#include <gtest/gtest.h>

#include <string>

#include "testsupport/test_gzip.h"
#include "testsupport/zenthar_fixture.h"

namespace runcompare {
namespace {

TEST_F(ZentharTest, MistakesAreToldOnStandardError) {
  const std::string first = Record(1, "++", -5, 1, -4, 2), warning = "zenthar: warning: ";
  const std::string index = "\nError: index field different.\n";
  const struct {
    std::string a, b, column, records, out_txt, err;
  } cases[] = {
      {textio::test_gzip::Member("1 x -5\n\n"), "1 x -4\n\n\n", "3", first + Wrote(1), "1 x -4\n",
       ""},
      {"1 x -5\n", "1 x -4\n", "c", Wrote(0), "",
       warning + "last argument c is not a column number: column 13 is used and c is not " +
           "compared\n" + warning +
           "the run ended at line 1, where no table's line has 13 fields (the most is 3)\n"},
      {"1 x -5\n\n2 x -6\n", "1 x -4\n \n2 x -7\n", "3", first + Wrote(1), "1 x -4\n",
       warning + "the run ended at line 2, where no table's line has 3 fields (the most is 0); " +
           "lines remain after it\n"},
      {"1 x -5\n2 x 6\n3 x 0\n", "1 x 0.5\n2 x -7\n3 x -1\n", "3",
       Record(1, "++", -5, 1, 0.5, 2) + Record(2, "++", -7, 2, 6, 1) +
           Record(3, "++", -1, 2, 0, 1) + Wrote(3),
       "1 x 0.5\n2 x 6\n3 x 0\n",
       warning + "value 0.5 in record 1 of b is above 0, which no log-likelihood is: is column " +
           "3 the right one? (2 records in all)\n"},
      {"1 x -4\n2 x NA\n", "1 x -5\n2 x -6\n", "3",
       Record(1, "++", -5, 2, -4, 1) + Record(2, "++", -6, 2, 0, 1) + Wrote(2), "1 x -4\n2 x NA\n",
       warning + "log-likelihood \"NA\" in record 2 of a is not a number and counts as 0, above " +
           "any other (1 in all)\n"},
      {"1 x -5\n2 x -6\n", "1 x -4\n2.5 x -3\n", "3", first + index, "1 x -4\n",
       "zenthar: b: index 2.5 in record 2, where a has 2\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.a + "|" + c.b + "|" + c.column);
    Write("a", c.a);
    Write("b", c.b);
    const testsupport::RunResult run = Run({"a", "b", c.column});
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.out, kUsage + "a  b    ==>  out.txt\n\n" + c.records);
    EXPECT_EQ(OutTxt(), c.out_txt);
    EXPECT_EQ(run.status, c.records.find(index) == std::string::npos ? 0 : 255);
  }
}

}  // namespace
}  // namespace runcompare
