// Bounded reading of a DWARF section: big-endian numbers of the target,
// LEB128 numbers and strings; a read past the unit's end throws DwarfError.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "image/elf/dwarf_lines.h"

namespace tav::elf {

class Cursor {
 public:
  Cursor(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t end, const char* section)
      : b_(b), at_(at), end_(end > b.size() ? b.size() : end), section_(section) {
    if (at_ > end_) at_ = end_;
  }

  std::size_t pos() const { return at_; }
  std::size_t end() const { return end_; }
  bool done() const { return at_ >= end_; }
  void skip(std::size_t n) { need(n); at_ += n; }

  std::uint64_t fixed(std::size_t n) {  // big-endian, as the target writes it
    need(n);
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i) v = (v << 8) | b_[at_++];
    return v;
  }
  std::uint8_t u8() { return static_cast<std::uint8_t>(fixed(1)); }
  std::uint64_t uleb() {
    std::uint64_t v = 0;
    for (unsigned shift = 0;; shift += 7) {
      std::uint8_t byte = u8();
      if (shift < 64) v |= std::uint64_t{byte & 0x7Fu} << shift;
      if (!(byte & 0x80)) return v;
    }
  }
  std::int64_t sleb() {
    std::int64_t v = 0;
    unsigned shift = 0;
    std::uint8_t byte;
    do {
      byte = u8();
      if (shift < 64) v |= static_cast<std::int64_t>(std::uint64_t{byte & 0x7Fu} << shift);
      shift += 7;
    } while (byte & 0x80);
    if (shift < 64 && (byte & 0x40)) v |= -(std::int64_t{1} << shift);
    return v;
  }
  // A NUL-terminated string, left where it is.
  std::string_view view() {
    const std::size_t from = at_;
    while (u8() != 0) {
    }
    return {reinterpret_cast<const char*>(b_.data()) + from, at_ - from - 1};
  }
  std::string str() {
    std::string s;
    for (;;) {
      char c = static_cast<char>(u8());
      if (c == 0) return s;
      s.push_back(c);
    }
  }

 private:
  void need(std::size_t n) const {
    if (n > end_ - at_) throw DwarfError(std::string("truncated ") + section_ + " unit");
  }
  const std::vector<std::uint8_t>& b_;
  std::size_t at_, end_;
  const char* section_;
};

}  // namespace tav::elf
