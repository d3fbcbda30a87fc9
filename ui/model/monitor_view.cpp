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

}  // namespace tav
