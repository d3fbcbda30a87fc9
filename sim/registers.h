// The CPU12 register file as the rest of the debugger sees it: registers named
// by code (index in the register table times 32) or by name, the rules of each
// code, the saved register block, reset and the register display line.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "sim/cpu_regs.h"
#include "sim/memory.h"
#include "sim/reg_codes.h"

namespace tav {

struct RegisterInfo {
  const char* name;
  std::uint8_t size;  // bytes, as reported to callers
};

// Index 0 names the processor; register i has code i * 32.
inline constexpr int kRegisterTableSize = 28;
extern const RegisterInfo kRegisterTable[kRegisterTableSize];

// Where the XGATE's registers live in target memory.
inline constexpr std::uint32_t kXgateCcrAddr = 0x039D;
inline constexpr std::uint32_t kXgatePcAddr = 0x039E;
inline constexpr std::uint32_t kXgateR0Addr = 0x03A0;

// Translation of a 16-bit XGATE address to a global one (the XGATE support
// library's XGateToGlobal once it is bound).
using XGateToGlobalFn = std::uint32_t (*)(std::uint32_t xgate_address);
// The S12X's own XGATE map: registers as they are, flash at 0x78xxxx, RAM at 0x0Fxxxx.
std::uint32_t xgate_default_to_global(std::uint32_t xgate_address);

class Registers {
 public:
  static constexpr int kSavedBlockSize = 18;

  Registers(CpuRegs& cpu, Memory& memory);

  CpuRegs& cpu() { return cpu_; }

  // By code. An unknown code reports "unknown register"; a read then yields 1.
  std::uint32_t ReadRegister(int code);
  void WriteRegister(int code, std::uint32_t value);
  std::uint32_t ReadNamedRegister(std::string_view name) { return ReadRegister(GetRegisterCode(name)); }
  void WriteNamedRegister(std::string_view name, std::uint32_t value) { WriteRegister(GetRegisterCode(name), value); }

  static int GetRegisterCode(std::string_view name);  // 0 when unknown
  static int GetRegisterSize(int code);                // 0 when unknown
  static int GetNamedRegisterSize(std::string_view name) { return GetRegisterSize(GetRegisterCode(name)); }
  // The names "a" ... "ccrh", each NUL-terminated, ended by an empty name.
  static std::string register_list();
  static char* GetRegisterList();  // the same in a malloc'ed block the caller frees

  std::uint32_t ReadPC() const { return memory_.LocalToGlobal(cpu_.pc); }
  void WritePC(std::uint32_t global) { memory_.WritePC(global); }

  // Saved register block: A, B, CCR, X, Y, SP, PC (16-bit fields in host order),
  // DIRECT, PPAGE, RPAGE, EPAGE, GPAGE and a reserved byte.
  static int GetRegistersBlockSize() { return kSavedBlockSize; }
  void SaveRegisters(void* block) const;
  void RestoreRegisters(const void* block);
  static std::uint32_t ReadSavedRegister(const void* block, int code);  // 0 for codes it does not hold
  static std::uint32_t ReadSavedPC(const void* block);                  // the block's PC field as it is

  // Register part of the kernel's reset: PC from the reset vector, CCR 0x0050, the rest 0.
  void reset();

  void set_xgate_to_global(XGateToGlobalFn fn) { xgate_to_global_ = fn ? fn : xgate_default_to_global; }
  std::uint32_t xgate_to_global(std::uint32_t xgate_address) const { return xgate_to_global_(xgate_address); }

  // The register display line, without a line end; `cycles` is the command's
  // cycle count. `xgate_only` shows the XGATE registers instead (processor mode 2).
  std::size_t registers_text(char* buffer, std::size_t capacity, std::uint32_t cycles, bool xgate_only = false);
  std::string registers_text(std::uint32_t cycles, bool xgate_only = false);

 private:
  void report_unknown();

  CpuRegs& cpu_;
  Memory& memory_;
  XGateToGlobalFn xgate_to_global_ = xgate_default_to_global;
};

}  // namespace tav
