#include "ui/model/stack_view.h"

#include "commands/data_views.h"
#include "kernel/debugger.h"

namespace tav {

namespace {
std::string frames_text(Debugger& d) {
  std::string text;
  for (const std::string& line : frame_lines(d)) text += line + "\n";
  if (text.empty()) text = "  (no frames)\n";
  return text;
}
}  // namespace

std::string stack_view_text(Debugger& d) { return "STACK LAYOUT\n" + frames_text(d); }

std::string stack_save_text(Debugger& d) { return "\n\t\tStack Layout\n\n" + frames_text(d); }

}  // namespace tav
