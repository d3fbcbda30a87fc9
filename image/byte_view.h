// Bounded reads of a file held in memory. Numbers are big-endian unless the
// name says otherwise; a read past the end reports failure (or, for the .debug
// readers, reads as zeros, the way a short read leaves a cleared buffer).
#pragma once
#include <algorithm>
#include <cstring>
#include <cstdint>
#include <span>
#include <string_view>

namespace tav {

class ByteView {
 public:
  ByteView() = default;
  explicit ByteView(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t size() const { return bytes_.size(); }
  bool has(std::uint64_t offset, std::uint64_t count) const { return offset + count <= bytes_.size(); }
  const std::uint8_t* data(std::uint64_t offset) const { return bytes_.data() + offset; }

  std::uint8_t byte(std::uint64_t offset) const { return offset < bytes_.size() ? bytes_[offset] : 0; }
  std::uint32_t be32(std::uint64_t offset) const {
    return std::uint32_t{byte(offset)} << 24 | std::uint32_t{byte(offset + 1)} << 16 |
           std::uint32_t{byte(offset + 2)} << 8 | byte(offset + 3);
  }
  std::uint32_t le32(std::uint64_t offset) const {
    return std::uint32_t{byte(offset + 3)} << 24 | std::uint32_t{byte(offset + 2)} << 16 |
           std::uint32_t{byte(offset + 1)} << 8 | byte(offset);
  }
  // NUL-terminated text; stops at the end of the file or after `limit` characters.
  std::string_view text(std::uint64_t offset, std::size_t limit = 1024) const {
    if (offset >= bytes_.size()) return {};
    const char* begin = reinterpret_cast<const char*>(bytes_.data() + offset);
    const std::size_t avail = std::min<std::uint64_t>(bytes_.size() - offset, limit);
    const auto* nul = static_cast<const char*>(std::memchr(begin, 0, avail));
    return {begin, nul ? static_cast<std::size_t>(nul - begin) : avail};
  }
  std::string_view chars(std::uint64_t offset, std::size_t count) const {
    if (!has(offset, count)) return {};
    return {reinterpret_cast<const char*>(bytes_.data() + offset), count};
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

}  // namespace tav
