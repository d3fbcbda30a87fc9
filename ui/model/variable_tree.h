// The variable browsers as a tree: the variables of the current function,
// of the current file or of the whole program, grouped by file and function,
// with the members, elements and targets of aggregates and pointers read
// only once the user opens them; and the flat locals and globals views. Each
// item keeps its own format letter and knows whether its value changed at
// the last reading; a frozen tree keeps the values it read last.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tav {

class Debugger;

// What an item shows beside its name: brief, its storage class and type;
// standard, also its value; full, also its address.
enum class VariableFormat { Brief, Standard, Full };

struct VariableItem {
  std::string name;        // "types.c", "main()", "g_box", "x", "g_table[1]", "*g_head"
  std::string type;        // storage class and type ("extern struct rect"); empty for a group
  std::string value;       // as last read; empty for a group and an aggregate
  std::string address;     // "0x0FE046"; empty when not in memory
  std::string expression;  // reads the item again; empty for a group
  std::string file;        // where the variable is declared
  char letter = 0;         // display format; 0: the type's own
  bool group = false;      // a file or function, not a variable
  bool expandable = false;
  bool open = false;  // shown open; a variable's children are read only while it is
  bool changed = false;  // its value differs from the one shown before the last stop
  std::vector<VariableItem> children;
};

// An item by the index of each level from the top.
using ItemPath = std::vector<std::size_t>;

class VariableTree {
 public:
  // Locals: the variables of the current frame's function, without a group;
  // Globals: the file-level variables of every file, in one list.
  enum class Scope { Function, File, Program, Locals, Globals };

  explicit VariableTree(Scope scope) : scope_(scope) {}

  Scope scope() const { return scope_; }
  // A new scope starts without items.
  void set_scope(Scope scope);
  // "Current Function Variables Browser", ..., "Locals", "Globals".
  const char* title() const;
  // The title with what it shows: "Locals of fib()", "Variables of mathx.c".
  std::string caption() const;
  // Keeps a function or file scope on the named function or file instead of
  // the current one (names, so that a new program cannot leave it dangling).
  void pin(std::string file, std::string function);
  // What the view shows when it has no items ("Not in a function with debug
  // information"); empty when nothing needs saying.
  const std::string& note() const { return note_; }
  VariableFormat format() const { return format_; }
  void set_format(VariableFormat format) { format_ = format; }
  bool frozen() const { return frozen_; }
  void set_frozen(bool frozen) { frozen_ = frozen; }

  // Reads the scope again: its groups and variables and every open item's
  // children. Items that stay keep their letter and whether they are open.
  // After a run (`stopped`) an item is marked changed when its value differs
  // from the previous reading; any other reading keeps the marks and adds
  // values a command changed. A frozen tree is left as it is.
  void refresh(Debugger& d, bool stopped = false);
  const std::vector<VariableItem>& items() const { return items_; }
  const VariableItem* item(const ItemPath& path) const;

  // Reads an item's children (frozen or not) and keeps them read; false when
  // the item has none.
  bool open(Debugger& d, const ItemPath& path);
  void close(const ItemPath& path);
  // Gives an item and everything below it a format letter and reads them in it.
  bool set_letter(Debugger& d, const ItemPath& path, char letter);

  // One line per item in the tree's format, indented by level.
  std::string save_text() const;
  // What "Info" tells of a variable: its address, its declaration and its file.
  std::string info_text(const ItemPath& path) const;

 private:
  VariableItem* find(const ItemPath& path);

  Scope scope_;
  VariableFormat format_ = VariableFormat::Standard;
  bool frozen_ = false;
  std::string pinned_file_, pinned_function_;
  std::string note_;
  std::string current_function_;  // whose locals the items are
  std::uint32_t current_base_ = 0;  // and the frame of that activation
  std::vector<VariableItem> items_;
};

// An item's line in a tree of that format, without indentation.
std::string item_line(const VariableItem& item, VariableFormat format);

}  // namespace tav
