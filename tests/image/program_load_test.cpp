// The load as the load command runs it: phases, entry point and its report,
// the program counter, the source position or the run to the first C line.
#include "image_fixture.h"
#include "sample_program.h"

namespace tav::testing {
namespace {

class LoadTest : public ImageTest {
 protected:
  LoadTest() {
    ProgramHooks& h = program.hooks();
    h.set_pc = [this](std::uint32_t pc) { pcs.push_back(pc); };
    h.show_source = [this](const DebugRecord& r) { shown.push_back(r.value); };
    h.run_to_first_line = [this](std::uint32_t entry, std::uint32_t* line) {
      runs.push_back(entry);
      const DebugRecord* next = program.tables().next_line_after(entry);
      if (!next) return false;
      *line = next->value;
      return true;
    };
    h.load_notify = [this](std::string_view, int phase) { phases.push_back(phase); };
    h.update_markers = [this] { ++markers; };
  }
  bool load(const Bytes& bytes, LoadOptions options = {}) { return program.load(put("p.x12", bytes), options); }
  static LoadOptions entry(std::string spec) {
    LoadOptions o;
    o.has_entry = true;
    o.entry = std::move(spec);
    return o;
  }
  std::vector<std::uint32_t> pcs, shown, runs;
  std::vector<int> phases;
  int markers = 0;
};

TEST_F(LoadTest, PhasesAreAnnouncedInOrder) {
  ASSERT_TRUE(load(sample_program().object.bytes()));
  EXPECT_EQ(host.statuses, (std::vector<std::string>{"Loading... Please Wait", "Ordering Symbols", " Building debug info",
                                                     "Checking Consistency", "Updating Markers", "Building define info"}));
  EXPECT_EQ(markers, 1);
  EXPECT_EQ(phases, (std::vector<int>{0, 1}));
  EXPECT_EQ(host.refreshes, 1);
  EXPECT_EQ(program.file_name(), path("p.x12"));
}

TEST_F(LoadTest, WithoutASpecificationTheTextStartIsTheEntry) {
  ASSERT_TRUE(load(sample_program().object.bytes()));
  EXPECT_EQ(host.out, "    T: 0xc000 (64)  D: 0x0 (0)\nentry point at 0xc000\n");
  EXPECT_EQ(program.entry_address(), 0xC000u);
  EXPECT_EQ(pcs, (std::vector<std::uint32_t>{0xC000}));
  EXPECT_EQ(shown, (std::vector<std::uint32_t>{0xC000})) << "a source record at the entry";
  EXPECT_TRUE(runs.empty());
}

TEST_F(LoadTest, StextComesBeforeText) {
  TestObject o = sample_program().object;
  o.symbols.push_back({0xC00A, 1, 1, "__text"});
  ASSERT_TRUE(load(o.bytes()));
  EXPECT_EQ(program.entry_address(), 0xC00Au);
  o.symbols.push_back({0xC004, 1, 1, "__stext"});
  ASSERT_TRUE(load(o.bytes()));
  EXPECT_EQ(program.entry_address(), 0xC004u);
}

TEST_F(LoadTest, WithoutASourceRecordAtTheEntryTheProgramRunsToItsFirstLine) {
  ASSERT_TRUE(load(sample_program().object.bytes(), entry("49154")));
  EXPECT_TRUE(host.out.ends_with("entry point at 0xc002\nfirst C line at 0xc004\n")) << host.out;
  EXPECT_EQ(runs, (std::vector<std::uint32_t>{0xC002})) << "no source record at the entry: run to the first line";
}

TEST_F(LoadTest, StayingAtTheEntryDoesNotRun) {
  LoadOptions o = entry("0xC002");
  o.stay = true;
  ASSERT_TRUE(load(sample_program().object.bytes(), o));
  EXPECT_TRUE(runs.empty());
  EXPECT_TRUE(shown.empty());
}

TEST_F(LoadTest, APendingResetTakesTheResetVector) {
  program.hooks().reset_pending = [] { return true; };
  program.hooks().reset_cpu = [] { return 0xC018u; };
  ASSERT_TRUE(load(sample_program().object.bytes()));
  EXPECT_TRUE(host.out.ends_with("entry point at 0xc018\n")) << host.out;
  EXPECT_EQ(shown, (std::vector<std::uint32_t>{0xC018}));
}

TEST_F(LoadTest, NoEntrySymbolWarnsAndUsesZero) {
  TestObject o;
  TSection data;
  data.name = ".data";
  data.placement = 0x2000;
  data.data = {1};
  o.sections.push_back(data);
  ASSERT_TRUE(load(o.bytes()));
  EXPECT_EQ(host.all_errors(), "Cannot Find entry Point. Set PC to entry point|");
  EXPECT_EQ(program.entry_address(), 0u);
  EXPECT_EQ(pcs, (std::vector<std::uint32_t>{0}));
  EXPECT_TRUE(host.out.ends_with("no debug symbol table\n"));
}

TEST_F(LoadTest, ANewLoadReplacesTheOldProgram) {
  ASSERT_TRUE(load(sample_program().object.bytes()));
  program.symbols().define_symbol(".mine", 1);
  ASSERT_TRUE(program.load(put("p.bin", Bytes{1, 2}), LoadOptions{}));
  EXPECT_TRUE(program.tables().empty());
  EXPECT_FALSE(has_sym("_main"));
  EXPECT_TRUE(has_sym(".mine"));
  EXPECT_EQ(program.segments().size(), 0u);
  EXPECT_EQ(memory.block_state(0xC000), Memory::Clean) << "the old program's blocks are no longer loaded";
}

TEST_F(LoadTest, DefaultProgramCounterGoesThroughTheMemoryMap) {
  program.hooks().set_pc = nullptr;
  TestObject o = sample_program().object;
  o.sections[0].placement = o.sections[0].base = 0x7FC000;
  o.symbols.clear();
  ASSERT_TRUE(load(o.bytes()));
  EXPECT_EQ(regs.pc, 0xC000);
}

}  // namespace
}  // namespace tav::testing
