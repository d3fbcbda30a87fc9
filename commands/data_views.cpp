#include "commands/data_views.h"

#include <algorithm>
#include <cstdio>

#include "expr/putresult.h"
#include "expr/type_names.h"
#include "expr/xexpr.h"
#include "kernel/debugger.h"
#include "support/messages.h"
#include "support/numconv.h"

namespace tav {

namespace {

// Elements an array shows in a variable line before "..." would be needed.
constexpr std::uint32_t kArrayShown = 64;

std::string hex(std::uint32_t value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%0*X", digits, value);
  return buffer;
}

}  // namespace


std::string frame_line(Debugger& d, const Frame& frame, int number, bool current) {
  (void)d;
  std::string line = current ? "> #" : "  #";
  line += std::to_string(number);
  line += "  ";
  line += frame.function ? std::string(frame.function->name) : std::string("?");
  line += "()";
  if (frame.function && frame.function->file) {
    line += "  ";
    line += frame.function->file->name;
    if (frame.line) line += ":" + std::to_string(frame.line);
  }
  line += "  frame " + hex(frame.base, 4);
  if (frame.core == Core::Xgate) line += "  (XGATE)";
  return line;
}

std::vector<std::string> frame_lines(Debugger& d) {
  std::vector<std::string> lines;
  const Frame* current = d.frames.current();
  int number = 0;
  for (Core core : {Core::Cpu12, Core::Xgate})
    for (const Frame* f : d.frames.walk(core)) lines.push_back(frame_line(d, *f, number++, f == current));
  return lines;
}

bool listed_variable(const SymbolEntry& entry) {
  if (entry.name.empty()) return false;
  return entry.storage_class != kClassTypedef && entry.storage_class != kClassEnumMember &&
         entry.storage_class != kClassLabel && entry.storage_class != kClassGlobal;
}

bool needs_frame(const SymbolEntry& entry) {
  const std::uint8_t c = entry.storage_class;
  return !(c == kClassStatic || c == kClassExtern || c == kClassAbsolute || c == kClassEnumMember ||
           c == kClassTypedef);
}

std::string variable_line(Debugger& d, const SymbolEntry& entry, const Frame* frame, bool with_value,
                          bool with_address) {
  std::string line = "    ";
  line += storage_class_word(entry.storage_class);
  line += declaration_text(entry);
  if (!with_value && !with_address) return line;
  if (needs_frame(entry) && !frame) return line + " (no frame)";
  Value v = d.evaluator.variable(entry, needs_frame(entry) ? frame : nullptr, true);
  if (with_address && v.home == Home::Memory) line += " at " + hex(v.address, 6);
  if (!with_value) return line;
  line += " = ";
  if (!v.valid) return line + "?";
  if (is_array(v) && !v.words.empty()) {
    // An array shows its elements, as a display count would.
    const std::uint32_t n = std::min<std::uint32_t>(v.words.front(), kArrayShown);
    Value e = v;
    strip_top(e);
    e.kind = kValueObject;
    e.operand = kValueObject;
    e.home = Home::Memory;
    e.count = n;
    d.evaluator.reload(e);
    if (n == 0) return line + "{}";
    return line + d.formatter.text(e, 0);
  }
  return line + d.formatter.text(v, 0);
}

}  // namespace tav
