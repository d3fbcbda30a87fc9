// The loadable sections of an object file, in ascending placement address.
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace tav {

struct SegmentRecord {
  std::uint8_t section = 0;     // 0-based section index
  std::uint8_t attribute = 0;   // the section's attribute byte
  std::uint8_t name_flags = 0;  // the name-length byte (bit 7: base taken as placement)
  std::string name;             // at most 14 characters
  std::uint32_t placement = 0;  // where the contents go in target memory
  std::uint32_t base = 0;       // the address the section's symbols were computed against
  std::uint32_t file_offset = 0;
  std::uint32_t size = 0;
  std::uint32_t last = 0;       // placement + size - 1
};

// A section as the exported section queries report it.
struct SectionInfo {
  std::uint8_t flags = 0;  // 1: attribute bit 7 set; 2: base differs from placement
  std::uint32_t placement = 0;
  std::uint32_t size = 0;
  std::array<char, 16> name{};
};

}  // namespace tav
