// Session files (the program, paths, windows, events and monitors) and layout
// files (the windows alone), in the sections-and-keys form of the
// configuration file.
#pragma once
#include <string>

namespace tav {

class Debugger;
struct Event;

// Writes a session (full) or a layout file, replacing what the file held.
void savesession(Debugger& d, const std::string& file, bool full);
// Reads a session (full) or a layout file back.
void loadsession(Debugger& d, const std::string& file, bool full);

// An event as a session file keeps it: a "break" or "watch" command line.
std::string session_event_line(const Debugger& d, const Event& e);

}  // namespace tav
