// SelwickBR and SelwickBEB: score the Bayes-empirical site predictions of an analysis
// report. Built with BRANCH_SITE_MODE=1 (SelwickBR) the true sites are the sites whose
// class, from a class-per-site file, is one of the classes named on the command line;
// built with 0 (SelwickBEB) they are read as a list.
#include <cstdio>

#include "sitecheck/checker.h"

#ifndef BRANCH_SITE_MODE
#error "build with BRANCH_SITE_MODE set to 1 (SelwickBR) or 0 (SelwickBEB)"
#endif

constexpr int branchSiteMode = BRANCH_SITE_MODE;

int main(int argc, char** argv) {
  if (branchSiteMode) {
    std::printf(
        "Usage:\n\tSelwickBR  <#sites> <#repl> <Drovikf> <Varnelf> <positive site classes>\n");
  } else {
    std::printf("Usage:\n\tSelwickBEB <#sites> <#repl>\n");
    std::printf("Usage:\n\tSelwickBEB <#sites> <#repl> <Drovikf> <Varnelf>\n");
  }
  if (argc < 3) return -1;

  sitecheck::CheckerSettings settings;
  settings.siteFile = "siterates.txt";
  settings.report = "mlc";
  sitecheck::parseIntArgument(argv[1], &settings.ls);
  sitecheck::parseIntArgument(argv[2], &settings.nrepl);
  if (argc > 3) settings.siteFile = argv[3];
  if (argc > 4) settings.report = argv[4];

  sitecheck::CheckerOptions options;
  options.headerText = "Bayes Empirical";
  options.closingSuffix = " total sites";
  options.classPerSite = branchSiteMode != 0;
  if (branchSiteMode) options.classArgs.assign(argv + (argc > 5 ? 5 : argc), argv + argc);
  return sitecheck::runChecker(options, settings, stdin, stdout);
}
