// Reading the kernel console's command text: blanks, names, separators,
// quoted texts and brace groups. A command ends at ";", at a line end (macro
// bodies and continued lines hold several lines), at an unmatched "}" or at
// the end of the text.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tav::kelm_text {

inline bool blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
inline bool digit(char c) { return c >= '0' && c <= '9'; }
inline bool letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool name_start(char c) { return letter(c) || c == '_' || c == '.'; }
inline bool name_char(char c) { return name_start(c) || digit(c) || c == '$' || c == '~'; }

inline const char* skip_blanks(const char* p) {
  while (blank(*p)) ++p;
  return p;
}

// Blanks, ";" and line ends between commands.
inline const char* skip_separators(const char* p) {
  while (blank(*p) || *p == ';' || *p == '\n') ++p;
  return p;
}

// Nothing but blanks before the end of the command.
inline bool at_end(const char* p) {
  p = skip_blanks(p);
  return *p == '\0' || *p == ';' || *p == '}' || *p == '\n';
}

inline const char* name_end(const char* p) {
  if (!name_start(*p)) return p;
  while (name_char(*p)) ++p;
  return p;
}

// `word` stands at `p` as a whole word.
inline bool keyword(const char* p, std::string_view word) {
  return std::strncmp(p, word.data(), word.size()) == 0 && !name_char(p[word.size()]);
}

// Past a double-quoted text (backslash escapes) or a character constant (none).
inline const char* skip_quoted(const char* p) {
  const char quote = *p++;
  while (*p && *p != quote) {
    if (quote == '"' && *p == '\\' && p[1]) ++p;
    ++p;
  }
  return *p ? p + 1 : p;
}

// The "}" that closes the "{" at `p`, or null when the text ends first.
inline const char* matching_brace(const char* p) {
  int depth = 0;
  while (*p) {
    if (*p == '"' || *p == '\'') {
      p = skip_quoted(p);
      continue;
    }
    if (*p == '{') ++depth;
    if (*p == '}' && --depth == 0) return p;
    ++p;
  }
  return nullptr;
}

// Open braces left at the end of a line: the console reads more lines until
// a group typed over several lines is complete.
inline int open_braces(std::string_view text) {
  int depth = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"' || c == '\'') {
      const char* end = skip_quoted(text.data() + i);
      i = static_cast<std::size_t>(end - text.data()) - 1;
      continue;
    }
    if (c == '{') ++depth;
    if (c == '}' && depth > 0) --depth;
  }
  return depth;
}

// The end of one plain command without running it: up to a separator or an
// unmatched "}", over quoted texts and whole groups; a word "else" after a
// blank ends it too, so that the branches of an "if" can be told apart.
inline const char* skip_command(const char* p) {
  p = skip_blanks(p);
  if (*p == '*') {
    while (*p && *p != '\n') ++p;
    return p;
  }
  const char* start = p;
  int depth = 0;
  while (*p) {
    const char c = *p;
    if (c == '"' || c == '\'') {
      p = skip_quoted(p);
      continue;
    }
    if (c == '{') {
      ++depth;
    } else if (c == '}') {
      if (depth == 0) return p;
      --depth;
    } else if (depth == 0 && (c == ';' || c == '\n')) {
      return p;
    } else if (depth == 0 && p > start && blank(p[-1]) && keyword(p, "else")) {
      return p;
    }
    ++p;
  }
  return p;
}

// A file name: in double quotes, or up to a blank, ",", ";", "}" or a line end.
inline const char* file_name(const char* p, std::string& name) {
  p = skip_blanks(p);
  name.clear();
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') name += *p++;
    return *p ? p + 1 : p;
  }
  while (*p && !blank(*p) && *p != ',' && *p != ';' && *p != '}' && *p != '\n') name += *p++;
  return p;
}

// Option letters right after a command letter, among `allowed`. Null when a
// letter follows that is not allowed: the word is no command then.
inline const char* option_letters(const char* p, std::string_view allowed, std::string& out) {
  out.clear();
  while (letter(*p) && allowed.find(*p) != std::string_view::npos) out += *p++;
  if (letter(*p)) return nullptr;
  return p;
}

}  // namespace tav::kelm_text
