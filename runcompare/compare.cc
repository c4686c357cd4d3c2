// Record loop of zenthar.
#include "runcompare/compare.h"

#include "runcompare/textutil.h"

int parse_lnl_column(const char* argument) {
  int column = kDefaultLnlColumn;
  scan_int(argument, &column);
  return column;
}

namespace {

// Reads the next line of every table and finds its index and log-likelihood. Only the
// offsets up to the log-likelihood field are needed, so the field scan stops there.
bool ReadRecord(std::vector<InputTable>* tables, std::size_t lnl_column,
                std::vector<std::size_t>* starts, CompareOutcome* outcome) {
  bool any_active = false;
  for (std::size_t i = 0; i < tables->size(); ++i) {
    InputTable& table = (*tables)[i];
    table.lnl_value = 0.0;
    table.active = false;
    table.line = std::string_view();
    LineReader::Status status = table.reader.ReadLine(&table.line);
    if (status == LineReader::kError) {
      outcome->status = CompareOutcome::kReadError;
      outcome->failed_table = i;
      return false;
    }
    if (status == LineReader::kEnd) continue;
    std::size_t count = field_starts(table.line, starts, lnl_column);
    if (count >= 1) scan_double(table.line.substr((*starts)[0]), &table.index_value);
    if (count >= lnl_column) {
      scan_double(table.line.substr((*starts)[lnl_column - 1]), &table.lnl_value);
      table.active = true;
      any_active = true;
    }
  }
  return any_active;
}

// True when the active tables agree on the index: the reference is the first active
// table's index, or, while the reference is -1.0 (unset), the next active table's; every
// later active table must hold exactly the reference.
bool IndicesAgree(const std::vector<InputTable>& tables) {
  double reference = -1.0;  // -1.0 stands for a reference not yet set
  for (const InputTable& table : tables) {
    if (!table.active) continue;
    if (reference == -1.0) {
      reference = table.index_value;
    } else if (table.index_value != reference) {
      return false;
    }
  }
  return true;
}

// The record line, assembled in `*text` (reused from record to record) and written at once:
// "record %4d  (" with the record number, one "+" or "-" per table, then
// ") %10.3f (%d) - %10.3f (%d) = %8.3f\n" with the lowest, its table number, the highest,
// its table number and the lowest less the highest.
void PrintRecordLine(FILE* console, long long record, const std::vector<InputTable>& tables,
                     std::size_t lowest, std::size_t highest, std::string* text) {
  const double low = tables[lowest].lnl_value;
  const double high = tables[highest].lnl_value;
  text->assign("record ");
  append_int(text, record, 4);
  text->append("  (");
  for (const InputTable& table : tables) text->push_back(table.active ? '+' : '-');
  text->append(") ");
  append_fixed(text, low, 10, 3);
  text->append(" (");
  append_int(text, static_cast<long long>(lowest) + 1, 0);
  text->append(") - ");
  append_fixed(text, high, 10, 3);
  text->append(" (");
  append_int(text, static_cast<long long>(highest) + 1, 0);
  text->append(") = ");
  append_fixed(text, low - high, 8, 3);
  text->push_back('\n');
  fwrite(text->data(), 1, text->size(), console);
}

}  // namespace

CompareOutcome compare_runs(std::vector<InputTable>* tables, int lnl_column, FILE* out_txt,
                            FILE* console) {
  CompareOutcome outcome;
  std::vector<std::size_t> starts;  // field offsets, reused for every line
  std::string record_line;
  for (long long record = 1;; ++record) {
    if (!ReadRecord(tables, static_cast<std::size_t>(lnl_column), &starts, &outcome)) break;
    if (!IndicesAgree(*tables)) {
      outcome.status = CompareOutcome::kIndexMismatch;
      break;
    }
    // The first active table sets both places, so values at or beyond plus or minus 1e300
    // (or infinite) are chosen like any other.
    std::size_t lowest = tables->size();
    std::size_t highest = tables->size();
    for (std::size_t i = 0; i < tables->size(); ++i) {
      const InputTable& table = (*tables)[i];
      if (!table.active) continue;
      if (lowest == tables->size()) {
        lowest = highest = i;
        continue;
      }
      if (table.lnl_value < (*tables)[lowest].lnl_value) lowest = i;
      if (table.lnl_value > (*tables)[highest].lnl_value) highest = i;
    }
    std::string_view best = (*tables)[highest].line;
    fwrite(best.data(), 1, best.size(), out_txt);
    // Only a last line can lack its line feed; add it so the next record starts a new line.
    if (best.back() != '\n') putc('\n', out_txt);
    PrintRecordLine(console, record, *tables, lowest, highest, &record_line);
    ++outcome.records_written;
  }
  return outcome;
}
