// Disassembly as data for a host that asks by address and instruction
// offset: each instruction with its bytes, text, the symbol it starts and
// the source line it belongs to. Going back from an address finds the
// instruction boundaries by decoding forward from further back.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tav {

class Debugger;

struct DisassemblyRow {
  std::uint32_t address = 0;
  std::vector<std::uint8_t> bytes;
  std::string instruction;
  std::string symbol;  // a symbol whose value is this address
  std::string file;    // the debug tables' file name; empty: no source
  unsigned line = 0;
  bool defined = true;
};

// `count` instructions, the first `offset` instructions from the one at
// `address` (a negative offset goes back).
std::vector<DisassemblyRow> disassembly_rows(Debugger& d, std::uint32_t address, int offset, unsigned count);

}  // namespace tav
