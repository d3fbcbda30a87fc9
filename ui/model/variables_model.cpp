#include "ui/model/variables_model.h"

#include <cstdio>

#include "expr/putresult.h"
#include "expr/type_names.h"
#include "commands/data_views.h"
#include "kernel/debugger.h"

namespace tav {

namespace {

bool expandable(const Value& v) {
  if (!v.valid) return false;
  if (is_array(v) || is_struct_or_union(v)) return true;
  if (!is_pointer(v) || v.ival == 0) return false;
  Value target = v;
  strip_top(target);
  return !is_function(target) && (target.size != 0 || is_struct_or_union(target));
}

// The type as a cast spells it, with the element counts of its arrays (the
// type word has no room for them: they are among the derivation words).
std::string type_of(const Value& v) {
  std::string text = type_text(v.type, v.aggregate);
  std::size_t word = 0, at = 0;
  for (std::uint32_t t = v.type; top_derivation(t) != Derivation::None; t = strip_derivation(t)) {
    if (top_derivation(t) == Derivation::Function) continue;
    if (word >= v.words.size()) break;
    const std::uint32_t w = v.words[word++];
    if (top_derivation(t) != Derivation::Array) continue;
    at = text.find("[0]", at);
    if (at == std::string::npos) break;
    const std::string count = "[" + std::to_string(w) + "]";
    text.replace(at, 3, count);
    at += count.size();
  }
  return text;
}

VariableRow row_of(Debugger& d, const Value& v, std::string name, std::string expression, char letter) {
  VariableRow row;
  row.name = std::move(name);
  row.expression = std::move(expression);
  row.type = type_of(v);
  // An array shows its type: its elements are its children.
  row.value = !v.valid ? "?" : is_array(v) ? row.type : d.formatter.text(v, letter);
  // Hexadecimal integers as wide as their type, without the suffix eval adds.
  if (v.valid && letter == kFormatHex && is_integral(v) && !is_enum(v) && v.size > 0 && v.size <= 4) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", static_cast<int>(v.size * 2),
                  masked_value(v, static_cast<std::uint32_t>(v.ival)));
    row.value = text;
  }
  row.expandable = expandable(v);
  row.in_memory = v.home == Home::Memory;
  row.address = v.address;
  row.size = v.size;
  return row;
}

// Expressions built from others are parenthesised unless they are a plain name.
std::string operand(const std::string& expression) {
  for (char c : expression)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '.')) return "(" + expression + ")";
  return expression;
}

bool evaluate(Debugger& d, const std::string& expression, bool assignments, Value& v, std::string& error) {
  const bool saved = d.evaluator.assignments();
  d.evaluator.set_assignments(assignments);
  const char* p = expression.c_str();
  int status = 0;
  v = d.evaluator.xexpr(p, status, 1);
  d.evaluator.set_assignments(saved);
  if (status != 0) {
    error = expr_error_text(status, d.evaluator.error_detail());
    return false;
  }
  while (*p == ' ' || *p == '\t') ++p;
  if (*p != '\0') {
    error = "unexpected text after the expression: " + std::string(p);
    return false;
  }
  return true;
}

}  // namespace

std::vector<VariableRow> frame_variables(Debugger& d, const Frame& frame, char letter) {
  std::vector<VariableRow> rows;
  if (!frame.function) return rows;
  for (const SymbolEntry& e : frame.function->locals) {
    if (!listed_variable(e)) continue;
    const Value v = d.evaluator.variable(e, needs_frame(e) ? &frame : nullptr, true);
    rows.push_back(row_of(d, v, std::string(e.name), std::string(e.name), letter));
  }
  return rows;
}

std::vector<VariableRow> global_variables(Debugger& d, char letter) {
  std::vector<VariableRow> rows;
  for (const FileEntry* file : d.program.tables().files()) {
    const FunctionBlock* level = file->file_block();
    if (!level) continue;
    for (const SymbolEntry& e : level->locals) {
      if (!listed_variable(e)) continue;
      const Value v = d.evaluator.variable(e, nullptr, true);
      rows.push_back(row_of(d, v, std::string(e.name), std::string(e.name), letter));
    }
  }
  return rows;
}

bool evaluate_row(Debugger& d, const std::string& expression, char letter, bool assignments, VariableRow& row,
                  std::string& error) {
  Value v;
  if (!evaluate(d, expression, assignments, v, error)) return false;
  row = row_of(d, v, expression, expression, letter);
  return true;
}

std::vector<VariableRow> value_children(Debugger& d, const std::string& expression, char letter,
                                        std::size_t limit) {
  std::vector<VariableRow> rows;
  Value v;
  std::string error;
  if (!evaluate(d, expression, false, v, error) || !expandable(v)) return rows;
  const std::string base = operand(expression);
  auto add = [&](std::string name, std::string child) {
    Value cv;
    std::string child_error;
    if (evaluate(d, child, false, cv, child_error))
      rows.push_back(row_of(d, cv, std::move(name), std::move(child), letter));
    else
      rows.push_back(VariableRow{std::move(name), child_error, "", child, false, false, 0, 0});
  };
  if (is_array(v)) {
    const std::uint32_t n = v.words.empty() ? 0 : v.words.front();
    for (std::uint32_t i = 0; i < n && rows.size() < limit; ++i)
      add("[" + std::to_string(i) + "]", base + "[" + std::to_string(i) + "]");
  } else if (is_struct_or_union(v)) {
    if (v.aggregate)
      for (const SymbolEntry& m : v.aggregate->members)
        if (!m.name.empty()) add(std::string(m.name), base + "." + std::string(m.name));
  } else {
    add("*" + expression, "*" + base);
  }
  return rows;
}

}  // namespace tav
