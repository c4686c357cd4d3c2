// Fuzz target: whole runs of zenthar's record loop on fuzzed tables. The input is the
// lnLcolumn argument, then the tables, each after a 0xFF. The tables are read once from files
// in a scratch folder, as the program reads them but through windows of a few bytes, and
// once, with CR LF line ends, from memory in short reads through small windows; out.txt goes
// to a scratch file through a buffer of a few bytes, and the console is kept in memory. The
// sizes follow the input's, so lines cross reads, windows and blocks anywhere, and no run
// allocates the program's large buffers. Every record line must name active tables, out.txt must
// hold, record by record, the line of the table named highest, and the tables with CR LF line ends
// must print the same console output. A plain model, strtod on the fields of each line, says
// which tables are active, which are lowest and highest, and where the run ends.
#include <fcntl.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "runcompare/compare.h"
#include "testsupport/files.h"
#include "testsupport/string_source.h"

namespace {

using runcompare::CompareOutcome;

constexpr size_t kMaxTables = 24;

struct Run {
  CompareOutcome outcome;
  std::string console;
  std::string out_txt;
};

std::unique_ptr<textio::ByteSource> TableFile(size_t number, const std::string& text) {
  textio::OpenError error;
  std::unique_ptr<textio::ByteSource> file =
      textio::OpenFile(fuzz::ScratchDir::Get().Write("t" + std::to_string(number), text), &error);
  fuzz::Require(file != nullptr, "table file opens");
  return file;
}

// The sizes of a run's windows and of out.txt's buffer.
struct Sizes {
  size_t window;
  size_t out_txt;
};

Run RunTables(const std::vector<std::string>& texts, int column, bool from_files,
              const Sizes& sizes) {
  std::vector<runcompare::InputTable> tables;
  tables.reserve(texts.size());
  for (size_t i = 0; i < texts.size(); ++i) {
    const std::string name = "t" + std::to_string(i + 1);
    if (from_files) {
      tables.emplace_back(name, TableFile(i + 1, texts[i]), sizes.window);
    } else {
      tables.emplace_back(name, std::make_unique<textio::StringSource>(texts[i], 5), 8);
    }
  }
  const std::string out_path = fuzz::ScratchDir::Get().Write("out.txt", "");
  runcompare::LineWriter out(open(out_path.c_str(), O_WRONLY | O_TRUNC), sizes.out_txt);
  char* console_buffer = nullptr;
  size_t console_length = 0;
  FILE* console = open_memstream(&console_buffer, &console_length);
  fuzz::Require(console != nullptr, "open_memstream");
  Run run;
  run.outcome = runcompare::CompareRuns(&tables, column, &out, console);
  fuzz::Require(out.Close(), "out.txt is written");
  std::fclose(console);
  run.console.assign(console_buffer, console_length);
  std::free(console_buffer);
  run.out_txt = testsupport::ReadFile(out_path);
  return run;
}

// The lines of a table, each with its line feed when it has one.
std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t feed = text.find('\n', start);
    size_t end = feed == std::string::npos ? text.size() : feed + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

bool IsWhite(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The fields of a table line, before its line feed: runs of bytes other than white space.
std::vector<std::string> FieldsOf(const std::string& line) {
  std::vector<std::string> fields;
  for (size_t at = 0; at < line.size() && line[at] != '\n';) {
    size_t end = at;
    while (end < line.size() && !IsWhite(line[end])) ++end;
    if (end > at) fields.push_back(line.substr(at, end - at));
    at = end > at ? end : at + 1;
  }
  return fields;
}

// A field read as a number: strtod on its text, which a NUL ends; false, `*value` left
// alone, when it does not begin with a number or begins with a NaN.
bool NumberOf(const std::string& field, double* value) {
  char* end = nullptr;
  const double number = std::strtod(field.c_str(), &end);
  if (end == field.c_str() || std::isnan(number)) return false;
  *value = number;
  return true;
}

// What the record loop must choose in one record, worked out plainly from the lines.
struct Model {
  std::vector<bool> active;
  size_t lowest, highest;  // the number of tables when none is active
  bool agree = true;
};

// The model of record `record` (from 1): a table is active when its line has `column`
// fields; its value is that field's number, 0.0 when it has none. The index of a table is
// the last number in a first field, -1.0 before there is one; the active tables agree when
// each holds the reference, the first active table's index, taken again from the next active
// table while it is -1.0. The lowest and highest are the first active tables with the
// smallest and the largest value.
Model ModelRecord(const std::vector<std::vector<std::string>>& lines, size_t record, size_t column,
                  std::vector<double>* index) {
  const size_t count = lines.size();
  Model model{std::vector<bool>(count, false), count, count};
  double low = 0.0, high = 0.0, reference = -1.0;
  for (size_t i = 0; i < count; ++i) {
    if (record > lines[i].size()) continue;  // at its end
    const std::vector<std::string> fields = FieldsOf(lines[i][record - 1]);
    if (fields.empty()) continue;
    NumberOf(fields[0], &(*index)[i]);
    if (fields.size() < column) continue;
    model.active[i] = true;
    double value = 0.0;
    NumberOf(fields[column - 1], &value);
    if (reference == -1.0) {
      reference = (*index)[i];
    } else if ((*index)[i] != reference) {
      model.agree = false;
    }
    if (model.lowest == count || value < low) {
      model.lowest = i;
      low = value;
    }
    if (model.highest == count || value > high) {
      model.highest = i;
      high = value;
    }
  }
  return model;
}

void Check(const std::vector<std::string>& texts, const Run& run, int column) {
  fuzz::Require(run.outcome.status == CompareOutcome::kDone ||
                    run.outcome.status == CompareOutcome::kIndexMismatch,
                "a table reads without error");
  std::vector<std::vector<std::string>> lines;
  for (const std::string& text : texts) lines.push_back(LinesOf(text));
  std::vector<double> index(texts.size(), -1.0);
  size_t console_at = 0, out_at = 0;
  for (long long record = 1; record <= run.outcome.records_written; ++record) {
    const Model model =
        ModelRecord(lines, static_cast<size_t>(record), static_cast<size_t>(column), &index);
    size_t end = run.console.find('\n', console_at);
    fuzz::Require(end != std::string::npos, "one console line per record");
    std::string line = run.console.substr(console_at, end + 1 - console_at);
    console_at = end + 1;
    char expected_start[32];
    std::snprintf(expected_start, sizeof expected_start, "record %4lld  (", record);
    fuzz::Require(line.rfind(expected_start, 0) == 0, "record line starts with its number");
    std::string marks = line.substr(std::string(expected_start).size(), texts.size());
    fuzz::Require(line.compare(std::string(expected_start).size() + texts.size(), 2, ") ") == 0,
                  "one mark per table");
    bool any_active = false;
    for (size_t i = 0; i < texts.size(); ++i) {
      fuzz::Require(marks[i] == '+' || marks[i] == '-', "marks are + or -");
      if (marks[i] == '+') {
        any_active = true;
        fuzz::Require(static_cast<size_t>(record) <= lines[i].size(),
                      "an active table has a line in this record");
      }
    }
    fuzz::Require(any_active, "every record written has an active table");
    double low = 0, high = 0;
    int low_file = 0, high_file = 0;
    fuzz::Require(std::sscanf(line.c_str() + std::string(expected_start).size() + texts.size() + 1,
                              "%lf (%d) - %lf (%d) =", &low, &low_file, &high, &high_file) == 4,
                  "record line values");
    for (int file : {low_file, high_file}) {
      fuzz::Require(
          file >= 1 && static_cast<size_t>(file) <= texts.size() && marks[file - 1] == '+',
          "lowest and highest are active tables");
    }
    for (size_t i = 0; i < texts.size(); ++i) {
      fuzz::Require((marks[i] == '+') == model.active[i], "the active tables are the model's");
    }
    fuzz::Require(model.agree, "the indices of a record written agree");
    fuzz::Require(static_cast<size_t>(low_file) == model.lowest + 1 &&
                      static_cast<size_t>(high_file) == model.highest + 1,
                  "lowest and highest are the model's, ties to the earlier table");
    std::string written = lines[high_file - 1][record - 1];
    if (written.back() != '\n') written.push_back('\n');
    fuzz::Require(run.out_txt.compare(out_at, written.size(), written) == 0,
                  "out.txt holds the highest table's line of the record");
    out_at += written.size();
  }
  // The record after the last one written ends the run: no table is active in it, or the
  // active ones disagree on the index.
  const Model last = ModelRecord(lines, static_cast<size_t>(run.outcome.records_written) + 1,
                                 static_cast<size_t>(column), &index);
  fuzz::Require(
      run.outcome.status ==
          (last.lowest == texts.size() ? CompareOutcome::kDone : CompareOutcome::kIndexMismatch),
      "the run ends where the model's does");
  fuzz::Require(last.lowest == texts.size() || !last.agree, "a run ends at no active table");
  fuzz::Require(console_at == run.console.size(), "nothing after the record lines");
  fuzz::Require(out_at == run.out_txt.size(), "nothing else in out.txt");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string_view> parts = fuzz::SplitParts(data, size, kMaxTables + 1);
  if (parts.size() < 2) return 0;
  std::vector<std::string> words = fuzz::Words(parts[0], 1);
  const int column = runcompare::ParseLnlColumn(words.empty() ? "" : words[0].c_str());
  if (column < 1) return 0;  // refused before any table is read

  std::vector<std::string> plain_texts, crlf_texts;
  for (size_t i = 1; i < parts.size(); ++i) {
    if (fuzz::LooksCompressed(parts[i])) return 0;  // a file of it is not read as text
    plain_texts.emplace_back(parts[i]);
    crlf_texts.push_back(fuzz::WithCrLf(parts[i]));
  }
  const Sizes sizes = {1 + size % 61, 1 + size % 67};
  const Run plain = RunTables(plain_texts, column, true, sizes);
  Check(plain_texts, plain, column);
  const Run crlf = RunTables(crlf_texts, column, false, sizes);
  Check(crlf_texts, crlf, column);
  fuzz::Require(crlf.outcome.status == plain.outcome.status &&
                    crlf.outcome.records_written == plain.outcome.records_written &&
                    crlf.console == plain.console,
                "CR LF tables print what LF tables print");
  return 0;
}
