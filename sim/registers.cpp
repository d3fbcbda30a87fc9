// Register codes, their read/write rules, the saved block, reset and the display line.
#include "sim/registers.h"

#include <cstdlib>
#include <cstring>

#include "support/fmt.h"
#include "support/messages.h"

namespace tav {

const RegisterInfo kRegisterTable[kRegisterTableSize] = {
    {"MC68HCS12X", 0},
    {"a", 1},     {"b", 1},     {"ccr", 1},   {"ccrw", 1},   {"d", 2},      {"x", 2},
    {"y", 2},     {"s", 2},     {"pc", 2},    {"ppage", 1},  {"rpage", 1},  {"epage", 1},
    {"gpage", 1}, {"direct", 1}, {"ppc", 4},  {"r0", 1},     {"r1", 1},     {"r2", 1},
    {"r3", 1},    {"r4", 1},    {"r5", 1},    {"r6", 1},     {"r7", 1},     {"xpc", 1},
    {"xccr", 1},  {"xppc", 2},  {"ccrh", 1},
};

namespace {

// CCRH keeps only the interrupt priority level (bits 0-2) and bit 7.
constexpr std::uint16_t kCcrWritable = 0x87FF;
constexpr std::uint16_t kResetCcr = CC_X | CC_I;
constexpr std::uint16_t kResetVector = 0xFFFE;

std::uint32_t xgate_r_addr(int code) { return kXgateR0Addr + 2 * static_cast<std::uint32_t>((code - REG_R0) / kRegCodeStep); }

// Offsets in the saved register block.
enum SavedField { kSavA = 0, kSavB = 1, kSavCcr = 2, kSavX = 4, kSavY = 6, kSavSp = 8, kSavPc = 10,
                  kSavDirect = 12, kSavPpage = 13, kSavRpage = 14, kSavEpage = 15, kSavGpage = 16 };

std::uint16_t get16(const std::uint8_t* p) {
  std::uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}

void put16(std::uint8_t* p, std::uint16_t v) { std::memcpy(p, &v, 2); }

// The display reads the XGATE registers quietly: showing them is not a target access.
std::uint16_t peek16(const Memory& m, std::uint32_t a) { return static_cast<std::uint16_t>(m.peek(a) << 8 | m.peek(a + 1)); }

// Eight characters: the letter of each set bit, "." for a clear one.
void flag_text(char* out, unsigned value, const char* letters, int count) {
  for (int i = 0; i < count; ++i) out[i] = (value >> (count - 1 - i)) & 1 ? letters[i] : '.';
  out[count] = 0;
}

}  // namespace

std::uint32_t xgate_default_to_global(std::uint32_t a) {
  a &= 0xFFFF;
  if (a < 0x0800) return a;
  if (a < 0x8000) return 0x780000 | a;
  return 0x0F0000 | a;
}

Registers::Registers(CpuRegs& cpu, Memory& memory) : cpu_(cpu), memory_(memory) {}

void Registers::report_unknown() { memory_.errors().report_error(msgtext(16) + "\n"); }

std::uint32_t Registers::ReadRegister(int code) {
  switch (code) {
    case REG_A: return cpu_.a;
    case REG_B: return cpu_.b;
    case REG_CCR: return cpu_.ccr & 0xFF;
    case REG_CCRW: return cpu_.ccr;
    case REG_D: return cpu_.d();
    case REG_X: return cpu_.x;
    case REG_Y: return cpu_.y;
    case REG_SP: return cpu_.sp;
    case REG_PC: return cpu_.pc;
    case REG_PPAGE: return cpu_.ppage;
    case REG_RPAGE: return cpu_.rpage;
    case REG_EPAGE: return cpu_.epage;
    case REG_GPAGE: return cpu_.gpage;
    case REG_DIRECT: return cpu_.direct;
    case REG_PPC: return ReadPC();
    case REG_XPC: return memory_.ReadWord(kXgatePcAddr);
    case REG_XCCR: return memory_.ReadByte(kXgateCcrAddr);
    case REG_XPPC: return xgate_to_global_(memory_.ReadWord(kXgatePcAddr));
    case REG_CCRH: return cpu_.ccr >> 8;
    default:
      if (code >= REG_R0 && code <= REG_R7 && code % kRegCodeStep == 0) return memory_.ReadWord(xgate_r_addr(code));
      report_unknown();
      return 1;
  }
}

void Registers::WriteRegister(int code, std::uint32_t value) {
  const auto byte = static_cast<std::uint8_t>(value);
  const auto word = static_cast<std::uint16_t>(value);
  switch (code) {
    case REG_A: cpu_.a = byte; return;
    case REG_B: cpu_.b = byte; return;
    case REG_CCR: cpu_.ccr = static_cast<std::uint16_t>((cpu_.ccr & 0xFF00) | byte); return;
    case REG_CCRW: cpu_.ccr = word & kCcrWritable; return;
    case REG_D: cpu_.set_d(word); return;
    case REG_X: cpu_.x = word; return;
    case REG_Y: cpu_.y = word; return;
    case REG_SP: cpu_.sp = word; return;
    case REG_PC: cpu_.pc = word; return;
    case REG_PPAGE: cpu_.ppage = byte; return;
    case REG_RPAGE: cpu_.rpage = byte; return;
    case REG_EPAGE: cpu_.epage = byte; return;
    case REG_GPAGE: cpu_.gpage = byte; return;
    case REG_DIRECT: cpu_.direct = byte; return;
    case REG_PPC: memory_.WritePPC(value); return;
    case REG_R0: return;  // R0 reads as whatever memory holds but cannot be set
    case REG_XPC: memory_.WriteWord(kXgatePcAddr, word); return;
    case REG_XCCR: memory_.WriteByte(kXgateCcrAddr, byte & 0x0F); return;
    case REG_XPPC: return;  // derived through the XGATE map; there is no way back
    case REG_CCRH: cpu_.ccr = static_cast<std::uint16_t>((cpu_.ccr & 0x00FF) | (byte & 0x87) << 8); return;
    default:
      if (code > REG_R0 && code <= REG_R7 && code % kRegCodeStep == 0) {
        memory_.WriteWord(xgate_r_addr(code), word);
        return;
      }
      report_unknown();
  }
}

int Registers::GetRegisterCode(std::string_view name) {
  for (int i = 1; i < kRegisterTableSize; ++i)
    if (name == kRegisterTable[i].name) return i * kRegCodeStep;
  return 0;
}

int Registers::GetRegisterSize(int code) {
  if (code % kRegCodeStep != 0 || code < kRegCodeStep || code / kRegCodeStep >= kRegisterTableSize) return 0;
  return kRegisterTable[code / kRegCodeStep].size;
}

std::string Registers::register_list() {
  std::string list;
  for (int i = 1; i < kRegisterTableSize; ++i) {
    list += kRegisterTable[i].name;
    list += '\0';
  }
  list += '\0';
  return list;
}

char* Registers::GetRegisterList() {
  const std::string list = register_list();
  char* block = static_cast<char*>(std::malloc(list.size()));
  if (block) std::memcpy(block, list.data(), list.size());
  return block;
}

void Registers::SaveRegisters(void* block) const {
  auto* p = static_cast<std::uint8_t*>(block);
  p[kSavA] = cpu_.a;
  p[kSavB] = cpu_.b;
  put16(p + kSavCcr, cpu_.ccr);
  put16(p + kSavX, cpu_.x);
  put16(p + kSavY, cpu_.y);
  put16(p + kSavSp, cpu_.sp);
  put16(p + kSavPc, cpu_.pc);
  p[kSavDirect] = cpu_.direct;
  p[kSavPpage] = cpu_.ppage;
  p[kSavRpage] = cpu_.rpage;
  p[kSavEpage] = cpu_.epage;
  p[kSavGpage] = cpu_.gpage;
  p[17] = 0;
}

void Registers::RestoreRegisters(const void* block) {
  const auto* p = static_cast<const std::uint8_t*>(block);
  cpu_.a = p[kSavA];
  cpu_.b = p[kSavB];
  cpu_.ccr = get16(p + kSavCcr);
  cpu_.x = get16(p + kSavX);
  cpu_.y = get16(p + kSavY);
  cpu_.sp = get16(p + kSavSp);
  cpu_.pc = get16(p + kSavPc);
  cpu_.direct = p[kSavDirect];
  cpu_.ppage = p[kSavPpage];
  cpu_.rpage = p[kSavRpage];
  cpu_.epage = p[kSavEpage];
  cpu_.gpage = p[kSavGpage];
}

std::uint32_t Registers::ReadSavedRegister(const void* block, int code) {
  const auto* p = static_cast<const std::uint8_t*>(block);
  switch (code) {
    case REG_A: return p[kSavA];
    case REG_B: return p[kSavB];
    case REG_CCR: return get16(p + kSavCcr) & 0xFF;
    case REG_CCRW: return get16(p + kSavCcr);
    case REG_D: return std::uint32_t{p[kSavA]} << 8 | p[kSavB];
    case REG_X: return get16(p + kSavX);
    case REG_Y: return get16(p + kSavY);
    case REG_SP: return get16(p + kSavSp);
    case REG_PC: return get16(p + kSavPc);
    case REG_PPAGE: return p[kSavPpage];
    case REG_RPAGE: return p[kSavRpage];
    case REG_EPAGE: return p[kSavEpage];
    case REG_GPAGE: return p[kSavGpage];
    case REG_DIRECT: return p[kSavDirect];
    case REG_PPC: return ReadSavedPC(block);
    case REG_CCRH: return get16(p + kSavCcr) >> 8;
    default: return 0;
  }
}

std::uint32_t Registers::ReadSavedPC(const void* block) {
  return get16(static_cast<const std::uint8_t*>(block) + kSavPc);
}

void Registers::reset() {
  cpu_ = CpuRegs{};
  cpu_.ccr = kResetCcr;
  cpu_.pc = memory_.ReadWord(memory_.LocalToGlobal(kResetVector));
}

std::size_t Registers::registers_text(char* buffer, std::size_t capacity, std::uint32_t cycles, bool xgate_only) {
  std::size_t n;
  if (xgate_only) {
    std::uint16_t r[8];
    for (int i = 1; i < 8; ++i) r[i] = peek16(memory_, kXgateR0Addr + 2 * i);
    char ccr[5];
    flag_text(ccr, memory_.peek(kXgateCcrAddr), "NZVC", 4);
    n = fmtbuf(buffer, capacity,
               "r1:%+04hi r2:%+04hi r3:%+04hi r4:%+04hi ccr:%p pc:%+04hi\nr5:%+04hi r6:%+04hi r7:%+04hi", r[1],
               r[2], r[3], r[4], ccr, peek16(memory_, kXgatePcAddr), r[5], r[6], r[7]);
  } else {
    char ccr[9];
    flag_text(ccr, cpu_.ccr & 0xFF, "SXHINZVC", 8);
    n = fmtbuf(buffer, capacity, "ccr:%p a:%+02hi b:%+02hi x:%+04hi y:%+04hi s:%+04hi pc:%+06hi", ccr, cpu_.a,
               cpu_.b, cpu_.x, cpu_.y, cpu_.sp, ReadPC());
  }
  return n + fmtbuf(buffer + n, capacity - n, " Cycles: %+010ul", cycles);
}

std::string Registers::registers_text(std::uint32_t cycles, bool xgate_only) {
  char buffer[160];
  return std::string(buffer, registers_text(buffer, sizeof buffer, cycles, xgate_only));
}

}  // namespace tav
