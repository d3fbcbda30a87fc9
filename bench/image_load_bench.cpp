// Load time of a generated object file with tens of thousands of debug
// records, and the cost of the lookups the debugger makes while it runs.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include "image/program.h"
#include "large_program.h"
#include "sim/memory.h"

namespace {

using namespace tav;
using namespace tav::testing;

class NoErrors : public ErrorReporter {
 public:
  void report_error(std::string_view) override {}
};

struct Fixture {
  Fixture() : bytes(large_program().bytes()) {}
  bool load() {
    return program.load_bytes("large.x12", bytes, false, false, true) == 1 && program.build_debug_info();
  }
  CpuRegs regs;
  NoErrors errors;
  Memory memory{regs, errors};
  Program program{memory};
  Bytes bytes;
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

void BM_LoadLargeObject(benchmark::State& state) {
  Fixture& f = fixture();
  for (auto _ : state) {
    if (!f.load()) state.SkipWithError("load failed");
  }
  const auto records = f.program.tables().records().size();
  state.counters["debug_records"] = static_cast<double>(records);
  state.counters["records_per_s"] =
      benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_LoadLargeObject)->Unit(benchmark::kMillisecond);

void BM_SourcePositionByAddress(benchmark::State& state) {
  Fixture& f = fixture();
  f.load();
  const DebugTables& t = f.program.tables();
  const std::uint32_t last = t.records().back().value;
  std::uint32_t a = 0xC000;
  for (auto _ : state) {
    benchmark::DoNotOptimize(t.record_at(a));
    benchmark::DoNotOptimize(t.record_covering(a));
    a = a >= last ? 0xC000 : a + 7;
  }
}
BENCHMARK(BM_SourcePositionByAddress);

void BM_LineAddressAndFunctionByName(benchmark::State& state) {
  Fixture& f = fixture();
  f.load();
  const DebugTables& t = f.program.tables();
  const FileEntry* file = t.files()[t.files().size() / 2];
  unsigned line = 2;
  for (auto _ : state) {
    benchmark::DoNotOptimize(t.line_address(file, line));
    benchmark::DoNotOptimize(t.find_function("f125_20"));
    benchmark::DoNotOptimize(t.find_global("g200_7"));
    line = line > 400 ? 2 : line + 1;
  }
}
BENCHMARK(BM_LineAddressAndFunctionByName);

}  // namespace

BENCHMARK_MAIN();
