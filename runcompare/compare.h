// The record loop of zenthar: reads the result tables of repeated runs in lock-step, checks
// that the runs agree on each record's index, picks the lowest and highest log-likelihood
// and writes the best line and a record line.
#ifndef RUNCOMPARE_COMPARE_H_
#define RUNCOMPARE_COMPARE_H_

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runcompare/line_reader.h"
#include "runcompare/line_writer.h"
#include "textio/byte_source.h"

namespace runcompare {

/// The column used when the last argument does not begin with an integer.
constexpr int kDefaultLnlColumn = 13;

/// Reads the log-likelihood column from the last argument as "%d" does ("3x" gives 3; huge
/// values are clamped to the range of int); kDefaultLnlColumn when it does not begin with an
/// integer. The result may be below 1: the caller refuses that.
int parse_lnl_column(const char* argument);

/// One input table and its state from record to record.
struct InputTable {
  InputTable(std::string table_name, std::unique_ptr<textio::ByteSource> source,
             std::size_t block_size = LineReader::kDefaultBlockSize,
             std::size_t max_line = LineReader::kDefaultMaxLine)
      : name(std::move(table_name)), reader(std::move(source), block_size, max_line) {}

  std::string name;  // as given, or as typed at the prompt
  LineReader reader;
  textio::FileIdentity identity;  // the file read, told apart from out.txt
  double index_value = -1.0;      // last numeric first field; -1.0 (unset) until there is one
  double lnl_value = 0.0;         // log-likelihood of the current record, 0.0 if not a number
  bool active = false;            // has a line of at least lnl_column fields in this record
  std::string_view line;          // this record's line as read; valid until the next record
};

struct CompareOutcome {
  enum Status { kDone, kIndexMismatch, kReadError, kNoMemory, kLineTooLong, kWriteError };
  Status status = kDone;
  long long records_written = 0;
  std::size_t failed_table = 0;  // for kReadError, kNoMemory and kLineTooLong: the table read
};

/// Reads `*tables` line by line in lock-step until a record has no active table. For each
/// record it writes the line of the table with the highest log-likelihood (field
/// `lnl_column`, 1-based, at least 1) to `out_txt`, adding a line feed when the line lacks
/// one, and prints the record line on `console`. The first active table sets both the
/// lowest and the highest; a later one replaces them only when strictly lower or higher, so
/// on ties the earlier table keeps its place. Stops without writing the record when the
/// active tables disagree on the index (kIndexMismatch), a table cannot be read
/// (kReadError), a line does not fit in memory (kNoMemory) or is longer than its reader
/// takes (kLineTooLong, in record records_written + 1), and stops at the first failed
/// write to `out_txt` (kWriteError); earlier records stay written.
CompareOutcome compare_runs(std::vector<InputTable>* tables, int lnl_column, LineWriter* out_txt,
                            FILE* console);

}  // namespace runcompare

#endif  // RUNCOMPARE_COMPARE_H_
