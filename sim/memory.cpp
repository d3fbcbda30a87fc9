// The block store, page mirror, memory hooks and the observed CPU accessors.
#include "sim/memory.h"

#include <algorithm>
#include <cstring>

namespace tav {

struct Memory::Hook {
  Hook* next;
  std::uint32_t start;
  std::uint32_t end;  // start + length; equal to start for a hook on every address
  std::uint32_t user;
  std::uint32_t mask;
  bool deleted;
  int handle;
  MemHookFn callback;
};

Memory::Memory(CpuRegs& regs, ErrorReporter& errors)
    : table_(new std::uint8_t*[kSlots]),
      // Left uninitialised on purpose: pages of the pool are only touched as blocks are created.
      pool_(new std::uint8_t[std::size_t{kBlockSize} * (kMaxBlocks + 1)]),
      read_spans_(new SpanEntry[kCpuSlots]),
      write_spans_(new SpanEntry[kCpuSlots]),
      regs_(regs),
      errors_(errors) {
  std::memset(pool_.get(), 0, kBlockSize);
  for (int i = 0; i < kSlots; ++i) table_[i] = pool_.get();
  for (int i = 0; i < kCpuSlots; ++i) {
    read_spans_[i] = reinterpret_cast<SpanEntry>(pool_.get());
    write_spans_[i] = kFullPath;  // the first write makes the block
  }
  observed_bits_ = hooked_lines_.data();
  update_observed();
}

Memory::~Memory() {
  while (hooks_) {
    Hook* next = hooks_->next;
    delete hooks_;
    hooks_ = next;
  }
}

// ---- block store ----

std::uint8_t* Memory::create_block(std::uint32_t address) {
  if (block_count_ >= kMaxBlocks) {
    errors_.report_error("memory file overflow\n");
    return nullptr;
  }
  const int index = block_count_++;
  std::uint8_t* block = pool_.get() + std::size_t{kBlockSize} * (index + 1);
  std::memset(block, 0, kBlockSize);
  block_address_[index] = address & 0xFFFE00;
  block_state_[index] = New;
  table_[slot_of(address)] = block;
  refresh_cpu_block(slot_of(address));
  ++layout_;
  ++notices_;  // a run loop may hold pointers into the old layout
  return block;
}

int Memory::block_index(std::uint32_t address) const {
  const std::uint8_t* block = table_[slot_of(address)];
  if (block == zero_block()) return -1;
  return static_cast<int>((block - pool_.get()) / kBlockSize) - 1;
}

std::uint8_t* Memory::block_data(std::uint32_t address) {
  std::uint8_t* block = table_[slot_of(address)];
  if (block != zero_block()) return block;
  return create_block(address);
}

void Memory::set_block_state(std::uint32_t address, std::uint8_t state) {
  const int index = block_index(address);
  if (index >= 0) block_state_[index] = state;
}

std::uint8_t Memory::block_state(std::uint32_t address) const {
  const int index = block_index(address);
  return index < 0 ? std::uint8_t{Free} : block_state_[index];
}

void Memory::clear_loaded_state() {
  for (int i = 0; i < block_count_; ++i) block_state_[i] = Clean;
}

void Memory::clear() {
  for (int i = 0; i < block_count_; ++i) {
    table_[slot_of(block_address_[i])] = pool_.get();
    refresh_cpu_block(slot_of(block_address_[i]));
  }
  block_count_ = 0;
  ++layout_;
  ++notices_;
}

void Memory::ReadMemory(std::uint8_t* destination, std::uint32_t address, std::int16_t count) {
  for (int i = 0; i < count; ++i) destination[i] = ReadByte(address + i);
}

void Memory::WriteMemory(const std::uint8_t* source, std::uint32_t address, std::int16_t count) {
  for (int i = 0; i < count; ++i) WriteByte(address + i, source[i]);
}

// ---- page mirror and address map ----

void Memory::mirror_page(std::uint32_t address, std::uint8_t value) {
  switch (address & 0xFFFFFF) {
    // The windows code can run in may have moved under the run loop.
    case kEpageAddr: regs_.epage = value, ++notices_; break;
    case kPpageAddr: regs_.ppage = value, ++notices_; break;
    case kRpageAddr: regs_.rpage = value, ++notices_; break;
    case kGpageAddr: regs_.gpage = value; break;
    case kDirectAddr: regs_.direct = value; break;
    default: return;
  }
  if (view_refresh_) view_refresh_(view_refresh_ctx_);
}

void Memory::WritePC(std::uint32_t g) {
  if (g >= 0x800) {
    if (g < 0x0FE000) {
      regs_.rpage = static_cast<std::uint8_t>(g >> 12);
    } else if (g >= 0x100000 && g < 0x13FC00) {
      regs_.epage = static_cast<std::uint8_t>(g >> 10);
    } else if (g >= 0x140000) {
      regs_.ppage = static_cast<std::uint8_t>(g >> 14);
    }
  }
  regs_.pc = GlobalToLocal(g);
}

void Memory::WritePPC(std::uint32_t g) {
  regs_.ppage = static_cast<std::uint8_t>(g >> 14);
  regs_.pc = PpcLocal(g);
}

// ---- watchers and hooks ----

void Memory::mark_lines(LineBits& bits, std::uint32_t start, std::uint32_t size, std::vector<std::uint32_t>* touched) {
  if (size == 0) return;
  constexpr std::uint32_t line_size = 1u << kLineShift;
  // Lines of the first and last byte.
  const std::uint32_t lines = size >= (1u << 24) ? kLines : ((start & (line_size - 1)) + size - 1) / line_size + 1;
  std::uint32_t line = line_of(start);
  for (std::uint32_t left = std::min(lines, kLines); left > 0;) {
    if (touched) touched->push_back(line >> 6);
    if ((line & 63) == 0 && left >= 64) {  // a whole word at once: large hooked ranges
      bits[line >> 6] = ~std::uint64_t{0};
      left -= 64;
      line = (line + 64) & (kLines - 1);
    } else {
      bits[line >> 6] |= std::uint64_t{1} << (line & 63);
      --left;
      line = (line + 1) & (kLines - 1);
    }
  }
}

void Memory::mark_hook(LineBits& bits, const Hook& h) {
  // A hook on every address, or a range that wraps, is met everywhere.
  if (h.start == h.end || h.end < h.start)
    bits.fill(~std::uint64_t{0});
  else
    mark_lines(bits, h.start, h.end - h.start);
}

// A hook gone: both sets are made again (rare: an extension unloading).
void Memory::update_hooked_lines() {
  hooked_lines_.fill(0);
  for (const Hook* h = hooks_; h; h = h->next)
    if (!h->deleted) mark_hook(hooked_lines_, *h);
  observed_lines_.copy_from(hooked_lines_);
  watch_marked_.clear();
  update_watched_lines();
  refresh_cpu_spans();
}

const std::uint64_t* Memory::every_line() {
  static const LineBits every = [] {
    LineBits bits;
    bits.fill(~std::uint64_t{0});
    return bits;
  }();
  return every.data();
}

// Cheap enough for the low-level breakpoints, which set and clear the raw
// watcher around every instruction: only a change of the watched set copies
// a bitmap.
void Memory::update_observed() {
  observed_ = live_hooks_ > 0 || access_watcher_ != nullptr || raw_watcher_ != nullptr;
  const bool every = raw_watcher_ || (access_watcher_ && watch_all_);
  if (every)
    observed_bits_ = every_line();
  else if (access_watcher_)
    observed_bits_ = observed_lines_.data();
  else
    observed_bits_ = hooked_lines_.data();
  cpu_reads_ = every ? no_spans() : read_spans_.get();
  cpu_writes_ = every ? no_spans() : write_spans_.get();
}

const Memory::SpanEntry* Memory::no_spans() {
  static const std::vector<SpanEntry> none(kCpuSlots, kFullPath);
  return none.data();
}

// A span takes the full path when any of its lines is observed: the exact
// line test is left to the full path, so that spans without a hooked or
// watched byte cost nothing, and the entry keeps the span's bytes for the
// accesses beside what is observed.
void Memory::refresh_cpu_block(std::uint32_t slot) {
  constexpr std::uint32_t spans = kBlockSize >> kCpuSpanShift;
  constexpr std::uint32_t words = (1u << kCpuSpanShift) >> kLineShift >> 6;  // line bitmap words per span
  const std::uint64_t* bits = (access_watcher_ ? observed_lines_ : hooked_lines_).data() + slot * spans * words;
  std::uint8_t* block = table_[slot];
  for (std::uint32_t s = 0; s < spans; ++s) {
    bool observed = false;
    for (std::uint32_t i = 0; i < words; ++i) observed |= bits[s * words + i] != 0;
    const std::uint32_t span = slot * spans + s;
    const SpanEntry bytes = reinterpret_cast<SpanEntry>(block + (s << kCpuSpanShift));
    read_spans_[span] = observed ? bytes | kFullPath : bytes;
    if (block == zero_block() || span == cpu_slot_of(kPpageAddr))
      write_spans_[span] = kFullPath;
    else
      write_spans_[span] = observed ? bytes | kFullPath : bytes;
  }
}

void Memory::refresh_cpu_spans(std::uint32_t start, std::uint32_t size) {
  if (size == 0) return;
  const std::uint32_t first = slot_of(start);
  const std::uint64_t span = (start & kOffsetMask) + std::uint64_t{size} - 1;
  const std::uint32_t count = static_cast<std::uint32_t>(std::min<std::uint64_t>((span >> 9) + 1, kSlots));
  for (std::uint32_t i = 0; i < count; ++i) refresh_cpu_block((first + i) & (kSlots - 1));
}

void Memory::refresh_cpu_spans() {
  for (std::uint32_t slot = 0; slot < kSlots; ++slot) refresh_cpu_block(slot);
}

// Only the words the last watched set marked are put back to the hooked
// lines: the event table narrows the set after every change of its events.
void Memory::update_watched_lines() {
  constexpr std::uint32_t words = kBlockSize >> kLineShift >> 6;  // line bitmap words per block
  for (std::uint32_t word : watch_marked_) observed_lines_[word] = hooked_lines_[word];
  std::vector<std::uint32_t> unmarked;
  unmarked.swap(watch_marked_);
  for (const WatchedRange& r : watched_ranges_) mark_lines(observed_lines_, r.start, r.size, &watch_marked_);
  for (std::uint32_t word : unmarked) refresh_cpu_block(word / words);
  for (std::uint32_t word : watch_marked_) refresh_cpu_block(word / words);
  update_observed();
}

void Memory::set_access_watcher(AccessWatcher* watcher) {
  const bool changed = (access_watcher_ != nullptr) != (watcher != nullptr);
  access_watcher_ = watcher;
  // A new watcher hears of every address until clear_watched() and watch() narrow the set.
  watched_ranges_.clear();
  watch_all_ = true;
  if (changed) refresh_cpu_spans();  // the observed lines are now the other set
  update_observed();
}

void Memory::clear_watched() {
  watched_ranges_.clear();
  watch_all_ = false;
  update_watched_lines();
}

// Adding an address range only adds to the observed set: no rebuild (the
// event table watches its data events one by one).
void Memory::watch(std::uint32_t start, std::uint32_t size) {
  if (size == 0 || watch_all_) return;
  watched_ranges_.push_back({start & 0xFFFFFF, size});
  mark_lines(observed_lines_, start, size, &watch_marked_);
  refresh_cpu_spans(start, size);
}

void Memory::set_raw_watcher(RawAccessWatcher* watcher) {
  raw_watcher_ = watcher;
  update_observed();
}

void Memory::set_view_refresh(void (*refresh)(void*), void* ctx) {
  view_refresh_ = refresh;
  view_refresh_ctx_ = ctx;
}

int Memory::RegisterMemHook(std::uint32_t start, std::uint32_t length, std::uint32_t mask, std::uint32_t user,
                            MemHookFn callback) {
  if (!callback) return 0;
  if (dispatch_depth_ == 0) unlink_deleted();
  const int handle = next_handle_++;
  hooks_ = new Hook{hooks_, start, start + length, user, mask, false, handle, callback};
  ++live_hooks_;
  // A new hook only adds lines (the extensions register many as they load).
  mark_hook(hooked_lines_, *hooks_);
  mark_hook(observed_lines_, *hooks_);
  if (hooks_->start == hooks_->end || hooks_->end < hooks_->start)  // every address, or a wrapping range
    refresh_cpu_spans();
  else
    refresh_cpu_spans(start, length);
  update_observed();
  return handle;
}

void Memory::UnRegisterMemHook(int handle) {
  for (Hook* h = hooks_; h; h = h->next) {
    if (h->handle == handle && !h->deleted) {
      h->deleted = true;
      --live_hooks_;
      update_hooked_lines();
      return;
    }
  }
}

void Memory::unlink_deleted() {
  Hook** link = &hooks_;
  while (Hook* h = *link) {
    if (h->deleted) {
      *link = h->next;
      delete h;
    } else {
      link = &h->next;
    }
  }
}

int Memory::hook_records() const {
  int n = 0;
  for (const Hook* h = hooks_; h; h = h->next) ++n;
  return n;
}

// Walks the list, unlinking records marked deleted. Only the outermost walk
// unlinks: a nested walk (a hook that itself makes a CPU access) must not free
// a record an outer walk is standing on. A record is never freed while its own
// callback runs, since only the walk positioned on it can unlink it.
void Memory::call_hooks(std::uint32_t address, int size, int access) {
  ++dispatch_depth_;
  const bool may_unlink = dispatch_depth_ == 1;
  Hook** link = &hooks_;
  while (Hook* h = *link) {
    if (h->deleted) {
      if (may_unlink) {
        *link = h->next;
        delete h;
      } else {
        link = &h->next;
      }
      continue;
    }
    if ((h->mask & static_cast<std::uint32_t>(access)) &&
        (h->start == h->end || (h->start <= address && address < h->end))) {
      ++notices_;
      h->callback(address, size, access, h->user);
    }
    link = &h->next;
  }
  --dispatch_depth_;
}

void Memory::before_cpu_read(std::uint32_t address, int size) {
  if (hooks_) call_hooks(address, size, kAccessRead);
  if (access_watcher_ && watched(address)) access_watcher_->chkaccess(address, kAccessRead);
}

void Memory::after_cpu_write(std::uint32_t address, int size) {
  if (hooks_) call_hooks(address, size, kAccessWrite);
  if (access_watcher_ && watched(address)) access_watcher_->chkaccess(address, kAccessWrite);
}

// Each observed accessor first drops the accesses that only share a line
// with what is observed, so that data next to a watched variable costs
// little more than a plain access.
std::uint8_t Memory::cpu_read_byte_observed(std::uint32_t address) {
  if (!observed_exactly(address)) return peek(address);
  before_cpu_read(address, 1);
  return ReadByte(address);
}

void Memory::cpu_write_byte_observed(std::uint32_t address, std::uint8_t value) {
  if (!observed_exactly(address)) return WriteByte(address, value);
  if (access_watcher_ && watched(address)) access_watcher_->chkaccess(address, kAccessWrite);
  WriteByte(address, value);
  if (hooks_) call_hooks(address, 1, kAccessWrite);
}

std::uint16_t Memory::cpu_read_word_observed(std::uint32_t address) {
  if (!observed_exactly(address)) return static_cast<std::uint16_t>(peek(address) << 8 | peek(address + 1));
  before_cpu_read(address, 2);
  return ReadWord(address);
}

void Memory::cpu_write_word_full(std::uint32_t address, std::uint16_t value) {
  const bool observed = observed_at(address) && observed_exactly(address);
  WriteWord(address, value);
  if (observed) after_cpu_write(address, 2);
}

std::uint32_t Memory::cold_read_byte(void* self, std::uint32_t address, std::uint32_t) noexcept {
  return static_cast<Memory*>(self)->cpu_read_byte_observed(address);
}
std::uint32_t Memory::cold_write_byte(void* self, std::uint32_t address, std::uint32_t value) noexcept {
  static_cast<Memory*>(self)->cpu_write_byte_observed(address, static_cast<std::uint8_t>(value));
  return 0;
}
// A block not made yet, or the page registers' span (the mirror).
std::uint32_t Memory::cold_write_byte_unobserved(void* self, std::uint32_t address, std::uint32_t value) noexcept {
  Memory& m = *static_cast<Memory*>(self);
  if ((address & 0xFFFFC0) == 0) m.mirror_page(address, static_cast<std::uint8_t>(value));
  m.poke(address, static_cast<std::uint8_t>(value));
  return 0;
}
std::uint32_t Memory::cold_read_word(void* self, std::uint32_t address, std::uint32_t) noexcept {
  return static_cast<Memory*>(self)->cpu_read_word_observed(address);
}
std::uint32_t Memory::cold_write_word(void* self, std::uint32_t address, std::uint32_t value) noexcept {
  static_cast<Memory*>(self)->cpu_write_word_full(address, static_cast<std::uint16_t>(value));
  return 0;
}
std::uint32_t Memory::cold_poke_word(void* self, std::uint32_t address, std::uint32_t value) noexcept {
  static_cast<Memory*>(self)->poke_word(address, static_cast<std::uint16_t>(value));
  return 0;
}

std::uint32_t Memory::cpu_read_long_observed(std::uint32_t address) {
  if (!observed_exactly(address)) return ReadLong(address);
  before_cpu_read(address, 4);
  return ReadLong(address);
}

}  // namespace tav
