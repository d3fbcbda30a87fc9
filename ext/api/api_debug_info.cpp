// Debug-information queries: names of files, functions and variables, and
// the addresses and line ranges behind them. A null file means any file.
#include <string>
#include <vector>

#include "ext/api/api_binding.h"
#include "include/tav/extension.h"
#include "kernel/debugger.h"

using tav::api::bound;
using tav::api::dup_list;
using tav::api::dup_text;

namespace {

const tav::DebugTables* tables() {
  tav::Debugger* d = bound();
  return d ? &d->program.tables() : nullptr;
}

// The named file, or null for "any file"; `ok` false when a name was given but not found.
const tav::FileEntry* file_arg(const tav::DebugTables& t, const char* file, bool& ok) {
  ok = true;
  if (!file) return nullptr;
  const tav::FileEntry* f = t.find_file(file);
  ok = f != nullptr;
  return f;
}

template <class Each>
void for_files(const tav::DebugTables& t, const tav::FileEntry* only, Each each) {
  for (const tav::FileEntry* f : t.files())
    if (!only || f == only) each(*f);
}

const tav::FunctionBlock* function_arg(const char* function, const char* file) {
  const tav::DebugTables* t = tables();
  if (!t || !function) return nullptr;
  bool ok;
  const tav::FileEntry* f = file_arg(*t, file, ok);
  return ok ? t->find_function(function, f) : nullptr;
}

std::vector<std::string_view> file_variables(const char* file, bool required) {
  std::vector<std::string_view> names;
  const tav::DebugTables* t = tables();
  if (!t || (required && !file)) return names;
  bool ok;
  const tav::FileEntry* only = file_arg(*t, file, ok);
  if (!ok) return names;
  for_files(*t, only, [&](const tav::FileEntry& f) {
    if (const tav::FunctionBlock* b = f.file_block())
      for (const tav::SymbolEntry& e : b->locals)
        if (!e.name.empty()) names.push_back(e.name);
  });
  return names;
}

}  // namespace

TAV_API char* GetFileList(void) {
  const tav::DebugTables* t = tables();
  if (!t) return nullptr;
  std::vector<std::string_view> names;
  for (const tav::FileEntry* f : t->files()) names.push_back(f->name);
  return dup_list(names);
}

TAV_API char* GetFunctionList(const char* file) {
  const tav::DebugTables* t = tables();
  if (!t) return nullptr;
  bool ok;
  const tav::FileEntry* only = file_arg(*t, file, ok);
  if (!ok) return nullptr;
  std::vector<std::string_view> names;
  for_files(*t, only, [&](const tav::FileEntry& f) {
    for (const tav::FunctionBlock* fn : f.functions)
      if (!f.is_file_level(fn) && !fn->name.empty() && !fn->is_dot()) names.push_back(fn->name);
  });
  return dup_list(names);
}

TAV_API char* GetFileVariables(const char* file) { return dup_list(file_variables(file, true)); }
TAV_API char* GetVarList(const char* file) { return dup_list(file_variables(file, false)); }

TAV_API char* GetFunctionArgs(const char* file, const char* function) {
  const tav::FunctionBlock* f = function_arg(function, file);
  return f ? dup_text(f->args_text) : nullptr;
}
TAV_API char* GetFunctionDescription(const char* file, const char* function) {
  const tav::FunctionBlock* f = function_arg(function, file);
  return f ? dup_text(f->description) : nullptr;
}

TAV_API int32_t GetFileLineRange(const char* file, int32_t* first, int32_t* last) {
  const tav::DebugTables* t = tables();
  if (!t || !file || !first || !last) return 0;
  const tav::FileEntry* f = t->find_file(file);
  if (!f) return 0;
  *first = f->first_line;
  *last = f->last_line;
  return 1;
}

TAV_API int32_t GetFunctionStartAddress(const char* function, const char* file, uint32_t* address) {
  uint32_t end = 0;
  return GetFunctionAddressRange(function, file, address, &end);
}

TAV_API int32_t GetFunctionAddressRange(const char* function, const char* file, uint32_t* start, uint32_t* end) {
  const tav::FunctionBlock* f = function_arg(function, file);
  if (!f || !start || !end) return 0;
  std::uint32_t s = 0, e = 0;
  if (!tables()->function_range(f, &s, &e)) return 0;
  *start = s;
  *end = e;
  return 1;
}

TAV_API int32_t GetFunctionLineRange(const char* function, const char* file, int32_t* first, int32_t* last) {
  const tav::FunctionBlock* f = function_arg(function, file);
  if (!f || !first || !last) return 0;
  *first = f->first_line;
  *last = f->last_line;
  return 1;
}

TAV_API int32_t GetLabelAddress(const char* function, const char* file, const char* label, uint32_t* address) {
  const tav::FunctionBlock* f = function_arg(function, file);
  if (!f || !label || !address) return 0;
  const tav::SymbolEntry* e = tables()->find_label(f, label);
  if (!e) return 0;
  *address = e->value;
  return 1;
}

TAV_API int32_t GetLineAddress(const char* file, int32_t line, uint32_t* address) {
  const tav::DebugTables* t = tables();
  if (!t || !file || !address || line < 0) return 0;
  const tav::FileEntry* f = t->find_file(file);
  const tav::DebugRecord* r = f ? t->line_address(f, static_cast<unsigned>(line)) : nullptr;
  if (!r) return 0;
  *address = r->value;
  return 1;
}

TAV_API int32_t GetVarAddress(const char* variable, const char* file, uint32_t* address) {
  const tav::DebugTables* t = tables();
  if (!t || !variable || !address) return 0;
  bool ok;
  const tav::FileEntry* f = file_arg(*t, file, ok);
  const tav::SymbolEntry* e = ok ? t->find_global_variable(variable, f) : nullptr;
  if (!e) return 0;
  *address = e->value;
  return 1;
}

TAV_API int32_t GetSourceSelection(int32_t, int32_t* first, int32_t* last) {
  tav::Debugger* d = bound();
  int a = 0, b = 0;
  if (!d || !first || !last || !d->host.source_selection(a, b)) return 0;
  *first = a;
  *last = b;
  return 1;
}

TAV_API char* GetTargetFileName(void) {
  tav::Debugger* d = bound();
  return d ? dup_text(d->program.file_name()) : nullptr;
}
