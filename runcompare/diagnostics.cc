// What zenthar tells on standard error.
#include "runcompare/diagnostics.h"

#include "runcompare/fields.h"

namespace runcompare {

namespace {

// Writes `line` and a line feed in one piece; a field's text may hold NUL bytes.
void WriteLine(std::string line, FILE* to) {
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), to);
}

// A value as "%g" writes it.
std::string ShortNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

void Warn(const std::string& what, FILE* to) { WriteLine("zenthar: warning: " + what, to); }

void Tell(const std::string& file, const std::string& what, FILE* to) {
  WriteLine("zenthar: " + file + ": " + what, to);
}

void WarnColumnArgument(const std::string& argument, int column, FILE* to) {
  Warn("last argument " + argument + " is not a column number: column " + std::to_string(column) +
           " is used and " + argument + " is not compared",
       to);
}

void WarnOddValues(const OddValues& odd, const std::vector<InputTable>& tables, int lnl_column,
                   FILE* to) {
  if (odd.not_numbers > 0) {
    Warn("log-likelihood \"" + odd.not_number_text + "\" in record " +
             std::to_string(odd.not_number_record) + " of " + tables[odd.not_number_table].name +
             " is not a number and counts as 0, above any other (" +
             std::to_string(odd.not_numbers) + " in all)",
         to);
  }
  if (odd.positive > 0) {
    Warn("value " + ShortNumber(odd.positive_value) + " in record " +
             std::to_string(odd.positive_record) + " of " + tables[odd.positive_table].name +
             " is above 0, which no log-likelihood is: is column " + std::to_string(lnl_column) +
             " the right one? (" + std::to_string(odd.positive) +
             (odd.positive == 1 ? " record" : " records") + " in all)",
         to);
  }
}

void WarnEarlyEnd(std::vector<InputTable>* tables, int lnl_column, long long records_written,
                  FILE* to) {
  const long long most = FieldsWhereTheRunEnded(*tables, lnl_column);
  if (most < 0) return;  // every table at its end
  const bool remain = LinesWithFieldsRemain(tables);
  if (records_written > 0 && !remain) return;  // a blank or short last line
  Warn("the run ended at line " + std::to_string(records_written + 1) +
           ", where no table's line has " + std::to_string(lnl_column) + " fields (the most is " +
           std::to_string(most) + ")" + (remain ? "; lines remain after it" : ""),
       to);
}

void TellIndexMismatch(const std::vector<InputTable>& tables, long long record, FILE* to) {
  const auto [reference, other] = IndexDisagreement(tables);
  auto index_text = [&](std::size_t i) {
    return FieldText(field_starts(tables[i].line.data(), 1).first);
  };
  Tell(tables[other].name,
       "index " + index_text(other) + " in record " + std::to_string(record) + ", where " +
           tables[reference].name + " has " + index_text(reference),
       to);
}

}  // namespace runcompare
