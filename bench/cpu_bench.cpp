// Simulated instructions and bus cycles per wall-clock second on a CPU-bound
// program (CRC-32, bubble sort, sieve; bench/cpu_bench.s, assembled with the
// GNU assembler at build time). Usage: tav_cpu_bench [instructions]
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "sim/cpu.h"
#include "sim/memory.h"

namespace {

class PrintErrors : public tav::ErrorReporter {
 public:
  void report_error(std::string_view text) override { std::fprintf(stderr, "%.*s\n", int(text.size()), text.data()); }
};

bool load_srecords(tav::Memory& memory, const char* path) {
  std::ifstream in(path);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() < 4 || line[0] != 'S' || line[1] < '1' || line[1] > '3') continue;
    auto hex = [&](std::size_t pos) { return static_cast<unsigned>(std::stoul(line.substr(pos, 2), nullptr, 16)); };
    const unsigned address_bytes = static_cast<unsigned>(line[1] - '0') + 1;
    std::uint32_t address = 0;
    for (unsigned i = 0; i < address_bytes; ++i) address = address << 8 | hex(4 + 2 * i);
    const unsigned data_bytes = hex(2) - address_bytes - 1;
    for (unsigned i = 0; i < data_bytes; ++i) memory.poke(address + i, static_cast<std::uint8_t>(hex(4 + 2 * (address_bytes + i))));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t wanted = argc > 1 ? std::strtoull(argv[1], nullptr, 0) : 200'000'000;
  tav::CpuRegs regs;
  PrintErrors errors;
  tav::Memory memory(regs, errors);
  tav::Cpu cpu(regs, memory);
  if (!load_srecords(memory, TAV_BENCH_PROGRAM)) {
    std::fprintf(stderr, "cannot read %s\n", TAV_BENCH_PROGRAM);
    return 1;
  }
  regs.pc = 0xC000;
  cpu.run(1'000'000);  // warm up

  const std::uint64_t chunk = 10'000'000;
  std::uint64_t instructions = 0, cycles = 0;
  const auto start = std::chrono::steady_clock::now();
  const std::clock_t cpu_start = std::clock();
  while (instructions < wanted) {
    const auto r = cpu.run(chunk);
    if (r.undefined) {
      std::fprintf(stderr, "undefined opcode at pc 0x%04x\n", regs.pc);
      return 1;
    }
    instructions += r.instructions;
    cycles += r.cycles;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // The machine may be shared: the process's own CPU time shows the simulator's speed alone.
  const double cpu_seconds = static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
  const unsigned rounds = memory.peek(0x0FE000) << 8 | memory.peek(0x0FE001);
  std::printf("simulated instructions: %llu\n", static_cast<unsigned long long>(instructions));
  std::printf("bus cycles:             %llu\n", static_cast<unsigned long long>(cycles));
  std::printf("wall-clock seconds:     %.3f\n", seconds);
  std::printf("instructions/second:    %.1f million\n", instructions / seconds / 1e6);
  std::printf("bus cycles/second:      %.1f million\n", cycles / seconds / 1e6);
  std::printf("process CPU seconds:    %.3f (%.1f million instructions, %.1f million cycles per CPU second)\n",
              cpu_seconds, instructions / cpu_seconds / 1e6, cycles / cpu_seconds / 1e6);
  std::printf("program rounds:         %u\n", rounds);
  return 0;
}
