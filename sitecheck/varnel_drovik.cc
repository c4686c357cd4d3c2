// VarnelDrovik: scores the naive-empirical site predictions of an analysis report against
// the true sites of a simulation's site file.
#include "sitecheck/checker.h"

int main(int argc, char** argv) {
  return sitecheck::CheckerMain(sitecheck::kVarnelDrovik, argc, argv);
}
