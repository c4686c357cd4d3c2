// Runs a built program in a folder with a given standard input and captures its standard
// output, standard error and exit status.
#ifndef TESTSUPPORT_RUN_PROGRAM_H_
#define TESTSUPPORT_RUN_PROGRAM_H_

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "testsupport/files.h"

extern char** environ;

namespace testsupport {

struct RunResult {
  std::string out;  // everything the program wrote to standard output
  std::string err;  // everything it wrote to standard error
  int status = -1;  // exit status as a shell sees it (0..255), or -1 if it did not exit
};

/// Runs `program` with `args` in folder `cwd`, feeding `input` on standard input
/// (standard input is at end of file once that is read). Standard output goes to
/// `stdout_path` when one is given (for example "/dev/full"), else it is captured.
inline RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                            const std::string& cwd, const std::string& input = "",
                            const std::string& stdout_path = "") {
  RunResult result;
  TempDir io;
  io.Write("stdin", input);
  const std::string out_path = stdout_path.empty() ? io.File("stdout") : stdout_path;
  const std::string err_path = io.File("stderr");

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, io.File("stdin").c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  // The program runs in `cwd`: go through /bin/sh so the folder change is portable.
  std::vector<std::string> words = {"/bin/sh", "-c", "cd \"$1\" && shift && exec \"$@\"",
                                    "sh",      cwd,  program};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(&word[0]);
  argv.push_back(nullptr);

  pid_t pid;
  const int spawned = posix_spawn(&pid, "/bin/sh", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return result;
  int wait_status = 0;
  if (waitpid(pid, &wait_status, 0) == pid && WIFEXITED(wait_status)) {
    result.status = WEXITSTATUS(wait_status);
  }
  if (stdout_path.empty()) result.out = ReadFile(out_path);
  result.err = ReadFile(err_path);
  return result;
}

}  // namespace testsupport

#endif  // TESTSUPPORT_RUN_PROGRAM_H_
