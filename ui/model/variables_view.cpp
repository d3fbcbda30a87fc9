#include "ui/model/variables_view.h"

#include "commands/data_views.h"
#include "kernel/debugger.h"

namespace tav {

namespace {

void function_text(Debugger& d, const VariablesScope& scope, const FunctionBlock& f, std::string& text) {
  const Frame* frame = d.frames.innermost_of(&f, Core::Cpu12);
  if (!frame) frame = d.frames.innermost_of(&f, Core::Xgate);
  std::string lines;
  for (const SymbolEntry& e : f.locals)
    if (listed_variable(e)) lines += variable_line(d, e, frame, scope.values, scope.addresses) + "\n";
  if (lines.empty()) return;
  text += "  " + std::string(f.name) + "()\n" + lines;
}

void file_text(Debugger& d, const VariablesScope& scope, const FileEntry& file, std::string& text) {
  text += std::string(file.name) + "\n";
  const FunctionBlock* level = file.file_block();
  if (level)
    for (const SymbolEntry& e : level->locals)
      if (listed_variable(e)) text += variable_line(d, e, nullptr, scope.values, scope.addresses) + "\n";
  for (const FunctionBlock* f : file.functions)
    if (f != level && !f->name.empty() && !f->is_dot()) function_text(d, scope, *f, text);
}

}  // namespace

std::string variables_title(const VariablesScope& scope) {
  if (scope.function) return "Current Function Variables Browser";
  if (scope.file) return "Current File Variables Browser";
  return "Application Variables Browser";
}

std::string variables_view_text(Debugger& d, const VariablesScope& scope) {
  std::string text = variables_title(scope) + "\n";
  if (scope.function) {
    function_text(d, scope, *scope.function, text);
  } else if (scope.file) {
    file_text(d, scope, *scope.file, text);
  } else {
    for (const FileEntry* file : d.program.tables().files())
      file_text(d, scope, *file, text);
  }
  return text;
}

}  // namespace tav
