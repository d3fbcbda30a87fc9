#include "ui/model/event_form.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "events/event_table.h"
#include "image/debug_tables.h"

namespace tav {

namespace {

constexpr unsigned kMaxCount = 65535;  // the count option is a 16-bit number

// A data event on part of a variable watches the bytes at its address, seen
// through a pointer of that width (as the data popups write it).
struct Width {
  unsigned size;
  const char* prefix;
};
constexpr Width kWidths[] = {{1, "*(unsigned char*)&"}, {2, "*(unsigned short*)&"}, {4, "*(unsigned long*)&"}};

std::string hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(value));
  return text;
}

bool ident_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '@' || c == '$'; }

std::string trimmed(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

// A number in C notation: 0x hexadecimal, 0b binary, a leading 0 octal, else decimal.
bool c_number(const std::string& text, std::uint32_t& value) {
  std::string t = trimmed(text);
  int base = 0;
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'b' || t[1] == 'B')) base = 2, t = t.substr(2);
  if (t.empty() || !std::isxdigit(static_cast<unsigned char>(t[0]))) return false;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(t.c_str(), &end, base);
  if (*end || v > 0xFFFFFFFFull) return false;
  value = static_cast<std::uint32_t>(v);
  return true;
}

bool braces_match(const std::string& s, char open, char close) {
  int depth = 0;
  for (char c : s) {
    if (c == open) ++depth;
    if (c == close && --depth < 0) return false;
  }
  return depth == 0;
}

std::string lines_text(unsigned first, unsigned last) {
  if (!first) return {};
  std::string text = ":" + std::to_string(first);
  if (last && last != first) text += ":" + std::to_string(last);
  return text;
}

// A code event's place as break and watch read it: "f()", "file:12", "@0x7fc000"...
std::string place_text(const EventForm& f) {
  const std::string where = trimmed(f.where);
  switch (f.place) {
    case EventPlace::Function: return where + "()" + lines_text(f.first, f.last);
    case EventPlace::Lines: return where + (f.first ? lines_text(f.first, f.last) : ":");
    case EventPlace::Address: {
      std::uint32_t a = 0;
      c_number(where, a);
      return "@" + hex(a);
    }
    case EventPlace::Expression: break;
  }
  return where;
}

// A data event's variable, with the width prefix its size asks for.
std::string variable_text(const EventForm& f) {
  const std::string where = trimmed(f.where);
  for (const Width& w : kWidths)
    if (w.size == f.size) return w.prefix + where;
  return where;
}

// The attached commands: a condition guards them with the language's "if".
std::string attached(const EventForm& f) {
  std::string commands = trimmed(f.commands);
  std::replace(commands.begin(), commands.end(), '\n', ';');
  const std::string condition = trimmed(f.condition);
  if (condition.empty()) return commands;
  return "if (" + condition + ") {" + commands + "}";
}

// A condition written by `attached` taken apart again; false for any other text.
bool split_condition(const std::string& text, std::string& condition, std::string& commands) {
  if (text.rfind("if (", 0) != 0 || text.back() != '}') return false;
  int depth = 0;
  std::size_t close = 4;
  for (depth = 1; close < text.size() && depth; ++close) depth += text[close] == '(' ? 1 : text[close] == ')' ? -1 : 0;
  if (depth || text.compare(close, 2, " {") != 0) return false;
  const std::string body = text.substr(close + 2, text.size() - close - 3);
  if (!braces_match(body, '{', '}')) return false;
  condition = text.substr(4, close - 5);
  commands = body;
  return true;
}

std::string word(const EventForm& f) {
  if (f.data) return f.watch ? "dwatch" : "dbreak";
  return f.watch ? "watch" : "break";
}

std::vector<std::string> creation(const EventForm& f, int next_number) {
  std::string line = word(f);
  if (f.data) line += std::string(" /T:") + static_cast<char>(std::tolower(static_cast<unsigned char>(f.access)));
  if (f.count > 1) line += " /C:" + std::to_string(f.count);
  if (!f.data && !f.active) line += " /i";
  if (!f.data && f.entry_only && f.place == EventPlace::Function && !f.first) line += " /e";
  line += " " + (f.data ? variable_text(f) : place_text(f));
  if (const std::string block = attached(f); !block.empty()) line += " {" + block + "}";
  std::vector<std::string> lines{line};
  // Data events are made active: a suspended one is switched off by its number.
  if (f.data && !f.active) lines.push_back(word(f) + " /s " + std::to_string(next_number));
  return lines;
}

// An edit that puts the event elsewhere (or turns a break into a watch) makes it anew.
bool moves(const EventForm& form, const EventForm& was) {
  return form.data || form.watch != was.watch || place_text(form) != place_text(was);
}

}  // namespace

EventForm event_form(const Event& e) {
  EventForm f;
  f.data = e.is_data();
  f.number = e.number;
  f.watch = e.watch;
  f.count = e.count > 0 ? static_cast<unsigned>(e.count) : 1;
  f.active = e.active;
  if (e.commands.empty() || !split_condition(e.commands, f.condition, f.commands)) f.commands = e.commands;
  if (f.data) {
    f.access = e.kind;
    f.where = e.name;
    for (const Width& w : kWidths)
      if (e.name.rfind(w.prefix, 0) == 0) f.size = w.size, f.where = e.name.substr(std::string_view(w.prefix).size());
    return f;
  }
  switch (e.kind) {
    case kEventPosition:
      f.first = e.first_line;
      f.last = e.last_line != e.first_line ? e.last_line : 0;
      if (e.function && !e.function->name.empty()) {
        f.place = EventPlace::Function;
        f.where = std::string(e.function->name);
        // The whole function is written as the function alone.
        if (e.first_line == e.function->first_line && e.last_line == e.function->last_line) f.first = f.last = 0;
      } else {
        f.place = EventPlace::Lines;
        f.where = e.file ? std::string(e.file->name) : std::string();
        // So is the whole file.
        if (e.file && e.first_line == e.file->first_line && e.last_line == e.file->last_line) f.first = f.last = 0;
      }
      break;
    case kEventAbsolute:
      f.place = EventPlace::Address;
      f.where = hex(e.address);
      break;
    default:
      f.place = EventPlace::Expression;
      f.where = e.name;
      break;
  }
  return f;
}

std::string form_error(const EventForm& f) {
  if (f.count < 1 || f.count > kMaxCount) return "The count must be 1 to 65535";
  const std::string where = trimmed(f.where);
  auto holds_any = [](const std::string& s, const char* chars) { return s.find_first_of(chars) != std::string::npos; };
  if (f.data) {
    if (where.empty()) return "Which variable? The variable is missing";
    if (holds_any(where, ",;{}")) return "A variable cannot hold , ; { or }";
    if (f.size != 0 && f.size != 1 && f.size != 2 && f.size != 4) return "The size must be 1, 2 or 4 bytes";
    if (f.access != 'A' && f.access != 'R' && f.access != 'W') return "The access must be read, write or any";
  } else {
    switch (f.place) {
      case EventPlace::Function:
        if (!std::all_of(where.begin(), where.end(), ident_char)) return "Illegal function name: " + where;
        break;
      case EventPlace::Lines:
        if (where.empty() && !f.first) return "The file is missing";
        // A ":" belongs to a drive letter only; anywhere else it would start the lines.
        if (holds_any(where, " \t,;{}()") || where.find(':', 2) != std::string::npos || where.find(':') == 0)
          return "Illegal file name: " + where;
        break;
      case EventPlace::Address: {
        std::uint32_t a = 0;
        if (!c_number(where, a) || a > 0xFFFFFF) return "Illegal address: " + where;
        break;
      }
      case EventPlace::Expression:
        if (where.empty()) return "The expression is missing";
        if (holds_any(where, ",;{}")) return "An expression cannot hold , ; { or }";
        break;
    }
    const bool lines = f.place == EventPlace::Function || f.place == EventPlace::Lines;
    if (lines && f.last && !f.first) return "A last line needs a first line";
    if (lines && f.last && f.last < f.first) return "The last line comes before the first line";
  }
  const std::string condition = trimmed(f.condition);
  if (holds_any(condition, ";{}") || !braces_match(condition, '(', ')')) return "Illegal condition: " + condition;
  if (!braces_match(f.commands, '{', '}')) return "The braces of the commands do not match";
  return {};
}

EventLines event_lines(const EventForm& form, const EventForm* was, int next_number,
                       const std::vector<EventForm>& captors) {
  EventLines out;
  bool places = true;  // a line puts an event at the form's place (not only /a or /s)
  if (!was) {
    out.lines = creation(form, next_number);
  } else {
    EventForm same = form;
    same.number = was->number;
    if (same == *was) return {};
    const std::string number = std::to_string(was->number);
    if (!moves(form, *was)) {
      // A code event keeps its number when only its count, commands or state
      // change: making it again at the same place changes it in place.
      places = form.count != was->count || attached(form) != attached(*was);
      if (places)
        out.lines.push_back(word(form) + " /C:" + std::to_string(form.count) + " " + place_text(form) + " {" +
                            attached(form) + "}");
      if (form.active != was->active) out.lines.push_back(word(form) + (form.active ? " /a " : " /s ") + number);
    } else {
      out = {{"del /e " + number}, creation(*was, next_number)};
      for (std::string& line : creation(form, next_number)) out.lines.push_back(std::move(line));
    }
  }
  if (captors.empty() || !places) return out;
  // The events in the way go first and come back once the form's event holds its place.
  EventLines around;
  for (const EventForm& c : captors) around.lines.push_back("del /e " + std::to_string(c.number));
  around.remake = around.lines.size() + out.remake;
  around.lines.insert(around.lines.end(), out.lines.begin(), out.lines.end());
  around.restore = out.restore;
  for (const EventForm& c : captors)
    for (std::string& line : creation(c, 0)) {
      around.lines.push_back(line);
      around.restore.push_back(std::move(line));
    }
  return around;
}

std::vector<EventForm> capturing_events(const EventTable& events, const DebugTables& tables, const EventForm& form,
                                        const EventForm* was) {
  if (form.data || (form.place != EventPlace::Lines && form.place != EventPlace::Function)) return {};
  // The place as the table resolves it: file, function and first line.
  const std::string where = trimmed(form.where);
  const FileEntry* file = nullptr;
  const FunctionBlock* function = nullptr;
  unsigned first = form.first;
  if (form.place == EventPlace::Lines) {
    file = tables.find_file(where);
    if (file && !first) first = file->first_line;
  } else if ((function = tables.find_function(where))) {
    file = function->file;
    const unsigned entry = function->start && function->start->line ? function->start->line : function->first_line;
    if (!first) first = form.entry_only ? entry : function->first_line;
  }
  if (!file) return {};
  const int number = was ? was->number : 0;
  const bool moved = !was || moves(form, *was);
  std::vector<EventForm> out;
  for (const auto& e : events.events()) {
    if (number && e->number == number) {
      if (!moved) break;  // the table finds the event itself first
      continue;
    }
    if (e->is_data() || e->kind != kEventPosition || e->is_internal()) continue;
    if (e->holds_line(file, function, first)) out.push_back(event_form(*e));
  }
  return out;
}

int next_event_number(const EventTable& events, int freed) {
  int n = 1;
  for (const auto& e : events.events()) {  // ascending numbers
    if (e->number == freed) continue;
    if (e->number != n) break;
    ++n;
  }
  return n;
}

}  // namespace tav
