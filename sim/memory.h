// The simulated target's memory: a sparse byte store over the S12X global
// address space, the local/global address map, and the raw and CPU accessors.
//
// The store keeps at most 2048 blocks of 512 bytes. A table with one entry per
// block of the 16 MB space points either at the block's bytes or at a shared
// block of zeros, so a byte read is one table load and one byte load, and a
// read never creates a block.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/cold_call.h"
#include "sim/cpu_regs.h"

namespace tav {

// Where the store reports its errors ("memory file overflow"): the kernel's error output.
class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  virtual void report_error(std::string_view text) = 0;
};

// Told of CPU data accesses (access 1 read, 2 write): the event table's data-event check.
// Set it only while data events exist, so that the CPU accessors stay on their fast path.
class AccessWatcher {
 public:
  virtual ~AccessWatcher() = default;
  virtual void chkaccess(std::uint32_t address, int access) = 0;
};

// Told of debugger-side (raw) accesses while a run is in progress: the kernel break check.
class RawAccessWatcher {
 public:
  virtual ~RawAccessWatcher() = default;
  virtual void raw_access(std::uint32_t address, int access) = 0;
};

using MemHookFn = void (*)(std::uint32_t address, int size, int access, std::uint32_t user);

class Memory {
 public:
  static constexpr int kBlockSize = 512;
  static constexpr int kMaxBlocks = 2048;
  static constexpr int kAccessRead = 1;
  static constexpr int kAccessWrite = 2;
  // Block states: a block created new (or filled by a loader) is New, which
  // also reads as "loaded"; unloading turns loaded blocks Clean.
  enum BlockState : std::uint8_t { Free = 0, Clean = 1, Dirty = 2, New = 3 };

  // I/O addresses of the page registers (mirrored into the register file).
  static constexpr std::uint32_t kGpageAddr = 0x0010;
  static constexpr std::uint32_t kDirectAddr = 0x0011;
  static constexpr std::uint32_t kRpageAddr = 0x0016;
  static constexpr std::uint32_t kEpageAddr = 0x0017;
  static constexpr std::uint32_t kPpageAddr = 0x0030;

  Memory(CpuRegs& regs, ErrorReporter& errors);
  ~Memory();
  Memory(const Memory&) = delete;
  Memory& operator=(const Memory&) = delete;

  CpuRegs& regs() { return regs_; }
  ErrorReporter& errors() { return errors_; }

  // Raw accessors: no hooks, no data events. While a run is in progress every
  // byte is reported to the raw watcher.
  std::uint8_t ReadByte(std::uint32_t address) {
    if (raw_watcher_) [[unlikely]]
      raw_watcher_->raw_access(address, kAccessRead);
    return peek(address);
  }
  void WriteByte(std::uint32_t address, std::uint8_t value) {  // with the page mirror
    if ((address & 0xFFFFC0) == 0) [[unlikely]]
      mirror_page(address, value);
    WriteBytePlain(address, value);
  }
  void WriteBytePlain(std::uint32_t address, std::uint8_t value) {  // bypasses the page mirror
    if (raw_watcher_) [[unlikely]]
      raw_watcher_->raw_access(address, kAccessWrite);
    poke(address, value);
  }
  std::uint16_t ReadWord(std::uint32_t address) {
    const std::uint8_t high = ReadByte(address);
    return static_cast<std::uint16_t>(high << 8 | ReadByte(address + 1));
  }
  void WriteWord(std::uint32_t address, std::uint16_t value) {
    WriteByte(address, static_cast<std::uint8_t>(value >> 8));
    WriteByte(address + 1, static_cast<std::uint8_t>(value));
  }
  std::uint32_t ReadLong(std::uint32_t address) {
    const std::uint32_t high = ReadWord(address);
    return high << 16 | ReadWord(address + 2);
  }
  void WriteLong(std::uint32_t address, std::uint32_t value) {
    WriteWord(address, static_cast<std::uint16_t>(value >> 16));
    WriteWord(address + 2, static_cast<std::uint16_t>(value));
  }
  // `count` bytes one by one in ascending address order; a count below 1 does nothing.
  void ReadMemory(std::uint8_t* destination, std::uint32_t address, std::int16_t count);
  void WriteMemory(const std::uint8_t* source, std::uint32_t address, std::int16_t count);

  // Plain byte access without watcher, hooks or mirror (views, tests, the decoder's
  // own look-ahead). peek never creates a block; poke drops the byte when the
  // store is full.
  [[gnu::always_inline]] std::uint8_t peek(std::uint32_t address) const { return table_[slot_of(address)][address & kOffsetMask]; }
  // The bytes from `address` to the end of its block, as peek reads them (the
  // instruction fetch reads an instruction's bytes from here in one lookup).
  [[gnu::always_inline]] const std::uint8_t* peek_block(std::uint32_t address) const {
    return table_[slot_of(address)] + (address & kOffsetMask);
  }
  // A big-endian word: one block look-up unless the word spans two blocks.
  [[gnu::always_inline]] std::uint16_t peek_word(std::uint32_t address) const {
    if ((address & kOffsetMask) != kOffsetMask) [[likely]] {
      const std::uint8_t* p = table_[slot_of(address)] + (address & kOffsetMask);
      return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
    }
    return static_cast<std::uint16_t>(peek(address) << 8 | peek(address + 1));
  }
  [[gnu::always_inline]] void poke_word(std::uint32_t address, std::uint16_t value) {
    std::uint8_t* block = table_[slot_of(address)];
    if ((address & kOffsetMask) != kOffsetMask && block != zero_block()) [[likely]] {
      block[address & kOffsetMask] = static_cast<std::uint8_t>(value >> 8);
      block[(address & kOffsetMask) + 1] = static_cast<std::uint8_t>(value);
      return;
    }
    poke(address, static_cast<std::uint8_t>(value >> 8));
    poke(address + 1, static_cast<std::uint8_t>(value));
  }
  [[gnu::always_inline]] void poke(std::uint32_t address, std::uint8_t value) {
    std::uint8_t* block = table_[slot_of(address)];
    if (block == zero_block()) [[unlikely]] {
      block = create_block(address);
      if (!block) return;
    }
    block[address & kOffsetMask] = value;
  }

  // Block access for loaders: the 512 bytes of the block holding `address`
  // (created when new), or null when the store is full (the error is reported).
  std::uint8_t* block_data(std::uint32_t address);
  void set_block_state(std::uint32_t address, std::uint8_t state);
  std::uint8_t block_state(std::uint32_t address) const;  // Free when the block was never touched
  bool has_block(std::uint32_t address) const { return table_[slot_of(address)] != zero_block(); }
  void clear_loaded_state();  // unload: every block forgets it was loaded
  void clear();               // forget every block (the store becomes empty)
  int block_count() const { return block_count_; }

  // CPU accessors: hooks and data-event checks around the raw access. Where
  // nothing observes a span they are a plain store access through the
  // accessors' own tables (see cpu_reads_).
  // In a span that takes the full path, data beside a watched variable or a
  // hooked register is still a plain access, through the entry's bytes: the
  // exact line test is the only extra cost.
  [[gnu::always_inline]] std::uint8_t CpuReadByte(std::uint32_t address) {
    const SpanEntry e = cpu_reads_[cpu_slot_of(address)];
    if (e & kFullPath) [[unlikely]] {
      if (observed_line(address)) return static_cast<std::uint8_t>(cold_call(&cold_read_byte, this, address, 0));
      if (e == kFullPath) return peek(address);
      return span_bytes(e)[address & kCpuOffsetMask];
    }
    return reinterpret_cast<const std::uint8_t*>(e)[address & kCpuOffsetMask];
  }
  [[gnu::always_inline]] void CpuWriteByte(std::uint32_t address, std::uint8_t value) {
    const SpanEntry e = cpu_writes_[cpu_slot_of(address)];
    if (e & kFullPath) [[unlikely]] {
      if (observed_line(address)) {
        cold_call(&cold_write_byte, this, address, value);
        return;
      }
      if (e == kFullPath) {
        cold_call(&cold_write_byte_unobserved, this, address, value);
        return;
      }
      span_bytes(e)[address & kCpuOffsetMask] = value;
      return;
    }
    reinterpret_cast<std::uint8_t*>(e)[address & kCpuOffsetMask] = value;
  }
  [[gnu::always_inline]] std::uint16_t CpuReadWord(std::uint32_t address) {
    const SpanEntry e = cpu_reads_[cpu_slot_of(address)];
    const std::uint32_t offset = address & kCpuOffsetMask;
    const std::uint8_t* p;
    if (!(e & kFullPath) && offset != kCpuOffsetMask) [[likely]] {
      p = reinterpret_cast<const std::uint8_t*>(e) + offset;
    } else {
      if (observed_line(address)) return static_cast<std::uint16_t>(cold_call(&cold_read_word, this, address, 0));
      if (e == kFullPath || offset == kCpuOffsetMask) return peek_word(address);
      p = span_bytes(e) + offset;
    }
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
  }
  // Either byte in the page-register area takes the full path, which mirrors
  // it; that span's entry never has bytes.
  [[gnu::always_inline]] void CpuWriteWord(std::uint32_t address, std::uint16_t value) {
    const SpanEntry e = cpu_writes_[cpu_slot_of(address)];
    const std::uint32_t offset = address & kCpuOffsetMask;
    std::uint8_t* p;
    if (!(e & kFullPath) && offset != kCpuOffsetMask) [[likely]] {
      p = reinterpret_cast<std::uint8_t*>(e) + offset;
    } else {
      if (observed_line(address) || (address & 0xFFFFC0) == 0 || ((address + 1) & 0xFFFFC0) == 0) {
        cold_call(&cold_write_word, this, address, value);
        return;
      }
      if (e == kFullPath || offset == kCpuOffsetMask) {
        cold_call(&cold_poke_word, this, address, value);
        return;
      }
      p = span_bytes(e) + offset;
    }
    p[0] = static_cast<std::uint8_t>(value >> 8);
    p[1] = static_cast<std::uint8_t>(value);
  }
  std::uint32_t CpuReadLong(std::uint32_t address) {
    if (observed_at(address)) [[unlikely]]
      return cpu_read_long_observed(address);
    return std::uint32_t{peek(address)} << 24 | std::uint32_t{peek(address + 1)} << 16 |
           std::uint32_t{peek(address + 2)} << 8 | peek(address + 3);
  }
  void CpuWriteLong(std::uint32_t address, std::uint32_t value) {
    WriteLong(address, value);
    if (observed_at(address)) [[unlikely]]
      after_cpu_write(address, 4);
  }

  // Memory hooks: newest first, removed lazily on the next walk of the list.
  // A length of 0 makes the hook apply to every address; mask bit 1 read, 2 write.
  int RegisterMemHook(std::uint32_t start, std::uint32_t length, std::uint32_t mask, std::uint32_t user,
                      MemHookFn callback);
  void UnRegisterMemHook(int handle);
  int hook_records() const;  // records still linked, deleted ones included
  bool hooked() const { return live_hooks_ > 0; }
  // Counts what a run loop must notice after the instruction that caused it:
  // a hook callback, a code window's page register written (PPAGE, RPAGE,
  // EPAGE), a data event matched, a new block in the store.
  std::uint64_t notices() const { return notices_; }
  void notice() { ++notices_; }
  // Changes whenever an address moves to another block of the store: what
  // peek_block returned before may no longer be that address's byte.
  std::uint32_t layout() const { return layout_; }

  void set_access_watcher(AccessWatcher* watcher);
  // The addresses the access watcher cares about: it is told only of accesses
  // that start at one of them. Setting a watcher watches every address until
  // clear_watched() narrows the set.
  void clear_watched();
  void watch(std::uint32_t start, std::uint32_t size);
  void set_raw_watcher(RawAccessWatcher* watcher);  // non-null only while a run is in progress
  void set_view_refresh(void (*refresh)(void*), void* ctx);  // page mirror asks the host to refresh

  // Address map.
  std::uint32_t LocalToGlobal(std::uint16_t local, bool global_access = false) const {
    return local_to_global(local, regs_, global_access);
  }
  [[gnu::always_inline]] static std::uint32_t local_to_global(std::uint16_t a, const CpuRegs& r, bool global_access = false) {
    if (global_access) return std::uint32_t{r.gpage} << 16 | a;
    if (a >= 0x4000) {
      if (a >= 0xC000) return 0x7FC000u + (a & 0x3FFFu);
      if (a >= 0x8000) return 0x400000u + std::uint32_t{r.ppage} * 0x4000u + (a & 0x3FFFu);
      return 0x7F4000u + (a & 0x3FFFu);
    }
    if (a >= 0x2000) return a + 0xFC000u;
    if (a >= 0x1000) return std::uint32_t{r.rpage} * 0x1000u + (a & 0xFFFu);
    if (a >= 0x0C00) return a + 0x13F000u;
    if (a >= 0x0800) return 0x100000u + std::uint32_t{r.epage} * 0x400u + (a & 0x3FFu);
    return a;
  }
  // The local address of a global one by the rules of WritePC, no page register touched.
  [[gnu::always_inline]] static std::uint16_t GlobalToLocal(std::uint32_t g) {
    if (g < 0x800) return static_cast<std::uint16_t>(g);
    if (g < 0x0FE000) return static_cast<std::uint16_t>(0x1000 + (g & 0xFFF));
    if (g < 0x100000) return static_cast<std::uint16_t>(g - 0xFC000);
    if (g < 0x13FC00) return static_cast<std::uint16_t>(0x0800 + (g & 0x3FF));
    if (g < 0x140000) return static_cast<std::uint16_t>(g - 0x13F000);
    return PpcLocal(g);
  }
  // The local PC of the `ppc` rule: the flash page of `g` decides the window.
  [[gnu::always_inline]] static std::uint16_t PpcLocal(std::uint32_t g) {
    const std::uint8_t page = static_cast<std::uint8_t>(g >> 14);
    const std::uint16_t offset = static_cast<std::uint16_t>(g & 0x3FFF);
    if (page == 0xFF) return 0xC000 | offset;
    if (page == 0xFD) return 0x4000 | offset;
    return 0x8000 | offset;
  }
  void WritePC(std::uint32_t global);   // sets PC and the page register its range needs
  void WritePPC(std::uint32_t global);  // the `ppc` rule: PPAGE and PC from a flash address

 private:
  static constexpr std::uint32_t kOffsetMask = kBlockSize - 1;
  // The CPU accessors' tables go by spans of 256 bytes, half a block: a
  // watched variable sends fewer of its neighbours to the full path.
  static constexpr int kCpuSpanShift = 8;
  static constexpr int kCpuSlots = 1 << (24 - kCpuSpanShift);
  static constexpr std::uint32_t kCpuOffsetMask = (1u << kCpuSpanShift) - 1;
  static std::uint32_t cpu_slot_of(std::uint32_t address) { return (address >> kCpuSpanShift) & (kCpuSlots - 1); }
  static constexpr int kSlots = 1 << 15;  // 16 MB / 512
  static std::uint32_t slot_of(std::uint32_t address) { return (address >> 9) & (kSlots - 1); }

  struct Hook;

  const std::uint8_t* zero_block() const { return pool_.get(); }
  std::uint8_t* create_block(std::uint32_t address);
  int block_index(std::uint32_t address) const;  // -1 when the block does not exist
  void mirror_page(std::uint32_t address, std::uint8_t value);
  // A bit per line of the space. Its memory comes zeroed and untouched from
  // the system, so a debugger pays only for the pages it marks.
  class LineBits {
   public:
    LineBits() : words_(static_cast<std::uint64_t*>(std::calloc(kLines / 64, sizeof(std::uint64_t)))) {
      if (!words_) throw std::bad_alloc();
    }
    std::uint64_t* data() const { return words_.get(); }
    std::uint64_t& operator[](std::uint32_t word) { return words_[word]; }
    void fill(std::uint64_t value) { std::fill_n(words_.get(), kLines / 64, value); }
    void copy_from(const LineBits& other) { std::copy_n(other.data(), kLines / 64, words_.get()); }

   private:
    struct Free {
      void operator()(std::uint64_t* p) const { std::free(p); }
    };
    std::unique_ptr<std::uint64_t[], Free> words_;
  };
  static void mark_hook(LineBits& bits, const Hook& h);
  void update_hooked_lines();   // after a hook went
  void update_watched_lines();  // after the watched set changed
  void update_observed();       // after a watcher came or went
  void unlink_deleted();
  void call_hooks(std::uint32_t address, int size, int access);
  // The grain of the observed set: 2-byte lines, so that a watched word
  // shares its line with no other aligned word.
  static constexpr int kLineShift = 1;
  static constexpr std::uint32_t kLines = 1u << (24 - kLineShift);
  static std::uint32_t line_of(std::uint32_t address) { return (address >> kLineShift) & (kLines - 1); }
  [[gnu::always_inline]] static bool line_bit(const std::uint64_t* bits, std::uint32_t address) {
    return bits[line_of(address) >> 6] >> (line_of(address) & 63) & 1;
  }
  static const std::uint64_t* every_line();  // a bitmap with every line set
  // Whether `address` is one the access watcher cares about (the space wraps at 16 MB).
  bool watched(std::uint32_t address) const {
    if (watch_all_) return true;
    for (const WatchedRange& r : watched_ranges_)
      if (((address - r.start) & 0xFFFFFF) < r.size) return true;
    return false;
  }
  // Whether a CPU access starting at `address` may have to take the observed
  // path: something observes memory and the line is hooked, holds a watched
  // address, or every line is (a raw watcher). Accesses elsewhere stay plain
  // store accesses.
  [[gnu::always_inline]] bool observed_at(std::uint32_t address) const {
    return observed_ && line_bit(observed_bits_, address);
  }
  // The same where the accessors' tables already sent the access to the
  // full path: the bitmap has no line set while nothing observes memory.
  [[gnu::always_inline]] bool observed_line(std::uint32_t address) const { return line_bit(observed_bits_, address); }
  // The exact test behind observed_at(): a hook, the access watcher or the
  // raw watcher wants to hear of this access. Data next to a watched variable
  // shares its line but not this.
  bool observed_exactly(std::uint32_t address) const {
    return raw_watcher_ || line_bit(hooked_lines_.data(), address) || (access_watcher_ && watched(address));
  }
  // Sets the bits of the lines from `start` over `size` bytes, the space wrapping at 16 MB.
  // `touched`, when given, collects the indexes of the words it changed.
  static void mark_lines(LineBits& bits, std::uint32_t start, std::uint32_t size,
                         std::vector<std::uint32_t>* touched = nullptr);
  void before_cpu_read(std::uint32_t address, int size);
  void after_cpu_write(std::uint32_t address, int size);
  std::uint8_t cpu_read_byte_observed(std::uint32_t address);
  void cpu_write_byte_observed(std::uint32_t address, std::uint8_t value);
  std::uint16_t cpu_read_word_observed(std::uint32_t address);
  std::uint32_t cpu_read_long_observed(std::uint32_t address);
  void cpu_write_word_full(std::uint32_t address, std::uint16_t value);
  // The CPU accessors' slow paths as cold calls (see sim/cold_call.h).
  static std::uint32_t cold_read_byte(void* self, std::uint32_t address, std::uint32_t) noexcept;
  static std::uint32_t cold_write_byte(void* self, std::uint32_t address, std::uint32_t value) noexcept;
  static std::uint32_t cold_write_byte_unobserved(void* self, std::uint32_t address, std::uint32_t value) noexcept;
  static std::uint32_t cold_read_word(void* self, std::uint32_t address, std::uint32_t) noexcept;
  static std::uint32_t cold_write_word(void* self, std::uint32_t address, std::uint32_t value) noexcept;
  static std::uint32_t cold_poke_word(void* self, std::uint32_t address, std::uint32_t value) noexcept;
  // Brings the accessors' tables in step with the store and the observed
  // lines: the spans of one block (by its slot), of a range (wrapping at
  // 16 MB), or all.
  void refresh_cpu_block(std::uint32_t slot);
  void refresh_cpu_spans(std::uint32_t start, std::uint32_t size);
  void refresh_cpu_spans();
  // An entry of the accessors' tables: the address of a span's bytes, with
  // kFullPath set where an access must take the full path. kFullPath alone
  // has no bytes. The bytes lie at even addresses (the pool is aligned), so
  // the bit is free.
  using SpanEntry = std::uintptr_t;
  static constexpr SpanEntry kFullPath = 1;
  static std::uint8_t* span_bytes(SpanEntry e) { return reinterpret_cast<std::uint8_t*>(e - kFullPath); }
  static const SpanEntry* no_spans();  // every entry kFullPath alone: every access takes the full path

  // Hot members first: the accessors touch only these.
  // The CPU accessors' view of the store, an entry per 256-byte span: its
  // bytes, marked kFullPath where a line of the span is hooked or watched;
  // for writes kFullPath alone for a block not made yet and for the page
  // registers' span (the mirror). While every access is observed both point
  // at no_spans().
  const SpanEntry* cpu_reads_;
  const SpanEntry* cpu_writes_;
  // Block table: one pointer per 512-byte block of the space; untouched blocks
  // point at the zero block, which is block 0 of the pool and never written.
  std::unique_ptr<std::uint8_t*[]> table_;
  std::unique_ptr<std::uint8_t[]> pool_;  // (1 + kMaxBlocks) blocks
  std::unique_ptr<SpanEntry[]> read_spans_;  // what cpu_reads_ is while not every access is observed
  std::unique_ptr<SpanEntry[]> write_spans_;
  bool observed_ = false;  // hooks or watchers present: CPU accessors look at observed_bits_
  // A bit per line, hooked or watched (see observed_at()): hooked_lines_, the
  // union in observed_lines_, or every_line() while every access is observed.
  const std::uint64_t* observed_bits_ = nullptr;
  LineBits observed_lines_;
  RawAccessWatcher* raw_watcher_ = nullptr;
  CpuRegs& regs_;
  ErrorReporter& errors_;

  std::array<std::uint32_t, kMaxBlocks> block_address_{};  // in order of first touch
  std::array<std::uint8_t, kMaxBlocks> block_state_{};
  int block_count_ = 0;

  Hook* hooks_ = nullptr;
  int live_hooks_ = 0;
  int next_handle_ = 1;
  int dispatch_depth_ = 0;
  std::uint64_t notices_ = 0;
  std::uint32_t layout_ = 0;
  AccessWatcher* access_watcher_ = nullptr;
  // The watched addresses (see watch()), or every address.
  struct WatchedRange {
    std::uint32_t start;
    std::uint32_t size;
  };
  std::vector<WatchedRange> watched_ranges_;
  bool watch_all_ = false;
  // A bit per line that a live hook covers.
  LineBits hooked_lines_;
  std::vector<std::uint32_t> watch_marked_;  // words of observed_lines_ that watch() changed
  void (*view_refresh_)(void*) = nullptr;
  void* view_refresh_ctx_ = nullptr;
};

}  // namespace tav
