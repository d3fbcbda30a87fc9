#include "kernel/debugger.h"

#include "kernel/config.h"

namespace tav {

Debugger::Debugger(Host& h) : host(h), config_file(config_file_path()) {}

// A run that "start" began uses every part of the debugger: it ends first.
Debugger::~Debugger() { execution.join(); }

void Debugger::report_error(std::string_view text) { errout(*this, {text}); }

}  // namespace tav
