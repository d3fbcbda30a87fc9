// Branches, long branches, loop primitives, brset/brclr, jmp, jsr, bsr, call.
#include <array>
#include <utility>

#include "sim/cpu_exec.h"

namespace tav::exec {
namespace {

// Condition of the conditional branches 0x20-0x2F (and their long forms):
// bits 1-3 select it; an odd opcode branches when it holds, an even one when not.
inline bool branch_taken(std::uint8_t opcode, std::uint16_t ccr) {
  const bool c = ccr & CC_C, z = ccr & CC_Z, v = ccr & CC_V, n = ccr & CC_N;
  bool cond;
  switch ((opcode >> 1) & 7) {
    case 0: cond = false; break;
    case 1: cond = c || z; break;
    case 2: cond = c; break;
    case 3: cond = z; break;
    case 4: cond = v; break;
    case 5: cond = n; break;
    case 6: cond = n != v; break;
    default: cond = z || (n != v); break;
  }
  return (opcode & 1) ? cond : !cond;
}

// One routine per postbyte, so the register and the kind of loop are fixed
// at compile time.
template <int Post>
[[gnu::always_inline]] inline void loop_primitive(Cpu& c, std::uint16_t target) {
  constexpr unsigned code = postbyte_register(Post & 7);
  constexpr LoopKind kind = loop_kind(Post);
  std::uint16_t v = read_register(c.regs, code);
  if (kind != LoopKind::Test) {
    v = static_cast<std::uint16_t>(kind == LoopKind::Increment ? v + 1 : v - 1);
    write_register(c.regs, code, v);
  }
  const bool zero = is_8bit_register(code) ? (v & 0xFF) == 0 : v == 0;
  if (zero != loop_branches_on_nonzero(Post))
    c.regs.pc = target;
  else
    c.scratch.alt = 1;
}

using LoopFn = void (*)(Cpu&, std::uint16_t);
template <std::size_t... P>
constexpr std::array<LoopFn, 256> loop_routines(std::index_sequence<P...>) {
  return {{&loop_primitive<static_cast<int>(P)>...}};
}
constexpr std::array<LoopFn, 256> kLoopByPostbyte = loop_routines(std::make_index_sequence<256>{});

struct Flow {
  template <int I>
  static void apply(Cpu& c, Operand& o) {
    constexpr OpcodeEntry e = kOpcodeTable[I];
    constexpr Mn m = e.mnemonic;
    if constexpr (is_loop_entry(e)) {
      kLoopByPostbyte[o.post](c, o.target_local);
    } else if constexpr (m == Mn::brset || m == Mn::brclr) {
      const std::uint8_t combined = m == Mn::brclr ? (o.mask & o.memory) : (o.mask & ~o.memory);
      if (combined == 0) c.regs.pc = o.target_local;
    } else if constexpr (m == Mn::jmp) {
      jump_to(c, o.ea);
    } else if constexpr (m == Mn::jsr) {
      push16(c, c.regs.pc);
      jump_to(c, o.ea);
    } else if constexpr (m == Mn::bsr) {
      push16(c, c.regs.pc);
      c.regs.pc = o.target_local;
    } else if constexpr (m == Mn::call) {
      push16(c, c.regs.pc);
      push8(c, c.regs.ppage);
      // The `ppc` rule: the target's flash page becomes PPAGE.
      c.regs.ppage = static_cast<std::uint8_t>(o.ea >> 14);
      c.regs.pc = Memory::PpcLocal(o.ea);
    } else {
      static_assert(opd::relative(e.operand) && e.opcode >= 0x20 && e.opcode <= 0x2F);
      if (branch_taken(e.opcode, c.regs.ccr))
        c.regs.pc = o.target_local;
      else
        c.scratch.alt = 1;
    }
  }
};

// A loop primitive (0x04) with the postbyte `Post`, its routine inlined
// instead of called through the table.
template <int Post>
std::uint32_t execute_loop(Cpu& c, const std::uint8_t* code, std::uint32_t address, std::uint16_t local) {
  return execute_for_postbyte<0x04, Flow, Post, 3>(c, code, address, local, [&] {
    const std::uint8_t low = code[2];
    const int offset = (Post & 0x10) ? static_cast<int>(low) - 256 : low;
    loop_primitive<Post>(c, local_at_distance(local, 3 + offset, branch_target(address + 3, offset)));
  });
}

template <std::size_t... P>
constexpr std::array<ExecFn, 256> loop_executors(std::index_sequence<P...>) {
  return {{&execute_loop<static_cast<int>(P)>...}};
}
constexpr std::array<ExecFn, 256> kLoopExecutors = loop_executors(std::make_index_sequence<256>{});

}  // namespace

void register_flow(DispatchTable& table) { register_family<Handler::Flow, Flow>(table); }

ExecFn loop_executor(std::uint8_t postbyte) { return kLoopExecutors[postbyte]; }

}  // namespace tav::exec
