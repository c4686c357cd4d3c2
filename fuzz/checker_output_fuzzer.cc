// Fuzz target for siteplot's parser of a checker's saved console output. The input is the
// output. It is parsed three times: as it is, in CR LF form, and cut after its last line
// break; all three must give the same result, as the parser reads only complete lines and
// reads CR LF like LF. A parsed run has its 21 rows, a method, and finite edges and counts.
// Read through the line window in small reads it gives the same result again, and through
// a window too small for its longest line it stops at that line. Read as the rows of a
// per-replicate file, it gives a message or a table whose first cut holds every row.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "siteplot/checker_output.h"
#include "siteplot/line_reader.h"
#include "siteplot/per_replicate.h"
#include "testsupport/string_source.h"
#include "textio/byte_source.h"

namespace {

struct Parsed {
  bool ok = false;
  std::string err;
  siteplot::CheckerRun run;

  bool operator==(const Parsed& o) const {
    if (ok != o.ok || err != o.err || run.method != o.run.method ||
        run.rows.size() != o.run.rows.size() || run.replicates.size() != o.run.replicates.size()) {
      return false;
    }
    for (size_t i = 0; i < run.replicates.size(); ++i) {
      const siteplot::ReplicateLine &a = run.replicates[i], &b = o.run.replicates[i];
      if (a.replicate != b.replicate || a.true_sites != b.true_sites ||
          a.predicted_sites != b.predicted_sites || a.matches != b.matches) {
        return false;
      }
    }
    // Bit for bit: the same text gives the same doubles, nan and -0.0 included.
    return run.rows.empty() || std::memcmp(run.rows.data(), o.run.rows.data(),
                                           run.rows.size() * sizeof run.rows[0]) == 0;
  }
};

Parsed Parse(std::string_view text) {
  Parsed parsed;
  parsed.ok = siteplot::ParseCheckerOutput(text, &parsed.run, &parsed.err);
  return parsed;
}

// The text read as siteplot reads a file: `chunk` bytes a read, lines of at most
// `max_length` bytes.
Parsed Stream(std::string_view text, size_t chunk, size_t max_length) {
  textio::StringSource source{std::string(text), chunk};
  siteplot::LineReader reader(&source, max_length);
  siteplot::CheckerOutputParser parser;
  Parsed parsed;
  for (std::string_view line; reader.Next(&line);) parser.Line(line);
  parsed.err = reader.TooLong() ? "too long" : "";
  parsed.ok = !reader.TooLong() && parser.Finish(&parsed.run, &parsed.err);
  return parsed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const Parsed parsed = Parse(text);
  if (parsed.ok) {
    fuzz::Require(parsed.err.empty(), "a parsed run has no message");
    fuzz::Require(parsed.run.rows.size() == siteplot::kClassCount, "a parsed table has 21 rows");
    fuzz::Require(parsed.run.method == "NEB" || parsed.run.method == "BEB", "method NEB or BEB");
    for (const siteplot::ClassRow& row : parsed.run.rows) {
      fuzz::Require(std::isfinite(row.p_low) && std::isfinite(row.p_high) &&
                        std::isfinite(row.pcut) && std::isfinite(row.bin_count) &&
                        std::isfinite(row.cum_count),
                    "edges and counts are finite");
    }
  } else {
    fuzz::Require(!parsed.err.empty(), "a failure has its message");
  }
  fuzz::Require(Parse(fuzz::WithCrLf(text)) == parsed, "CR LF lines read like LF lines");
  const size_t last_break = text.rfind('\n');
  const std::string_view complete =
      last_break == std::string_view::npos ? std::string_view() : text.substr(0, last_break + 1);
  fuzz::Require(Parse(complete) == parsed, "text after the last line break is not read");
  // A window as long as the text holds every line of it.
  fuzz::Require(Stream(text, 7, text.size()) == parsed, "streamed lines read alike");
  size_t longest = 0;
  for (size_t start = 0, end; start <= text.size(); start = end + 1) {
    end = std::min(text.find('\n', start), text.size());
    longest = std::max(longest, end - start);
  }
  const Parsed narrow = Stream(text, 5, 40);
  fuzz::Require(longest > 40 ? narrow.err == "too long" : narrow == parsed,
                "a small window reads alike up to its first line too long");
  siteplot::PerReplicateParser counts;
  siteplot::CheckerRun run;
  std::string err;
  bool ok = true;
  long number = 1, predicted = 0;
  for (size_t start = 0, end; ok && (end = text.find('\n', start)) != text.npos; start = end + 1) {
    ok = counts.Line(text.substr(start, end - start), ++number, &err);
  }
  if (ok && counts.Finish(&run, &err)) {
    for (const siteplot::ReplicateLine& line : run.replicates) predicted += line.predicted_sites;
    fuzz::Require(run.rows.size() == 21 && run.rows[0].cum_count == predicted, "rows summed");
  } else {
    fuzz::Require(err.rfind("line ", 0) == 0, "a bad row has its line number");
  }
  return 0;
}
