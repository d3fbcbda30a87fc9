// A small C program with known variables, as an object file made with the
// x12 writer: files main.c, util.c and xg.c (an XGATE unit) with globals of
// every base type, structs, unions, bit-fields, enums, pointers and arrays,
// functions with arguments, autos and register variables.
#pragma once
#include <cstdint>
#include <vector>

namespace tav {
class Memory;
class Program;
}  // namespace tav

namespace tav::testing {

// Global addresses of the program's variables (RAM at local 0x2100).
namespace at {
inline constexpr std::uint32_t G = 0x0FE100;
inline constexpr std::uint32_t gi = G + 0x00, gu = G + 0x02, gc = G + 0x04, guc = G + 0x05, gsc = G + 0x06;
inline constexpr std::uint32_t gflags = G + 0x07, gs = G + 0x08, gus = G + 0x0A, gl = G + 0x0C, gul = G + 0x10;
inline constexpr std::uint32_t gf = G + 0x14, gd = G + 0x18, gld = G + 0x20, sfr = G + 0x28, lfr = G + 0x2A;
inline constexpr std::uint32_t arr = G + 0x30, lp = G + 0x38, lq = G + 0x3A, larr = G + 0x40, pt = G + 0x50;
inline constexpr std::uint32_t bits = G + 0x58, ec = G + 0x60, str = G + 0x62, name = G + 0x68, text = G + 0x70;
inline constexpr std::uint32_t np = G + 0x78, fp = G + 0x7A, u = G + 0x80, nest = G + 0x88, sfile = G + 0x90;
inline constexpr std::uint32_t cnt = G + 0x92, counter = G + 0xA0, util_gi = G + 0xA2, onlysym = G + 0xB0;
inline constexpr std::uint32_t main_start = 0x7FC000, main_end = 0x7FC040, add_start = 0x7FC040, add_end = 0x7FC060;
inline constexpr std::uint32_t done_label = 0x7FC030, xtask_start = 0x7F8000, xtask_end = 0x7F8020;
}  // namespace at

// The object file.
std::vector<std::uint8_t> sample_object();
// Loads it (symbols and debug tables); true on success.
bool load_sample(Program& program);
// Writes the known contents of every variable into target memory.
void fill_sample_memory(Memory& m);

}  // namespace tav::testing
