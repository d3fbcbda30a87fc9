// Profile files are small, so every call reads the whole file and a write
// rewrites it: simple, and nothing else in the file can be lost or reordered.
#include "support/profile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tav {
namespace {

constexpr std::size_t npos = static_cast<std::size_t>(-1);

using Lines = std::vector<std::string>;

// A missing file reads as empty; false when the file exists but cannot be
// read, so that a write does not replace content it never saw.
bool read_lines(const std::string& file, Lines* lines) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::error_code ec;
    return !std::filesystem::exists(file, ec) && !ec;
  }
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines->push_back(std::move(line));
  }
  return !in.bad();
}

bool write_all(const std::string& path, const Lines& lines) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) out << line << '\n';
  out.flush();
  return static_cast<bool>(out);
}

// Writes beside the file and renames, so that a failed write leaves the old
// content whole; falls back to writing in place where no beside file can be made.
bool write_lines(const std::string& file, const Lines& lines) {
  const std::string temp = file + ".tmp~";
  if (write_all(temp, lines)) {
    if (std::rename(temp.c_str(), file.c_str()) == 0) return true;
    std::remove(temp.c_str());
  }
  return write_all(file, lines);
}

std::string_view trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The name of a "[name]" line.
bool section_header(std::string_view line, std::string_view* name) {
  line = trim(line);
  if (line.empty() || line.front() != '[') return false;
  const std::size_t close = line.find(']');
  *name = trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
  return true;
}

// The key and value of a "key=value" line; comment lines have none.
bool key_line(std::string_view line, std::string_view* key, std::string_view* value) {
  const std::string_view t = trim(line);
  if (t.empty() || t.front() == ';') return false;
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  *key = trim(line.substr(0, eq));
  *value = trim(line.substr(eq + 1));
  return true;
}

struct Place {
  std::size_t header = npos;  // line of "[section]"
  std::size_t end = 0;        // first line after the section
  std::size_t key = npos;     // line of the key
  std::size_t append = 0;     // where a new key of the section goes
};

Place locate(const Lines& lines, std::string_view section, std::string_view key) {
  Place p;
  std::string_view name;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (section_header(lines[i], &name) && same_name(name, section)) {
      p.header = i;
      break;
    }
  }
  if (p.header == npos) return p;
  p.append = p.header + 1;
  std::size_t i = p.header + 1;
  for (; i < lines.size(); ++i) {
    if (section_header(lines[i], &name)) break;
    if (!trim(lines[i]).empty()) p.append = i + 1;
    std::string_view k, v;
    if (p.key == npos && !key.empty() && key_line(lines[i], &k, &v) && same_name(k, key)) p.key = i;
  }
  p.end = i;
  return p;
}

std::string one_line(std::string_view value) {
  std::string s(value);
  for (char& c : s)
    if (c == '\n' || c == '\r') c = ' ';
  return s;
}

}  // namespace

std::string profile_read(const std::string& file, std::string_view section, std::string_view key,
                         std::string_view fallback) {
  Lines lines;
  read_lines(file, &lines);
  const Place p = locate(lines, section, key);
  if (p.key == npos) return std::string(fallback);
  std::string_view k, v;
  key_line(lines[p.key], &k, &v);
  return std::string(v);
}

bool profile_write(const std::string& file, std::string_view section, std::string_view key,
                   std::string_view value) {
  Lines lines;
  if (!read_lines(file, &lines)) return false;
  const Place p = locate(lines, section, key);
  std::string entry = one_line(key) + "=" + one_line(value);
  if (p.key != npos) {
    lines[p.key] = std::move(entry);
  } else if (p.header != npos) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(p.append), std::move(entry));
  } else {
    if (!lines.empty() && !trim(lines.back()).empty()) lines.emplace_back();
    lines.push_back("[" + one_line(section) + "]");
    lines.push_back(std::move(entry));
  }
  return write_lines(file, lines);
}

bool profile_delete(const std::string& file, std::string_view section, std::string_view key) {
  Lines lines;
  if (!read_lines(file, &lines)) return false;
  const Place p = locate(lines, section, key);
  if (key.empty()) {
    if (p.header == npos) return true;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(p.header),
                lines.begin() + static_cast<std::ptrdiff_t>(p.end));
  } else {
    if (p.key == npos) return true;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(p.key));
  }
  return write_lines(file, lines);
}

}  // namespace tav
