// SelwickBR and SelwickBEB: score the Bayes-empirical site predictions of an analysis
// report. Built with BRANCH_SITE_MODE=1 (SelwickBR) the true sites are the sites whose
// class, from a class-per-site file, is one of the classes named on the command line;
// built with 0 (SelwickBEB) they are read as a list.
#include "sitecheck/checker.h"

#ifndef BRANCH_SITE_MODE
#error "build with BRANCH_SITE_MODE set to 1 (SelwickBR) or 0 (SelwickBEB)"
#endif

constexpr int branchSiteMode = BRANCH_SITE_MODE;

int main(int argc, char** argv) {
  return sitecheck::CheckerMain(branchSiteMode ? sitecheck::kSelwickBR : sitecheck::kSelwickBEB,
                                argc, argv);
}
