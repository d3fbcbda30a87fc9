// The event commands: "b"/"break", "w"/"watch", "db"/"dbreak",
// "dw"/"dwatch", "del"/"delete" and "write". Their options are read here;
// the event table does the rest.
#include <cstdio>
#include <cstring>

#include "events/event_table.h"
#include "kernel/debugger.h"
#include "commands/event_api.h"
#include "kernel/files.h"
#include "commands/handlers.h"
#include "kernel/view_state.h"
#include "kernel/options.h"
#include "support/messages.h"
#include "support/numconv.h"

namespace tav {

namespace {

// "/C:n": a decimal 16-bit number of at most 10 characters; 0 counts as 1.
std::int32_t count_value(std::string_view text) {
  std::uint16_t n = 0;
  const int length = static_cast<int>(text.size() < 10 ? text.size() : 10);
  if (length > 0) numscan16(text.data(), length, &n, 10);
  return n ? n : 1;
}

const char* code_event_command(Debugger& d, const char* args, int mode, bool watch) {
  OptionSpec spec;
  spec.letters = "asi!eC:";
  OptionSet options;
  const char* rest = parse_options(d, args, spec, options);
  if (!rest) return endof(args);
  if (options.has('a') || options.has('s')) return d.events.activate(rest, options.last_of("as") == 'a');
  CodeEventOptions c;
  c.suspended = options.has('i');
  c.entry_only = options.has('e');
  if (options.has('C')) {
    c.has_count = true;
    c.count = count_value(options.value('C'));
  }
  return d.events.code_events(rest, c, watch, mode);
}

const char* data_event_command(Debugger& d, const char* args, bool watch) {
  OptionSpec spec;
  spec.letters = "asC:T:";
  OptionSet options;
  const char* rest = parse_options(d, args, spec, options);
  if (!rest) return endof(args);
  if (options.has('a') || options.has('s')) return d.events.activate(rest, options.last_of("as") == 'a');
  char kind = kEventAccess;
  if (options.has('T')) {
    const std::string_view t = options.value('T');
    const char letter = t.empty() ? 'a' : t[0];
    if (letter == 'r' || letter == 'R') kind = kEventRead;
    if (letter == 'w' || letter == 'W') kind = kEventWrite;
  }
  const std::int32_t count = options.has('C') ? count_value(options.value('C')) : 1;
  return d.events.data_events(rest, kind, count, watch);
}

}  // namespace

const char* cmd_break(Debugger& d, const char* args, int mode) { return code_event_command(d, args, mode, false); }
const char* cmd_watch(Debugger& d, const char* args, int mode) { return code_event_command(d, args, mode, true); }
const char* cmd_dbreak(Debugger& d, const char* args, int) { return data_event_command(d, args, false); }
const char* cmd_dwatch(Debugger& d, const char* args, int) { return data_event_command(d, args, true); }

const char* cmd_del(Debugger& d, const char* args, int) {
  OptionSpec spec;
  spec.letters = "em";
  OptionSet options;
  const char* rest = parse_options(d, args, spec, options);
  if (!rest) return endof(args);
  if (options.last_of("em") == 'm') {
    if (d.monitors) return d.monitors->del(rest);
    return endof(rest);
  }
  return d.events.del(rest);
}

const char* cmd_write(Debugger& d, const char* args, int) {
  OptionSpec spec;
  spec.letters = "emf";
  spec.path_args = true;
  OptionSet options;
  const char* rest = parse_options(d, args, spec, options);
  if (!rest) return endof(args);
  const bool events = options.has('e') || (!options.has('e') && !options.has('m'));
  const bool monitors = options.has('m') || (!options.has('e') && !options.has('m'));
  std::string name;
  const char* end = file_word(rest, name);
  SafeWriter out(host_path(name));
  if (!out.file()) {
    errout(d, {msgtext(msg::cannot_create_file), " ", name, "\n"});
    return end;
  }
  std::string text;
  if (events) text += d.events.saveevents();
  if (monitors && d.monitors) text += d.monitors->saved();
  std::fwrite(text.data(), 1, text.size(), out.file());
  if (std::string error; !out.commit(error)) errout(d, {"write error: ", name, ": ", error, "\n"});
  return end;
}

}  // namespace tav

namespace tav {

std::uint32_t AddEventByCommand(Debugger& d, const char* text) {
  docmd(d, text, 1);
  return d.events.GetLastBkptNum();
}

bool CheckEvent(Debugger& d) { return static_cast<bool>(d.events.chkevent(EventCore::None, nullptr)); }

std::uint32_t GetLastBkptNum(const Debugger& d) { return d.events.GetLastBkptNum(); }

}  // namespace tav
