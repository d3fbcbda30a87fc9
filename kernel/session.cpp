#include "kernel/session.h"

#include <cctype>
#include <cstdio>

#include "image/debug_tables.h"
#include "kernel/config.h"
#include "kernel/debugger.h"
#include "kernel/window_layout.h"
#include "support/profile.h"

namespace tav {

namespace {

std::string hex_lower(std::uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%x", static_cast<unsigned>(value));
  return buffer;
}

std::string event_target(const Event& e) {
  switch (e.kind) {
    case kEventAbsolute: return "@0x" + hex_lower(e.address);
    case kEventPosition: {
      std::string text;
      if (e.function)
        text = std::string(e.function->name) + "()";
      else if (e.file)
        text = e.file->name;
      if (e.first_line == 0) return text + ":";
      text += ":" + std::to_string(e.first_line);
      if (e.last_line != e.first_line) text += ":" + std::to_string(e.last_line);
      return text;
    }
    default: return e.name;
  }
}

// A key counted from 1: "1", "2", ... without gaps.
void write_numbered(const std::string& file, const char* section, const std::vector<std::string>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) profile_write(file, section, std::to_string(i + 1), lines[i]);
}

std::vector<std::string> read_numbered(const std::string& file, const char* section) {
  std::vector<std::string> lines;
  for (int key = 1;; ++key) {
    // A value that is present but empty still counts; only a missing key ends the list.
    const std::string value = profile_read(file, section, std::to_string(key), "\x01");
    if (value == "\x01") break;
    lines.push_back(value);
  }
  return lines;
}

std::string quoted_if_blank(const std::string& name) {
  if (name.find_first_of(" \t") == std::string::npos) return name;
  return '"' + name + '"';
}

// Remembers the last file of the kind in the configuration: its name and directory.
void remember_file(const Debugger& d, const std::string& file, bool full) {
  const char* section = full ? "Session" : "Layout";
  const std::size_t cut = file.find_last_of("/\\:");
  const std::string name = cut == std::string::npos ? file : file.substr(cut + 1);
  const std::string dir = cut == std::string::npos ? std::string() : file.substr(0, cut);
  profile_write(d.config_file, section, "File", name);
  profile_write(d.config_file, section, "Directory", dir);
}

}  // namespace

std::string session_event_line(const Debugger&, const Event& e) {
  std::string text = e.watch ? "watch " : "break ";
  if (!e.active) text += "/i ";
  if (e.count > 1) text += "/C:" + std::to_string(e.count);
  text += " " + event_target(e);
  if (!e.commands.empty()) text += " {" + e.commands + "}";
  return text;
}

void savesession(Debugger& d, const std::string& file, bool full) {
  std::remove(file.c_str());
  if (full) {
    if (!d.program.file_name().empty()) profile_write(file, "Load", "File", d.program.file_name());
    if (!d.source_path.empty()) profile_write(file, "Options", "Path", d.source_path);
    const std::string extensions = config_read(d, "Options", "ExtenPath", "");
    if (!extensions.empty()) profile_write(file, "Options", "ExtenPath", extensions);
  }
  const WindowLayout layout = d.host.window_layout();
  profile_write(file, "Options", "Tile", tile_name(layout.tile));
  for (std::size_t i = 0; i < kLayoutWindowKeys.size(); ++i)
    profile_write(file, "Windows", kLayoutWindowKeys[i], window_place_text(layout.windows[i]));
  if (full) {
    write_numbered(file, "Data", layout.memory);
    std::vector<std::string> events;
    for (const auto& e : d.events.events())
      if (!e->is_internal() && !e->is_data()) events.push_back(session_event_line(d, *e));
    write_numbered(file, "Events", events);
    std::vector<std::string> monitors;
    for (const Monitor& m : d.monitor_list.list()) {
      if (m.letter)
        monitors.push_back(std::string("monit /") +
                           static_cast<char>(std::tolower(static_cast<unsigned char>(m.letter))) + " " +
                           m.expression);
      else
        monitors.push_back("monit " + m.expression);
    }
    write_numbered(file, "Monitors", monitors);
  }
  remember_file(d, file, full);
  ExtensionNotices::call(d.notices.session, file.c_str(), 0);
}

void loadsession(Debugger& d, const std::string& file, bool full) {
  const std::string tav = profile_read(file, "Windows", "Tav", "");
  if (tav.empty()) {
    errout(d, {"File: ", file, " Not a Session file"});
    return;
  }
  if (full) {
    d.frames.reset();
    const std::string program = profile_read(file, "Load", "File", "");
    if (!program.empty()) doline(d, ("load " + quoted_if_blank(program)).c_str(), 0);
    const std::string path = profile_read(file, "Options", "Path", "");
    if (!path.empty()) doline(d, ("path \"" + path + "\"").c_str(), 0);
  }
  WindowLayout layout;
  layout.tile = tile_from(profile_read(file, "Options", "Tile", "Cascade"));
  for (std::size_t i = 0; i < kLayoutWindowKeys.size(); ++i)
    layout.windows[i] = window_place_from(profile_read(file, "Windows", kLayoutWindowKeys[i], "NO"));
  if (full) layout.memory = read_numbered(file, "Data");
  d.host.apply_window_layout(layout);
  if (full) {
    for (const std::string& line : read_numbered(file, "Events")) doline(d, line.c_str(), 1);
    for (const std::string& line : read_numbered(file, "Monitors")) doline(d, line.c_str(), 0);
  }
  ExtensionNotices::call(d.notices.session, file.c_str(), 1);
}

}  // namespace tav
