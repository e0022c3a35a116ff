#include <limits.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/process.h"

extern char** environ;

namespace platform {

std::string module_path() {
  char buffer[PATH_MAX] = {};
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

bool set_current_directory(const std::string& path) { return chdir(path.c_str()) == 0; }

std::string current_directory() {
  char buffer[PATH_MAX] = {};
  return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

uint32_t current_thread_id() { return static_cast<uint32_t>(syscall(SYS_gettid)); }

void exit_process(int32_t code) {
  // Like ExitProcess: no return, but what the program printed is not lost.
  std::fflush(nullptr);
  std::exit(code);
}

int32_t run_program_and_wait(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  if (WIFEXITED(status)) return static_cast<int8_t>(WEXITSTATUS(status));
  return -1;
}

}  // namespace platform

namespace platform {
void* program_instance() { return nullptr; }
}  // namespace platform
