// The event table proper: numbering and insertion, removal and the sweep of
// internal events, and the checks made while the target runs.
#include "events/event_table.h"

#include <algorithm>

#include "expr/frames.h"
#include "image/debug_tables.h"
#include "sim/registers.h"
#include "support/messages.h"

namespace tav {

EventTable::EventTable(EventHost& host, Memory& memory, Registers& registers, const DebugTables& tables,
                       FrameStacks& frames, ExprEvaluator& evaluator)
    : host_(host), memory_(memory), registers_(registers), tables_(tables), frames_(frames), evaluator_(evaluator) {}

EventTable::~EventTable() { memory_.set_access_watcher(nullptr); }

void EventTable::error(std::initializer_list<std::string_view> texts) {
  std::string joined;
  for (std::string_view t : texts) joined += t;
  ++errors_;
  host_.error(joined);
}

const Event* EventTable::find(int number) const {
  for (const auto& e : events_)
    if (e->number == number) return e.get();
  return nullptr;
}

Event* EventTable::find_mut(int number) { return const_cast<Event*>(find(number)); }

Event& EventTable::insert(std::unique_ptr<Event> e) {
  // The smallest free number: walk up from 1 while the numbers run on.
  std::uint16_t number = 1;
  auto at = events_.begin();
  while (at != events_.end() && (*at)->number == number) {
    ++at;
    ++number;
  }
  e->number = number;
  last_number_ = number;
  Event& placed = **events_.insert(at, std::move(e));
  changed();
  return placed;
}

void EventTable::changed() {
  ++generation_;
  filter_.fill(0);
  address_events_ = false;
  frame_events_ = false;
  data_.clear();
  for (const auto& e : events_) {
    if (!e->active) continue;
    if (e->is_data()) {
      data_.push_back(e.get());
    } else if (e->kind == kEventAbsolute || e->kind == kEventSymbol || e->kind == kEventLabel) {
      const std::uint32_t slot = filter_slot(e->address);
      filter_[slot >> 6] |= std::uint64_t{1} << (slot & 63);
      address_events_ = true;
    } else {
      frame_events_ = true;
    }
  }
  // The memory accessors stay on their fast path while no data event exists.
  memory_.set_access_watcher(data_.empty() ? nullptr : this);
  // chkaccess is asked only about the blocks the data events cover.
  memory_.clear_watched();
  for (const Event* e : data_) memory_.watch(e->address, e->size);
}

void EventTable::rmevent(int number, bool report) {
  pending_ = nullptr;
  if (number != -1) {
    auto it = std::find_if(events_.begin(), events_.end(), [&](const auto& e) { return e->number == number; });
    if (it == events_.end()) {
      error({msgtext(msg::breakpoint_not_found), "\n"});
      return;
    }
    events_.erase(it);
  } else {
    if (events_.empty()) {
      if (report) host_.put(msgtext(msg::no_breakpoint) + "\n");
      return;
    }
    events_.clear();
  }
  changed();
  host_.events_changed();
}

void EventTable::sweep() {
  if (!temporary_) return;
  std::vector<int> internal;
  for (const auto& e : events_)
    if (e->is_internal()) internal.push_back(e->number);
  for (int number : internal) rmevent(number, true);
}

void EventTable::chkaccess(std::uint32_t address, int access) {
  // The first match of an instruction stays pending until the run loop has
  // looked at it, even when the instruction goes on to touch other memory.
  if (pending_) return;
  for (Event* e : data_) {
    if (!e->covers(address)) continue;
    if (e->kind == kEventAccess || (e->kind == kEventWrite && access == Memory::kAccessWrite) ||
        (e->kind == kEventRead && access == Memory::kAccessRead)) {
      pending_ = e;
      memory_.notice();  // the run loop looks at it after this instruction
      return;
    }
  }
}

bool EventTable::label_excluded(std::uint32_t pc) const {
  // A label that shares its address with a function's start and first line
  // is reported as that source position, not as the label.
  const DebugRecord* r = tables_.record_at(pc);
  if (!r || !r->is_start()) return false;
  for (const DebugRecord* n = tables_.next(r); n && n->value == pc; n = tables_.next(n))
    if (n->is_line()) return true;
  return false;
}

bool EventTable::due(Event& e, EventCore core, std::uint32_t pc_cpu, std::uint32_t pc_xgate, bool have_xgate,
                     const DebugRecord* line) {
  auto at_pc = [&](std::uint32_t address, std::uint32_t* which) {
    if (core != EventCore::Xgate && pc_cpu == address) {
      *which = pc_cpu;
      return true;
    }
    if (core != EventCore::Cpu12 && have_xgate && pc_xgate == address) {
      *which = pc_xgate;
      return true;
    }
    return false;
  };
  std::uint32_t pc = 0;
  switch (e.kind) {
    case kEventLabel: return at_pc(e.address, &pc) && !label_excluded(pc);
    case kEventChange: {
      if (core == EventCore::None) return false;
      bool differs = false;
      for (std::uint32_t i = 0; i < e.saved.size(); ++i) {
        const std::uint8_t now = memory_.peek(e.address + i);
        if (now != e.saved[i]) {
          e.saved[i] = now;
          differs = true;
        }
      }
      return differs;
    }
    case kEventPosition: {
      if (core == EventCore::None || !line) return false;
      unsigned current = line->line;
      if (line->kind == kRecFileInfo) {
        const Frame* f = frames_.innermost(core == EventCore::Xgate ? Core::Xgate : Core::Cpu12);
        current = f ? f->line : 0;
      }
      if (e.first_line && (current < e.first_line || current > e.last_line)) return false;
      if (e.file) {
        const FileEntry* file = line->function ? line->function->file : nullptr;
        if (file ? file != e.file : line->name != e.file->name) return false;
      }
      if (e.function && line->function && e.function != line->function) return false;
      return true;
    }
    default: return at_pc(e.address, &pc);
  }
}

EventHit EventTable::chkevent(EventCore core, const DebugRecord* line) {
  const bool located = core != EventCore::None || line != nullptr;
  if (pending_) {
    Event& e = *pending_;
    if (!located) return EventHit{e.number, e.watch, true};
    pending_ = nullptr;  // looked at now; a second core's check must not see it again
    if (e.left != 0) --e.left;
    if (e.left <= 0) return fire(e, line);
  }
  if (events_.empty()) return {};
  const std::uint32_t pc_cpu = registers_.ReadPC();
  std::uint32_t pc_xgate = 0;
  const bool have_xgate = host_.xgate_pc(pc_xgate);
  // Only position and change events need the walk at any program counter.
  if (!frame_events_ && !filter_hit(pc_cpu) && !(have_xgate && filter_hit(pc_xgate))) return {};
  for (const auto& owned : events_) {
    Event& e = *owned;
    if (!e.active || e.is_data()) continue;
    if (!due(e, core, pc_cpu, pc_xgate, have_xgate, line)) continue;
    if (e.left != 0) --e.left;
    if (e.left > 0) continue;
    if (!located && (e.kind == kEventAbsolute || e.kind == kEventLabel || e.kind == kEventSymbol))
      return EventHit{e.number, e.watch, false};
    return fire(e, line);
  }
  return {};
}

EventHit EventTable::fire(Event& e, const DebugRecord* line) {
  const EventHit hit{e.number, e.watch, e.is_data()};
  const int mode = e.user;
  if (e.is_data()) {
    host_.put(std::string(e.watch ? "***** watchpoint:" : "***** breakpoint:") + location(e) + "\n");
  } else if (host_.reporting()) {
    if (e.kind == kEventChange) {
      std::string text = e.name + msgtext(msg::modified) + " ";
      if (line && line->function)
        text += std::string(line->function->name) + "():" + std::to_string(line->line);
      else
        text += "????";
      host_.put(text + "\n");
    } else if (e.user && !e.watch) {
      host_.put("***** breakpoint" + stop_location(e) + "\n");
    }
  }
  if (!e.commands.empty()) {
    // The commands may change the table, this event included: work on a copy
    // and look the event up again afterwards.
    const std::string commands = e.commands;
    if (e.watch) temporary_ = false;  // a watch goes on running: keep its run's internal events
    host_.run_attached(commands, mode);
    temporary_ = true;
  }
  Event* again = find_mut(hit.number);
  if (again) {
    if (again->watch) ++again->hits;
    again->left = again->count;
  }
  ++fired_count_;
  last_fired_ = hit;
  functions_.dispatch([&](auto& entry) { entry.fn(hit.number); });
  if (again && again->is_internal()) rmevent(hit.number, true);
  return hit;
}

}  // namespace tav
