// Parser of the checkers' console output. It looks only at the lines it needs: the line
// naming the header text, the replicate lines, the table header and the 21 rows after it,
// and, when there is no table, the last line, which holds the checker's error message.
#include "siteplot/checker_output.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace siteplot {

namespace {

const char kPrompt[] = "Hit Enter to continue.";
const char kTableHeader[] =
    "     P           AccuracyBin      Pcut      AccuracyCum     Power  FalsePos";
const char kMethodStart[] = "varnel file ";
const char kMethodEnd[] = "' for each replicate.";
const char kHeaderTextStart[] = " starts with '";

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads one line piece by piece: words that must stand there and numbers, each after any
// blanks.
class LineScanner {
 public:
  explicit LineScanner(std::string_view line) : rest_(line) {}

  bool Literal(std::string_view word) {
    SkipBlanks();
    if (!StartsWith(rest_, word)) return false;
    rest_.remove_prefix(word.size());
    return true;
  }

  // A number as printf writes it with %f (also inf, -inf, nan, -nan); strtod must take the
  // whole run of number characters.
  bool Number(double* value) {
    std::string token(Token("0123456789.+-eEinfaINFA"));
    if (token.empty()) return false;
    char* end = nullptr;
    *value = std::strtod(token.c_str(), &end);
    return end == token.c_str() + token.size();
  }

  bool Integer(long* value) {
    std::string token(Token("0123456789-"));
    if (token.empty()) return false;
    char* end = nullptr;
    errno = 0;
    *value = std::strtol(token.c_str(), &end, 10);
    return errno == 0 && end == token.c_str() + token.size();
  }

  bool AtEnd() {
    SkipBlanks();
    return rest_.empty();
  }
  std::string_view rest() const { return rest_; }

 private:
  void SkipBlanks() {
    while (!rest_.empty() && IsBlank(rest_.front())) rest_.remove_prefix(1);
  }
  std::string_view Token(std::string_view characters) {
    SkipBlanks();
    size_t length = rest_.find_first_not_of(characters);
    if (length == std::string_view::npos) length = rest_.size();
    std::string_view token = rest_.substr(0, length);
    rest_.remove_prefix(length);
    return token;
  }

  std::string_view rest_;
};

// A replicate line; `rest` is what follows it on the same line (an error message, if any).
bool ParseReplicateLine(std::string_view line, ReplicateLine* replicate, std::string_view* rest) {
  LineScanner scan(line);
  bool ok = scan.Literal("Replicate") && scan.Integer(&replicate->replicate) && scan.Literal(":") &&
            scan.Integer(&replicate->true_sites) && scan.Literal("drovik sites,") &&
            scan.Integer(&replicate->predicted_sites) && scan.Literal("varnel sites at 50%,") &&
            scan.Integer(&replicate->matches) && scan.Literal("matches");
  *rest = scan.rest();
  return ok;
}

// A table row. Only the ratio columns may be inf or nan: edges and counts never are.
bool ParseRow(std::string_view line, ClassRow* row) {
  LineScanner scan(line);
  bool ok = scan.Number(&row->p_low) && scan.Literal("-") && scan.Number(&row->p_high) &&
            scan.Literal(":") && scan.Number(&row->accuracy_bin) && scan.Literal("(") &&
            scan.Number(&row->bin_count) && scan.Literal(")") && scan.Literal(">") &&
            scan.Number(&row->pcut) && scan.Literal(":") && scan.Number(&row->accuracy_cum) &&
            scan.Literal("(") && scan.Number(&row->cum_count) && scan.Literal(")") &&
            scan.Number(&row->power) && scan.Number(&row->false_pos) && scan.AtEnd();
  return ok &&
         std::isfinite(row->p_low + row->p_high + row->pcut + row->bin_count + row->cum_count);
}

// The text's complete lines without their line ends, and without the pause prompt in
// front. Every line of a checker's whole output ends in a line break (a table row and an
// error message with their own, a replicate line with the one before the next), so text
// after the last line break was cut short and is left out: a row cut inside its numbers
// would otherwise read as a whole row with a wrong number.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (size_t end; (end = text.find('\n')) != std::string_view::npos;) {
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    while (StartsWith(line, kPrompt)) line.remove_prefix(sizeof kPrompt - 1);
    lines.push_back(line);
  }
  return lines;
}

bool IsBlankLine(std::string_view line) {
  for (char c : line) {
    if (!IsBlank(c)) return false;
  }
  return true;
}

// The error message a checker run ended with: the text of its last line after the line
// naming the header text, once a replicate line in front of it is taken off. Empty when
// that line is a replicate line or the class line, so the output was only cut short.
std::string_view FindErrorMessage(const std::vector<std::string_view>& lines, size_t method_line) {
  size_t last = lines.size();
  while (last > method_line + 1 && IsBlankLine(lines[last - 1])) --last;
  if (last <= method_line + 1) return {};
  std::string_view message = lines[last - 1];
  ReplicateLine replicate;
  std::string_view rest;
  if (ParseReplicateLine(message, &replicate, &rest)) message = rest;
  while (!message.empty() && IsBlank(message.front())) message.remove_prefix(1);
  while (!message.empty() && IsBlank(message.back())) message.remove_suffix(1);
  bool normal = StartsWith(message, "Replicate") ||
                message.find("site classes are under positive selection:") != message.npos;
  return normal ? std::string_view() : message;
}

bool ReadMethod(std::string_view line, std::string* method, std::string* err) {
  std::string_view text = line.substr(0, line.size() - (sizeof kMethodEnd - 1));
  size_t start = text.rfind(kHeaderTextStart);
  if (start != text.npos) text.remove_prefix(start + sizeof kHeaderTextStart - 1);
  if (text == "Naive Empirical") {
    *method = "NEB";
  } else if (text == "Bayes Empirical") {
    *method = "BEB";
  } else {
    *err = "the line '" + std::string(line) +
           "' names neither 'Naive Empirical' nor 'Bayes Empirical'";
    return false;
  }
  return true;
}

bool ReadTable(const std::vector<std::string_view>& lines, size_t header,
               std::vector<ClassRow>* rows, std::string* err) {
  size_t i = header + 1;
  while (i < lines.size() && IsBlankLine(lines[i])) ++i;
  rows->clear();
  ClassRow row;
  for (; i < lines.size() && rows->size() < kClassCount && ParseRow(lines[i], &row); ++i) {
    rows->push_back(row);
  }
  if (rows->size() == kClassCount) return true;
  *err = "summary table cut short after " + std::to_string(rows->size()) + " of its " +
         std::to_string(kClassCount) + " rows";
  return false;
}

}  // namespace

bool ParseCheckerOutput(std::string_view text, CheckerRun* run, std::string* err) {
  std::vector<std::string_view> lines = SplitLines(text);
  size_t method_line = lines.size(), header = lines.size();
  int method_lines = 0, headers = 0;
  run->replicates.clear();
  for (size_t i = 0; i < lines.size(); ++i) {
    ReplicateLine replicate;
    std::string_view rest;
    if (StartsWith(lines[i], kMethodStart) && EndsWith(lines[i], kMethodEnd)) {
      method_lines++;
      method_line = i;
    } else if (lines[i] == kTableHeader) {
      headers++;
      header = i;
    } else if (headers == 0 && ParseReplicateLine(lines[i], &replicate, &rest)) {
      run->replicates.push_back(replicate);
    }
  }
  if (method_lines > 1 || headers > 1) {
    *err = "holds more than one checker run";
    return false;
  }
  if (headers == 0) {
    std::string_view message =
        method_lines == 0 ? std::string_view() : FindErrorMessage(lines, method_line);
    *err = message.empty() ? "no summary table"
                           : "the checker run ended with an error: " + std::string(message);
    return false;
  }
  if (!ReadTable(lines, header, &run->rows, err)) return false;
  if (method_lines == 0) {
    *err = "no line 'varnel file ... starts with ... for each replicate.' naming the method";
    return false;
  }
  return ReadMethod(lines[method_line], &run->method, err);
}

}  // namespace siteplot
