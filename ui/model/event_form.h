// The fields of the event dialogs as data: a code event's place, a data
// event's variable and access, and what both share (break or watch, count,
// condition, attached commands, on/off). A form is filled from an event of
// the table and turned into the command lines that make the event or change
// the edited one; the dialogs only show the fields and run the lines.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tav {

class DebugTables;
class EventTable;
struct Event;

// Where a code event fires: "f()" lines of a function, "file:line" lines of a
// file, "@0x..." an address, or an expression (a symbol, a label, a variable
// whose change is watched).
enum class EventPlace { Function, Lines, Address, Expression };

struct EventForm {
  bool data = false;
  int number = 0;  // the event edited; 0: a new one

  // Code events.
  EventPlace place = EventPlace::Function;
  std::string where;             // the function, file, address or expression; a data event's variable
  unsigned first = 0, last = 0;  // lines (Function and Lines); 0: none
  bool entry_only = false;       // a function without lines: its entry line only

  // Data events.
  char access = 'A';  // 'A' any access, 'R' read, 'W' write
  unsigned size = 0;  // 1, 2 or 4: that many bytes at the variable's address; 0: the variable itself

  // Both.
  bool watch = false;
  unsigned count = 1;
  std::string condition;  // the commands run only while it holds
  std::string commands;
  bool active = true;

  bool operator==(const EventForm&) const = default;
};

// The form of an event of the table.
EventForm event_form(const Event& e);

// What is wrong with the form, in words for the user; empty when nothing.
std::string form_error(const EventForm& form);

// The command lines of a form, run in order until one fails. An edit that
// changes the place removes the event first and makes it anew with the
// second line; when that line fails, `restore` makes the old event again.
struct EventLines {
  std::vector<std::string> lines;
  std::vector<std::string> restore;
  std::size_t remake = 1;  // the line that makes the changed event anew
};

// A new event (`was` null), or a change of the event `was` was filled from.
// `next_number` is the number the table gives the next event it makes once
// the edited one is gone (a suspended data event is switched off by number).
// `captors` are the events that would take the change instead (see
// capturing_events): they are removed first and made again afterwards.
EventLines event_lines(const EventForm& form, const EventForm* was, int next_number,
                       const std::vector<EventForm>& captors = {});

// Break and watch at a place of lines change the first event of the table
// whose lines hold the place's first line (in the same file and function)
// instead of making a new one. These are the events other than `number`
// that would so take the form's place from the event `was` was filled from
// (null: a new event): those before it in the table, or any when the form
// moves it.
std::vector<EventForm> capturing_events(const EventTable& events, const DebugTables& tables, const EventForm& form,
                                        const EventForm* was);

// The smallest number no event of the table holds, leaving out `freed`.
int next_event_number(const EventTable& events, int freed = 0);

}  // namespace tav
