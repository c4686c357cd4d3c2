// Test helpers shared by the end-to-end tests: run a built program in a folder with given
// standard input, capture its standard output and exit status; make temporary folders.
#ifndef TESTSUPPORT_RUN_PROGRAM_H_
#define TESTSUPPORT_RUN_PROGRAM_H_

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace testsupport {

struct RunResult {
  std::string out;  // everything the program wrote to standard output
  std::string err;  // everything it wrote to standard error (expected empty)
  int status = -1;  // exit status as a shell sees it (0..255), or -1 if it did not exit
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

/// A fresh empty folder below $TMPDIR (or /tmp), removed when the object goes.
class TempDir {
 public:
  TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/sitetools-XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data()) != nullptr) path_ = buf.data();
  }
  ~TempDir() {
    if (!path_.empty()) {
      std::string cmd = "chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
      if (std::system(cmd.c_str()) != 0) {
      }
    }
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, const std::string& text) const {
    WriteFile(File(name), text);
  }
  std::string Read(const std::string& name) const { return ReadFile(File(name)); }

 private:
  std::string path_;
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
  std::string out_path = stdout_path.empty() ? io.File("stdout") : stdout_path;
  std::string err_path = io.File("stderr");

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, io.File("stdin").c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  // The program runs in `cwd`: go through /bin/sh so the folder change is portable.
  std::string script = "cd \"$1\" && shift && exec \"$@\"";
  std::vector<std::string> argv_s = {"/bin/sh", "-c", script, "sh", cwd, program};
  argv_s.insert(argv_s.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argv_s) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  pid_t pid;
  int rc = posix_spawn(&pid, "/bin/sh", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return result;
  int wstatus = 0;
  if (waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus)) result.status = WEXITSTATUS(wstatus);
  if (stdout_path.empty()) result.out = ReadFile(out_path);
  result.err = ReadFile(err_path);
  return result;
}

}  // namespace testsupport

#endif  // TESTSUPPORT_RUN_PROGRAM_H_
