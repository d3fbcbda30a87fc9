#include "ext/loader/trial.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace tav {

namespace {

constexpr int kRejected = 3;
constexpr auto kPatience = std::chrono::seconds(10);  // a probe that takes longer hangs

// Child side: every step is announced ("@step") before it runs, so that the
// parent knows where a child that died was; a failure is "!reason".
[[noreturn]] void child(int out, const std::string& path, TrialInit init, void* main_window) {
  const rlimit no_core{0, 0};
  setrlimit(RLIMIT_CORE, &no_core);
  const int null = open("/dev/null", O_RDWR);
  if (null >= 0) {
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
  }
  auto say = [out](const std::string& text) {
    const std::string line = text + "\n";
    if (write(out, line.data(), line.size()) < 0) _exit(1);
  };
  say("@opening the library");
  void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    const char* e = dlerror();
    say(std::string("!not a loadable library: ") + (e ? e : "unknown error"));
    _exit(1);
  }
  static const char* const kRequired[] = {"InitExtension", "CheckExtension", "GetExtensionDescription",
                                          "GetExtensionLoadType", "GetExtensionHelp"};
  for (const char* name : kRequired)
    if (!dlsym(h, name)) {
      say(std::string("!missing entry point ") + name);
      _exit(1);
    }
  say("@CheckExtension");
  auto check = reinterpret_cast<int (*)(const char*, int)>(dlsym(h, "CheckExtension"));
  if (check("S12X", 1) == 0) _exit(kRejected);
  say("@GetExtensionDescription");
  reinterpret_cast<const char* (*)()>(dlsym(h, "GetExtensionDescription"))();
  say("@GetExtensionHelp");
  reinterpret_cast<const char* (*)()>(dlsym(h, "GetExtensionHelp"))();
  say("@GetExtensionLoadType");
  const int type = reinterpret_cast<int (*)()>(dlsym(h, "GetExtensionLoadType"))();
  if (init == TrialInit::Always || (type & 4)) {
    say("@InitExtension");
    auto init_fn = reinterpret_cast<int (*)(void*, void*, void*)>(dlsym(h, "InitExtension"));
    if (init_fn(main_window, nullptr, h) == 0) {
      say("!InitExtension refused to load");
      _exit(1);
    }
  }
  _exit(0);
}

}  // namespace

TrialResult try_extension(const std::string& path, TrialInit init, void* main_window) {
  TrialResult result;
  int fds[2];
  if (pipe(fds) != 0) {
    result.reason = std::string("cannot try it: ") + std::strerror(errno);
    return result;
  }
  std::fflush(nullptr);  // nothing buffered is written twice
  const pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    result.reason = std::string("cannot try it: ") + std::strerror(errno);
    return result;
  }
  if (pid == 0) {
    close(fds[0]);
    child(fds[1], path, init, main_window);
  }
  close(fds[1]);

  std::string messages;
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  bool hung = false;
  for (;;) {
    pollfd p{fds[0], POLLIN, 0};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      hung = true;
      break;
    }
    const int ready = poll(&p, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) continue;
    char buffer[512];
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the child has ended (or closed its end)
    messages.append(buffer, static_cast<std::size_t>(n));
  }
  close(fds[0]);
  if (hung) kill(pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }

  std::string stage, failure;
  std::size_t start = 0;
  while (start < messages.size()) {
    std::size_t end = messages.find('\n', start);
    if (end == std::string::npos) end = messages.size();
    const std::string line = messages.substr(start, end - start);
    if (!line.empty() && line[0] == '@') stage = line.substr(1);
    if (!line.empty() && line[0] == '!') failure = line.substr(1);
    start = end + 1;
  }
  if (hung) {
    result.reason = "does not return from " + stage;
  } else if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    result.outcome = TrialResult::Accepted;
  } else if (WIFEXITED(status) && WEXITSTATUS(status) == kRejected) {
    result.outcome = TrialResult::Rejected;
  } else if (!failure.empty()) {
    result.reason = failure;
  } else {
    result.reason = "crashed in " + (stage.empty() ? std::string("start-up") : stage);
  }
  return result;
}

}  // namespace tav
