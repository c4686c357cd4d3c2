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
/// integer, and then `*read` (when given) is false. The result may be below 1: the caller
/// refuses that.
int ParseLnlColumn(const char* argument, bool* read = nullptr);

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

/// Values of the log-likelihood column that no log-likelihood has: the first of each kind,
/// where it was, and how many.
struct OddValues {
  long long positive = 0;  // records written whose highest value is above 0
  long long positive_record = 0;
  std::size_t positive_table = 0;  // the highest table of the first such record
  double positive_value = 0.0;
  long long not_numbers = 0;  // fields read as 0.0 because they are no number
  long long not_number_record = 0;
  std::size_t not_number_table = 0;
  std::string not_number_text;  // the first such field, cut at 64 bytes
};

struct CompareOutcome {
  enum Status { kDone, kIndexMismatch, kReadError, kNoMemory, kLineTooLong, kWriteError };
  Status status = kDone;
  long long records_written = 0;
  std::size_t failed_table = 0;  // for kReadError, kNoMemory and kLineTooLong: the table read
  OddValues odd;
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
CompareOutcome CompareRuns(std::vector<InputTable>* tables, int lnl_column, LineWriter* out_txt,
                           FILE* console);

/// The text of the field at `field`, in a line handed out by a LineReader, up to the white
/// space after it, cut at 64 bytes.
std::string FieldText(const char* field);

/// After CompareRuns ended with kDone, at the record after the last one written: the most
/// fields that a table's line of that record has (none reaches `lnl_column`), or -1 when no
/// table gave a line there, every table being at its end.
long long FieldsWhereTheRunEnded(const std::vector<InputTable>& tables, int lnl_column);

/// True when some table has a line with a field after the lines taken; reads on, past blank
/// lines, to find one. A table that cannot be read counts as having none.
bool LinesWithFieldsRemain(std::vector<InputTable>* tables);

/// After CompareRuns ended with kIndexMismatch: the first active table, whose index the
/// others must have, and the first active table that has another.
std::pair<std::size_t, std::size_t> IndexDisagreement(const std::vector<InputTable>& tables);

}  // namespace runcompare

#endif  // RUNCOMPARE_COMPARE_H_
