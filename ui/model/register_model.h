// The registers as data: each core's registers with name, value and width,
// in the order the register panel shows them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tav {

class Registers;

struct RegisterRow {
  std::string name;  // as expressions name it after "$"
  std::uint32_t value = 0;
  unsigned bits = 16;
};

std::vector<RegisterRow> cpu12_register_rows(Registers& registers);
std::vector<RegisterRow> xgate_register_rows(Registers& registers);

}  // namespace tav
