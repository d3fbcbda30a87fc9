#include "ui/model/variable_tree.h"

#include <cstdio>

#include "commands/data_views.h"
#include "image/type_word.h"
#include "kernel/debugger.h"
#include "ui/model/variables_model.h"

namespace tav {

namespace {

// Elements an opened array shows; the rest would only make the tree unusable.
constexpr std::size_t kElementsShown = 1024;

std::string hex_address(std::uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", address & 0xFFFFFFu);
  return text;
}

// The item of that name among the previous reading's, looked for first
// where it stood.
const VariableItem* named(const std::vector<VariableItem>* before, std::string_view name, std::size_t at) {
  if (!before) return nullptr;
  if (at < before->size() && (*before)[at].name == name) return &(*before)[at];
  for (const VariableItem& item : *before)
    if (item.name == name) return &item;
  return nullptr;
}

// How a reading marks values against the previous one: after a run, what
// differs; after a command, also what was marked before; when only the
// format changed, as before.
enum class Mark { Stop, Command, Keep };

void mark(VariableItem& item, const VariableItem* old, Mark how) {
  if (!old || old->group) return;
  item.changed = how == Mark::Keep ? old->changed
                                   : old->value != item.value || (how == Mark::Command && old->changed);
}

void take_row(VariableItem& item, const VariableRow& row) {
  item.value = row.value;
  item.address = row.in_memory ? hex_address(row.address) : std::string();
  item.expandable = row.expandable;
}

void read_children(Debugger& d, VariableItem& item, Mark how) {
  const std::vector<VariableItem> before = std::move(item.children);
  item.children.clear();
  for (const ValueChild& c : child_expressions(d, item.expression, kElementsShown)) {
    VariableItem child;
    child.name = c.kind == ChildKind::Element ? item.name + c.name : c.kind == ChildKind::Target ? "*" + item.name : c.name;
    const VariableItem* old = named(&before, child.name, item.children.size());
    child.letter = old ? old->letter : item.letter;
    child.expression = c.expression;
    child.file = item.file;
    VariableRow row;
    std::string error;
    if (evaluate_row(d, c.expression, child.letter, false, row, error, ValueStyle::View)) {
      child.type = row.type;
      take_row(child, row);
    } else {
      child.value = error;
    }
    mark(child, old, how);
    if (old && old->open && child.expandable) {
      child.open = true;
      child.children = old->children;
      read_children(d, child, how);
    }
    item.children.push_back(std::move(child));
  }
}

// Reads an item again in its letter; a variable that cannot be read now (a
// local without a frame) keeps what it showed.
void reread(Debugger& d, VariableItem& item) {
  if (!item.group) {
    VariableRow row;
    std::string error;
    if (evaluate_row(d, item.expression, item.letter, false, row, error, ValueStyle::View)) take_row(item, row);
    if (item.open && item.expandable) read_children(d, item, Mark::Keep);
    return;
  }
  for (VariableItem& child : item.children) reread(d, child);
}

void set_letters(VariableItem& item, char letter) {
  item.letter = letter;
  for (VariableItem& child : item.children) set_letters(child, letter);
}

// Builds the groups of a scope from the debug tables, carrying over from the
// previous reading each item's letter and what was open.
class Reader {
 public:
  Reader(Debugger& d, Mark how) : d_(d), how_(how) {
    const Frame* frame = d.frames.current();
    current_ = frame && frame->function ? frame->function : d.program.tables().function_at(d.registers.ReadPC());
    base_ = frame && frame->function ? frame->base : 0;
  }

  const FunctionBlock* current() const { return current_; }
  // The current activation's frame pointer (0 when no frame is known).
  std::uint32_t base() const { return base_; }

  void file_group(const FileEntry& file, std::vector<VariableItem>& into, const std::vector<VariableItem>* before) {
    VariableItem group = group_item(std::string(file.name), std::string(file.name));
    const std::vector<VariableItem>* old = carry_over(group, into, before);
    const FunctionBlock* level = file.file_block();
    if (level) file_variables(file, *level, group.children, old);
    for (const FunctionBlock* f : file.functions)
      if (f != level && !f->name.empty() && !f->is_dot()) function_group(*f, group.children, old, false);
    into.push_back(std::move(group));
  }

  void function_group(const FunctionBlock& f, std::vector<VariableItem>& into, const std::vector<VariableItem>* before,
                      bool even_empty) {
    VariableItem group = group_item(std::string(f.name) + "()", f.file ? std::string(f.file->name) : std::string());
    const std::vector<VariableItem>* old = carry_over(group, into, before);
    function_variables(f, group.file, group.children, old);
    if (even_empty || !group.children.empty()) into.push_back(std::move(group));
  }

  void function_variables(const FunctionBlock& f, const std::string& file, std::vector<VariableItem>& into,
                          const std::vector<VariableItem>* before) {
    const Frame* frame = frame_of(f);
    for (const SymbolEntry& e : f.locals) {
      if (!listed_variable(e)) continue;
      // Names of the current function read in its frame; others through theirs.
      std::string expression = &f == current_ ? std::string(e.name) : std::string(f.name) + "():" + std::string(e.name);
      into.push_back(variable(e, frame, std::move(expression), file, into.size(), before));
    }
  }

  void file_variables(const FileEntry& file, const FunctionBlock& level, std::vector<VariableItem>& into,
                      const std::vector<VariableItem>* before) {
    for (const SymbolEntry& e : level.locals) {
      if (!listed_variable(e)) continue;
      // A static of one file may share its name with another file's.
      std::string expression = e.storage_class == kClassStatic ? std::string(file.name) + ":" + std::string(e.name)
                                                                : std::string(e.name);
      into.push_back(variable(e, nullptr, std::move(expression), std::string(file.name), into.size(), before));
    }
  }

  // The file-level variables of every file, one list.
  void globals(std::vector<VariableItem>& into, const std::vector<VariableItem>* before) {
    for (const FileEntry* file : d_.program.tables().files())
      if (const FunctionBlock* level = file->file_block()) file_variables(*file, *level, into, before);
  }

 private:
  const Frame* frame_of(const FunctionBlock& f) const {
    const Frame* frame = d_.frames.current();
    if (frame && frame->function == &f) return frame;
    frame = d_.frames.innermost_of(&f, Core::Cpu12);
    return frame ? frame : d_.frames.innermost_of(&f, Core::Xgate);
  }

  static VariableItem group_item(std::string name, std::string file) {
    VariableItem group;
    group.name = std::move(name);
    group.file = std::move(file);
    group.group = group.expandable = group.open = true;
    return group;
  }

  // A group stays as the user left it, open or closed; returns its previous items.
  static const std::vector<VariableItem>* carry_over(VariableItem& group, const std::vector<VariableItem>& into,
                                                     const std::vector<VariableItem>* before) {
    const VariableItem* old = named(before, group.name, into.size());
    if (!old) return nullptr;
    group.open = old->open;
    return &old->children;
  }

  VariableItem variable(const SymbolEntry& e, const Frame* frame, std::string expression, const std::string& file,
                        std::size_t at, const std::vector<VariableItem>* before) {
    const VariableItem* old = named(before, e.name, at);
    VariableItem item;
    item.name = std::string(e.name);
    item.file = file;
    item.letter = old ? old->letter : 0;
    const VariableRow row = variable_row(d_, e, frame, std::move(expression), item.letter, ValueStyle::View);
    item.type = std::string(storage_class_word(e.storage_class)) + row.type;
    item.expression = row.expression;
    take_row(item, row);
    mark(item, old, how_);
    if (old && old->open && item.expandable) {
      item.open = true;
      item.children = old->children;
      read_children(d_, item, how_);
    }
    return item;
  }

  Debugger& d_;
  Mark how_;
  const FunctionBlock* current_ = nullptr;
  std::uint32_t base_ = 0;
};

void save_lines(const VariableItem& item, VariableFormat format, int depth, std::string& text) {
  text += std::string(static_cast<std::size_t>(depth) * 2, ' ') + item_line(item, format) + "\n";
  if (item.open || item.group)
    for (const VariableItem& child : item.children) save_lines(child, format, depth + 1, text);
}

}  // namespace

const char* VariableTree::title() const {
  switch (scope_) {
    case Scope::Function: return "Current Function Variables Browser";
    case Scope::File: return "Current File Variables Browser";
    case Scope::Locals: return "Locals";
    case Scope::Globals: return "Globals";
    default: return "Application Variables Browser";
  }
}

void VariableTree::set_scope(Scope scope) {
  if (scope != scope_) items_.clear();
  scope_ = scope;
}

std::string VariableTree::caption() const {
  if (scope_ == Scope::Locals && !current_function_.empty()) return "Locals of " + current_function_ + "()";
  if (scope_ == Scope::Function && !pinned_function_.empty()) return "Variables of " + pinned_function_ + "()";
  if (scope_ == Scope::File && !pinned_file_.empty()) return "Variables of " + pinned_file_;
  return title();
}

void VariableTree::pin(std::string file, std::string function) {
  pinned_file_ = std::move(file);
  pinned_function_ = std::move(function);
}

void VariableTree::refresh(Debugger& d, bool stopped) {
  if (frozen_) return;
  Reader reader(d, stopped ? Mark::Stop : Mark::Command);
  const DebugTables& tables = d.program.tables();
  const FunctionBlock* function = reader.current();
  if (!pinned_function_.empty()) function = tables.find_function(pinned_function_);
  const FileEntry* file = function ? function->file : nullptr;
  if (!pinned_file_.empty()) file = tables.find_file(pinned_file_);
  std::vector<VariableItem> items;
  note_.clear();
  switch (scope_) {
    case Scope::Function:
      if (function) reader.function_group(*function, items, &items_, true);
      break;
    case Scope::File:
      if (file) reader.file_group(*file, items, &items_);
      break;
    case Scope::Program:
      for (const FileEntry* f : tables.files()) reader.file_group(*f, items, &items_);
      break;
    case Scope::Locals:
      // Another function, or another activation of the same one (a recursive
      // call, or back in the caller), brings values of their own: nothing to
      // compare them with.
      if (function && (function->name != current_function_ || reader.base() != current_base_)) items_.clear();
      current_base_ = reader.base();
      if (function) reader.function_variables(*function, function->file ? std::string(function->file->name) : "",
                                              items, &items_);
      current_function_ = function ? std::string(function->name) : std::string();
      note_ = !function       ? "Not in a function with debug information"
              : items.empty() ? current_function_ + "() has no parameters or local variables"
                              : std::string();
      break;
    case Scope::Globals:
      reader.globals(items, &items_);
      if (items.empty()) note_ = "The program has no global variables";
      break;
  }
  items_ = std::move(items);
}

VariableItem* VariableTree::find(const ItemPath& path) {
  std::vector<VariableItem>* level = &items_;
  VariableItem* item = nullptr;
  for (std::size_t index : path) {
    if (index >= level->size()) return nullptr;
    item = &(*level)[index];
    level = &item->children;
  }
  return item;
}

const VariableItem* VariableTree::item(const ItemPath& path) const { return const_cast<VariableTree*>(this)->find(path); }

bool VariableTree::open(Debugger& d, const ItemPath& path) {
  VariableItem* item = find(path);
  if (!item || !item->expandable) return false;
  if (!item->open) {
    item->open = true;
    if (!item->group) read_children(d, *item, Mark::Keep);
  }
  return true;
}

void VariableTree::close(const ItemPath& path) {
  if (VariableItem* item = find(path)) item->open = false;
}

bool VariableTree::set_letter(Debugger& d, const ItemPath& path, char letter) {
  VariableItem* item = find(path);
  if (!item || item->group) return false;
  set_letters(*item, letter);
  reread(d, *item);
  return true;
}

std::string VariableTree::save_text() const {
  std::string text = std::string("\n\t\t") + title() + "\n\n";
  for (const VariableItem& item : items_) save_lines(item, format_, 0, text);
  return text;
}

std::string VariableTree::info_text(const ItemPath& path) const {
  const VariableItem* item = this->item(path);
  if (!item) return {};
  if (item->group) return item->name + " in (" + item->file + ")";
  return (item->address.empty() ? std::string("not in memory") : "at " + item->address) + "\n" + item->type + " " +
         item->name + "\nin (" + item->file + ")";
}

std::string item_line(const VariableItem& item, VariableFormat format) {
  if (item.group) return item.name;
  std::string line = item.name + " : " + item.type;
  if (format == VariableFormat::Full && !item.address.empty()) line += " at " + item.address;
  if (format != VariableFormat::Brief && !item.value.empty()) line += " = " + item.value;
  return line;
}

}  // namespace tav
