// The text list views: the program's source files, its functions by file,
// the event table, its symbols by address or by name and its application
// map. Each line knows what it stands for, so that a host can open the file,
// function, code or data under the mouse or act on the event.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ui/model/program_map.h"

namespace tav {

class Debugger;

enum class ListKind { Files, Functions, Events, SymbolsByAddress, SymbolsByName, Map };

struct ListLine {
  std::string text;
  std::string file;    // the source file the line stands for, empty when none
  unsigned line = 0;   // a line in it to show (0: the top)
  int event = 0;       // the event number, 0 when none
  bool active = false; // the event's state
  MapTarget target = MapTarget::None;  // symbols and sections: where the line leads
  std::uint32_t address = 0;
};

std::vector<ListLine> list_lines(Debugger& d, ListKind kind);

// The command for the margin's On/Off and Delete on an event line.
std::string event_toggle_command(const ListLine& line);
std::string event_delete_command(const ListLine& line);

}  // namespace tav
