// The source view as data: one source file found through the source path and
// kept in memory, its kind, the margins of each line (number, event mark,
// coverage, address), the current line, the token classes the view colours
// by, and search. Hosts draw it; a missing file becomes a question the host
// asks.
#pragma once
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ui/model/disasm_view.h"

namespace tav {

class Debugger;
class DebugTables;

enum class SourceKind : std::uint8_t { C = 1, Assembler = 2, Text = 4 };

// The menu identifiers of the coverage margin modes.
enum class CoverageMode : int { Iconic = 10010, Timing = 10011, Executions = 10012, None = 10013 };

enum class TokenClass : std::uint8_t {
  Text, Keyword, Library, Comment, Preprocessor, Define, Typedef, Mnemonic, Directive
};
// The colour table entry a class is drawn in; 0: the view's text colour.
std::uint8_t token_colour(TokenClass c);

struct Token {
  std::size_t start = 0, length = 0;
  TokenClass cls = TokenClass::Text;
  bool operator==(const Token&) const = default;
};

// The coloured words of one C line. `in_comment` carries a block comment from
// line to line. Names of defines and typedefs come from the program.
std::vector<Token> c_tokens(std::string_view line, bool& in_comment, const std::set<std::string, std::less<>>* defines = nullptr,
                            const std::set<std::string, std::less<>>* typedefs = nullptr);
std::vector<Token> assembler_tokens(std::string_view line);

// The file a search-path text ("dir|dir") finds for `name`: each directory in
// order, then the name itself when absolute, else "./" + name. Empty: none opens.
std::string find_source_file(std::string_view path, std::string_view name);
// C, assembler or plain text: by the debug information when it knows the file
// (named functions make it C), else by the name's ending.
SourceKind source_kind(const DebugTables& tables, std::string_view name);
std::string missing_file_question(std::string_view name);
std::string expand_tabs(std::string_view line, unsigned width = 8);

struct LineMargin {
  bool code = false;
  std::uint32_t address = 0;
  EventMark event = EventMark::None;
  int event_number = 0;  // the event set on the line, as "break" lists it
  bool executed = false;
  std::uint32_t hits = 0, cycles = 0;
};

struct SourceMatch {
  unsigned line = 0;  // 1-based
  std::size_t column = 0, length = 0;
  bool operator==(const SourceMatch&) const = default;
};

class SourceModel {
 public:
  enum class State : std::uint8_t { Empty, Open, NotFound };

  // Reads `name` (as the debug information names it) through the debugger's
  // source path. NotFound: the host asks question(); after the path changed
  // it calls open again.
  State open(const Debugger& d, std::string_view name);
  // Reads from text already at hand (tests, a file the host read itself).
  void set_text(std::string_view name, std::string_view text, SourceKind kind);

  State state() const { return state_; }
  const std::string& question() const { return question_; }
  const std::string& name() const { return name_; }
  const std::string& found_path() const { return found_; }
  SourceKind kind() const { return kind_; }
  unsigned line_count() const { return static_cast<unsigned>(lines_.size()); }
  // Line n (1-based), tabs expanded; empty beyond the end.
  const std::string& line(unsigned n) const;

  LineMargin margin(const Debugger& d, unsigned n) const;
  // The counter column's text for one line: "%0*x " of the count or the
  // cycles in those modes; the address column "%06x "; blanks for a line
  // without code.
  static std::string count_text(const LineMargin& m, CoverageMode mode, unsigned width);
  static std::string address_text(const LineMargin& m);
  // The line of the PC while the target is stopped in this file; 0 otherwise.
  unsigned current_line(const Debugger& d) const;
  // Defines and typedefs of the loaded program, for colouring.
  void take_names(const DebugTables& tables);
  std::vector<Token> tokens(unsigned n) const;

  // The next occurrence of `text` after (line, column), wrapping at the end;
  // `backward` searches towards the top.
  std::optional<SourceMatch> find(std::string_view text, unsigned line, std::size_t column, bool backward = false,
                                  bool match_case = true) const;

 private:
  void split(std::string_view text);

  State state_ = State::Empty;
  std::string name_, found_, question_;
  SourceKind kind_ = SourceKind::Text;
  std::vector<std::string> lines_;
  std::vector<bool> comment_at_start_;  // a block comment is open where the line begins
  std::set<std::string, std::less<>> defines_, typedefs_;
};

}  // namespace tav
