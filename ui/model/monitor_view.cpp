#include "ui/model/monitor_view.h"

#include "expr/putresult.h"
#include "expr/xexpr.h"
#include "kernel/debugger.h"

namespace tav {

std::vector<MonitorRow> monitor_rows(Debugger& d) {
  std::vector<MonitorRow> rows;
  std::size_t number = 0;
  for (const Monitor& m : d.monitor_list.list()) {
    MonitorRow row{++number, m.expression, m.letter, {}, false};
    const char* cursor = m.expression.c_str();
    int status = 0;
    // Monitors only look: an assignment in one must not run at every refresh.
    const bool assignments = d.evaluator.assignments();
    d.evaluator.set_assignments(false);
    const Value v = d.evaluator.xexpr(cursor, status, 1);
    d.evaluator.set_assignments(assignments);
    if (status != 0) {
      row.failed = true;
      row.value = expr_error_text(status, d.evaluator.error_detail());
    } else {
      row.value = d.formatter.text(v, m.letter);
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

namespace {
std::string rows_text(Debugger& d) {
  std::string text;
  for (const MonitorRow& r : monitor_rows(d))
    text += "  " + std::to_string(r.number) + ": " + r.expression + (r.failed ? " : " : " = ") + r.value + "\n";
  if (text.empty()) text = "  (no monitors)\n";
  return text;
}
}  // namespace

std::string monitor_view_text(Debugger& d) { return "MONITORS\n" + rows_text(d); }

std::string monitor_save_text(Debugger& d) { return "\n\t\tMonitors\n\n" + rows_text(d); }

bool set_monitor_format(Debugger& d, std::size_t number, char letter) {
  auto& list = d.monitor_list.list();
  if (number < 1 || number > list.size()) return false;
  list[number - 1].letter = letter;
  return true;
}

bool monitor_address_of(Debugger& d, std::size_t number) {
  auto& list = d.monitor_list.list();
  if (number < 1 || number > list.size()) return false;
  list[number - 1].expression = "&" + list[number - 1].expression;
  return true;
}

std::vector<ValueMember> value_members(std::string_view value) {
  std::vector<ValueMember> members;
  if (value.size() < 2 || value.front() != '{' || value.back() != '}') return members;
  const std::string_view inner = value.substr(1, value.size() - 2);
  int depth = 0;
  std::size_t from = 0;
  for (std::size_t i = 0; i <= inner.size(); ++i) {
    const char c = i < inner.size() ? inner[i] : ',';
    if (c == '{') ++depth;
    if (c == '}') --depth;
    if (c != ',' || depth) continue;
    std::string_view part = inner.substr(from, i - from);
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    if (!part.empty()) {
      const std::size_t eq = part.find('=');
      if (eq == std::string_view::npos || part.substr(0, eq).find('{') != std::string_view::npos)
        members.push_back({"", std::string(part)});
      else
        members.push_back({std::string(part.substr(0, eq)), std::string(part.substr(eq + 1))});
    }
    from = i + 1;
  }
  return members;
}

}  // namespace tav
