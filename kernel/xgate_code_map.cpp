#include "kernel/xgate_code_map.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "image/debug_tables.h"

namespace tav {

void XgateCodeMap::update(const DebugTables& tables) {
  const std::vector<DebugRecord>& records = tables.records();
  if (built_for_ == records.data() && built_size_ == records.size()) return;
  built_for_ = records.data();
  built_size_ = records.size();
  ranges_.clear();
  low_ = 1;
  high_ = 0;
  if (!tables.has_coprocessor_code()) return;
  // A function of an XGATE unit covers its start record up to its end record
  // (the end record sits on its last instruction word, hence the + 1).
  for (const DebugRecord& r : records) {
    if (!r.is_start() || !r.coprocessor) continue;
    const FunctionBlock* f = r.starts ? r.starts : r.function;
    const std::uint32_t last = f && f->end && f->end->value >= r.value ? f->end->value + 1 : r.value + 1;
    ranges_.emplace_back(r.value, last);
  }
  std::sort(ranges_.begin(), ranges_.end());
  if (ranges_.empty()) return;
  low_ = ranges_.front().first;
  high_ = 0;
  for (const auto& range : ranges_) high_ = std::max(high_, range.second);
}

bool XgateCodeMap::lookup(std::uint32_t address) const {
  // Functions do not overlap: only the last range starting at or below the
  // address can hold it.
  auto it = std::upper_bound(ranges_.begin(), ranges_.end(), std::make_pair(address, UINT32_MAX));
  return it != ranges_.begin() && address <= std::prev(it)->second;
}

}  // namespace tav
