// Interleaving of the XGATE with the CPU12.
#include "sim/xgate_stepper.h"

namespace tav {

bool XgateStepper::take_decode(std::uint32_t address, int flags, char* text, std::size_t capacity,
                               std::uint32_t& result, std::uint32_t& time_cycles) {
  time_cycles = 0;
  const Next next = next_decode(address);
  if (next == Next::XgateAtAddress) {
    result = xgate_.decode(address, flags, text, capacity, &time_cycles);
    return true;
  }
  if (!(flags & kXgateFlagExecute) || next != Next::XgateAtPc) return false;
  std::uint32_t cycles = 0;
  result = xgate_.step(flags, text, capacity, &cycles);
  budget_ -= static_cast<std::int32_t>(cycles);
  // An undefined word costs nothing and would hold the CPU12 forever: give the turn back.
  if (cycles == 0) budget_ = 0;
  return true;
}

}  // namespace tav
