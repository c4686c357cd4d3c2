// Runs one command for the benchmark (bench/run.sh) and reports its wall time and peak
// resident memory: a line "<seconds> <peak RSS in KiB> <exit status>" appended to a file.
// The command inherits standard input, output and error, so the caller redirects them.
// The peak comes from the child's own rusage (wait4), so it does not count this process.
//
// Build: g++ -O2 -std=c++17 bench/measure.cc -o measure
// Usage: measure <result file> <command> [argument ...]

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: measure <result file> <command> [argument ...]\n");
    return 2;
  }
  std::FILE* result = std::fopen(argv[1], "a");
  if (!result) {
    std::fprintf(stderr, "measure: cannot open %s: %s\n", argv[1], std::strerror(errno));
    return 2;
  }

  timespec start, end;
  clock_gettime(CLOCK_MONOTONIC, &start);
  const pid_t child = fork();
  if (child < 0) {
    std::fprintf(stderr, "measure: fork: %s\n", std::strerror(errno));
    return 2;
  }
  if (child == 0) {
    std::fclose(result);
    execvp(argv[2], argv + 2);
    std::fprintf(stderr, "measure: cannot run %s: %s\n", argv[2], std::strerror(errno));
    _exit(127);
  }
  int status = 0;
  rusage usage;
  while (wait4(child, &status, 0, &usage) < 0) {
    if (errno != EINTR) {
      std::fprintf(stderr, "measure: wait4: %s\n", std::strerror(errno));
      return 2;
    }
  }
  clock_gettime(CLOCK_MONOTONIC, &end);

  const double seconds = static_cast<double>(end.tv_sec - start.tv_sec) +
                         static_cast<double>(end.tv_nsec - start.tv_nsec) * 1e-9;
  // A shell reports a signal as 128 + its number; do the same.
  const int exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::fprintf(result, "%.6f %ld %d\n", seconds, usage.ru_maxrss, exit_status);
  return std::fclose(result) == 0 ? 0 : 2;
}
