// State of one evaluation, shared by the parser, the name resolver and the
// operators: the mode, the first error and whether reads and writes happen.
#pragma once
#include <string>

#include "expr/access.h"
#include "expr/expr_env.h"
#include "expr/value.h"

namespace tav {

struct EvalContext {
  EvalContext(ExprEnv& e, int m) : env(e), mode(m) {}

  ExprEnv& env;
  int mode = 1;      // 1 evaluates; 0 resolves and types only
  int status = 0;    // first error number
  std::string detail;  // the name that goes with "file not found" and the like
  int quiet = 0;     // > 0: a part that is parsed but not evaluated (sizeof, short-circuit)

  // True when values are read and assignments write.
  bool live() const { return mode == 1 && quiet == 0 && status == 0; }
  void fail(int code, std::string what = {}) {
    if (status == 0) {
      status = code;
      detail = std::move(what);
    }
  }
  void load(Value& v) {
    if (live()) load_value(env, v);
  }
};

// Name resolution (identifiers and scope forms).
Value resolve_name(EvalContext& cx, const std::string& name);
Value resolve_scoped(EvalContext& cx, const std::string& scope, bool function_scope, const std::string& name,
                     bool is_line, std::uint32_t line);
Value function_value(const FunctionBlock& f);
Value debugger_variable(EvalContext& cx, const std::string& name);
const Frame* current_frame(const EvalContext& cx);

// Operators.
Value unary_op(EvalContext& cx, int op, Value v);  // op: '!', '~', '-', '+', '*', '&'
Value binary_op(EvalContext& cx, int op, Value a, Value b);
Value assign_op(EvalContext& cx, Value target, const Value& source);
Value member_op(EvalContext& cx, Value v, const std::string& member, bool through_pointer);
Value index_op(EvalContext& cx, Value base, const Value& index);
Value cast_op(EvalContext& cx, const Value& type, Value v);
Value dereference(EvalContext& cx, Value v);
Value array_to_pointer(EvalContext& cx, Value v);

// Binary operator codes beyond single characters.
enum BinaryCode : int {
  kOpShl = 256, kOpShr, kOpLe, kOpGe, kOpEq, kOpNe, kOpAndAnd, kOpOrOr,
};

}  // namespace tav
