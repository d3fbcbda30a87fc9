#include "ui/model/completion.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "kernel/cmdtab.h"
#include "kernel/debugger.h"

namespace tav {

namespace {

// The commands whose argument is a file name, and those that take expressions.
constexpr std::string_view kFileCommands[] = {"l", "load", "input", "path", "output", "record"};
constexpr std::string_view kExpressionCommands[] = {
    "x", "eval", "print", "m", "monit", "u", "updat", "update", "b", "break", "w", "watch", "db", "dbreak",
    "dw", "dwatch", "g", "go", "tgo", "tigo", "dump", "fill", "mm", "a", "activ", "deact", "mess", "fwrite",
    "fread", "if", "while"};

bool word_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '$'; }

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

void add_files(std::string_view word, std::set<std::string>& out) {
  std::string text(word);
  if (!text.empty() && text.front() == '"') text.erase(0, 1);
  const std::size_t slash = text.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : text.substr(0, slash);
  const std::string head = slash == std::string::npos ? "" : text.substr(0, slash + 1);
  const std::string prefix = slash == std::string::npos ? text : text.substr(slash + 1);
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  while (const dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name == "." || name == ".." || name.compare(0, prefix.size(), prefix) != 0) continue;
    if (name[0] == '.' && prefix.empty()) continue;
    struct stat st {};
    const bool is_dir = ::stat((dir + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    out.insert(head + name + (is_dir ? "/" : ""));
  }
  ::closedir(d);
}

void add_symbols(const Debugger& d, std::string_view prefix, std::set<std::string>& out) {
  auto take = [&](std::string_view name) {
    if (!name.empty() && name.substr(0, prefix.size()) == prefix) out.emplace(name);
  };
  const DebugTables& tables = d.program.tables();
  for (const FileEntry* f : tables.files())
    for (const FunctionBlock* fn : f->functions) {
      take(fn->name);
      for (const SymbolEntry& e : fn->locals) take(e.name);
    }
  for (const auto& s : d.program.symbols().by_value()) take(s->name);
}

}  // namespace

Completion complete(const Debugger& d, std::string_view before) {
  Completion c;
  // The word being completed: back to a blank, or for expressions to any
  // character that cannot be part of a name.
  std::size_t start = before.size();
  while (start > 0 && !std::isspace(static_cast<unsigned char>(before[start - 1])) && before[start - 1] != ';' &&
         before[start - 1] != '{')
    --start;
  // The command this word belongs to: the first word after the last ";" or "{".
  const std::size_t command_start = [&] {
    std::size_t p = before.find_last_of(";{", start == 0 ? 0 : start - 1);
    p = (p == std::string_view::npos || start == 0) ? 0 : p + 1;
    while (p < start && std::isspace(static_cast<unsigned char>(before[p]))) ++p;
    return p;
  }();
  std::set<std::string> choices;
  if (command_start == start) {
    const std::string prefix = lower(before.substr(start));
    for (const CmdEntry* e = d.commands; e && e->name; ++e) {
      if ((e->flags & kCmdInternal) && !d.kernel.internals) continue;
      if (std::string_view(e->name).substr(0, prefix.size()) == prefix) choices.emplace(e->name);
    }
  } else {
    std::size_t end = command_start;
    while (end < before.size() && !std::isspace(static_cast<unsigned char>(before[end]))) ++end;
    const std::string command = lower(before.substr(command_start, end - command_start));
    const auto is = [&](auto& list) { return std::find(std::begin(list), std::end(list), command) != std::end(list); };
    if (is(kFileCommands)) {
      add_files(before.substr(start), choices);
    } else if (is(kExpressionCommands)) {
      while (start < before.size() && !word_char(before[start])) ++start;  // "&name", "(name": the name
      add_symbols(d, before.substr(start), choices);
    }
  }
  c.start = start;
  c.choices.assign(choices.begin(), choices.end());
  return c;
}

std::string common_prefix(const std::vector<std::string>& choices) {
  if (choices.empty()) return {};
  std::string prefix = choices.front();
  for (const std::string& s : choices) {
    std::size_t n = 0;
    while (n < prefix.size() && n < s.size() && prefix[n] == s[n]) ++n;
    prefix.resize(n);
  }
  return prefix;
}

}  // namespace tav
