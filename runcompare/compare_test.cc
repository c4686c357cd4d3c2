// Tests of the column argument and of a read error in the record loop; the console and
// out.txt texts are checked end to end in zenthar_test.cc.
#include "runcompare/compare.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport/run_program.h"

namespace {

TEST(ParseLnlColumnTest, ReadsLikeScanfDWithDefault13) {
  EXPECT_EQ(parse_lnl_column("14"), 14);
  EXPECT_EQ(parse_lnl_column(" 3x"), 3);
  EXPECT_EQ(parse_lnl_column("x"), 13);
  EXPECT_EQ(parse_lnl_column(""), 13);
  EXPECT_EQ(parse_lnl_column("0"), 0);
  EXPECT_EQ(parse_lnl_column("-4"), -4);
}

class CompareRunsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (FILE* stream : streams_) fclose(stream);
    fclose(out_);
    fclose(console_);
  }
  void AddTable(const std::string& text) {
    FILE* stream = tmpfile();
    fputs(text.c_str(), stream);
    rewind(stream);
    Add("t" + std::to_string(tables_.size() + 1), stream);
  }
  void Add(const std::string& name, FILE* stream) {
    streams_.push_back(stream);
    tables_.emplace_back(name, stream);
  }
  CompareOutcome Run(int column) { return compare_runs(&tables_, column, out_, console_); }
  std::string Text(FILE* stream) {
    fflush(stream);
    rewind(stream);
    std::string text;
    int c;
    while ((c = getc(stream)) != EOF) text.push_back(static_cast<char>(c));
    return text;
  }

  std::vector<FILE*> streams_;
  std::vector<InputTable> tables_;
  FILE* out_ = tmpfile();
  FILE* console_ = tmpfile();
};

TEST_F(CompareRunsTest, ReadErrorNamesTheTable) {
  testsupport::TempDir dir;
  AddTable("1 -3\n");
  FILE* folder = fopen(dir.path().c_str(), "r");  // opens, but cannot be read
  ASSERT_NE(folder, nullptr);
  Add(dir.path(), folder);
  CompareOutcome outcome = Run(2);
  EXPECT_EQ(outcome.status, CompareOutcome::kReadError);
  EXPECT_EQ(outcome.failed_table, 1u);
  EXPECT_EQ(outcome.records_written, 0);
  EXPECT_EQ(Text(console_), "");
}

}  // namespace
