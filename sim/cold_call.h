// Calls from the CPU accessors' fast paths into their rarely taken slow
// paths: an observed line, a block not made yet, the page registers' mirror.
//
// On x86-64 the call goes through a thunk that keeps every general register,
// written as an assembler statement that the compiler takes for no call at
// all. An executor whose only calls are these then needs no frame: before,
// each memory instruction saved and restored four to six registers (10-14
// host instructions) just in case its access took the slow path. The vector
// registers are declared clobbered instead, as the compiler seldom keeps
// anything there. Elsewhere it is a plain call.
#pragma once
#include <cstdint>

namespace tav {

// A slow path: the object, an address and a value, a result (unused by writes).
// It must not throw: the thunk has no unwind information for its caller's frame.
using ColdFn = std::uint32_t (*)(void* self, std::uint32_t address, std::uint32_t value) noexcept;

#if defined(__x86_64__) && defined(__GNUC__) && !defined(TAV_PLAIN_COLD_CALLS)
extern "C" void tav_cold_call_thunk();  // sim/cold_call.cpp

[[gnu::always_inline]] inline std::uint32_t cold_call(ColdFn fn, void* self, std::uint32_t address,
                                                      std::uint32_t value) {
  // The thunk takes the function in rax and the arguments where the callee
  // expects them. The stack pointer steps over the red zone, where a leaf
  // function may keep its locals.
  auto result = reinterpret_cast<std::uintptr_t>(fn);
  asm volatile(
      "lea -128(%%rsp), %%rsp\n\t"
      "call tav_cold_call_thunk\n\t"
      "lea 128(%%rsp), %%rsp"
      : "+a"(result)
      : "D"(self), "S"(address), "d"(value)
      : "memory", "cc", "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9", "xmm10",
        "xmm11", "xmm12", "xmm13", "xmm14", "xmm15");
  return static_cast<std::uint32_t>(result);
}
#else
[[gnu::always_inline]] inline std::uint32_t cold_call(ColdFn fn, void* self, std::uint32_t address,
                                                      std::uint32_t value) {
  return fn(self, address, value);
}
#endif

}  // namespace tav
