// Whole runs of the site checkers on fuzzed files, shared by the three whole-run targets.
// The input is a command line (the program's arguments, split at blanks), 0xFF, the site
// file, 0xFF, the analysis report. The two files are written to a scratch folder and the
// checker runs on them as the program would, its console output kept in memory; its output
// must be well formed, and the same files with CR LF line ends must give the same output.
#ifndef FUZZ_CHECKER_RUN_H_
#define FUZZ_CHECKER_RUN_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "sitecheck/checker.h"

namespace fuzz {

// Kept small, so that a run stays short whatever the command line asks for.
constexpr int32_t kMaxSites = 300;
constexpr int32_t kMaxReplicates = 40;
// The readers' window: the smallest there is, so that inputs of a few KiB cross refills.
constexpr size_t kReaderWindow = 1024;

struct CheckerRun {
  int status = 0;
  std::string out;
};

inline CheckerRun RunOnce(const sitecheck::CheckerProfile& profile,
                          const sitecheck::CheckerSettings& settings) {
  // Standard input at its end: the pause for more than 20 replicates reads nothing.
  static FILE* const kIn = std::fopen("/dev/null", "r");
  static FILE* const kErr = std::fopen("/dev/null", "w");  // warnings are not checked here
  Require(kIn != nullptr && kErr != nullptr, "/dev/null opens");
  char* buffer = nullptr;
  size_t length = 0;
  FILE* out = open_memstream(&buffer, &length);
  Require(out != nullptr, "open_memstream");
  CheckerRun run;
  run.status = sitecheck::RunChecker(profile, settings, kIn, out, kErr);
  std::fclose(out);
  run.out.assign(buffer, length);
  std::free(buffer);
  return run;
}

inline bool EndsWith(const std::string& text, std::string_view tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail.data(), tail.size()) == 0;
}

// What every run's console output must look like, from the settings lines to the end.
inline void CheckOutput(const sitecheck::CheckerProfile& profile,
                        const sitecheck::CheckerSettings& settings, const CheckerRun& run) {
  Require(run.status == 0 || run.status == -1, "exit status 0 or -1");
  char settings_line[64];
  std::snprintf(settings_line, sizeof settings_line, "%d sites, %d replicate.\n", settings.ls,
                settings.nrepl);
  Require(run.out.rfind(settings_line, 0) == 0, "starts with the settings line");
  Require(!run.out.empty() && run.out.back() == '\n', "ends with a line break");

  // The replicate lines: numbered from 1, with counts that fit the working storage.
  const std::string mark = "\nReplicate ";
  int replicates = 0;
  for (size_t at = run.out.find(mark); at != std::string::npos; at = run.out.find(mark, at + 1)) {
    int r = 0, n = 0, k = 0, matches = 0;
    Require(std::sscanf(run.out.c_str() + at,
                        "\nReplicate %d: %d drovik sites, %d varnel sites at 50%%, %d matches", &r,
                        &n, &k, &matches) == 4,
            "replicate line");
    Require(r == ++replicates, "replicates counted from 1");
    Require(n <= settings.ls, "no more true sites than ls");
    Require(!profile.class_per_site || n >= 0, "class form: no negative count");
    Require(0 <= matches && matches <= k && k <= settings.ls, "0 <= matches <= k <= ls");
  }
  Require(replicates <= (settings.nrepl > 0 ? settings.nrepl : 0), "at most nrepl replicates");

  // The table's header line; no argument can hold a line break.
  const bool has_table = run.out.find("\n     P           AccuracyBin") != std::string::npos;
  if (run.status == 0) {
    Require(replicates == (settings.nrepl > 0 ? settings.nrepl : 0), "every replicate");
    Require(has_table, "a complete run prints the table");
    Require(EndsWith(run.out, std::string(profile.closing_suffix) + "\n"), "closing line");
    return;
  }
  Require(!has_table, "a failed run prints no table");
  static const char* const kEndings[] = {
      "file error\n",  // after the settings lines or the pause's prompt
      "oom\n",
      "did not find ':' in line.\n",
      "did not find the number of sites after ':' in line.\n",
      "Too many sites. ls wrong?\n",
      " numbers.\n",
      " of the site file is not a readable integer.\n",
      "' is not an integer.\n",
      ": only gzip-compressed files can be read.\n",
  };
  bool known = false;
  for (const char* ending : kEndings) known = known || EndsWith(run.out, ending);
  for (const char* start : {"site file ends before replicate ", "damaged compressed data in "}) {
    const size_t last = run.out.rfind(start);
    known = known || (last != std::string::npos && run.out.find('\n', last) == run.out.size() - 1);
  }
  Require(known, "a failed run ends with one of the checkers' messages");
}

inline int RunChecker(const sitecheck::CheckerProfile& profile, const uint8_t* data, size_t size) {
  std::vector<std::string_view> parts = SplitParts(data, size, 3);
  if (parts.size() < 3) return 0;
  const std::vector<std::string> args = Words(parts[0], 4 + 200);
  if (profile.needs_two_arguments && args.size() < 2) return 0;  // ends after the usage text

  sitecheck::CheckerSettings settings = sitecheck::ParseCommandLine(profile, args);
  if (settings.ls > kMaxSites) settings.ls %= kMaxSites + 1;
  if (settings.nrepl > kMaxReplicates) settings.nrepl %= kMaxReplicates + 1;
  settings.reader_window = kReaderWindow;

  ScratchDir& dir = ScratchDir::Get();
  settings.siteFile = dir.Write("sites", parts[1]);
  settings.report = dir.Write("report", parts[2]);
  CheckerRun plain = RunOnce(profile, settings);
  CheckOutput(profile, settings, plain);

  // Compressed data is no text: its CR LF form is other data.
  if (LooksCompressed(parts[1]) || LooksCompressed(parts[2])) return 0;
  dir.Write("sites", WithCrLf(parts[1]));
  dir.Write("report", WithCrLf(parts[2]));
  CheckerRun crlf = RunOnce(profile, settings);
  Require(crlf.status == plain.status && crlf.out == plain.out,
          "CR LF files give the same console output as LF files");
  return 0;
}

}  // namespace fuzz

#endif  // FUZZ_CHECKER_RUN_H_
