// The monitor view: every monitored expression with its current value in
// its display format, aggregates with their members as text.
#pragma once
#include <string>
#include <string_view>
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

// Gives monitor `number` (1-based) a format letter; its members follow it,
// as they are formatted with their aggregate. False: no such monitor.
bool set_monitor_format(Debugger& d, std::size_t number, char letter);
// Turns monitor `number` into the address of its expression.
bool monitor_address_of(Debugger& d, std::size_t number);

// An aggregate's formatted value ("{a=1, b={x=2}}") taken apart into its
// members, each with its own value text; empty for a scalar.
struct ValueMember {
  std::string name;
  std::string value;
};
std::vector<ValueMember> value_members(std::string_view value);

}  // namespace tav
