// tab/tba and the postbyte forms exg, tfr and sex.
#include <array>
#include <utility>

#include "sim/cpu_exec.h"

namespace tav::exec {
namespace {

[[gnu::always_inline]] inline void write_with_x_rule(CpuRegs& r, unsigned code, std::uint16_t v, std::uint16_t old_ccr) {
  if (code == REG_CCR || code == REG_CCRW) v = keep_x_rule(old_ccr, v);
  write_register(r, code, v);
}

[[gnu::always_inline]] inline void transfer(CpuRegs& r, std::uint8_t post) {
  const unsigned source = postbyte_register((post >> 4) & 7);
  const unsigned destination = postbyte_register(post & 7);
  std::uint16_t v = read_register(r, source);
  if (post == 0x4D || post == 0x4E)
    v = (v & 0x8000) ? 0xFFFF : 0;  // sex d,x / sex d,y: the high word of D's sign extension
  else if (is_8bit_register(source))
    v = (v & 0x80) ? static_cast<std::uint16_t>(0xFF00 | v) : static_cast<std::uint16_t>(v & 0xFF);
  write_with_x_rule(r, destination, v, r.ccr);
}

[[gnu::always_inline]] inline void exchange(CpuRegs& r, std::uint8_t post) {
  unsigned r1 = exg_register(post, (post >> 4) & 7);
  const unsigned r2 = exg_register(post, post & 7);
  if (r1 == 160 && r2 == 32) r1 = 64;  // exg d,a exchanges B and A
  const std::uint16_t v1 = read_register(r, r1);
  std::uint16_t v2 = read_register(r, r2);
  if (r2 == 64 || r2 == 96)
    v2 = static_cast<std::uint16_t>(0xFF00 | (v2 & 0xFF));
  else if (r2 == 32)
    v2 &= 0xFF;
  const std::uint16_t old_ccr = r.ccr;
  write_with_x_rule(r, r2, v1, old_ccr);
  write_with_x_rule(r, r1, v2, old_ccr);
}

// One routine per postbyte: its registers and rules are fixed at compile
// time instead of being looked up on every exg, tfr or sex.
template <int Post>
[[gnu::always_inline]] inline void by_postbyte(CpuRegs& r) {
  if constexpr ((Post & 0x80) != 0)
    exchange(r, Post);
  else
    transfer(r, Post);
}

using PostbyteFn = void (*)(CpuRegs&);
template <std::size_t... P>
constexpr std::array<PostbyteFn, 256> postbyte_routines(std::index_sequence<P...>) {
  return {{&by_postbyte<static_cast<int>(P)>...}};
}
constexpr std::array<PostbyteFn, 256> kByPostbyte = postbyte_routines(std::make_index_sequence<256>{});

struct Transfers {
  template <int I>
  static void apply(Cpu& c, Operand& o) {
    constexpr OpcodeEntry e = kOpcodeTable[I];
    if constexpr (e.mnemonic == Mn::tab || e.mnemonic == Mn::tba) {
      const std::uint8_t v = e.mnemonic == Mn::tab ? c.regs.a : c.regs.b;
      if constexpr (e.mnemonic == Mn::tab)
        c.regs.b = v;
      else
        c.regs.a = v;
      c.regs.ccr &= static_cast<std::uint16_t>(~CC_V);
      nz8(c.regs, v);
    } else {
      kByPostbyte[o.post](c.regs);
    }
  }
};

// exg, tfr or sex (0xB7) with the postbyte `Post`, its routine inlined
// instead of called through the table.
template <int Post>
std::uint32_t execute_transfer(Cpu& c, const std::uint8_t* code, std::uint32_t address, std::uint16_t local) {
  return execute_for_postbyte<0xB7, Transfers, Post, 2>(c, code, address, local, [&] { by_postbyte<Post>(c.regs); });
}

template <std::size_t... P>
constexpr std::array<ExecFn, 256> transfer_executors(std::index_sequence<P...>) {
  return {{&execute_transfer<static_cast<int>(P)>...}};
}
constexpr std::array<ExecFn, 256> kTransferExecutors = transfer_executors(std::make_index_sequence<256>{});

}  // namespace

void register_transfers(DispatchTable& table) { register_family<Handler::Transfers, Transfers>(table); }

ExecFn transfer_executor(std::uint8_t postbyte) { return kTransferExecutors[postbyte]; }

}  // namespace tav::exec
