// C expressions over the loaded program: `xexpr` parses one expression from a
// command-line cursor and evaluates it (mode 1) or only resolves and types it
// (mode 0); `Expression` is the form the extension interface exports.
#pragma once
#include <cstdint>
#include <string>

#include "expr/expr_env.h"
#include "expr/frames.h"
#include "expr/value.h"

namespace tav {

class ExprEvaluator {
 public:
  explicit ExprEvaluator(ExprEnv& env) : env_(env) {}

  ExprEnv& env() { return env_; }

  // The assignment switch: while off, a lone '=' ends the expression instead
  // of assigning (the evaluation command looks at what follows itself).
  void set_assignments(bool on) { assignments_ = on; }
  bool assignments() const { return assignments_; }

  // Parses one C expression at `cursor` and advances the cursor to the end of
  // its last token (trailing blanks stay). `status` receives 0 or the number of
  // the first error; the descriptor's value is meaningless then. The result
  // is named with the expression's text.
  Value xexpr(const char*& cursor, int& status, int mode);
  // The text that goes with the last error ("main.c" for "file not found").
  const std::string& error_detail() const { return detail_; }

  // Calls xexpr; a float, double or long double result comes back in
  // `floating` with is_floating 1, any other in `integer`. 58 when anything but
  // blanks follows the expression.
  int Expression(int mode, const char*& cursor, int& is_floating, std::int32_t& integer, double& floating);

  // Assigns `source` to `target` as the '=' operator does (the update and
  // fread commands): 0, or the error number. `target` holds the new value.
  int assign(Value& target, const Value& source);
  // Reads an object's current value again (views, monitors).
  void reload(Value& v);
  // The descriptor of a variable entry with the frame of its function (null
  // for file-level entries), as the variable views list them.
  Value variable(const SymbolEntry& entry, const Frame* frame, bool load = true);

 private:
  ExprEnv& env_;
  bool assignments_ = true;
  std::string detail_;
};

// The message of an error with its detail ("file not found: main.c").
std::string expr_error_text(int status, const std::string& detail);

}  // namespace tav
