// The event services of the extension interface, over a debugger.
#pragma once
#include <cstdint>

namespace tav {

class Debugger;

// Runs a command line (mode 1) and returns the number of the last event created.
std::uint32_t AddEventByCommand(Debugger& d, const char* text);
// Whether an event is due now: the check without a frame or a line.
bool CheckEvent(Debugger& d);
// The number of the last event created.
std::uint32_t GetLastBkptNum(const Debugger& d);

}  // namespace tav
