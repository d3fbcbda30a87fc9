#include "kernel/options.h"

#include "kernel/debugger.h"

namespace tav {

namespace {
bool ends_group(char c) {
  return c == '\0' || c == ':' || c == ';' || c == 127 || blankchar(c);
}
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The letter of `spec` that `c` stands for, or 0; sets `takes_value`.
char lookup(std::string_view spec, char c, bool& takes_value) {
  for (std::size_t i = 0; i < spec.size(); ++i) {
    char s = spec[i];
    if (s == ':' || s == '!') continue;
    bool exact = false;
    takes_value = false;
    for (std::size_t j = i + 1; j < spec.size() && (spec[j] == ':' || spec[j] == '!'); ++j) {
      if (spec[j] == ':') takes_value = true;
      if (spec[j] == '!') exact = true;
    }
    if (exact ? c == s : lower(c) == lower(s)) return s;
  }
  return 0;
}

// A "/" word holding a second "/" before its end is a path name.
bool looks_like_path(const char* p) {
  for (const char* q = p + 1; *q && *q != ';' && !blankchar(*q); ++q)
    if (*q == '/') return true;
  return false;
}
}  // namespace

std::string_view OptionSet::value(char letter) const {
  for (auto it = values_.rbegin(); it != values_.rend(); ++it)
    if (it->first == letter) return it->second;
  return {};
}

char OptionSet::last_of(std::string_view candidates) const {
  for (auto it = letters_.rbegin(); it != letters_.rend(); ++it)
    if (candidates.find(*it) != std::string_view::npos) return *it;
  return 0;
}

void OptionSet::add(char letter, std::string_view value) {
  letters_ += letter;
  if (value.data()) values_.emplace_back(letter, value);
}

void OptionSet::clear() {
  letters_.clear();
  values_.clear();
}

const char* parse_options(Debugger& d, const char* args, const OptionSpec& spec, OptionSet& out) {
  const char* p = skipblanks(args);
  while (*p == '/') {
    if (spec.path_args && looks_like_path(p)) break;
    ++p;
    while (!ends_group(*p)) {
      bool takes_value = false;
      char letter = lookup(spec.letters, *p, takes_value);
      if (!letter) {
        errout(d, {spec.blank_before_unknown ? " Unknown Option " : "Unknown Option ", p});
        return nullptr;
      }
      if (!takes_value) {
        out.add(letter, {});
        ++p;
        continue;
      }
      if (p[1] != ':') {
        errout(d, {spec.blank_before_wrong ? " Wrong option " : "Wrong option ", p});
        return nullptr;
      }
      const char* v = p + 2;
      const char* e = v;
      while (*e && *e != ';' && !blankchar(*e)) ++e;
      out.add(letter, std::string_view(v, static_cast<std::size_t>(e - v)));
      p = e;
      break;  // a value ends its group
    }
    p = skipblanks(p);
  }
  return p;
}

}  // namespace tav
