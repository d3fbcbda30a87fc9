// Which global addresses hold code that the debug information marks as
// XGATE code: the CPU12 decoder hands instructions there to the XGATE. Built
// once per loaded program from the function ranges of the XGATE units.
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

namespace tav {

class DebugTables;

class XgateCodeMap {
 public:
  // Rebuilds the ranges when the tables changed since the last call.
  void update(const DebugTables& tables);
  bool empty() const { return ranges_.empty(); }

  bool contains(std::uint32_t address) const {
    if (address < low_ || address > high_) return false;  // most addresses end here
    return lookup(address);
  }
  // Processor mode 2 decodes every address as XGATE code; the disassembly
  // follows it.
  void set_xgate_everywhere(bool on) { everywhere_ = on; }
  bool decodes_as_xgate(std::uint32_t address) const { return everywhere_ || contains(address); }
  // The form XgateStepper::set_code_query takes (context: this map).
  static bool query(void* map, std::uint32_t address) {
    return static_cast<const XgateCodeMap*>(map)->contains(address);
  }

 private:
  bool lookup(std::uint32_t address) const;

  std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges_;  // first, last address; sorted
  std::uint32_t low_ = 1, high_ = 0;
  const void* built_for_ = nullptr;
  std::size_t built_size_ = 0;
  bool everywhere_ = false;
};

}  // namespace tav
