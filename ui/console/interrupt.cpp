#include "ui/console/interrupt.h"

#include <signal.h>

namespace tav {

namespace {
RunState* g_stop = nullptr;
volatile sig_atomic_t g_interrupted = 0;
volatile sig_atomic_t g_resized = 0;

void on_interrupt(int) {
  if (g_stop) g_stop->request_stop();
  g_interrupted = 1;
}
void on_resize(int) { g_resized = 1; }

}  // namespace

void install_interrupt(RunState* stop) {
  g_stop = stop;
  struct sigaction sa {};
  sigemptyset(&sa.sa_mask);
  // Restarted system calls keep plain reads and writes whole; waits that must
  // notice Ctrl-C use poll, which is never restarted.
  sa.sa_flags = SA_RESTART;
  sa.sa_handler = on_interrupt;
  sigaction(SIGINT, &sa, nullptr);
  sa.sa_handler = on_resize;
  sigaction(SIGWINCH, &sa, nullptr);
}

bool take_interrupt() {
  bool was = g_interrupted != 0;
  g_interrupted = 0;
  return was;
}

bool take_resize() {
  bool was = g_resized != 0;
  g_resized = 0;
  return was;
}

}  // namespace tav
