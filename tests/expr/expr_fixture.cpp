#include "expr_fixture.h"

namespace tav::testing {

ExprTest::ExprTest() {
  static int serial = 0;
  dir = std::filesystem::temp_directory_path() / ("tav-expr-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
  std::filesystem::create_directories(dir);
  EXPECT_TRUE(load_sample(program));
  fill_sample_memory(memory);
}

ExprTest::~ExprTest() {
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

Value ExprTest::eval(const std::string& text, int mode) {
  const char* cursor = text.c_str();
  int status = -1;
  Value v = evaluator.xexpr(cursor, status, mode);
  EXPECT_EQ(status, 0) << text << ": " << expr_error_text(status, evaluator.error_detail());
  return v;
}

int ExprTest::error_of(const std::string& text, int mode) {
  const char* cursor = text.c_str();
  int status = -1;
  evaluator.xexpr(cursor, status, mode);
  return status;
}

std::string ExprTest::shown(const std::string& text, char letter) { return formatter.text(eval(text), letter); }

const DebugRecord* ExprTest::start_record(const char* function) const {
  const FunctionBlock* f = program.tables().find_function(function);
  return f ? f->start : nullptr;
}

const DebugRecord* ExprTest::end_record(const char* function) const {
  const FunctionBlock* f = program.tables().find_function(function);
  return f ? f->end : nullptr;
}

void ExprTest::enter(const char* function, std::uint16_t sp, Core core) {
  regs.sp = sp;
  const DebugRecord* r = start_record(function);
  ASSERT_NE(r, nullptr) << function;
  frames.update(*r, core);
}

void ExprTest::leave(const char* function, Core core) {
  const DebugRecord* r = end_record(function);
  ASSERT_NE(r, nullptr) << function;
  frames.update(*r, core);
}

}  // namespace tav::testing
