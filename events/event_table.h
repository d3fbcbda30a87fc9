// The event table: every breakpoint and watchpoint in ascending order of
// number, the commands that make, change, list, save and remove them, and the
// checks that execution control and the memory accessors make against them.
#pragma once
#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "events/callback_list.h"
#include "events/event.h"
#include "events/event_host.h"
#include "sim/memory.h"

namespace tav {

class DebugTables;
class ExprEvaluator;
class FrameStacks;
class Registers;
struct DebugRecord;

// Which core's frame an event check is made for; None: no frame at all
// (the instruction-by-instruction check, and CheckEvent).
enum class EventCore { None, Cpu12, Xgate };

// The event that fired: its number and what the run loop needs of it (the
// event itself may be gone: internal events are removed when they fire).
struct EventHit {
  std::uint16_t number = 0;
  bool watch = false;
  bool data = false;
  explicit operator bool() const { return number != 0; }
  bool stops() const { return number != 0 && !watch; }
};

// Options of break and watch.
struct CodeEventOptions {
  bool suspended = false;   // /i: made suspended
  bool entry_only = false;  // /e: a function's entry line only
  bool has_count = false;   // /C:n was given
  std::int32_t count = 1;   // its value (0 counts as 1)
};

// A break, watch or del specification taken apart (the grammar: "@addr",
// "func()", "func():line[:last]", "file:line[:last]", "file:", ":line",
// anything else an expression).
struct EventSpec {
  enum Form { Expression, Absolute, Position } form = Expression;
  const char* start = nullptr;
  const char* end = nullptr;  // an expression's end is known once it is parsed
  std::string file;
  std::string function;       // empty with has_function: the current frame's function
  bool has_file = false;
  bool has_function = false;
  bool has_first = false;
  bool negative = false;  // the line was written with a minus sign
  unsigned first = 0;
  unsigned last = 0;
  std::uint32_t address = 0;
};
EventSpec parse_event_spec(const char* text);

struct Value;

// The value of a function's name (its entry address), not a variable that
// points to one.
bool names_function(const Value& v);

// Functions told of every event that fires, with its number.
using EventFunction = void (*)(std::uint32_t number);

class EventTable : public AccessWatcher {
 public:
  EventTable(EventHost& host, Memory& memory, Registers& registers, const DebugTables& tables, FrameStacks& frames,
             ExprEvaluator& evaluator);
  ~EventTable() override;
  EventTable(const EventTable&) = delete;
  EventTable& operator=(const EventTable&) = delete;

  // ---------------------------------------------------------------- table
  const std::vector<std::unique_ptr<Event>>& events() const { return events_; }
  const Event* find(int number) const;
  bool empty() const { return events_.empty(); }
  std::uint16_t GetLastBkptNum() const { return last_number_; }
  // Every event that fired counts here, with the last one kept: a host tells
  // from them which event ended a run.
  std::uint32_t fired_count() const { return fired_count_; }
  const EventHit& last_fired() const { return last_fired_; }
  // The message number of the last failure to resolve a file, function or line.
  int last_error() const { return last_error_; }
  // Errors reported so far: a caller learns whether its command failed.
  std::uint32_t error_count() const { return errors_; }
  // While set, the interpreter sweeps internal events after each command.
  bool temporary_events() const { return temporary_; }
  void set_temporary_events(bool on) { temporary_ = on; }
  CallbackList<EventFunction>& event_functions() { return functions_; }

  // ---------------------------------------------------------------- commands
  // break/watch with a list of specifications: each creates or changes one
  // event; returns where the list ended. An empty list lists the events.
  const char* code_events(const char* args, const CodeEventOptions& options, bool watch, int mode);
  // dbreak/dwatch: `kind` is kEventAccess, kEventRead or kEventWrite.
  const char* data_events(const char* args, char kind, std::int32_t count, bool watch);
  // /a (on) and /s: "*" (every user event) or numbers separated by ",".
  const char* activate(const char* args, bool on);
  // del: "*" or numbers and specifications separated by ",".
  const char* del(const char* args);

  void listevents(bool watch);
  // Removes one event, or all of them for -1.
  void rmevent(int number, bool report);
  // Removes every internal event (after each command while temporary events are on).
  void sweep();
  // The saved form of every user event, one command line each.
  std::string saveevents() const;

  // ---------------------------------------------------------------- texts
  std::string event_line(const Event& e) const;
  std::string saved_line(const Event& e) const;
  std::string location(const Event& e) const;       // the event line's location form
  std::string stop_location(const Event& e) const;  // the stop report's: absolute form for addresses

  // ---------------------------------------------------------------- checks
  // A CPU data access (1 read, 2 write): the first active data event whose
  // variable covers the address becomes pending.
  void chkaccess(std::uint32_t address, int access) override;
  // Execution control forgets the pending data event before each instruction.
  void clear_pending() { pending_ = nullptr; }
  bool pending() const { return pending_ != nullptr; }
  // The event due now, for a core's frame and its current line record (either may be none).
  EventHit chkevent(EventCore core, const DebugRecord* line);
  // Cheap test made after every instruction: could chkevent without a frame
  // find anything at this program counter?
  bool quick_due(std::uint32_t pc) const { return pending_ != nullptr || filter_hit(pc); }
  // The part of quick_due that depends on the address alone.
  bool may_be_due_at(std::uint32_t pc) const { return filter_hit(pc); }
  // Changes whenever the set of active events does: what may_be_due_at said may no longer hold.
  std::uint32_t generation() const { return generation_; }

 private:
  Event* find_mut(int number);
  Event& insert(std::unique_ptr<Event> e);
  void changed();  // rebuilds the fast-path indexes after any change
  static std::uint32_t filter_slot(std::uint32_t pc) { return (pc ^ (pc >> 16)) & 0xFFFFu; }
  // An active address, symbol or label event may sit at this address.
  bool filter_hit(std::uint32_t pc) const {
    return address_events_ && (filter_[filter_slot(pc) >> 6] >> (filter_slot(pc) & 63) & 1);
  }

  void announce(const Event& e, int mode, bool created);
  void change_existing(Event& e, const CodeEventOptions& options, const std::string* commands, int mode);
  const char* one_code_event(const char* p, const CodeEventOptions& options, bool watch, int mode);
  bool resolve_position(const EventSpec& spec, const CodeEventOptions& options, bool for_del, bool watch,
                        Event& out);
  bool has_code_in(const FileEntry* file, unsigned first, unsigned last) const;
  const char* delete_one(const char* p);
  bool label_excluded(std::uint32_t pc) const;
  bool due(Event& e, EventCore core, std::uint32_t pc_cpu, std::uint32_t pc_xgate, bool have_xgate,
           const DebugRecord* line);
  EventHit fire(Event& e, const DebugRecord* line);
  void error(std::initializer_list<std::string_view> texts);

  EventHost& host_;
  Memory& memory_;
  Registers& registers_;
  const DebugTables& tables_;
  FrameStacks& frames_;
  ExprEvaluator& evaluator_;

  std::vector<std::unique_ptr<Event>> events_;  // ascending number
  std::uint16_t last_number_ = 0;
  std::uint32_t fired_count_ = 0;
  EventHit last_fired_;
  Event* pending_ = nullptr;
  bool temporary_ = true;
  int last_error_ = 0;
  std::uint32_t errors_ = 0;
  CallbackList<EventFunction> functions_;

  // Fast paths: a bit per hashed address of the active address events, the
  // active data events for chkaccess, and whether frame-only kinds exist.
  std::array<std::uint64_t, 1024> filter_{};
  bool address_events_ = false;
  bool frame_events_ = false;
  std::vector<Event*> data_;
  std::uint32_t generation_ = 0;
};

}  // namespace tav
