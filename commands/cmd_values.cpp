// The commands that name C expressions: "x"/"eval", "print", "u"/"update",
// "m"/"monit", "v"/"vars", and the call-stack commands "stack", "wstack",
// "frame" and "move".
#include <cstdio>
#include <cstring>
#include <string>

#include "commands/data_views.h"
#include "expr/putresult.h"
#include "expr/xexpr.h"
#include "kernel/debugger.h"
#include "commands/handlers.h"
#include "kernel/options.h"
#include "support/messages.h"
#include "support/numconv.h"

namespace tav {

namespace {

// Characters the "update ?" prompts accept.
constexpr std::size_t kInputMax = 80;

TextSink sink(Debugger& d) { return TextSink{putout_emit, &d}; }

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

void expr_error(Debugger& d, int status) {
  errout(d, {expr_error_text(status, d.evaluator.error_detail()), "\n"});
}

// The target address of a value taken as an address: near pointers hold
// CPU12 local addresses, everything else is a global address already.
std::uint32_t address_of_value(Debugger& d, const Value& v) {
  if (is_pointer(v) && v.size <= 2) return d.memory.LocalToGlobal(static_cast<std::uint16_t>(v.ival));
  return static_cast<std::uint32_t>(as_int(v)) & 0xFFFFFFu;
}

// "    [addr].w = value": the unit at the address the value names.
void print_unit(Debugger& d, const Value& v, char unit, char letter) {
  const std::uint32_t address = address_of_value(d, v);
  Value cell;
  cell.kind = kValueComputed;
  switch (unit) {
    case 'w':
      cell.type = kUnsignedShort;
      cell.ival = d.memory.ReadWord(address);
      break;
    case 'l':
      cell.type = kUnsignedLong;
      cell.ival = static_cast<std::int32_t>(d.memory.ReadLong(address));
      break;
    default:
      cell.type = kUnsignedChar;
      cell.ival = d.memory.ReadByte(address);
      break;
  }
  refresh_size(cell);
  char head[48];
  std::snprintf(head, sizeof head, "    [0x%06X].%c = ", address, unit);
  putstrs(d, {head, d.formatter.text(cell, letter ? letter : 'x'), "\n"});
}

// Reads a double-quoted text with escapes at `p` (on the quote); false when
// it does not end on the line.
bool quoted_text(const char*& p, std::string& out) {
  const char* q = p + 1;
  while (*q && *q != '"') {
    if (*q == '\\' && q[1]) {
      ++q;
      out += static_cast<char>(escdecode(&q, nullptr));
      ++q;
      continue;
    }
    out += *q++;
  }
  if (*q != '"') return false;
  p = q + 1;
  return true;
}

// Stores a text byte by byte at the target's address, with a closing NUL.
bool store_text(Debugger& d, Value& target, const std::string& text) {
  if (target.home != Home::Memory) {
    errout(d, {msgtext(msg::not_updatable), ": ", target.name, "\n"});
    return false;
  }
  std::uint32_t a = target.address;
  for (char c : text) d.memory.WriteByte(a++ & 0xFFFFFFu, static_cast<std::uint8_t>(c));
  d.memory.WriteByte(a & 0xFFFFFFu, 0);
  d.evaluator.reload(target);
  const bool string_like = (is_array(target) || is_pointer(target)) && is_char_code(target.code());
  putstrs(d, {"    ", target.name, " => ", d.formatter.text(target, string_like ? 's' : 0), "\n"});
  return true;
}

// Evaluates `text` and assigns it to the target; prints "    target => value".
const char* assign_expression(Debugger& d, Value& target, const char* text, const char* fail) {
  int status = 0;
  const char* p = text;
  const Value source = d.evaluator.xexpr(p, status, 1);
  if (status == 0) status = d.evaluator.assign(target, source);
  if (status != 0) {
    expr_error(d, status);
    return fail;
  }
  putstrs(d, {"    ", target.name, " => ", d.formatter.text(target, 0), "\n"});
  return p;
}

// Asks the user for a line with the status "WAITING " and a request text.
bool ask(Debugger& d, std::string_view request, std::string& line) {
  d.host.status(StatusField::Left, "WAITING ");
  d.host.status(StatusField::Middle, request);
  const bool ok = d.host.read_input(std::string(request) + ": ", line, kInputMax);
  d.host.status(StatusField::Left, "");
  d.host.status(StatusField::Middle, "");
  return ok;
}

// A file or function specification: "main.c", "fib", "fib()".
struct Scope {
  const FileEntry* file = nullptr;
  const FunctionBlock* function = nullptr;
};

bool read_scope(Debugger& d, const char*& p, Scope& scope) {
  const char* start = p;
  while (*p && *p != ';' && !blankchar(*p)) ++p;
  std::string word(start, p);
  if (word.empty()) return true;
  if ((scope.file = d.program.tables().find_file(word))) return true;
  if (word.size() > 2 && word.compare(word.size() - 2, 2, "()") == 0) word.resize(word.size() - 2);
  if ((scope.function = d.program.tables().find_function(word))) return true;
  errout(d, {msgtext(msg::incorrect_argument), ": ", std::string(start, p), "\n"});
  return false;
}

int frame_number(Debugger& d, const Frame* frame) {
  int n = 0;
  for (Core core : {Core::Cpu12, Core::Xgate})
    for (const Frame* f : d.frames.walk(core)) {
      if (f == frame) return n;
      ++n;
    }
  return -1;
}

bool have_frames(Debugger& d) {
  if (d.frames.current()) return true;
  errout(d, {msgtext(msg::no_frame), "\n"});
  return false;
}

}  // namespace

const char* cmd_eval(Debugger& d, const char* args, int) {
  OptionSpec spec;
  spec.letters = "dbhusocxqF:";
  spec.blank_before_wrong = true;
  OptionSet options;
  const char* p = parse_options(d, args, spec, options);
  if (!p) return endof(args);
  const char letter = options.last_of("dbhusocx");
  char unit = 0;
  if (options.has('F')) {
    const std::string_view f = options.value('F');
    if (f.size() != 1 || !std::strchr("bwlBWL", f[0])) {
      errout(d, {"Wrong Format for /F: ", f.data()});
      return endof(args);
    }
    unit = lower(f[0]);
  }
  for (;;) {
    int status = 0;
    const Value v = d.evaluator.xexpr(p, status, 1);
    if (status != 0) {
      expr_error(d, status);
      return endof(args);
    }
    if (options.has('q')) {
      // evaluated for its effect only
    } else if (unit) {
      print_unit(d, v, unit, letter);
    } else {
      d.formatter.print_line(v, letter, sink(d));
    }
    p = skipblanks(p);
    if (*p != ',') return p;
    ++p;
  }
}

// "print" shows one expression: plain as eval does; "/a" expanded, one member
// per line with its address and offset; "/p" packed on one line.
const char* cmd_print(Debugger& d, const char* args, int) {
  OptionSpec spec;
  spec.letters = "ap";
  OptionSet options;
  const char* p = parse_options(d, args, spec, options);
  if (!p) return endof(args);
  const char layout = options.last_of("ap");
  for (;;) {
    int status = 0;
    const Value v = d.evaluator.xexpr(p, status, 1);
    if (status != 0) {
      expr_error(d, status);
      return endof(args);
    }
    if (layout == 'a') {
      StringSink text;
      d.formatter.put_expanded(v, text.sink());
      std::string head = "    " + v.name;
      if (v.home == Home::Memory) {
        char at[24];
        std::snprintf(at, sizeof at, " at 0x%06X", v.address);
        head += at;
      }
      head += is_aggregate(v) ? " =" : " = ";
      std::string body = text.take();
      if (body.empty() || body.back() != '\n') body += '\n';
      putstrs(d, {head, body});
    } else if (layout == 'p') {
      StringSink text;
      d.formatter.put_compact(v, text.sink());
      putstrs(d, {"    ", text.text(), "\n"});
    } else {
      d.formatter.print_line(v, 0, sink(d));
    }
    p = skipblanks(p);
    if (*p != ',') return p;
    ++p;
  }
}

const char* cmd_update(Debugger& d, const char* args, int) {
  const char* p = skipblanks(args);
  int status = 0;
  const bool assignments = d.evaluator.assignments();
  d.evaluator.set_assignments(false);  // the "=" after the target is ours
  Value target = d.evaluator.xexpr(p, status, 1);
  d.evaluator.set_assignments(assignments);
  if (status != 0) {
    expr_error(d, status);
    return endof(args);
  }
  p = skipblanks(p);
  if (*p == '=' && p[1] != '=') p = skipblanks(p + 1);

  if (*p == '?') {
    const bool text = p[1] == 's' || p[1] == 'S';
    std::string line;
    if (!ask(d, text ? "Enter String" : "Enter Expression", line)) return endof(args);
    if (text) store_text(d, target, line);
    else assign_expression(d, target, line.c_str(), nullptr);
    return skipblanks(p + (text ? 2 : 1));
  }
  if (*p == '"') {
    // Further texts follow on after the first one.
    std::string text;
    for (;;) {
      if (!quoted_text(p, text)) {
        errout(d, {msgtext(msg::syntax_error), ": ", p, "\n"});
        return endof(args);
      }
      const char* q = skipblanks(p);
      if (*q != ',' || *skipblanks(q + 1) != '"') break;
      p = skipblanks(q + 1);
    }
    store_text(d, target, text);
    return p;
  }
  const char* end = assign_expression(d, target, p, nullptr);
  return end ? end : endof(args);
}

const char* cmd_monit(Debugger& d, const char* args, int) {
  OptionSpec spec;
  spec.letters = "dbuxsoc";
  OptionSet options;
  const char* p = parse_options(d, args, spec, options);
  if (!p) return endof(args);
  const char letter = options.last_of("dbuxsoc");
  while (*p && *p != ';') {
    const char* start = p;
    int status = 0;
    d.evaluator.xexpr(p, status, 0);  // checked, not read: the view reads it
    if (status != 0) {
      expr_error(d, status);
      return endof(args);
    }
    std::string text(skipblanks(start), p);
    while (!text.empty() && blankchar(text.back())) text.pop_back();
    d.monitor_list.add(text, letter);
    p = skipblanks(p);
    if (*p != ',') break;
    p = skipblanks(p + 1);
  }
  d.host.show_view(kViewMonitors);
  return p;
}

const char* cmd_vars(Debugger& d, const char* args, int) {
  OptionSpec spec;
  spec.letters = "av";
  OptionSet options;
  const char* p = parse_options(d, args, spec, options);
  if (!p) return endof(args);
  Scope scope;
  if (!read_scope(d, p, scope)) return endof(args);
  d.vars_scope = VariablesScope{scope.file, scope.function, options.has('v'), options.has('a')};
  d.host.show_view(kViewVariables);
  return skipblanks(p);
}

const char* cmd_wstack(Debugger& d, const char* args, int) {
  d.host.show_view(kViewStack);
  return args;
}

const char* cmd_stack(Debugger& d, const char* args, int) {
  if (!have_frames(d)) return endof(args);
  for (const std::string& line : frame_lines(d)) putstrs(d, {line, "\n"});
  return args;
}

const char* cmd_frame(Debugger& d, const char* args, int) {
  if (!have_frames(d)) return endof(args);
  const Frame* f = d.frames.current();
  putstrs(d, {frame_line(d, *f, frame_number(d, f), true), "\n"});
  if (f->function)
    for (const SymbolEntry& e : f->function->locals)
      if (listed_variable(e)) putstrs(d, {variable_line(d, e, f, true, false), "\n"});
  return args;
}

const char* cmd_move(Debugger& d, const char* args, int) {
  OptionSpec spec;
  spec.letters = "udtb";
  OptionSet options;
  const char* p = parse_options(d, args, spec, options);
  if (!p) return endof(args);
  if (options.empty()) {
    errout(d, {"usage: i[udtb] (Up Down Top Bottom)\n"});
    return endof(args);
  }
  if (!have_frames(d)) return endof(args);
  for (char c : options.letters()) {
    switch (lower(c)) {
      case 'd': d.frames.move_down(); break;
      case 't': d.frames.move_top(); break;
      case 'b': d.frames.move_bottom(); break;
      default: {
        const char* start = p;
        while (*p && *p != ';' && !blankchar(*p)) ++p;
        std::string word(start, p);
        p = skipblanks(p);
        if (word.empty()) {
          d.frames.move_up();
          break;
        }
        // A line number, a file name, or a function name with or without "()".
        std::uint32_t line = 0;
        const bool is_line = numscan32(word.c_str(), -1, &line, 10) == static_cast<int>(word.size());
        if (word.size() > 2 && word.compare(word.size() - 2, 2, "()") == 0) word.resize(word.size() - 2);
        const bool found = d.frames.move_up_to([&](const Frame& f) {
          if (is_line) return f.line == line;
          if (!f.function) return false;
          return f.function->name == word || (f.function->file && f.function->file->name == word);
        });
        if (!found) {
          errout(d, {msgtext(msg::function_not_found), ": ", word, "\n"});
          return endof(args);
        }
      }
    }
  }
  d.kernel.vars_marked = true;
  d.host.refresh_views(kViewStack);
  const Frame* f = d.frames.current();
  if (f) putstrs(d, {frame_line(d, *f, frame_number(d, f), true), "\n"});
  return p;
}

}  // namespace tav
