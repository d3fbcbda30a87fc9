// What the run loop asks about an address after every instruction, worked
// out once per loaded program instead of searching the debug records each
// time: the first record that sits exactly at the address (a function start,
// a function end or a source line), and the record whose profiling counters
// an instruction at the address feeds.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "image/debug_tables.h"

namespace tav {

class LineIndex {
 public:
  // Builds the index for the tables' current records; cheap to call again
  // when nothing changed.
  void update(DebugTables& tables);
  void invalidate() {
    built_ = false;
    ++generation_;
  }
  // Changes whenever the index is built again.
  std::uint32_t generation() const { return generation_; }

  // The first start, end or line record at exactly `address`, or null; the
  // others at the same address follow it in the record list.
  DebugRecord* at(std::uint32_t address) const {
    const Block* b = block(address);
    if (!b) return nullptr;
    const std::uint32_t i = b->at[address & kMask];
    return i ? base_ + (i - 1) : nullptr;
  }
  // at() of `address`, with covering() of it stored in `cover`: one look-up
  // for the run loop, which needs both after every instruction.
  DebugRecord* at_and_covering(std::uint32_t address, DebugRecord*& cover) const {
    const Block* b = block(address);
    if (!b) {
      cover = nullptr;
      return nullptr;
    }
    const std::uint32_t c = b->cover[address & kMask];
    cover = c ? base_ + (c - 1) : nullptr;
    const std::uint32_t i = b->at[address & kMask];
    return i ? base_ + (i - 1) : nullptr;
  }
  // The last start or line record at or below `address` (not further back
  // than the gap to the previous record allows), or null.
  DebugRecord* covering(std::uint32_t address) const {
    const Block* b = block(address);
    if (!b) return nullptr;
    const std::uint32_t i = b->cover[address & kMask];
    return i ? base_ + (i - 1) : nullptr;
  }

 private:
  static constexpr std::uint32_t kShift = 9;
  static constexpr std::uint32_t kMask = (1u << kShift) - 1;
  static constexpr std::uint32_t kSpace = 1u << 24;  // the S12X global address space
  struct Block {
    std::uint32_t at[kMask + 1] = {};     // record index + 1
    std::uint32_t cover[kMask + 1] = {};  // record index + 1
  };
  const Block* block(std::uint32_t address) const {
    if (address >= kSpace || slots_.empty()) return nullptr;
    const std::int32_t s = slots_[address >> kShift];
    return s < 0 ? nullptr : blocks_[static_cast<std::size_t>(s)].get();
  }
  Block& block_for(std::uint32_t address);

  std::vector<std::int32_t> slots_;  // block number -> index into blocks_, -1 when none
  std::vector<std::unique_ptr<Block>> blocks_;
  DebugRecord* base_ = nullptr;
  // What the index was built for: the record array, its size and its ends.
  bool built_ = false;
  std::uint32_t generation_ = 0;
  const DebugRecord* built_for_ = nullptr;
  std::size_t built_size_ = 0;
  std::uint32_t built_first_ = 0;
  std::uint32_t built_last_ = 0;
};

}  // namespace tav
