// The column argument, and the record loop's stop at a table that cannot be read; the
// console and out.txt texts of whole runs are checked end to end in zenthar_test.cc.
#include "runcompare/compare.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "testsupport/files.h"
#include "testsupport/string_source.h"
#include "testsupport/zenthar_fixture.h"

namespace runcompare {
namespace {

TEST(ParseLnlColumnTest, ReadsLikeScanfDWithDefault13) {
  EXPECT_EQ(ParseLnlColumn("14"), 14);
  EXPECT_EQ(ParseLnlColumn(" 3x"), 3);
  EXPECT_EQ(ParseLnlColumn("x"), 13);
  EXPECT_EQ(ParseLnlColumn(""), 13);
  EXPECT_EQ(ParseLnlColumn("0"), 0);
  EXPECT_EQ(ParseLnlColumn("-4"), -4);
}

class CompareRunsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    std::fclose(console_);
    std::free(console_text_);
  }
  void Add(std::unique_ptr<textio::ByteSource> source) {
    tables_.emplace_back("t" + std::to_string(tables_.size() + 1), std::move(source));
  }
  // Runs the record loop; out.txt and the console are in OutTxt() and Console().
  CompareOutcome Run(int column) {
    LineWriter out(open(dir_.File("out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644));
    const CompareOutcome outcome = CompareRuns(&tables_, column, &out, console_);
    EXPECT_TRUE(out.Close());
    return outcome;
  }
  std::string OutTxt() { return dir_.Read("out.txt"); }
  std::string Console() {
    std::fflush(console_);
    return std::string(console_text_, console_size_);
  }

  testsupport::TempDir dir_;
  std::vector<InputTable> tables_;
  char* console_text_ = nullptr;
  size_t console_size_ = 0;
  FILE* console_ = open_memstream(&console_text_, &console_size_);
};

TEST_F(CompareRunsTest, ReadErrorNamesTheTable) {
  Add(std::make_unique<textio::StringSource>("1 -3\n"));
  Add(std::make_unique<textio::FailingSource>(""));
  const CompareOutcome outcome = Run(2);
  EXPECT_EQ(outcome.status, CompareOutcome::kReadError);
  EXPECT_EQ(outcome.failed_table, 1u);
  EXPECT_EQ(outcome.records_written, 0);
  EXPECT_EQ(Console(), "");
}

// A table whose reading fails after some records: the record loop stops there, and every
// earlier record is written whole.
TEST_F(CompareRunsTest, ReadErrorAfterSomeRecordsKeepsThemInOutTxt) {
  Add(std::make_unique<textio::StringSource>("1 -4\n2 -7\n3 -1\n4 -1\n"));
  Add(std::make_unique<textio::FailingSource>("1 -5\n2 -6\n3 -"));
  const CompareOutcome outcome = Run(2);
  EXPECT_EQ(outcome.status, CompareOutcome::kReadError);
  EXPECT_EQ(outcome.failed_table, 1u);
  EXPECT_EQ(outcome.records_written, 2);
  EXPECT_EQ(OutTxt(), "1 -4\n2 -6\n");
  EXPECT_EQ(Console(), Record(1, "++", -5, 2, -4, 1) + Record(2, "++", -7, 1, -6, 2));
}

// A line longer than its reader takes stops the record loop at that record, naming the
// table; every earlier record is written whole.
TEST_F(CompareRunsTest, LineTooLongNamesTheTableAndRecord) {
  tables_.emplace_back("t1", std::make_unique<textio::StringSource>("1 -4\n2 -7\n3 -1\n"), 4, 16);
  tables_.emplace_back(
      "t2", std::make_unique<textio::StringSource>("1 -5\n2 -6\n3 -" + std::string(14, '9') + "\n"),
      4, 16);
  const CompareOutcome outcome = Run(2);
  EXPECT_EQ(outcome.status, CompareOutcome::kLineTooLong);
  EXPECT_EQ(outcome.failed_table, 1u);
  EXPECT_EQ(outcome.records_written, 2);
  EXPECT_EQ(OutTxt(), "1 -4\n2 -6\n");
  EXPECT_EQ(Console(), Record(1, "++", -5, 2, -4, 1) + Record(2, "++", -7, 1, -6, 2));
}

}  // namespace
}  // namespace runcompare
