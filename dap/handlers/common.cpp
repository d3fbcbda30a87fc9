#include "dap/handlers/common.h"

#include <charconv>
#include <filesystem>

#include "kernel/debugger.h"

namespace tav::dap {

int frame_id(Core core, int index) { return index * 2 + (core == Core::Xgate ? 1 : 0) + 1; }

std::optional<FrameRef> frame_ref(std::int64_t id) {
  if (id < 1 || id > 1'000'000) return std::nullopt;
  return FrameRef{(id - 1) % 2 ? Core::Xgate : Core::Cpu12, static_cast<int>((id - 1) / 2)};
}

FrameRef requested_frame(const json& args) {
  if (auto ref = frame_ref(int_arg(args, "frameId", 0))) return *ref;
  return {};
}

std::string hex_address(std::uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", address);
  return text;
}

std::optional<std::uint32_t> parse_address(const std::string& text) {
  std::string_view s = text;
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    s.remove_prefix(2);
    base = 16;
  }
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
  if (ec != std::errc{} || end != s.data() + s.size() || s.empty() || value > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

char format_letter(const json& args) {
  const auto format = args.find("format");
  if (format != args.end() && format->is_object() && bool_arg(*format, "hex", false)) return 'x';
  return 0;
}

json source_json(const Session& s, const std::string& file) {
  const std::string path = s.source_path(file);
  return {{"name", std::filesystem::path(file).filename().string()}, {"path", path}};
}

namespace {

// A log message as the format of "mess": "{expression}" parts become "%d"
// conversions, quotes, backslashes and per cents are escaped, and braces
// are written as escapes so that the attached block still ends where it should.
std::string mess_command(const std::string& message) {
  std::string format, args;
  for (std::size_t i = 0; i < message.size(); ++i) {
    const char c = message[i];
    if (c == '{') {
      const std::size_t close = message.find('}', i + 1);
      if (close != std::string::npos && close > i + 1) {
        format += "%d";
        args += ", " + message.substr(i + 1, close - i - 1);
        i = close;
        continue;
      }
      format += "\\173";
    } else if (c == '}') {
      format += "\\175";
    } else if (c == '"' || c == '\\') {
      format += '\\';
      format += c;
    } else if (c == '%') {
      format += "%%";
    } else if (c == '\n') {
      format += "\\n";
    } else {
      format += c;
    }
  }
  return "mess \"" + format + "\\n\"" + args;
}

bool has_brace(const std::string& s) { return s.find_first_of("{}") != std::string::npos; }

}  // namespace

bool breakpoint_command(const json& bp, const std::string& where, std::string& line, std::string& error) {
  const std::string condition = string_arg(bp, "condition");
  const std::string hits = string_arg(bp, "hitCondition");
  const std::string log = string_arg(bp, "logMessage");
  std::string count;
  if (!hits.empty()) {
    unsigned n = 0;
    const auto [end, ec] = std::from_chars(hits.data(), hits.data() + hits.size(), n);
    if (ec != std::errc{} || end != hits.data() + hits.size() || n == 0 || n > 65535) {
      error = "hit count must be a number from 1 to 65535";
      return false;
    }
    count = "/C:" + std::to_string(n) + " ";
  }
  if (has_brace(condition)) {
    error = "a condition cannot contain braces";
    return false;
  }
  // A plain breakpoint is a break event; a condition or a log message makes
  // it a watch event whose attached commands stop or print.
  if (condition.empty() && log.empty()) {
    line = "break " + count + where;
    return true;
  }
  std::string action = log.empty() ? "stop" : mess_command(log);
  if (!condition.empty()) action = "if (" + condition + ") {" + action + "}";
  line = "watch " + count + where + " {" + action + "}";
  return true;
}

json make_breakpoint(Session& s, const std::string& line, BreakpointLink& link) {
  Debugger& d = s.debugger();
  link.id = s.next_breakpoint_id();
  link.command = line;
  const std::size_t count_before = d.events.events().size();
  const CommandResult r = s.command(line);
  json bp = {{"id", link.id}};
  if (!r.ok() || d.events.events().size() == count_before) {
    std::string message = r.error.value_or(r.output);
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
    bp["verified"] = false;
    bp["message"] = message.empty() ? std::string("no event was set") : message;
    return bp;
  }
  link.event = d.events.GetLastBkptNum();
  if (const Event* e = d.events.find(link.event)) return event_breakpoint(s, *e, link.id);
  bp["verified"] = true;
  return bp;
}

json event_breakpoint(const Session& s, const Event& e, int id) {
  json bp = {{"id", id}, {"verified", e.active}};
  if (!e.active) bp["message"] = "suspended";
  if (e.file && e.first_line) {
    bp["line"] = e.first_line;
    bp["source"] = source_json(s, std::string(e.file->name));
  }
  if (e.kind == kEventAbsolute || e.kind == kEventSymbol) bp["instructionReference"] = hex_address(e.address);
  return bp;
}

const json* require(const json& args, const char* name, Reply& reply) {
  const auto it = args.find(name);
  if (it == args.end() || it->is_null()) {
    reply.fail(std::string("missing argument '") + name + "'");
    return nullptr;
  }
  return &*it;
}

void replace_breakpoints(Session& s, const Request& request, Reply& reply, std::vector<BreakpointLink>& links,
                         const std::function<std::string(const json& bp, std::string& error)>& where) {
  s.delete_events(links);
  json result = json::array();
  const auto list = request.arguments.find("breakpoints");
  if (list != request.arguments.end() && list->is_array()) {
    for (const json& bp : *list) {
      BreakpointLink link;
      std::string line, error;
      const std::string place = where(bp, error);
      if (error.empty()) breakpoint_command(bp, place, line, error);
      if (!error.empty())
        result.push_back({{"id", link.id = s.next_breakpoint_id()}, {"verified", false}, {"message", error}});
      else {
        json made = make_breakpoint(s, line, link);
        // A line the debug tables do not place stays where the client put it.
        if (!made.contains("line") && bp.contains("line")) made["line"] = bp["line"];
        result.push_back(std::move(made));
      }
      links.push_back(link);
    }
  }
  reply.body = {{"breakpoints", result}};
}

}  // namespace tav::dap
