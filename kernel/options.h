// The common option syntax of command handlers: "/" groups of letters before
// the arguments ("/a /s" or "/as"), value options as letter, ":" and value
// ("/C:3", "/T:r").
#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tav {

class Debugger;

// What a command accepts. `letters` lists each letter once; a ":" after a
// letter means it takes a value, a "!" that it counts only in the case written
// (otherwise either case is accepted). Example: "asi!eC:".
struct OptionSpec {
  std::string_view letters;
  bool blank_before_unknown = false;  // " Unknown Option " instead of "Unknown Option "
  bool blank_before_wrong = false;    // " Wrong option " instead of "Wrong option "
  bool path_args = false;             // "/dir/file" is an absolute name, not options
};

class OptionSet {
 public:
  // Letters are named as the option string writes them.
  bool has(char letter) const { return letters_.find(letter) != std::string::npos; }
  std::string_view value(char letter) const;
  // Every letter given, in order (repeats included).
  const std::string& letters() const { return letters_; }
  // The last of `candidates` given, or 0.
  char last_of(std::string_view candidates) const;
  bool empty() const { return letters_.empty(); }

  void add(char letter, std::string_view value);
  void clear();

 private:
  std::string letters_;
  std::vector<std::pair<char, std::string_view>> values_;
};

// Reads the option groups at `args`. Returns the position of the arguments
// after them (blanks skipped), or null after reporting a bad option; the
// handler then gives up and returns the end of the line.
const char* parse_options(Debugger& d, const char* args, const OptionSpec& spec, OptionSet& out);

}  // namespace tav
