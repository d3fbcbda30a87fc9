// The work of the event commands: the event-specification grammar of break and
// watch, the variables of dbreak and dwatch, activation, and del.
#include <cctype>
#include <cstring>

#include "events/event_table.h"
#include "expr/frames.h"
#include "expr/xexpr.h"
#include "image/debug_tables.h"
#include "support/messages.h"
#include "support/numconv.h"

namespace tav {

namespace {

bool blank(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 1 && u <= 32) || u == 127;
}
const char* skip(const char* p) {
  while (blank(*p)) ++p;
  return p;
}
bool digit(char c) { return c >= '0' && c <= '9'; }
bool ident_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '@' || c == '$'; }
const char* end_of(const char* p) { return p + std::strlen(p); }

unsigned read_decimal(const char*& p) {
  unsigned n = 0;
  while (digit(*p)) {
    // Saturates far above any line or event number, so errors show the number as typed.
    if (n < 100000000) n = n * 10 + static_cast<unsigned>(*p - '0');
    ++p;
  }
  return n;
}

// A number standing alone in a list: an event number.
bool read_number_item(const char*& p, int& number) {
  const char* q = p;
  if (!digit(*q)) return false;
  const unsigned n = read_decimal(q);
  if (*q && *q != ',' && *q != ';' && *q != '}' && !blank(*q)) return false;
  number = static_cast<int>(n);
  p = q;
  return true;
}

// A label event is known by the label's own name, not by the text that found it.
std::string label_name(const Value& v) {
  if (v.owner)
    for (const SymbolEntry& label : v.owner->labels)
      if (label.value == v.address) return std::string(label.name);
  return v.name;
}

// What an expression stands for as an event target.
enum class Target { Function, Label, Variable, None };

Target classify(const Value& v) {
  if (names_function(v)) return Target::Function;
  if (!has_derivation(v) && v.code() == kLabelType) return Target::Label;
  if (v.home == Home::Memory && v.kind != kValueComputed && v.kind != kValueSymbol && v.size > 0)
    return Target::Variable;
  return Target::None;
}

// "{" after a specification starts the attached commands, up to the matching "}".
const char* read_block(const char* p, std::string& commands, bool& has_block, std::string& missing) {
  p = skip(p);
  has_block = false;
  if (*p != '{') return p;
  has_block = true;
  int depth = 1;
  const char* q = p + 1;
  for (; *q; ++q) {
    if (*q == '{') {
      ++depth;
    } else if (*q == '}' && --depth == 0) {
      commands.assign(p + 1, q);
      return q + 1;
    }
  }
  missing = "'}' missing, assumed at end of line\n";
  commands.assign(p + 1, q);
  return q;
}

}  // namespace

bool names_function(const Value& v) {
  return v.owner && v.home == Home::None && is_pointer(v) &&
         top_derivation(strip_derivation(v.type)) == Derivation::Function;
}

EventSpec parse_event_spec(const char* p) {
  EventSpec s;
  s.start = p;
  // The first ":" that separates a file or function from lines; a ":" as the
  // second character followed by anything else is a drive letter.
  const char* sep = nullptr;
  for (const char* q = p; *q && *q != ';' && *q != ',' && *q != '{' && !blank(*q); ++q) {
    if (*q != ':') continue;
    if (q[1] == '\0' || blank(q[1]) || digit(q[1]) || q != p + 1) {
      sep = q;
      break;
    }
  }
  if (sep) {
    const char* r = sep + 1;
    const char* q = r;
    while (ident_char(*q)) ++q;
    bool digits = true;
    for (const char* c = r; c < q; ++c) digits = digits && digit(*c);
    if (!digits) return s;  // "file:name", "func():name": a scoped expression
    s.form = EventSpec::Position;
    const std::string left(p, sep);
    if (left.size() >= 2 && left.ends_with("()")) {
      s.has_function = true;
      s.function = left.substr(0, left.size() - 2);
    } else if (!left.empty()) {
      s.has_file = true;
      s.file = left;
    }
    q = r;
    if (*q == '-' && digit(q[1])) {  // no line has a negative number: an error, not the whole file
      s.has_first = true;
      s.negative = true;
      ++q;
    }
    if (digit(*q)) {
      s.has_first = true;
      s.first = s.last = read_decimal(q);
      if (*q == ':' && digit(q[1])) {
        ++q;
        s.last = read_decimal(q);
      }
    }
    s.end = q;
    return s;
  }
  const char* q = p;
  while (ident_char(*q) || *q == ':') ++q;
  if (*p == '@' && q > p + 1) {
    std::uint32_t address = 0;
    const int length = static_cast<int>(q - p - 1);
    if (numscan32(p + 1, length, &address, 1) == length) {
      s.form = EventSpec::Absolute;
      s.address = address;
      s.end = q;
      return s;
    }
  }
  if (q[0] == '(' && q[1] == ')') {
    s.form = EventSpec::Position;
    s.has_function = true;
    s.function.assign(p, q);
    s.end = q + 2;
  }
  return s;
}

bool EventTable::resolve_position(const EventSpec& s, const CodeEventOptions& o, bool for_del, bool watch,
                                  Event& out) {
  const FileEntry* file = nullptr;
  const FunctionBlock* function = nullptr;
  unsigned first = s.first;
  unsigned last = s.last;
  if (s.has_file) {
    file = tables_.find_file(s.file);
    if (!file) {
      last_error_ = msg::file_not_found;
      error({msgtext(msg::file_not_found), ": ", s.file, "\n"});
      return false;
    }
    if (!s.has_first) {
      first = file->first_line;
      last = file->last_line;
    }
  } else if (s.has_function) {
    if (s.function.empty()) {
      const Frame* f = frames_.current();
      function = f ? f->function : nullptr;
    } else {
      function = tables_.find_function(s.function);
      if (!function) {
        last_error_ = msg::function_not_found;
        error({msgtext(msg::function_not_found), "(): ", s.function, "\n"});
        return false;
      }
    }
    if (function) {
      if (!s.has_first) {
        // The entry line is the line of the function's start record (the
        // line of its opening brace), where its code begins.
        const unsigned entry = function->start && function->start->line ? function->start->line : function->first_line;
        first = o.entry_only ? entry : function->first_line;
        last = o.entry_only ? entry : function->last_line;
      } else if (s.negative || first < function->first_line || last > function->last_line) {
        last_error_ = msg::line_not_found;
        error({msgtext(msg::line_not_found), ": ", s.negative ? "-" : "", std::to_string(first), " ", function->name,
               "()\n"});
        return false;
      }
    }
  }
  if (!file && function) file = function->file;
  if (!file) {
    const Frame* f = frames_.current();
    if (f && f->function) file = f->function->file;
  }
  if (!file) {
    error({"Missing File/function specification for ", for_del ? "Event\n" : watch ? "WatchPoint\n" : "Breakpoint\n"});
    return false;
  }
  if (s.has_first && (s.negative || first < file->first_line || last > file->last_line || last < first)) {
    last_error_ = msg::line_not_found;
    error({msgtext(msg::line_not_found), ": ", s.negative ? "-" : "", std::to_string(first), " ", file->name, "\n"});
    return false;
  }
  out.kind = kEventPosition;
  out.file = file;
  out.function = function;
  out.first_line = static_cast<std::uint16_t>(first);
  out.last_line = static_cast<std::uint16_t>(last);
  return true;
}

bool EventTable::has_code_in(const FileEntry* file, unsigned first, unsigned last) const {
  for (const DebugRecord& r : tables_.records()) {
    if (r.kind != kRecFunctionStart && r.kind != kRecLine && r.kind != kRecKind04) continue;
    if (r.line < first || r.line > last) continue;
    const FileEntry* owner = r.function ? r.function->file : nullptr;
    if (owner ? owner == file : r.name == file->name) return true;
  }
  return false;
}

void EventTable::announce(const Event& e, int mode, bool created) {
  if (e.kind == kEventChange && e.user && created) {
    host_.put(event_line(e));
    return;
  }
  if (!e.user || mode == 0 || host_.echo_off()) return;
  host_.put("(" + std::to_string(e.number) + ")  " + event_line(e));
}

void EventTable::change_existing(Event& e, const CodeEventOptions& o, const std::string* commands, int mode) {
  if (o.has_count) e.count = e.left = o.count > 0 ? o.count : 1;
  if (commands) e.commands = *commands;
  announce(e, mode, false);
  host_.events_changed();
}

const char* EventTable::one_code_event(const char* p, const CodeEventOptions& o, bool watch, int mode) {
  EventSpec s = parse_event_spec(p);
  std::unique_ptr<Event> e = std::make_unique<Event>();
  Value v;
  if (s.form == EventSpec::Expression) {
    const char* cursor = p;
    int status = 0;
    v = evaluator_.xexpr(cursor, status, 1);
    s.end = cursor;
    if (status) {
      error({expr_error_text(status, evaluator_.error_detail()), ": ", std::string(p, cursor), "\n"});
      return nullptr;
    }
  }
  std::string commands;
  bool has_block = false;
  std::string missing;
  const char* after = read_block(s.end, commands, has_block, missing);
  if (!missing.empty()) error({missing});
  const std::string* new_commands = has_block ? &commands : nullptr;

  const std::int32_t count = o.has_count && o.count > 0 ? o.count : 1;
  e->klass = 'C';
  e->active = !o.suspended;
  e->watch = watch;
  e->count = e->left = count;
  e->user = mode;
  e->commands = commands;

  auto same = [&](auto&& test) -> Event* {
    for (const auto& x : events_)
      if (!x->is_data() && x->kind == e->kind && test(*x)) return x.get();
    return nullptr;
  };
  Event* existing = nullptr;
  switch (s.form) {
    case EventSpec::Absolute:
      e->kind = kEventAbsolute;
      e->address = s.address;
      existing = same([&](const Event& x) { return x.address == s.address; });
      break;
    case EventSpec::Position: {
      if (!resolve_position(s, o, false, watch, *e)) return nullptr;
      existing = same([&](const Event& x) { return x.holds_line(e->file, e->function, e->first_line); });
      if (!existing && s.has_first && !has_code_in(e->file, e->first_line, e->last_line)) {
        last_error_ = msg::no_code_at_location;
        error({msgtext(msg::no_code_at_location), ": ", std::to_string(e->first_line), " ", e->file->name, "\n"});
        return nullptr;
      }
      break;
    }
    case EventSpec::Expression:
      switch (classify(v)) {
        case Target::Function:
          e->kind = kEventSymbol;
          e->name = std::string(v.owner->name);
          e->address = static_cast<std::uint32_t>(v.ival);
          existing = same([&](const Event& x) { return x.name == e->name; });
          break;
        case Target::Label:
          e->kind = kEventLabel;
          e->name = label_name(v);
          e->address = v.address;
          existing = same([&](const Event& x) { return x.address == e->address; });
          break;
        case Target::Variable:
          e->kind = kEventChange;
          e->name = v.name;
          e->address = v.address;
          e->size = v.size;
          e->saved.resize(v.size);
          for (std::uint32_t i = 0; i < v.size; ++i) e->saved[i] = memory_.peek(v.address + i);
          existing = same([&](const Event& x) { return x.name == e->name; });
          break;
        case Target::None:
          error({msgtext(msg::illegal_breakpoint), ": ", std::string(p, s.end), "\n"});
          return nullptr;
      }
      break;
  }
  if (existing) {
    change_existing(*existing, o, new_commands, mode);
    return after;
  }
  const Event& placed = insert(std::move(e));
  announce(placed, mode, true);
  host_.events_changed();
  return after;
}

const char* EventTable::code_events(const char* args, const CodeEventOptions& o, bool watch, int mode) {
  const char* p = skip(args);
  if (*p == '\0' || *p == ';' || *p == '}') {
    listevents(watch);
    host_.set_update_suppressed();
    return p;
  }
  for (;;) {
    p = one_code_event(p, o, watch, mode);
    if (!p) return end_of(args);
    p = skip(p);
    if (*p != ',') return p;
    p = skip(p + 1);
  }
}

const char* EventTable::data_events(const char* args, char kind, std::int32_t count, bool watch) {
  const char* p = skip(args);
  for (;;) {
    const char* cursor = p;
    int status = 0;
    Value v = evaluator_.xexpr(cursor, status, 1);
    std::string commands;
    bool has_block = false;
    std::string missing;
    const char* after = read_block(cursor, commands, has_block, missing);
    if (!missing.empty()) error({missing});
    if (status) {
      error({"Incorrect argument for Variable break\n"});
    } else if (v.home != Home::Memory || (v.kind != kClassStatic && v.kind != kClassExtern) || v.size == 0) {
      error({"Illegal argument for Variable break (dynamic allocation)\n"});
    } else {
      auto e = std::make_unique<Event>();
      e->klass = 'D';
      e->kind = kind;
      e->watch = watch;
      e->count = e->left = count > 0 ? count : 1;
      e->user = 1;
      e->name = v.name;
      e->address = v.address;
      e->size = v.size;
      e->commands = commands;
      const Event& placed = insert(std::move(e));
      if (!host_.echo_off()) host_.put("(" + std::to_string(placed.number) + ")  " + event_line(placed));
      host_.events_changed();
    }
    p = skip(after);
    if (*p != ',') return p;
    p = skip(p + 1);
  }
}

const char* EventTable::activate(const char* args, bool on) {
  const char* p = skip(args);
  auto done = [&] {
    changed();
    host_.events_changed();
    host_.clear_update_suppressed();
  };
  if (*p == '*') {
    for (const auto& e : events_)
      if (e->user) e->active = on;
    done();
    return p + 1;
  }
  for (;;) {
    int number = 0;
    if (!read_number_item(p, number)) {
      error({msgtext(msg::incorrect_argument), "for: ", on ? " Break/Watch activate " : " Break/Watch suspend", "\n"});
      done();
      const char* semi = std::strchr(p, ';');
      return semi ? semi : end_of(p);
    }
    if (Event* e = find_mut(number))
      e->active = on;
    else
      error({msgtext(msg::breakpoint_not_found), "\n"});
    p = skip(p);
    if (*p != ',') break;
    p = skip(p + 1);
  }
  done();
  return p;
}

const char* EventTable::delete_one(const char* p) {
  int number = 0;
  if (read_number_item(p, number)) {
    rmevent(number, true);
    return p;
  }
  EventSpec s = parse_event_spec(p);
  std::vector<int> doomed;
  const char* end = nullptr;
  std::string unknown;
  switch (s.form) {
    case EventSpec::Absolute:
      end = s.end;
      for (const auto& e : events_)
        if (!e->is_data() && e->kind == kEventAbsolute && e->address == s.address) doomed.push_back(e->number);
      unknown = "Unknown Absolute Event: ";
      break;
    case EventSpec::Position: {
      end = s.end;
      Event where;
      if (!resolve_position(s, CodeEventOptions{}, true, false, where)) return nullptr;
      for (const auto& e : events_) {
        if (e->is_data() || e->kind != kEventPosition) continue;
        if (s.has_first && e->first_line &&
            !((e->first_line <= where.first_line && where.first_line <= e->last_line) ||
              (e->first_line <= where.last_line && where.last_line <= e->last_line)))
          continue;
        if (e->file && where.file && e->file != where.file) continue;
        if (e->function && where.function && e->function != where.function) continue;
        doomed.push_back(e->number);
      }
      unknown = "Unknown Code Event: ";
      break;
    }
    case EventSpec::Expression: {
      const char* cursor = p;
      int status = 0;
      Value v = evaluator_.xexpr(cursor, status, 1);
      end = cursor;
      if (status) {
        error({expr_error_text(status, evaluator_.error_detail()), ": ", std::string(p, cursor), "\n"});
        return nullptr;
      }
      switch (classify(v)) {
        case Target::Function:
          for (const auto& e : events_)
            if (!e->is_data() && e->kind == kEventSymbol && e->name == v.owner->name) doomed.push_back(e->number);
          unknown = "Unknown Symbol Event: ";
          break;
        case Target::Label:
          for (const auto& e : events_)
            if (!e->is_data() && e->kind == kEventLabel && e->address == v.address) doomed.push_back(e->number);
          unknown = "Unknown Label Event: ";
          break;
        case Target::Variable:
          for (const auto& e : events_)
            if (!e->is_data() && e->kind == kEventChange && e->name == v.name) doomed.push_back(e->number);
          unknown = "Unknown Data Event: ";
          break;
        case Target::None:
          error({msgtext(msg::illegal_breakpoint), ": ", std::string(p, cursor), "\n"});
          return nullptr;
      }
      break;
    }
  }
  if (doomed.empty()) {
    error({unknown, std::string(p, end), "\n"});
    return end;
  }
  for (int n : doomed) rmevent(n, true);
  return end;
}

const char* EventTable::del(const char* args) {
  const char* p = skip(args);
  if (*p == '*') {
    rmevent(-1, true);
    return p + 1;
  }
  for (;;) {
    p = delete_one(p);
    if (!p) return end_of(args);
    p = skip(p);
    if (*p != ',') return p;
    p = skip(p + 1);
  }
}

}  // namespace tav
