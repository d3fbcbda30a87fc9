// A complete debugger: the kernel with execution control, the kernel console
// and the built-in command table. Hosts and tests create this one.
#pragma once
#include "kconsole/kelm.h"
#include "kconsole/kelm_breaks.h"
#include "kernel/debugger.h"
#include "run/run_control.h"

namespace tav {

class StandardDebugger : public Debugger {
 public:
  explicit StandardDebugger(Host& host);
  ~StandardDebugger() override;

 private:
  RunControl execution_{*this};
  LowBreaks low_breaks_{*this};
  Kelm kelm_{*this};  // after the breakpoints it drives
};

}  // namespace tav
