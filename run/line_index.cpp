#include "run/line_index.h"

namespace tav {

namespace {

// A record whose value is a code address the run loop passes.
bool code_record(const DebugRecord& r) { return r.is_start() || r.is_end() || r.is_line(); }

// A covering record does not reach across more than this many bytes without
// code records: beyond, the address belongs to no source position.
constexpr std::uint32_t kMaxCover = 0x4000;

}  // namespace

LineIndex::Block& LineIndex::block_for(std::uint32_t address) {
  std::int32_t& s = slots_[address >> kShift];
  if (s < 0) {
    s = static_cast<std::int32_t>(blocks_.size());
    blocks_.push_back(std::make_unique<Block>());
  }
  return *blocks_[static_cast<std::size_t>(s)];
}

void LineIndex::update(DebugTables& tables) {
  std::vector<DebugRecord>& records = tables.records();
  const std::uint32_t first = records.empty() ? 0 : records.front().value;
  const std::uint32_t last = records.empty() ? 0 : records.back().value;
  if (built_ && built_for_ == records.data() && built_size_ == records.size() && built_first_ == first &&
      built_last_ == last)
    return;
  built_ = true;
  ++generation_;
  slots_.assign(kSpace >> kShift, -1);
  blocks_.clear();
  base_ = records.data();
  built_for_ = records.data();
  built_size_ = records.size();
  built_first_ = first;
  built_last_ = last;
  if (records.empty()) {
    slots_.clear();
    return;
  }

  // Exact positions: the first record of each address.
  for (std::size_t i = 0; i < records.size(); ++i) {
    const DebugRecord& r = records[i];
    if (!code_record(r) || r.value >= kSpace) continue;
    std::uint32_t& slot = block_for(r.value).at[r.value & kMask];
    if (!slot) slot = static_cast<std::uint32_t>(i + 1);
  }
  // Coverage: each start or line record up to the next one's address.
  std::size_t previous = records.size();
  auto cover_to = [&](std::uint32_t end) {
    if (previous == records.size()) return;
    const std::uint32_t from = records[previous].value;
    if (end > from + kMaxCover || end <= from) end = from + 1;
    for (std::uint32_t a = from; a < end && a < kSpace; ++a) block_for(a).cover[a & kMask] = static_cast<std::uint32_t>(previous + 1);
  };
  // Before a gap too wide to cover, the function's end record bounds it: the
  // XGATE's code lies far from the CPU12's, with nothing between.
  auto function_end = [&](std::uint32_t limit) {
    for (std::size_t i = previous + 1; i < records.size() && records[i].value < limit; ++i)
      if (records[i].is_end() && records[i].value >= records[previous].value) return records[i].value + 1;
    return limit;
  };
  for (std::size_t i = 0; i < records.size(); ++i) {
    const DebugRecord& r = records[i];
    if (!(r.is_start() || r.is_line()) || r.value >= kSpace) continue;
    if (previous != records.size() && records[previous].value != r.value)
      cover_to(r.value > records[previous].value + kMaxCover ? function_end(r.value) : r.value);
    previous = i;
  }
  // The last record covers the rest of its function.
  if (previous != records.size()) {
    std::uint32_t end = records[previous].value + 1;
    for (std::size_t i = previous + 1; i < records.size(); ++i)
      if (records[i].is_end() && records[i].value >= records[previous].value) {
        end = records[i].value + 1;
        break;
      }
    cover_to(end);
  }
}

}  // namespace tav
