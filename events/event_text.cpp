// The text forms of an event: the event line of listings and creation, the
// location of stop reports, and the saved form that "input" reads back.
#include <cstdio>

#include "events/event_table.h"
#include "image/debug_tables.h"
#include "support/messages.h"

namespace tav {

namespace {

std::string hex(std::uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%x", static_cast<unsigned>(value));
  return buffer;
}

// Absolute events line their addresses up: the text filled to 9 characters.
std::string padded_hex(std::uint32_t value) {
  std::string text = hex(value);
  if (text.size() < 9) text.append(9 - text.size(), ' ');
  return text;
}

const char* access_word(char kind) {
  switch (kind) {
    case kEventWrite: return " (write) ";
    case kEventRead: return " (read) ";
    default: return " (access) ";
  }
}

std::string lines_text(const Event& e) {
  if (e.first_line == 0) return ":anyline";
  std::string text = ":" + std::to_string(e.first_line);
  if (e.last_line != e.first_line) text += ":" + std::to_string(e.last_line);
  return text;
}

}  // namespace

std::string EventTable::location(const Event& e) const {
  if (e.is_data()) return " " + e.name + access_word(e.kind);
  switch (e.kind) {
    case kEventPosition: {
      std::string text = " ";
      text += e.file ? std::string(e.file->name) : std::string();
      if (e.function) text += " " + std::string(e.function->name) + "()";
      return text + lines_text(e);
    }
    case kEventLabel: return " " + e.name + " (" + hex(e.address) + ")";
    case kEventSymbol: return " at: " + e.name + " (" + hex(e.address) + ")";
    case kEventChange: return e.name + " ";
    default: return " at absolute address: " + padded_hex(e.address);
  }
}

std::string EventTable::stop_location(const Event& e) const {
  if (e.is_data() || e.kind == kEventPosition || e.kind == kEventLabel) return location(e);
  return " at absolute address: " + padded_hex(e.address);
}

std::string EventTable::event_line(const Event& e) const {
  std::string text = location(e);
  text += "  {" + e.commands + "} ";
  text += e.user ? "(user)" : "(internal)";
  text += " (count = " + std::to_string(e.count) + ", left = " + std::to_string(e.left) + ") ";
  text += e.active ? "(on)\n" : "(off)\n";
  return text;
}

std::string EventTable::saved_line(const Event& e) const {
  std::string text = e.is_data() ? "d" : "";
  text += e.watch ? "watch" : "break";
  if (e.count > 1) text += " /C:" + std::to_string(e.count);
  text += " ";
  switch (e.kind) {
    case kEventPosition:
      if (e.function)
        text += std::string(e.function->name) + "()";
      else if (e.file)
        text += e.file->name;
      if (e.first_line == 0) {
        text += ":";
      } else {
        text += ":" + std::to_string(e.first_line);
        if (e.last_line != e.first_line) text += ":" + std::to_string(e.last_line);
      }
      break;
    case kEventAbsolute: text += hex(e.address).insert(0, "@"); break;
    default: text += e.name; break;
  }
  if (!e.commands.empty()) text += " {" + e.commands + "}";
  return text + "\n";
}

std::string EventTable::saveevents() const {
  std::string text;
  for (const auto& e : events_)
    if (e->user) text += saved_line(*e);
  return text;
}

void EventTable::listevents(bool watch) {
  if (events_.empty()) {
    host_.put(msgtext(74) + "\n");
    return;
  }
  for (const auto& e : events_)
    if (e->watch == watch) host_.put("(" + std::to_string(e->number) + ")   " + event_line(*e));
}

}  // namespace tav
