// Completion of what the user is typing: command words at the start of a
// command, file names after the commands that take one, and symbol names
// (functions, variables, program symbols) after the commands that take
// expressions. Toolkit-free: the console's line editor and other hosts use it.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tav {

class Debugger;

struct Completion {
  std::size_t start = 0;              // where the word being completed begins in the text
  std::vector<std::string> choices;   // sorted, no duplicates; each replaces the word whole
};

// The choices for the word that ends `before` (the text up to the cursor).
Completion complete(const Debugger& d, std::string_view before);

// The longest text every choice begins with.
std::string common_prefix(const std::vector<std::string>& choices);

}  // namespace tav
