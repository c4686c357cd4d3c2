// Parser of the checkers' console output. It looks only at the lines it needs: the line
// naming the header text, the replicate lines, the table header, the 21 rows and the
// closing line after it, and, when there is no table, the last line, which holds the
// checker's error message.
#include "siteplot/checker_output.h"

#include <algorithm>
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
  std::string_view Rest() const { return rest_; }

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
  *rest = scan.Rest();
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

bool IsBlankLine(std::string_view line) {
  for (char c : line) {
    if (!IsBlank(c)) return false;
  }
  return true;
}

// The error message a checker run ended with, should `line` be the last one after the line
// naming the header text: its text once a replicate line in front of it is taken off.
// Empty when the line is a replicate line or the class line, so the output was only cut
// short.
std::string_view ErrorMessage(std::string_view message) {
  while (!message.empty() && IsBlank(message.front())) message.remove_prefix(1);
  while (!message.empty() && IsBlank(message.back())) message.remove_suffix(1);
  bool normal = StartsWith(message, "Replicate") ||
                message.find("site classes are under positive selection:") != message.npos;
  return normal ? std::string_view() : message;
}

// The closing line after the table: the true sites of all replicates out of the sites
// examined; SelwickBR and SelwickBEB add "total sites".
bool ParseClosingLine(std::string_view line, CheckerRun* run) {
  LineScanner scan(line);
  double true_total = 0;
  long sites_total = 0;
  if (!scan.Literal("True positive sites from drovik:") || !scan.Number(&true_total) ||
      !scan.Literal("out of") || !scan.Integer(&sites_total) || !std::isfinite(true_total)) {
    return false;
  }
  if (!scan.AtEnd() && (!scan.Literal("total sites") || !scan.AtEnd())) return false;
  run->true_total = true_total;
  run->sites_total = static_cast<double>(sites_total);
  return true;
}

// The true sites among `count` sites of which a share `ratio` is true, the ratio printed
// with three decimals: exact for fewer than 1000 sites.
double RecoveredMatches(double ratio, double count) {
  if (!std::isfinite(ratio) || !(count >= 0)) return kNoValue;
  return std::clamp(std::round(ratio * count), 0.0, count);
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

}  // namespace

bool ParseCheckerOutput(std::string_view text, CheckerRun* run, std::string* err) {
  // Every line of a checker's whole output ends in a line break (a table row and an error
  // message with their own, a replicate line with the one before the next), so text after
  // the last line break was cut short and is left out: a row cut inside its numbers would
  // otherwise read as a whole row with a wrong number.
  CheckerOutputParser parser;
  for (size_t end; (end = text.find('\n')) != std::string_view::npos;) {
    parser.Line(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  return parser.Finish(run, err);
}

// Each line is looked at twice: as a line of the table when one has begun, and for what it
// is: the line naming the header text, the table header, or a replicate line before it.
void CheckerOutputParser::Line(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  while (StartsWith(line, kPrompt)) line.remove_prefix(sizeof kPrompt - 1);

  if (table_ == Table::kBlanks && !IsBlankLine(line)) table_ = Table::kRows;
  if (table_ == Table::kRows) {
    ClassRow row;
    const bool is_row = ParseRow(line, &row);
    if (is_row) run_.rows.push_back(row);
    if (!is_row || run_.rows.size() == kClassCount) table_ = Table::kDone;
  } else if (table_ == Table::kDone && !totals_ && run_.rows.size() == kClassCount) {
    totals_ = ParseClosingLine(line, &run_);
  }

  ReplicateLine replicate;
  std::string_view rest;
  if (StartsWith(line, kMethodStart) && EndsWith(line, kMethodEnd)) {
    method_lines_++;
    method_line_.assign(line);
    message_.clear();
  } else if (line == kTableHeader) {
    if (headers_++ == 0) table_ = Table::kBlanks;
  } else if (headers_ == 0) {
    const bool is_replicate = ParseReplicateLine(line, &replicate, &rest);
    if (is_replicate) run_.replicates.push_back(replicate);
    if (method_lines_ > 0 && !IsBlankLine(line)) {
      message_.assign(ErrorMessage(is_replicate ? rest : line));
    }
  }
}

bool CheckerOutputParser::Finish(CheckerRun* run, std::string* err) {
  if (method_lines_ > 1 || headers_ > 1) {
    *err = "holds more than one checker run";
    return false;
  }
  if (headers_ == 0) {
    *err =
        message_.empty() ? "no summary table" : "the checker run ended with an error: " + message_;
    return false;
  }
  if (run_.rows.size() != kClassCount) {
    *err = "summary table cut short after " + std::to_string(run_.rows.size()) + " of its " +
           std::to_string(kClassCount) + " rows";
    return false;
  }
  if (method_lines_ == 0) {
    *err = "no line 'varnel file ... starts with ... for each replicate.' naming the method";
    return false;
  }
  if (!ReadMethod(method_line_, &run_.method, err)) return false;
  for (ClassRow& row : run_.rows) {
    row.matches_bin = RecoveredMatches(row.accuracy_bin, row.bin_count);
    row.matches_cum = RecoveredMatches(row.accuracy_cum, row.cum_count);
  }
  *run = std::move(run_);
  return true;
}

}  // namespace siteplot
