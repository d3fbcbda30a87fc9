#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "kernel/debugger.h"
#include "kernel/files.h"
#include "commands/handlers.h"
#include "support/numconv.h"

extern char** environ;

namespace tav {

const char* cmd_sys(Debugger& d, const char* args, int) {
  std::string text(args);
  while (!text.empty() && blankchar(text.back())) text.pop_back();
  const char* shell = std::getenv("SHELL");
  if (!shell || !*shell) shell = "/bin/sh";
  std::string path = text.empty() ? shell : "/bin/sh";
  std::string arg1 = "-c";
  char* argv_cmd[] = {path.data(), arg1.data(), text.data(), nullptr};
  char* argv_shell[] = {path.data(), nullptr};

  // What the command writes must come after what the debugger wrote so far.
  std::fflush(nullptr);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, path.c_str(), nullptr, nullptr, text.empty() ? argv_shell : argv_cmd, environ);
  if (rc != 0) {
    errout(d, {text, "  Error:", std::to_string(rc), " ", std::strerror(rc)});
    return endof(args);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return endof(args);
}

const char* cmd_remove(Debugger& d, const char* args, int) {
  std::string name;
  const char* end = file_word(args, name);
  if (std::remove(host_path(name).c_str()) != 0) errout(d, {"Can't remove file: ", name, "\n"});
  return end;
}

const char* cmd_pause(Debugger& d, const char* args, int) {
  std::uint32_t ms = 0;
  int used = numscan32(args, static_cast<int>(std::strlen(args)), &ms, 10);
  if (used == 0 || static_cast<std::int32_t>(ms) <= 0) {
    d.host.wait_key();
    return endof(args);
  }
  // Sleep in slices so that a stop request or a close request ends the wait.
  using clock = std::chrono::steady_clock;
  auto until = clock::now() + std::chrono::milliseconds(ms);
  while (!d.run.stop_requested()) {
    auto now = clock::now();
    if (now >= until) break;
    std::this_thread::sleep_for(std::min<clock::duration>(until - now, std::chrono::milliseconds(10)));
    if (d.host.pump_events()) {
      d.kernel.close_requested = true;
      break;
    }
  }
  return endof(args);
}

}  // namespace tav
