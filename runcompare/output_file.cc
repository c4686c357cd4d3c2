// The output file of zenthar, replaced by a new file or written through.
#include "runcompare/output_file.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "runcompare/console.h"

namespace runcompare {

namespace {

// The new file and the name it goes to, for the signal handler, which may use neither
// allocation nor locks: plain buffers, set before the handler is installed.
char pending_new[4096];
char pending_name[4096];
volatile std::sig_atomic_t pending = 0;

// The signals that end a run from outside and that a process can act on first.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Ends the process as the signal would have, once out.txt holds the lines written so far:
// the handler is reset to the default action on entry and the signal is not blocked in it,
// so raising it again ends the process with that signal.
extern "C" void RenameAndEnd(int signal) {
  if (pending != 0) rename(pending_new, pending_name);
  raise(signal);
}

// Installs RenameAndEnd for each ending signal whose action is the default one: one that
// the run was started to ignore (as nohup does with SIGHUP) stays ignored.
void InstallHandlers() {
  struct sigaction action = {};
  action.sa_handler = RenameAndEnd;
  action.sa_flags = SA_RESETHAND | SA_NODEFER;
  sigemptyset(&action.sa_mask);
  for (int signal : kEndingSignals) {
    struct sigaction old = {};
    if (sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_DFL) {
      sigaction(signal, &action, nullptr);
    }
  }
}

}  // namespace

OutputFile::OutputFile(const std::string& name, FILE* console) : name_(name), console_(console) {
  struct stat info;
  const bool found = lstat(name.c_str(), &info) == 0;
  if (!found && errno == ENOENT) {
    replace_ = true;
    return;
  }
  if (!found || !S_ISREG(info.st_mode) || info.st_nlink != 1) {
    OpenThrough();
    return;
  }
  replace_ = true;
  // The file replaced must be one the user may write, as a file written through must.
  descriptor_ = open(name.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (descriptor_ < 0 || fstat(descriptor_, &info) != 0) {
    FailToOpenToWrite(name, errno, console);
  }
  identity_ = {true, info.st_dev, info.st_ino};
  mode_ = info.st_mode & 07777;
}

void OutputFile::OpenThrough() {
  replace_ = false;
  if (descriptor_ < 0) descriptor_ = OpenToWrite(name_, &identity_, console_);
}

int OutputFile::Start() {
  if (replace_) {
    // The folder's lock: the rename replaces the file, never the folder.
    const int folder = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0 && flock(folder, LOCK_EX | LOCK_NB) != 0) {
      if (errno == EWOULDBLOCK) fail_and_exit(name_ + " is being written by another run", console_);
      close(folder);
      OpenThrough();
    } else if (folder < 0) {
      OpenThrough();
    }
    // The folder stays open, and so locked, until the process ends, however it ends.
  }
  if (replace_) {
    std::string pattern = name_ + ".XXXXXX";
    const int created = pattern.size() < sizeof pending_new ? mkostemp(&pattern[0], O_CLOEXEC) : -1;
    if (created < 0) {
      OpenThrough();
    } else {
      if (descriptor_ < 0) {
        const mode_t mask = umask(0);
        umask(mask);
        mode_ = 0666 & ~mask;
      } else {
        close(descriptor_);
        descriptor_ = -1;
      }
      if (fchmod(created, mode_) != 0) {
        // The new file keeps the mode mkostemp gave it, readable by its owner.
      }
      new_file_ = pattern;
      std::memcpy(pending_new, pattern.c_str(), pattern.size() + 1);
      std::memcpy(pending_name, name_.c_str(), name_.size() + 1);
      pending = 1;
      InstallHandlers();
      return created;
    }
  }
  LockAndEmpty(descriptor_, name_, console_);
  return descriptor_;
}

bool OutputFile::Finish() {
  if (pending == 0 || new_file_.empty()) return true;
  // A signal that ends the run must not rename the new file a second time.
  sigset_t ending, old_mask;
  sigemptyset(&ending);
  for (int signal : kEndingSignals) sigaddset(&ending, signal);
  pthread_sigmask(SIG_BLOCK, &ending, &old_mask);
  const bool renamed = rename(new_file_.c_str(), name_.c_str()) == 0;
  const int error_number = errno;
  pending = 0;
  pthread_sigmask(SIG_SETMASK, &old_mask, nullptr);
  errno = error_number;
  return renamed;
}

}  // namespace runcompare
