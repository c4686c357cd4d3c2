// The record loop of zenthar: each record is read (a line of every table, with its index and
// log-likelihood), then chosen from (index check, lowest and highest), then written.
#include "runcompare/compare.h"

#include <algorithm>
#include <cstring>

#include "runcompare/fields.h"
#include "runcompare/number_format.h"
#include "runcompare/numbers.h"

namespace runcompare {

int ParseLnlColumn(const char* argument, bool* read) {
  int column = kDefaultLnlColumn;
  const bool is_number = ScanInt(argument, &column);
  if (read != nullptr) *read = is_number;
  return column;
}

std::string FieldText(const char* field) {
  std::size_t length = 0;
  while (length < 64 && !textio::IsSpace(field[length])) ++length;
  return std::string(field, length);
}

namespace {

// The last index field scanned in a record and its value: the tables of one record mostly
// hold the same index text, which then need not be scanned again.
struct ScannedIndex {
  const char* field = nullptr;
  double value = 0.0;
};

// Reads the next line of `*table` and, from it, the index and the log-likelihood (field
// `column`); the table is active when the line has that many fields. A log-likelihood field
// that is no number is left in `*not_number`.
LineReader::Status ReadTableLine(InputTable* table, std::size_t column, ScannedIndex* scanned,
                                 const char** not_number) {
  table->lnl_value = 0.0;
  table->active = false;
  LineFields fields;
  const LineReader::Status status = table->reader.NextLine(column, &fields, &table->line);
  if (status != LineReader::kLine) {
    table->line = std::string_view();
    return status;
  }
  if (fields.count == 0) return status;
  if (scanned->field != nullptr && SameField(scanned->field, fields.first)) {
    table->index_value = scanned->value;
  } else if (ScanFieldDouble(fields.first, &table->index_value)) {
    scanned->field = fields.first;
    scanned->value = table->index_value;
  }
  if (fields.count < column) return status;
  if (!ScanFieldDouble(fields.wanted, &table->lnl_value)) *not_number = fields.wanted;
  table->active = true;
  return status;
}

// Counts a log-likelihood field that is no number, in table `table` of record `record`.
[[gnu::cold]] void NoteNotNumber(const char* field, long long record, std::size_t table,
                                 OddValues* odd) {
  if (odd->not_numbers++ > 0) return;
  odd->not_number_record = record;
  odd->not_number_table = table;
  odd->not_number_text = FieldText(field);
}

// Reads record `record`: the next line of every table. kDone when every table gave a line
// or is at its end; otherwise the failure, with the table in `*failed_table`.
CompareOutcome::Status ReadRecord(std::vector<InputTable>* tables, std::size_t column,
                                  long long record, std::size_t* failed_table, OddValues* odd) {
  ScannedIndex scanned;
  for (std::size_t i = 0; i < tables->size(); ++i) {
    const char* not_number = nullptr;
    const LineReader::Status status = ReadTableLine(&(*tables)[i], column, &scanned, &not_number);
    if (not_number != nullptr) NoteNotNumber(not_number, record, i, odd);
    switch (status) {
      case LineReader::kError:
        *failed_table = i;
        return CompareOutcome::kReadError;
      case LineReader::kNoMemory:
        *failed_table = i;
        return CompareOutcome::kNoMemory;
      case LineReader::kTooLong:
        *failed_table = i;
        return CompareOutcome::kLineTooLong;
      default:
        break;
    }
  }
  return CompareOutcome::kDone;
}

// The tables chosen in a record; lowest and highest are the number of tables when no table
// is active.
struct Choice {
  std::size_t lowest;
  std::size_t highest;
  bool agree;  // the active tables agree on the index
};

// The indices agree when every active table holds the first active table's index, or,
// while that reference is -1.0 (unset), the next active table's. The first active table
// sets both the lowest and the highest, so a later one takes a place only when strictly
// lower or higher and ties stay with the earlier table.
Choice Choose(const std::vector<InputTable>& tables) {
  const std::size_t count = tables.size();
  Choice choice{count, count, true};
  double reference = -1.0;
  for (std::size_t i = 0; i < count; ++i) {
    const InputTable& table = tables[i];
    if (!table.active) continue;
    if (reference == -1.0) {
      reference = table.index_value;
    } else if (table.index_value != reference) {
      choice.agree = false;
    }
    // A value below the lowest cannot also be above the highest.
    if (choice.lowest == count) {
      choice.lowest = choice.highest = i;
    } else if (table.lnl_value < tables[choice.lowest].lnl_value) {
      choice.lowest = i;
    } else if (table.lnl_value > tables[choice.highest].lnl_value) {
      choice.highest = i;
    }
  }
  return choice;
}

// Writes the record line at `out`, which has room for RecordLineRoom bytes:
// "record %4d  (" with the record number, one "+" or "-" per table, then
// ") %10.3f (%d) - %10.3f (%d) = %8.3f\n" with the lowest, its table number, the highest,
// its table number and the lowest less the highest.
char* WriteRecordLine(char* out, long long record, const std::vector<InputTable>& tables,
                      const Choice& choice) {
  const double low = tables[choice.lowest].lnl_value;
  const double high = tables[choice.highest].lnl_value;
  std::memcpy(out, "record ", 7);
  out = WriteInt(out + 7, record, 4);
  std::memcpy(out, "  (", 3);
  out += 3;
  for (const InputTable& table : tables) *out++ = table.active ? '+' : '-';
  *out++ = ')';
  *out++ = ' ';
  out = WriteFixed(out, low, 10, 3);
  std::memcpy(out, " (", 2);
  out = WriteInt(out + 2, static_cast<long long>(choice.lowest) + 1, 0);
  std::memcpy(out, ") - ", 4);
  out = WriteFixed(out + 4, high, 10, 3);
  std::memcpy(out, " (", 2);
  out = WriteInt(out + 2, static_cast<long long>(choice.highest) + 1, 0);
  std::memcpy(out, ") = ", 4);
  out = WriteFixed(out + 4, low - high, 8, 3);
  *out++ = '\n';
  return out;
}

// The most WriteRecordLine writes for `tables` tables, with every number at its longest.
std::size_t RecordLineRoom(std::size_t tables) {
  return tables + 2 * FixedTextRoom(10, 3) + FixedTextRoom(8, 3) + IntTextRoom(4) +
         2 * IntTextRoom(0) + 32;
}

}  // namespace

CompareOutcome CompareRuns(std::vector<InputTable>* tables, int lnl_column, LineWriter* out_txt,
                           FILE* console) {
  CompareOutcome outcome;
  const std::size_t column = static_cast<std::size_t>(lnl_column);
  std::vector<char> record_line(RecordLineRoom(tables->size()));
  for (long long record = 1;; ++record) {
    outcome.status = ReadRecord(tables, column, record, &outcome.failed_table, &outcome.odd);
    if (outcome.status != CompareOutcome::kDone) break;
    const Choice choice = Choose(*tables);
    if (choice.lowest == tables->size()) break;  // no active table: the run is over
    if (!choice.agree) {
      outcome.status = CompareOutcome::kIndexMismatch;
      break;
    }
    const InputTable& highest = (*tables)[choice.highest];
    if (highest.lnl_value > 0.0 && outcome.odd.positive++ == 0) {
      outcome.odd.positive_record = record;
      outcome.odd.positive_table = choice.highest;
      outcome.odd.positive_value = highest.lnl_value;
    }
    out_txt->AppendLine(highest.line);
    if (out_txt->Failed()) {
      outcome.status = CompareOutcome::kWriteError;
      break;
    }
    // Each record line goes to the console stream as it is made, so the stream's own
    // buffering (by lines on a terminal) decides when it shows.
    const char* end = WriteRecordLine(record_line.data(), record, *tables, choice);
    std::fwrite(record_line.data(), 1, static_cast<std::size_t>(end - record_line.data()), console);
    ++outcome.records_written;
  }
  return outcome;
}

long long FieldsWhereTheRunEnded(const std::vector<InputTable>& tables, int lnl_column) {
  long long most = -1;
  for (const InputTable& table : tables) {
    if (table.line.empty()) continue;  // at its end
    const LineFields fields = field_starts(table.line.data(), static_cast<std::size_t>(lnl_column));
    most = std::max(most, static_cast<long long>(fields.count));
  }
  return most;
}

bool LinesWithFieldsRemain(std::vector<InputTable>* tables) {
  for (InputTable& table : *tables) {
    for (;;) {
      LineFields fields;
      std::string_view line;
      const LineReader::Status status = table.reader.NextLine(1, &fields, &line);
      // A line too long to take, or to hold, is there all the same.
      if (status == LineReader::kTooLong || status == LineReader::kNoMemory) return true;
      if (status != LineReader::kLine) break;
      if (fields.count > 0) return true;
    }
  }
  return false;
}

std::pair<std::size_t, std::size_t> IndexDisagreement(const std::vector<InputTable>& tables) {
  std::size_t reference = tables.size();
  for (std::size_t i = 0; i < tables.size(); ++i) {
    if (!tables[i].active) continue;
    if (reference == tables.size() || tables[reference].index_value == -1.0) {
      reference = i;
    } else if (tables[i].index_value != tables[reference].index_value) {
      return {reference, i};
    }
  }
  return {reference, reference};
}

}  // namespace runcompare
