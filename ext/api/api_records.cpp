// Records of the debug tables and values of expressions, handed to
// extensions in the fixed C layouts of the public header. The kernel's own
// records never cross the boundary: each call copies what it needs into a
// malloc'ed block the extension frees.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "expr/type_names.h"
#include "ext/api/api_binding.h"
#include "include/tav/extension.h"
#include "kernel/debugger.h"
#include "kernel/output.h"
#include "run/run_control.h"

using tav::api::bound;
using tav::api::dup_list;
using tav::api::dup_text;

namespace {

template <std::size_t N>
void put_text(char (&to)[N], std::string_view text) {
  const std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
  std::memcpy(to, text.data(), n);
  to[n] = '\0';
}

// Zeroed blocks for `count` records, the caller's to free.
template <class T>
T* alloc_records(std::size_t count) {
  return static_cast<T*>(std::calloc(count ? count : 1, sizeof(T)));
}

const tav::DebugTables* tables() {
  tav::Debugger* d = bound();
  return d ? &d->program.tables() : nullptr;
}

// A named file, or null for any file; false when a name was given but not found.
bool file_of(const tav::DebugTables& t, const char* file, const tav::FileEntry*& f) {
  f = file ? t.find_file(file) : nullptr;
  return !file || f;
}

const tav::SymbolEntry* variable_of(const char* variable, const char* file) {
  const tav::DebugTables* t = tables();
  const tav::FileEntry* f = nullptr;
  if (!t || !variable || !file_of(*t, file, f)) return nullptr;
  return t->find_global_variable(variable, f);
}

const tav::FunctionBlock* function_of(const char* function, const char* file) {
  const tav::DebugTables* t = tables();
  const tav::FileEntry* f = nullptr;
  if (!t || !function || !file_of(*t, file, f)) return nullptr;
  return t->find_function(function, f);
}

void fill_line(TavLineInfo& out, const tav::DebugRecord& r) {
  out.address = r.value;
  out.line = r.line;
  out.kind = r.kind;
  put_text(out.file, r.name);
  if (r.function) put_text(out.function, r.function->name);
}

TavLineInfo* line_record(const tav::DebugRecord* r) {
  if (!r) return nullptr;
  TavLineInfo* out = alloc_records<TavLineInfo>(1);
  if (out) fill_line(*out, *r);
  return out;
}

void fill_file(TavFileInfo& out, const tav::FileEntry& f) {
  out.first_line = f.first_line;
  out.last_line = f.last_line;
  out.function_count = static_cast<uint32_t>(f.functions.empty() ? 0 : f.functions.size() - 1);
  out.flags = f.flags;
  put_text(out.name, f.name);
}

TavSymbolInfo* symbol_record(const tav::SymbolEntry& e) {
  TavSymbolInfo* out = alloc_records<TavSymbolInfo>(1);
  if (!out) return nullptr;
  out->value = e.value;
  out->size = e.size;
  out->type = e.type;
  out->storage_class = e.storage_class;
  put_text(out->name, e.name);
  return out;
}

}  // namespace

// ---- Expressions ------------------------------------------------------------

TAV_API TavValue xexpr(const char** cursor, int32_t* status, int32_t mode) {
  tav::Debugger* d = bound();
  if (!d || !cursor || !*cursor) return nullptr;
  int s = 0;
  auto* v = new tav::Value(d->evaluator.xexpr(*cursor, s, mode));
  if (status) *status = s;
  return v;
}

TAV_API void putresult(TavValue value, int32_t letter) {
  tav::Debugger* d = bound();
  if (d && value) tav::putout(*d, d->formatter.text(*static_cast<tav::Value*>(value), static_cast<char>(letter)));
}

TAV_API void xfree(TavValue value) { delete static_cast<tav::Value*>(value); }

TAV_API int32_t AnalyzeString(const char* text, int32_t letter) {
  tav::Debugger* d = bound();
  if (!d || !text) return 0;
  const char* p = text;
  for (;;) {
    int status = 0;
    const tav::Value v = d->evaluator.xexpr(p, status, 1);
    if (status != 0) return status;
    tav::putout(*d, "    " + d->formatter.text(v, static_cast<char>(letter)) + "\n");
    while (*p == ' ' || *p == '\t') ++p;
    if (*p != ',') return 0;
    ++p;
  }
}

TAV_API TavSymbolInfo* rensym(const char* name) {
  tav::Debugger* d = bound();
  const tav::ProgramSymbol* s = d && name ? d->program.symbols().rensym(name) : nullptr;
  if (!s) return nullptr;
  TavSymbolInfo* out = alloc_records<TavSymbolInfo>(1);
  if (!out) return nullptr;
  out->value = s->value();
  put_text(out->name, s->name);
  return out;
}

// ---- Variables --------------------------------------------------------------

TAV_API int32_t GetVarInformation(const char* variable, const char* file, uint32_t* info) {
  const tav::SymbolEntry* e = variable_of(variable, file);
  if (!e || !info) return 0;
  info[0] = e->size;
  info[1] = e->type;
  info[2] = e->storage_class;
  return 1;
}

TAV_API char* GetSizedVarList(const char* file, uint32_t size) {
  const tav::DebugTables* t = tables();
  const tav::FileEntry* only = nullptr;
  if (!t || !file_of(*t, file, only)) return nullptr;
  std::vector<std::string_view> names;
  for (const tav::FileEntry* f : t->files())
    if (!only || f == only)
      if (const tav::FunctionBlock* b = f->file_block())
        for (const tav::SymbolEntry& e : b->locals)
          if (!e.name.empty() && e.size == size) names.push_back(e.name);
  return dup_list(names);
}

TAV_API int32_t GetEnumValue(const char* variable, const char* file, char** text) {
  tav::Debugger* d = bound();
  const tav::SymbolEntry* e = variable_of(variable, file);
  if (!d || !e || !text || !e->aggregate) return 0;
  const tav::Value v = d->evaluator.variable(*e, nullptr);
  *text = dup_text(tav::DebugTables::enumerator_name(e->aggregate, tav::as_int(v)));
  return *text ? 1 : 0;
}

TAV_API TavSymbolInfo* GetGlobalVariable(const char* name, const char* file) {
  const tav::SymbolEntry* e = variable_of(name, file);
  return e ? symbol_record(*e) : nullptr;
}

TAV_API char* GetVariableDescription(const char* variable, const char* file) {
  const tav::SymbolEntry* e = variable_of(variable, file);
  return e ? dup_text(tav::declaration_text(*e)) : nullptr;
}

TAV_API int32_t GetVariableSize(const char* variable, const char* file) {
  const tav::SymbolEntry* e = variable_of(variable, file);
  return e ? static_cast<int32_t>(e->size) : 0;
}

// ---- Sections -----------------------------------------------------------------

TAV_API int32_t GetSectionCount(void) {
  tav::Debugger* d = bound();
  return d ? static_cast<int32_t>(d->program.section_list().size()) : 0;
}

TAV_API int32_t GetSectionInfo(TavSectionInfo* sections, int32_t max) {
  tav::Debugger* d = bound();
  if (!d || !sections || max <= 0) return 0;
  int32_t n = 0;
  for (const tav::SectionInfo& s : d->program.section_list()) {
    if (n == max) break;
    TavSectionInfo& out = sections[n++];
    out.flags = s.flags;
    out.placement = s.placement;
    out.size = s.size;
    std::memcpy(out.name, s.name.data(), sizeof out.name);
  }
  return n;
}

// ---- Source positions ------------------------------------------------------------

TAV_API TavLineInfo* GetDebugSymbol(uint32_t address) {
  const tav::DebugTables* t = tables();
  return t ? line_record(t->record_at(address)) : nullptr;
}

TAV_API int32_t CheckDebugSymbol(uint32_t address) {
  const tav::DebugTables* t = tables();
  return t && t->record_at(address) ? 1 : 0;
}

TAV_API TavLineInfo* GetLineDebugSymbol(const char* file, int32_t line) {
  const tav::DebugTables* t = tables();
  if (!t || !file || line < 0) return nullptr;
  const tav::FileEntry* f = t->find_file(file);
  return f ? line_record(t->line_address(f, static_cast<unsigned>(line))) : nullptr;
}

TAV_API TavLineInfo* GetStartDebugSymbol(const char* function, const char* file) {
  const tav::FunctionBlock* f = function_of(function, file);
  return f ? line_record(f->start) : nullptr;
}

TAV_API TavLineInfo* GetLineMatch(uint32_t address) {
  const tav::DebugTables* t = tables();
  return t ? line_record(t->record_covering(address)) : nullptr;
}

TAV_API TavFileInfo* GetFileInfo(const char* file) {
  const tav::DebugTables* t = tables();
  const tav::FileEntry* f = t && file ? t->find_file(file) : nullptr;
  if (!f) return nullptr;
  TavFileInfo* out = alloc_records<TavFileInfo>(1);
  if (out) fill_file(*out, *f);
  return out;
}

TAV_API TavFunctionInfo* GetFunctionInfo(const char* function, const char* file) {
  const tav::FunctionBlock* f = function_of(function, file);
  if (!f) return nullptr;
  TavFunctionInfo* out = alloc_records<TavFunctionInfo>(1);
  if (!out) return nullptr;
  tables()->function_range(f, &out->start, &out->end);
  out->first_line = f->first_line;
  out->last_line = f->last_line;
  out->arg_count = f->arg_count;
  out->type = f->type;
  put_text(out->name, f->name);
  if (f->file) put_text(out->file, f->file->name);
  return out;
}

TAV_API char* GetSrcLine(const char* file, int32_t line) {
  tav::Debugger* d = bound();
  if (!d || !file || line <= 0) return nullptr;
  tav::DebugRecord r;
  r.name = file;
  r.line = static_cast<std::uint16_t>(line);
  // "file:line: text"; without ": text" when the file is not found.
  const std::string shown = tav::source_line_text(*d, r);
  const std::string prefix = std::string(file) + ":" + std::to_string(line) + ": ";
  if (shown.compare(0, prefix.size(), prefix) != 0) return nullptr;
  return dup_text(std::string_view(shown).substr(prefix.size()));
}

// ---- Whole lists -------------------------------------------------------------------

TAV_API TavFileInfo* GetFileChain(void) {
  const tav::DebugTables* t = tables();
  if (!t || t->files().empty()) return nullptr;
  TavFileInfo* out = alloc_records<TavFileInfo>(t->files().size() + 1);
  if (!out) return nullptr;
  std::size_t n = 0;
  for (const tav::FileEntry* f : t->files()) fill_file(out[n++], *f);
  return out;
}

TAV_API TavLineInfo* GetDebugList(void) {
  const tav::DebugTables* t = tables();
  if (!t) return nullptr;
  std::vector<const tav::DebugRecord*> lines;
  for (const tav::DebugRecord& r : t->records())
    if (r.line != 0 && !r.name.empty()) lines.push_back(&r);
  if (lines.empty()) return nullptr;
  TavLineInfo* out = alloc_records<TavLineInfo>(lines.size() + 1);
  if (!out) return nullptr;
  for (std::size_t i = 0; i < lines.size(); ++i) fill_line(out[i], *lines[i]);
  return out;
}

TAV_API TavFrameInfo* GetCurrentStack(void) {
  tav::Debugger* d = bound();
  if (!d) return nullptr;
  const std::vector<const tav::Frame*> frames = d->frames.walk(tav::Core::Cpu12);
  if (frames.empty()) return nullptr;
  TavFrameInfo* out = alloc_records<TavFrameInfo>(frames.size() + 1);
  if (!out) return nullptr;
  std::size_t n = 0;
  for (const tav::Frame* f : frames) {
    if (!f->function) continue;
    TavFrameInfo& e = out[n++];
    e.base = f->base;
    e.line = f->line;
    put_text(e.function, f->function->name.empty() ? std::string_view("?") : f->function->name);
    if (f->function->file) put_text(e.file, f->function->file->name);
  }
  if (n == 0) {
    std::free(out);
    return nullptr;
  }
  return out;
}

TAV_API int32_t GetXrefsFlag(void) {
  tav::Debugger* d = bound();
  return d && d->ext_commands.has("xref") ? 1 : 0;
}
