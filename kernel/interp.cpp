#include "kernel/interp.h"

#include <cctype>
#include <cstring>

#include "kernel/cmdtab.h"
#include "kernel/debugger.h"
#include "kernel/stmt.h"
#include "support/messages.h"

namespace tav {

const char* skipblanks(const char* text) {
  while (blankchar(*text)) ++text;
  return text;
}

const char* endof(const char* text) { return text + std::strlen(text); }

const char* docmd(Debugger& d, const char* line, int mode) {
  record_line(d, line);
  if (line[0] == ';') return line;  // the whole line is a comment
  CommandScope scope(d.run);
  const char* result = stmts(d, skipblanks(line), mode);
  return result ? result : endof(line);
}

const char* doline(Debugger& d, const char* text, int mode) {
  const char* p = skipblanks(text);
  while (*p && *p != '}') {
    const char* next = docmd(d, p, mode);
    while (*next == ';' || blankchar(*next)) ++next;
    if (next == p) break;
    p = next;
  }
  return p;
}

const char* execcmd(Debugger& d, const char* line, int mode) {
  KernelState& k = d.kernel;
  if (d.host.pump_events()) k.close_requested = true;
  k.update_suppressed = false;
  d.store_error_shown = false;

  const char* result;
  char first = line[0];
  if (d.ext_commands.offer(line)) {
    result = endof(line);
  } else if (const CmdEntry* e = findcmd(d, line); !e) {
    errout(d, {msgtext(11), ": ", line, "\n"});
    k.update_suppressed = true;
    result = endof(line);
  } else if ((e->flags & kCmdNeedsDebug) && d.line_table_empty()) {
    errout(d, {msgtext(45), "\n"});
    k.update_suppressed = true;
    result = endof(line);
  } else {
    if (e->flags & kCmdNoUpdate) k.update_suppressed = true;
    first = e->name[0];
    result = e->handler(d, skipblanks(line + e->length), mode);
    if (!result) result = endof(line);
  }

  if (!k.quitting) {
    if (!k.update_suppressed) {
      ++k.command_counter;
      if (!d.run.running) {
        unsigned views = kViewSource | kViewDisasm;
        if (std::tolower(static_cast<unsigned char>(first)) == 'g') views |= kViewAfterGo;
        d.host.refresh_views(views);
      }
    }
    d.events.sweep();  // internal events live for one command
    if (k.vars_marked) {
      k.vars_marked = false;
      d.host.refresh_views(kViewVariables);
      d.notices.views_refreshed(kViewVariables);
    }
  }
  return result;
}

void end_of_line(Debugger& d) {
  if (!d.kernel.line_stop_pending) return;
  d.kernel.line_stop_pending = false;
  d.run.withdraw(d.kernel.line_stop);
}

}  // namespace tav
