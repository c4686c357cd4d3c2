// VarnelDrovik: scores the naive-empirical site predictions of an analysis report against
// the true sites of a simulation's site file.
#include <cstdio>

#include "sitecheck/checker.h"

int main(int argc, char** argv) {
  std::printf("VarnelDrovik <#sites>  <#repl>\n");
  sitecheck::CheckerSettings settings;
  settings.siteFile = "siterates";
  settings.report = "mlc";
  // Every argument is optional; one that is not a number leaves its default.
  if (argc > 1) sitecheck::parseIntArgument(argv[1], &settings.ls);
  if (argc > 2) sitecheck::parseIntArgument(argv[2], &settings.nrepl);
  if (argc > 3) settings.siteFile = argv[3];
  if (argc > 4) settings.report = argv[4];

  sitecheck::CheckerOptions options;
  options.headerText = "Naive Empirical";
  return sitecheck::runChecker(options, settings, stdin, stdout);
}
