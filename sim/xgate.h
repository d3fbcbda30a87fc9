// The XGATE coprocessor: its state, kept in target memory where the S12X maps
// its registers, and its decode-execute over the instruction table.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

#include "sim/memory.h"
#include "sim/registers.h"
#include "sim/xgate_table.h"

namespace tav {

// Formats one XGATE instruction word at `address` into `text` (NUL-terminated,
// at most `capacity` bytes); returns 2, or kXgateUndefined. The disassembler
// layer provides it (xgate_disasm_word).
using XgateTextFn = std::uint32_t (*)(std::uint16_t word, std::uint32_t address, char* text, std::size_t capacity);

// Receives the vector address of the CPU12 interrupt that `sif` raises (RaiseInterrupt).
using XgateInterruptFn = std::function<void(std::uint32_t vector)>;

inline constexpr std::uint32_t kXgateUndefined = 0xFFFE;
inline constexpr int kXgateFlagText = 1;
inline constexpr int kXgateFlagExecute = 2;
inline constexpr std::size_t kXgateTextCapacity = 512;

// Addresses of the XGATE's control bytes beside its registers.
inline constexpr std::uint32_t kXgateEnableAddr = 0x0381;   // bit 7: XGE
inline constexpr std::uint32_t kXgateChannelAddr = 0x0382;  // low 7 bits: the active channel
inline constexpr std::uint32_t kIvbrAddr = 0x0121;          // CPU12 interrupt vector base

// Condition code bits of XGCCR.
enum XgCcr : std::uint8_t { XG_C = 1, XG_V = 2, XG_Z = 4, XG_N = 8 };

// R0-R7, XGPC and XGCCR as the register display keeps them.
struct XgateRegisterCopy {
  std::uint16_t r[8] = {};
  std::uint16_t pc = 0;
  std::uint8_t ccr = 0;
  bool operator==(const XgateRegisterCopy&) const = default;
};

class Xgate {
 public:
  // Translations go through `registers` (its XGateToGlobal binding).
  Xgate(Memory& memory, Registers& registers);

  // State in target memory, through the raw accessors.
  std::uint16_t reg(int n) { return memory_.ReadWord(kXgateR0Addr + 2 * static_cast<std::uint32_t>(n)); }
  void set_reg(int n, std::uint16_t value) {  // R0 cannot be written
    if (n != 0) memory_.WriteWord(kXgateR0Addr + 2 * static_cast<std::uint32_t>(n), value);
  }
  std::uint16_t pc() { return memory_.ReadWord(kXgatePcAddr); }
  void set_pc(std::uint16_t value) { memory_.WriteWord(kXgatePcAddr, value); }
  std::uint8_t ccr() { return memory_.ReadByte(kXgateCcrAddr) & 0x0F; }
  void set_ccr(std::uint8_t flags) { memory_.WriteByte(kXgateCcrAddr, flags & 0x0F); }
  std::uint8_t channel() { return memory_.ReadByte(kXgateChannelAddr) & 0x7F; }
  bool xge() { return (memory_.ReadByte(kXgateEnableAddr) & 0x80) != 0; }
  // A thread runs: XGE is set and a channel is active.
  bool active() { return xge() && channel() != 0; }
  // The same without reporting the reads: the run loop's own bookkeeping,
  // asked around every instruction, is no target access.
  bool running() const {
    return (memory_.peek(kXgateEnableAddr) & 0x80) != 0 && (memory_.peek(kXgateChannelAddr) & 0x7F) != 0;
  }
  // The program counter as a global address (register code xppc).
  std::uint32_t ppc() { return to_global(pc()); }
  std::uint32_t quiet_ppc() const {  // the same, read without reporting the access
    return to_global(static_cast<std::uint16_t>(memory_.peek(kXgatePcAddr) << 8 | memory_.peek(kXgatePcAddr + 1)));
  }
  std::uint32_t to_global(std::uint16_t xgate_address) const { return registers_.xgate_to_global(xgate_address); }

  // The loaded program holds code compiled for the XGATE (set by the loader,
  // cleared at each load): governs XGATE frames, lines and events.
  bool enabled() const { return enabled_; }
  void set_enabled(bool enabled) { enabled_ = enabled; }

  // Register values without reporting accesses (for the register display).
  XgateRegisterCopy copy_registers() const;

  // Decode-execute of the word at global `address`: flag bit 0 formats text
  // (through the installed formatter), bit 1 executes. Returns 2, or
  // kXgateUndefined, which executes nothing and costs nothing. `cycles`
  // receives the cycles the instruction took (0 when it did not execute).
  std::uint32_t decode(std::uint32_t address, int flags, char* text = nullptr,
                       std::size_t capacity = kXgateTextCapacity, std::uint32_t* cycles = nullptr);

  // One instruction at the program counter (xppc); stores its cycles and adds
  // them to the .xtime counter. Returns the decoder's result.
  std::uint32_t XGexinst(std::uint32_t* cycles) { return step(kXgateFlagExecute, nullptr, 0, cycles); }
  // The same with the decoder's flags and text.
  std::uint32_t step(int flags, char* text, std::size_t capacity, std::uint32_t* cycles);

  // The .xtime counter: XGexinst adds to it. By default a counter of this
  // object; the kernel may bind its variable instead, or null for none.
  std::uint32_t xtime() const { return xtime_counter_ ? *xtime_counter_ : 0; }
  void set_xtime(std::uint32_t value) {
    if (xtime_counter_) *xtime_counter_ = value;
  }
  void bind_xtime(std::uint32_t* counter) { xtime_counter_ = counter; }

  void set_interrupt_raiser(XgateInterruptFn raise) { raise_interrupt_ = std::move(raise); }
  void set_text_formatter(XgateTextFn format) { format_text_ = format; }

 private:
  std::uint32_t execute(const XgateOp& op, std::uint16_t word, std::uint32_t address);
  std::uint16_t effective_address(XgOperand format, std::uint16_t word, int size);
  void set_result(int rd, std::uint16_t value) { set_reg(rd, value); }
  void set_flags(std::uint8_t flags) {
    memory_.WriteByte(kXgateCcrAddr, static_cast<std::uint8_t>((memory_.ReadByte(kXgateCcrAddr) & 0xF0) | flags));
  }

  Memory& memory_;
  Registers& registers_;
  bool enabled_ = false;
  std::uint32_t own_xtime_ = 0;
  std::uint32_t* xtime_counter_ = &own_xtime_;
  XgateInterruptFn raise_interrupt_;
  XgateTextFn format_text_ = nullptr;
};

}  // namespace tav
