#include <gtest/gtest.h>

#include "image/symbol_table.h"

namespace tav {
namespace {

TEST(SymbolTable, FindByValueReturnsExactOrTheLastOneBelow) {
  SymbolTable t;
  t.define_symbol("_b", 0x2000);
  t.define_symbol("_a", 0x1000);
  t.define_symbol("_a2", 0x1000);  // a second symbol at the same value goes after the first
  t.define_symbol(".text", 0x1800);  // kernel variables never answer
  EXPECT_EQ(t.find_symbol_by_value(0x0FFF), nullptr);
  EXPECT_EQ(t.find_symbol_by_value(0x1000)->name, "_a");
  EXPECT_EQ(t.find_symbol_by_value(0x1800)->name, "_a2");
  EXPECT_EQ(t.find_symbol_by_value(0x2000)->name, "_b");
  EXPECT_EQ(t.find_symbol_by_value(0xFFFFFFFF)->name, "_b");
  EXPECT_EQ(t.find_exact(0x1000, "_a2")->name, "_a2");
  EXPECT_EQ(t.find_exact(0x1001), nullptr);
}

TEST(SymbolTable, DefiningANameAgainReplacesIt) {
  SymbolTable t;
  t.define_symbol("x", 5);
  t.define_symbol("x", 9);
  ASSERT_EQ(t.by_value().size(), 1u);
  EXPECT_EQ(t.rensym("x")->value(), 9u);
  EXPECT_EQ(t.find_symbol_by_value(5), nullptr);
  EXPECT_TRUE(t.remove_symbol("x"));
  EXPECT_EQ(t.rensym("x"), nullptr);
  EXPECT_FALSE(t.remove_symbol("x"));
}

TEST(SymbolTable, KernelVariablesSurviveANewLoadAndCanBeBound) {
  SymbolTable t;
  std::vector<std::string> told;
  t.set_define_listener([&](std::string_view n) { told.emplace_back(n); });
  t.define_symbol(".tsize", 12);
  t.define_symbol("_main", 0x4000);
  std::uint32_t cycles = 77;
  t.bind_kernel_variable(".time", &cycles);
  EXPECT_EQ(t.rensym(".time")->value(), 77u);
  cycles = 1234;  // the simulator counts; the symbol follows
  EXPECT_EQ(t.rensym(".time")->value(), 1234u);
  t.define_symbol(".time", 5);  // and defining it writes the counter
  EXPECT_EQ(cycles, 5u);

  t.clear_program_symbols();
  EXPECT_EQ(t.rensym("_main"), nullptr);
  EXPECT_EQ(t.rensym(".tsize")->value(), 12u);
  EXPECT_EQ(t.rensym(".time")->value(), 5u);
  EXPECT_EQ(told, (std::vector<std::string>{".tsize", "_main", ".time"}));
}

TEST(SymbolTable, BulkLoadSortsStablyAndTheLaterNameWins) {
  SymbolTable t;
  t.define_symbol("_old", 0x300);
  t.add_bulk("_c", 0x300, 1, 1);
  t.add_bulk("_a", 0x100, 1, 1);
  t.add_bulk("_dup", 0x50, 1, 0x10);
  t.add_bulk("_b", 0x200, 2, 0x10);
  t.add_bulk("_dup", 0x250, 1, 1);
  t.finish_bulk();
  std::vector<std::string> order;
  for (const auto& s : t.by_value()) order.push_back(s->name);
  EXPECT_EQ(order, (std::vector<std::string>{"_a", "_b", "_dup", "_old", "_c"}));
  EXPECT_EQ(t.rensym("_dup")->value(), 0x250u);
  EXPECT_EQ(t.rensym("_a")->kind, 5);  // flags bit 0
  EXPECT_EQ(t.rensym("_b")->kind, 0);
  EXPECT_EQ(t.rensym("_b")->section, 2);
}

}  // namespace
}  // namespace tav
