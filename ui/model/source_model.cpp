#include "ui/model/source_model.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "image/type_word.h"
#include "kernel/debugger.h"
#include "kernel/files.h"
#include "ui/model/source_words.h"

namespace tav {

namespace {

bool word_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

bool ends_with(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

bool readable(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return in.good();
}

std::string fold(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::uint8_t token_colour(TokenClass c) {
  switch (c) {
    case TokenClass::Keyword: return 5;
    case TokenClass::Library: return 6;
    case TokenClass::Comment: return 7;
    case TokenClass::Mnemonic: return 11;
    case TokenClass::Preprocessor:
    case TokenClass::Directive: return 14;
    case TokenClass::Define: return 16;
    case TokenClass::Typedef: return 17;
    case TokenClass::Text: break;
  }
  return 0;
}

std::vector<Token> c_tokens(std::string_view line, bool& in_comment, const std::set<std::string, std::less<>>* defines,
                            const std::set<std::string, std::less<>>* typedefs) {
  std::vector<Token> out;
  std::size_t i = 0;
  const std::size_t n = line.size();
  auto comment_to_close = [&](std::size_t from) {
    const std::size_t close = line.find("*/", from);
    const std::size_t end = close == std::string_view::npos ? n : close + 2;
    in_comment = close == std::string_view::npos;
    out.push_back({from, end - from, TokenClass::Comment});
    return end;
  };
  if (in_comment) i = comment_to_close(0);
  // A directive is the first word of its line, blanks allowed after the "#".
  bool line_start = true;
  while (i < n) {
    const char c = line[i];
    if (c == '/' && i + 1 < n && line[i + 1] == '*') {
      i = comment_to_close(i);
      continue;
    }
    if (c == '/' && i + 1 < n && line[i + 1] == '/') {
      out.push_back({i, n - i, TokenClass::Comment});
      break;
    }
    if (c == '"' || c == '\'') {  // literals are text, whatever words they hold
      std::size_t j = i + 1;
      while (j < n && line[j] != c) j += line[j] == '\\' ? 2 : 1;
      i = std::min(n, j + 1);
      line_start = false;
      continue;
    }
    if (c == '#' && line_start) {
      std::size_t j = i + 1;
      while (j < n && (line[j] == ' ' || line[j] == '\t')) ++j;
      std::size_t k = j;
      while (k < n && word_char(line[k])) ++k;
      if (is_preprocessor_directive("#" + std::string(line.substr(j, k - j)))) out.push_back({i, k - i, TokenClass::Preprocessor});
      i = k;
      line_start = false;
      continue;
    }
    if (word_char(c)) {
      std::size_t j = i;
      while (j < n && word_char(line[j])) ++j;
      const std::string_view w = line.substr(i, j - i);
      if (!std::isdigit(static_cast<unsigned char>(c))) {
        TokenClass cls = TokenClass::Text;
        if (is_c_keyword(w)) cls = TokenClass::Keyword;
        else if (is_c_library_function(w)) cls = TokenClass::Library;
        else if (defines && defines->count(w)) cls = TokenClass::Define;
        else if (typedefs && typedefs->count(w)) cls = TokenClass::Typedef;
        if (cls != TokenClass::Text) out.push_back({i, j - i, cls});
      }
      i = j;
      line_start = false;
      continue;
    }
    if (c != ' ' && c != '\t') line_start = false;
    ++i;
  }
  return out;
}

std::vector<Token> assembler_tokens(std::string_view line) {
  std::vector<Token> out;
  std::size_t i = 0;
  const std::size_t n = line.size();
  if (n && (line[0] == '*' || line[0] == ';')) return {{0, n, TokenClass::Comment}};
  // Label column, then the operation word; what follows is operands.
  bool label = n && line[0] != ' ' && line[0] != '\t';
  bool operation_seen = false;
  while (i < n) {
    const char c = line[i];
    if (c == ';') {
      out.push_back({i, n - i, TokenClass::Comment});
      break;
    }
    if (c == '"' || c == '\'') {
      std::size_t j = line.find(c, i + 1);
      i = j == std::string_view::npos ? n : j + 1;
      continue;
    }
    if (c == ' ' || c == '\t' || c == ',') {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < n && (word_char(line[j]) || line[j] == '.' || line[j] == '$' || line[j] == ':')) ++j;
    if (j == i) {
      ++i;
      continue;
    }
    std::string_view w = line.substr(i, j - i);
    if (label) {
      label = false;
    } else if (!operation_seen) {
      operation_seen = true;
      if (is_instruction_mnemonic(w)) out.push_back({i, j - i, TokenClass::Mnemonic});
      else if (is_assembler_directive(w) || (w.size() > 1 && w[0] == '.' && is_assembler_directive(w.substr(1))))
        out.push_back({i, j - i, TokenClass::Directive});
    }
    i = j;
  }
  return out;
}

std::string find_source_file(std::string_view path, std::string_view name) {
  const std::string file = host_path(name);
  while (!path.empty()) {
    const std::size_t bar = path.find('|');
    std::string dir = host_path(path.substr(0, bar));
    path = bar == std::string_view::npos ? std::string_view() : path.substr(bar + 1);
    if (dir.empty()) continue;
    if (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    if (readable(dir + "/" + file)) return dir + "/" + file;
  }
  const bool absolute = (!name.empty() && (name[0] == '\\' || name[0] == '/')) || (name.size() > 1 && name[1] == ':');
  const std::string last = absolute ? file : "./" + file;
  return readable(last) ? last : std::string();
}

SourceKind source_kind(const DebugTables& tables, std::string_view name) {
  if (const FileEntry* f = tables.find_file(name)) {
    for (const FunctionBlock* fn : f->functions)
      if (!fn->name.empty() && fn->name[0] != '.') return SourceKind::C;
    return SourceKind::Assembler;
  }
  if (name.size() < 3) return SourceKind::Text;
  for (std::string_view e : {".asm", ".ASM", ".S", ".s"})
    if (ends_with(name, e)) return SourceKind::Assembler;
  for (std::string_view e : {".C", ".c", ".H", ".h"})
    if (ends_with(name, e)) return SourceKind::C;
  return SourceKind::Text;
}

std::string missing_file_question(std::string_view name) {
  return "Can't Open " + std::string(name) + "\n Would you like to change the PATH ??";
}

std::string expand_tabs(std::string_view line, unsigned width) {
  std::string out;
  out.reserve(line.size());
  for (char c : line) {
    if (c == '\t' && width) out.append(width - out.size() % width, ' ');
    else if (c != '\r') out += c;
  }
  return out;
}

SourceModel::State SourceModel::open(const Debugger& d, std::string_view name) {
  name_ = std::string(name);
  lines_.clear();
  comment_at_start_.clear();
  found_ = find_source_file(d.source_path, name);
  if (found_.empty()) {
    question_ = missing_file_question(name);
    return state_ = State::NotFound;
  }
  std::ifstream in(found_, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  kind_ = source_kind(d.program.tables(), name);
  take_names(d.program.tables());
  split(text.str());
  question_.clear();
  return state_ = State::Open;
}

void SourceModel::set_text(std::string_view name, std::string_view text, SourceKind kind) {
  name_ = std::string(name);
  kind_ = kind;
  split(text);
  state_ = State::Open;
}

void SourceModel::split(std::string_view text) {
  lines_.clear();
  comment_at_start_.clear();
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t nl = text.find('\n', at);
    if (nl == std::string_view::npos) nl = text.size();
    lines_.push_back(expand_tabs(text.substr(at, nl - at)));
    at = nl + 1;
  }
  // Where block comments stand at each line's start, worked out once.
  bool in_comment = false;
  for (const std::string& l : lines_) {
    comment_at_start_.push_back(in_comment);
    if (kind_ == SourceKind::C) c_tokens(l, in_comment);
  }
}

const std::string& SourceModel::line(unsigned n) const {
  static const std::string kNone;
  return n >= 1 && n <= lines_.size() ? lines_[n - 1] : kNone;
}

void SourceModel::take_names(const DebugTables& tables) {
  defines_.clear();
  typedefs_.clear();
  for (const FileEntry* f : tables.files()) {
    for (const DefineEntry& e : f->defines) defines_.emplace(e.name);
    if (const FunctionBlock* top = f->file_block())
      for (const SymbolEntry& s : top->locals)
        if (s.storage_class == kClassTypedef) typedefs_.emplace(s.name);
  }
}

std::vector<Token> SourceModel::tokens(unsigned n) const {
  if (n < 1 || n > lines_.size()) return {};
  switch (kind_) {
    case SourceKind::C: {
      bool in_comment = comment_at_start_[n - 1];
      return c_tokens(lines_[n - 1], in_comment, &defines_, &typedefs_);
    }
    case SourceKind::Assembler: return assembler_tokens(lines_[n - 1]);
    case SourceKind::Text: break;
  }
  return {};
}

LineMargin SourceModel::margin(const Debugger& d, unsigned n) const {
  LineMargin m;
  const DebugTables& tables = d.program.tables();
  const FileEntry* file = tables.find_file(name_);
  const DebugRecord* r = tables.line_address(file, n);
  if (!r) return m;
  m.code = true;
  m.address = r->value;
  m.hits = r->hits;
  m.cycles = r->cycles;
  m.executed = r->hits || r->cycles;
  // Line breakpoints name their file and lines rather than an address. Of
  // events whose lines overlap, the line shows the narrowest: the one set
  // on it rather than one on its whole function or file.
  unsigned narrowest = ~0u;
  const auto mark = [&](const Event& e, unsigned span) {
    if (span >= narrowest) return;
    narrowest = span;
    m.event = e.active ? EventMark::On : EventMark::Off;
    m.event_number = e.number;
  };
  for (const auto& e : d.events.events()) {
    if (e->is_data() || e->is_internal()) continue;
    if (e->kind != kEventPosition) {
      if (e->kind != kEventChange && e->address == r->value) mark(*e, 0);
      continue;
    }
    if (e->file != file) continue;
    if (e->first_line) {
      const unsigned last = e->last_line ? e->last_line : e->first_line;
      if (n >= e->first_line && n <= last) mark(*e, last - e->first_line);
      continue;
    }
    if (!e->function) continue;  // a whole file is no one line's mark
    if (n >= e->function->first_line && n <= e->function->last_line)
      mark(*e, static_cast<unsigned>(e->function->last_line - e->function->first_line));
  }
  return m;
}

std::string SourceModel::count_text(const LineMargin& m, CoverageMode mode, unsigned width) {
  if (mode != CoverageMode::Executions && mode != CoverageMode::Timing) return {};
  if (!m.code) return std::string(width + 1, ' ');
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*x ", static_cast<int>(width), mode == CoverageMode::Timing ? m.cycles : m.hits);
  return buf;
}

std::string SourceModel::address_text(const LineMargin& m) {
  if (!m.code) return std::string(7, ' ');
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06x ", m.address & 0xFFFFFF);
  return buf;
}

unsigned SourceModel::current_line(const Debugger& d) const {
  if (d.run.running || state_ != State::Open) return 0;
  const DebugTables& tables = d.program.tables();
  const DebugRecord* r = tables.record_covering(d.registers.ReadPC());
  if (!r || !r->line) return 0;
  const FileEntry* mine = tables.find_file(name_);
  const FunctionBlock* f = tables.function_at(d.registers.ReadPC());
  if (!mine || !f || f->file != mine) return 0;
  return r->line;
}

std::optional<SourceMatch> SourceModel::find(std::string_view text, unsigned line, std::size_t column, bool backward,
                                             bool match_case) const {
  if (text.empty() || lines_.empty()) return std::nullopt;
  const std::string needle = match_case ? std::string(text) : fold(text);
  const unsigned count = line_count();
  line = std::clamp(line, 1u, count);
  // Each line once, the starting line twice (its part after and before the column).
  for (unsigned step = 0; step <= count; ++step) {
    const unsigned at = backward ? (line - 1 + count - step % count) % count + 1 : (line - 1 + step) % count + 1;
    const std::string hay = match_case ? lines_[at - 1] : fold(lines_[at - 1]);
    std::size_t pos;
    if (!backward) {
      const std::size_t from = step == 0 ? column : 0;
      pos = from > hay.size() ? std::string::npos : hay.find(needle, from);
      if (step == count && pos != std::string::npos && pos >= column) pos = std::string::npos;
    } else {
      if (step == 0) pos = column == 0 ? std::string::npos : hay.rfind(needle, column - 1);
      else pos = hay.rfind(needle);
      if (step == count && pos != std::string::npos && pos < column) pos = std::string::npos;
    }
    if (pos != std::string::npos) return SourceMatch{at, pos, text.size()};
  }
  return std::nullopt;
}

}  // namespace tav
