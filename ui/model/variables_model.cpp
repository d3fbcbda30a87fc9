#include "ui/model/variables_model.h"

#include <cstdio>

#include "expr/putresult.h"
#include "expr/type_names.h"
#include "commands/data_views.h"
#include "kernel/debugger.h"
#include "support/fmt.h"

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

bool is_fract(const Value& v) {
  return !has_derivation(v) && (v.code() == kShortFract || v.code() == kLongFract);
}

// A pointer to, or an array of, characters: what the string letters read.
bool is_char_string(const Value& v) {
  return (is_pointer(v) || is_array(v)) && derivation_count(v.type) == 1 && v.code() < kCharBitField;
}

std::string view_value(Debugger& d, const Value& v, char letter) {
  if ((letter == 'S' || letter == 's') && is_char_string(v)) return d.formatter.text(v, 'S');
  if (is_aggregate(v)) return {};
  if (is_pointer(v) || (is_integral(v) && !is_fract(v))) {
    const auto raw = static_cast<std::uint32_t>(as_int(v));
    switch (letter) {
      case 'b': return fmtstr("0b%z", masked_value(v, raw));
      case 'o': return fmtstr("0%ol", masked_value(v, raw));
      case 'x': return fmtstr("0x%hl", masked_value(v, raw));
      case 'd': return fmtstr("%l", raw);
      case 'u': return fmtstr("%ul", masked_value(v, raw));
      case 'c': return "'" + escape_char(static_cast<std::uint8_t>(raw)) + "'";
      default: break;
    }
  }
  StringSink text;
  d.formatter.put_expanded(v, text.sink());
  return text.take();
}

VariableRow row_of(Debugger& d, const Value& v, std::string name, std::string expression, char letter,
                   ValueStyle style) {
  VariableRow row;
  row.name = std::move(name);
  row.expression = std::move(expression);
  row.type = type_of(v);
  if (style == ValueStyle::View) {
    row.value = v.valid ? view_value(d, v, letter) : "?";
  } else {
    // An array shows its type: its elements are its children.
    row.value = !v.valid ? "?" : is_array(v) ? row.type : d.formatter.text(v, letter);
    // Hexadecimal integers as wide as their type, without the suffix eval adds.
    if (v.valid && letter == kFormatHex && is_integral(v) && !is_enum(v) && v.size > 0 && v.size <= 4) {
      char text[16];
      std::snprintf(text, sizeof text, "0x%0*X", static_cast<int>(v.size * 2),
                    masked_value(v, static_cast<std::uint32_t>(v.ival)));
      row.value = text;
    }
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

VariableRow variable_row(Debugger& d, const SymbolEntry& entry, const Frame* frame, std::string expression,
                         char letter, ValueStyle style) {
  const bool framed = needs_frame(entry);
  if (framed && !frame) {
    VariableRow row = row_of(d, d.evaluator.variable(entry, nullptr, false), std::string(entry.name),
                             std::move(expression), letter, style);
    row.value = "(no frame)";
    row.expandable = row.in_memory = false;
    return row;
  }
  const Value v = d.evaluator.variable(entry, framed ? frame : nullptr, true);
  return row_of(d, v, std::string(entry.name), std::move(expression), letter, style);
}

std::vector<VariableRow> frame_variables(Debugger& d, const Frame& frame, char letter) {
  std::vector<VariableRow> rows;
  if (!frame.function) return rows;
  for (const SymbolEntry& e : frame.function->locals) {
    if (!listed_variable(e)) continue;
    rows.push_back(variable_row(d, e, &frame, std::string(e.name), letter));
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
      rows.push_back(variable_row(d, e, nullptr, std::string(e.name), letter));
    }
  }
  return rows;
}

bool evaluate_row(Debugger& d, const std::string& expression, char letter, bool assignments, VariableRow& row,
                  std::string& error, ValueStyle style) {
  Value v;
  if (!evaluate(d, expression, assignments, v, error)) return false;
  row = row_of(d, v, expression, expression, letter, style);
  return true;
}

std::vector<ValueChild> child_expressions(Debugger& d, const std::string& expression, std::size_t limit) {
  std::vector<ValueChild> children;
  Value v;
  std::string error;
  if (!evaluate(d, expression, false, v, error) || !expandable(v)) return children;
  const std::string base = operand(expression);
  if (is_array(v)) {
    const std::uint32_t n = v.words.empty() ? 0 : v.words.front();
    for (std::uint32_t i = 0; i < n && children.size() < limit; ++i) {
      const std::string index = "[" + std::to_string(i) + "]";
      children.push_back({ChildKind::Element, index, base + index});
    }
  } else if (is_struct_or_union(v)) {
    if (v.aggregate)
      for (const SymbolEntry& m : v.aggregate->members)
        if (!m.name.empty())
          children.push_back({ChildKind::Member, std::string(m.name), base + "." + std::string(m.name)});
  } else {
    children.push_back({ChildKind::Target, "*" + expression, "*" + base});
  }
  return children;
}

std::vector<VariableRow> value_children(Debugger& d, const std::string& expression, char letter,
                                        std::size_t limit) {
  std::vector<VariableRow> rows;
  for (ValueChild& child : child_expressions(d, expression, limit)) {
    VariableRow row;
    std::string error;
    if (!evaluate_row(d, child.expression, letter, false, row, error))
      row = VariableRow{"", error, "", child.expression, false, false, 0, 0};
    row.name = std::move(child.name);
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace tav
