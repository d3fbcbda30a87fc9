// The variable browser: the variables of the whole program, of one file or
// of one function, with storage class and type, and on request their
// addresses and values. Locals read through the innermost frame of their
// function; a function not in the call stack shows them without values.
#pragma once
#include <string>

namespace tav {

class Debugger;
struct VariablesScope;

// The browser's title for a scope ("Application Variables Browser", ...).
std::string variables_title(const VariablesScope& scope);
// The view's text, lines ended by "\n".
std::string variables_view_text(Debugger& d, const VariablesScope& scope);

}  // namespace tav
