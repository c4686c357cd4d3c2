// Record loop of zenthar.
#include "runcompare/compare.h"

#include <algorithm>
#include <cstring>

#include "runcompare/fields.h"
#include "runcompare/number_format.h"
#include "runcompare/numbers.h"

namespace runcompare {

int parse_lnl_column(const char* argument) {
  int column = kDefaultLnlColumn;
  scan_int(argument, &column);
  return column;
}

namespace {

// An output buffer in front of a stdio stream (out.txt, unbuffered itself): the lines are
// gathered in it and handed to the stream in blocks of the buffer's size. Whatever it holds
// goes out when it is destroyed, also when an exception leaves the record loop, so earlier
// records are kept as they would be by a stream's own buffer.
class OutputBuffer {
 public:
  OutputBuffer(FILE* stream, std::size_t size) : stream_(stream), buf_(size) {}
  ~OutputBuffer() { Flush(); }
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  // Fills the buffer and hands it on whenever it is full, as a stream's own buffer does, so
  // the stream gets its bytes in blocks of the buffer's size.
  void Append(const char* data, std::size_t bytes) {
    while (buf_.size() - used_ < bytes) {
      const std::size_t part = buf_.size() - used_;
      memcpy(buf_.data() + used_, data, part);
      used_ += part;
      Flush();
      data += part;
      bytes -= part;
    }
    memcpy(buf_.data() + used_, data, bytes);
    used_ += bytes;
  }

  void Flush() {
    if (used_ > 0) fwrite(buf_.data(), 1, used_, stream_);
    used_ = 0;
  }

 private:
  FILE* stream_;
  std::vector<char> buf_;
  std::size_t used_ = 0;
};

constexpr std::size_t kOutBufferSize = 256 << 10;

// Writes the record line at `out`, which has room for RecordLineRoom bytes:
// "record %4d  (" with the record number, one "+" or "-" per table, then
// ") %10.3f (%d) - %10.3f (%d) = %8.3f\n" with the lowest, its table number, the highest,
// its table number and the lowest less the highest.
char* WriteRecordLine(char* out, long long record, const std::vector<InputTable>& tables,
                      std::size_t lowest, std::size_t highest) {
  const double low = tables[lowest].lnl_value;
  const double high = tables[highest].lnl_value;
  memcpy(out, "record ", 7);
  out = write_int(out + 7, record, 4);
  memcpy(out, "  (", 3);
  out += 3;
  for (const InputTable& table : tables) *out++ = table.active ? '+' : '-';
  *out++ = ')';
  *out++ = ' ';
  out = write_fixed(out, low, 10, 3);
  memcpy(out, " (", 2);
  out = write_int(out + 2, static_cast<long long>(lowest) + 1, 0);
  memcpy(out, ") - ", 4);
  out = write_fixed(out + 4, high, 10, 3);
  memcpy(out, " (", 2);
  out = write_int(out + 2, static_cast<long long>(highest) + 1, 0);
  memcpy(out, ") = ", 4);
  out = write_fixed(out + 4, low - high, 8, 3);
  *out++ = '\n';
  return out;
}

// The most WriteRecordLine writes for `tables` tables, with every number at its longest.
std::size_t RecordLineRoom(std::size_t tables) {
  return tables + 2 * fixed_text_room(10, 3) + fixed_text_room(8, 3) + int_text_room(4) +
         2 * int_text_room(0) + 32;
}

}  // namespace

CompareOutcome compare_runs(std::vector<InputTable>* tables, int lnl_column, FILE* out_txt,
                            FILE* console) {
  CompareOutcome outcome;
  const std::size_t column = static_cast<std::size_t>(lnl_column);
  const std::size_t count = tables->size();
  InputTable* const table_data = tables->data();
  const std::size_t record_room = RecordLineRoom(count);
  OutputBuffer out(out_txt, kOutBufferSize);
  // Each record line goes to the console stream as it is made, as a stream's writes go, so
  // the stream's own buffering (by lines on a terminal) decides when it shows.
  std::vector<char> record_line(record_room);
  for (long long record = 1;; ++record) {
    // Read the next line of every table; find its index and log-likelihood and, among the
    // active tables, the lowest and the highest log-likelihood and whether the indices
    // agree. The first active table sets both places, so a later one takes a place only
    // when strictly lower or higher and ties stay with the earlier table.
    std::size_t lowest = count;
    std::size_t highest = count;
    // The indices agree when every active table holds the first active table's index, or,
    // while that reference is -1.0 (unset), the next active table's.
    double reference = -1.0;
    bool agree = true;
    // The last index field scanned in this record and its number: tables of one record
    // mostly hold the same index text, which then need not be scanned again.
    const char* scanned_index = nullptr;
    double scanned_value = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
      InputTable& table = table_data[i];
      table.lnl_value = 0.0;
      table.active = false;
      // One pass over the unread bytes finds the fields and the line's end; only when the
      // line runs past them (or the input ends) does the reader read on, and the line, now
      // whole and perhaps moved, is scanned again.
      LineFields fields;
      LineReader::Status status;
      do {
        fields = field_starts(table.reader.window(), column);
        status = table.reader.take_line(fields.feed, &table.line);
      } while (status == LineReader::kMore);
      if (status == LineReader::kEnd) {
        table.line = std::string_view();
        continue;
      }
      if (status != LineReader::kLine) {
        outcome.status =
            status == LineReader::kError ? CompareOutcome::kReadError : CompareOutcome::kNoMemory;
        outcome.failed_table = i;
        return outcome;
      }
      const std::size_t found = fields.count;
      const char* const first = fields.first;
      const char* const wanted = fields.wanted;
      if (found == 0) continue;
      if (scanned_index != nullptr && same_field(scanned_index, first)) {
        table.index_value = scanned_value;
      } else if (scan_field_double(first, &table.index_value)) {
        scanned_index = first;
        scanned_value = table.index_value;
      }
      if (found < column) continue;
      scan_field_double(wanted, &table.lnl_value);
      table.active = true;
      if (reference == -1.0) {
        reference = table.index_value;
      } else if (table.index_value != reference) {
        agree = false;
      }
      // A value below the lowest cannot also be above the highest.
      if (lowest == count) {
        lowest = highest = i;
      } else if (table.lnl_value < table_data[lowest].lnl_value) {
        lowest = i;
      } else if (table.lnl_value > table_data[highest].lnl_value) {
        highest = i;
      }
    }
    if (lowest == count) break;  // no active table: the run is over
    if (!agree) {
      outcome.status = CompareOutcome::kIndexMismatch;
      break;
    }
    std::string_view best = table_data[highest].line;
    out.Append(best.data(), best.size());
    // Only a last line can lack its line feed; add it so the next record starts a new line.
    if (best.back() != '\n') out.Append("\n", 1);
    const char* line_end = WriteRecordLine(record_line.data(), record, *tables, lowest, highest);
    fwrite(record_line.data(), 1, static_cast<std::size_t>(line_end - record_line.data()), console);
    ++outcome.records_written;
  }
  return outcome;
}

}  // namespace runcompare
