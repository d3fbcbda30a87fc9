// "breakpoint" events: events that Tav commands made, changed or removed
// (a debug-console "break", "del" or "break /s") reach the client's
// breakpoint list.
#include "dap/handlers/common.h"
#include "kernel/debugger.h"

namespace tav::dap {

namespace {

// What the client's view of an event depends on: its place, count,
// attached commands and state.
std::string event_state(const Debugger& d, const Event& e) {
  return d.events.saved_line(e) + (e.active ? "on" : "off");
}

std::string trimmed(std::string text) {
  const std::size_t first = text.find_first_not_of(" \n");
  const std::size_t last = text.find_last_not_of(" \n");
  return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

BreakpointLink* link_of(Session& s, int event) {
  auto match = [event](std::vector<BreakpointLink>& links) -> BreakpointLink* {
    for (BreakpointLink& l : links)
      if (l.event == event) return &l;
    return nullptr;
  };
  for (auto& [path, links] : s.source_breakpoints)
    if (BreakpointLink* l = match(links)) return l;
  for (auto* links : {&s.function_breakpoints, &s.instruction_breakpoints, &s.data_breakpoints, &s.console_breakpoints})
    if (BreakpointLink* l = match(*links)) return l;
  return nullptr;
}

}  // namespace

void Session::sync_breakpoints(bool announce) {
  std::map<int, std::string> now;
  for (const auto& e : d_.events.events()) {
    if (e->is_internal()) continue;
    const std::string state = event_state(d_, *e);
    now[e->number] = state;
    const auto known = known_events_.find(e->number);
    if (known != known_events_.end() && known->second == state) continue;
    if (!announce) continue;
    BreakpointLink* link = link_of(*this, e->number);
    const bool made_here = !link;
    if (made_here) {
      BreakpointLink made;
      made.id = next_breakpoint_id();
      made.event = e->number;
      made.command = state.substr(0, state.find('\n'));
      console_breakpoints.push_back(made);
      link = &console_breakpoints.back();
    }
    json bp = event_breakpoint(*this, *e, link->id);
    // The event as "break" lists it: its count, commands and state.
    if (!made_here) bp["message"] = trimmed(d_.events.event_line(*e));
    out_.event("breakpoint", {{"reason", made_here ? "new" : "changed"}, {"breakpoint", bp}});
  }
  for (const auto& [number, state] : known_events_) {
    if (now.count(number)) continue;
    BreakpointLink* link = link_of(*this, number);
    if (!link) continue;
    link->event = 0;
    if (announce) out_.event("breakpoint", {{"reason", "removed"}, {"breakpoint", {{"id", link->id}, {"verified", false}}}});
  }
  std::erase_if(console_breakpoints, [](const BreakpointLink& l) { return l.event == 0; });
  known_events_ = std::move(now);
}

}  // namespace tav::dap
