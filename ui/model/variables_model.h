// Variables as data: a frame's arguments and locals, the program's file-level
// variables, any expression's value, and the members, elements or target of
// an aggregate or pointer. Each row carries the expression that reads it
// again, so that a host can expand it or change it later.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tav {

class Debugger;
struct Frame;
struct SymbolEntry;

struct VariableRow {
  std::string name;
  std::string value;       // in the type's own format, or the one asked for
  std::string type;        // as a cast spells it
  std::string expression;  // evaluates to this value in the row's frame
  bool expandable = false;  // a struct, union, array or pointer to data
  bool in_memory = false;
  std::uint32_t address = 0;  // global address when in memory
  std::uint32_t size = 0;
};

// Display format letters as "eval" takes them (0: the type's own).
inline constexpr char kFormatNatural = 0;
inline constexpr char kFormatHex = 'x';

// How a row writes its value: as "eval" prints it, or as the variable views
// show it (numbers in the letter's base without leading zeros, pointers as
// wide as they reach, a null pointer " NULL", aggregates left to their children).
enum class ValueStyle { Eval, View };

// One variable of a function or of a file's level, named by `expression`. A
// local whose function has no frame keeps its type but has no value.
VariableRow variable_row(Debugger& d, const SymbolEntry& entry, const Frame* frame, std::string expression,
                         char letter, ValueStyle style = ValueStyle::Eval);

std::vector<VariableRow> frame_variables(Debugger& d, const Frame& frame, char letter);
std::vector<VariableRow> global_variables(Debugger& d, char letter);

// Evaluates an expression (in the current frame); false with the error text.
// `assignments` off keeps a hover or watch from changing the target.
bool evaluate_row(Debugger& d, const std::string& expression, char letter, bool assignments, VariableRow& row,
                  std::string& error, ValueStyle style = ValueStyle::Eval);

// The members, elements (at most `limit`) or pointed-to value of an
// expression's value, as expressions still to be read.
enum class ChildKind { Element, Member, Target };
struct ValueChild {
  ChildKind kind;
  std::string name;        // "[3]", the member's name, "*" and the expression
  std::string expression;  // reads the child in the same frame
};
std::vector<ValueChild> child_expressions(Debugger& d, const std::string& expression, std::size_t limit);
// The members, elements (at most `limit`) or pointed-to value of an expression's value.
std::vector<VariableRow> value_children(Debugger& d, const std::string& expression, char letter,
                                        std::size_t limit);

}  // namespace tav
