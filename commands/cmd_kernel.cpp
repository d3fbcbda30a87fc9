#include <cstring>
#include <string>

#include "kernel/debugger.h"
#include "kernel/files.h"
#include "commands/handlers.h"
#include "kernel/options.h"
#include "run/run_control.h"
#include "support/messages.h"

namespace tav {

namespace {
// The end of one argument word: a blank, ";" or the end of the line.
const char* word_end(const char* p) {
  while (*p && *p != ';' && !blankchar(*p)) ++p;
  return p;
}
bool is_word(const char* p, const char* end, const char* word) {
  std::size_t n = static_cast<std::size_t>(end - p);
  if (n != std::strlen(word)) return false;
  for (std::size_t i = 0; i < n; ++i)
    if ((p[i] | 0x20) != word[i]) return false;
  return true;
}
}  // namespace

const char* cmd_internals(Debugger& d, const char* args, int) {
  const char* end = word_end(args);
  d.kernel.internals = !is_word(args, end, "off");
  return end;
}

const char* cmd_status(Debugger& d, const char* args, int) {
  putout(d, d.run.running ? "RUNNING\n" : "STOPPED\n");
  return args;
}

const char* cmd_stop(Debugger& d, const char* args, int) {
  d.execution.stop_run();
  return args;
}

const char* cmd_quit(Debugger& d, const char* args, int) {
  d.kernel.quitting = true;
  return args;
}

const char* cmd_rem(Debugger&, const char* args, int) { return endof(args); }

const char* cmd_path(Debugger& d, const char* args, int) {
  if (*args == '\0' || *args == ';' || *args == '}') {
    putstrs(d, {"\"", d.source_path, "\"\n"});
    return args;
  }
  const char* close = *args == '"' ? std::strchr(args + 1, '"') : nullptr;
  if (!close) {
    errout(d, {msgtext(13), "\n"});
    return endof(args);
  }
  set_source_path(d, std::string_view(args + 1, static_cast<std::size_t>(close - args - 1)));
  d.host.refresh_views(kViewSource);
  return close + 1;
}

const char* cmd_record(Debugger& d, const char* args, int) {
  std::string name;
  const char* end = file_word(args, name);
  OutputState& o = d.output;
  if (name.empty()) {
    o.record.reset();
    return end;
  }
  if (o.record) {
    errout(d, {msgtext(36), "\n"});
    return end;
  }
  o.record.reset(std::fopen(host_path(name).c_str(), "w"));
  if (!o.record) errout(d, {msgtext(37), " ", name, "\n"});
  return end;
}

const char* cmd_output(Debugger& d, const char* args, int) {
  OptionSet opts;
  const char* p = parse_options(d, args, {.letters = "a", .path_args = true}, opts);
  if (!p) return endof(args);
  std::string name;
  const char* end = file_word(p, name);
  OutputState& o = d.output;
  o.redirect.reset();
  o.redirect_active = false;
  if (name.empty()) return end;
  o.redirect.reset(std::fopen(host_path(name).c_str(), opts.has('a') ? "a" : "w"));
  if (o.redirect)
    o.redirect_active = true;
  else
    errout(d, {"Can't Open ", name, " for output redirection\n"});
  return end;
}

const char* cmd_input(Debugger& d, const char* args, int) {
  // The name runs to a TAB, ";" or "}": blanks inside belong to it.
  const char* end = args;
  while (*end && *end != '\t' && *end != ';' && *end != '}') ++end;
  const char* last = end;
  while (last > args && blankchar(last[-1])) --last;
  std::string name(args, last);
  cmdfile(d, name.c_str());
  return end;
}

}  // namespace tav
