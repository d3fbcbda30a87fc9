// The text list views: the program's source files, its functions by file,
// and the event table. Each line knows what it stands for, so that a host
// can open the file or function under the mouse or act on the event.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tav {

class Debugger;

enum class ListKind { Files, Functions, Events };

struct ListLine {
  std::string text;
  std::string file;    // the source file the line stands for, empty when none
  unsigned line = 0;   // a line in it to show (0: the top)
  int event = 0;       // the event number, 0 when none
  bool active = false; // the event's state
};

std::vector<ListLine> list_lines(Debugger& d, ListKind kind);

// The command for the margin's On/Off and Delete on an event line.
std::string event_toggle_command(const ListLine& line);
std::string event_delete_command(const ListLine& line);

}  // namespace tav
