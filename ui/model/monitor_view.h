// The monitor view: every monitored expression with its current value in
// its display format, aggregates with their members as text.
#pragma once
#include <string>
#include <vector>

namespace tav {

class Debugger;

struct MonitorRow {
  std::size_t number = 0;  // 1-based, as "del /m" names it
  std::string expression;
  char letter = 0;
  std::string value;  // the formatted value, or the evaluation error
  bool failed = false;
};

// The rows as they read now.
std::vector<MonitorRow> monitor_rows(Debugger& d);
// "  1: a = 5" per monitor under "MONITORS", lines ended by "\n".
std::string monitor_view_text(Debugger& d);
// What "Save" writes: the rows under "\n\t\tMonitors\n\n".
std::string monitor_save_text(Debugger& d);

}  // namespace tav
