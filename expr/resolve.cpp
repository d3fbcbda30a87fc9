// Finding what a name in a C expression stands for: registers and cycle
// counters, functions, variables by the scope rules, program symbols.
#include <cstring>

#include "expr/eval_context.h"
#include "image/symbol_table.h"
#include "sim/registers.h"
#include "support/messages.h"

namespace tav {

namespace {

// Entries that name something with a value (not types).
bool is_variable_entry(const SymbolEntry& e) { return e.storage_class != kClassTypedef; }

const SymbolEntry* find_in(const std::vector<SymbolEntry>& entries, const std::string& name, bool statics_only) {
  for (const SymbolEntry& e : entries) {
    if (e.name != name || !is_variable_entry(e)) continue;
    if (statics_only && e.storage_class != kClassStatic && e.storage_class != kClassExtern) continue;
    return &e;
  }
  return nullptr;
}

const SymbolEntry* find_label(const FunctionBlock& f, const std::string& name) {
  for (const SymbolEntry& e : f.labels)
    if (e.name == name) return &e;
  for (const SymbolEntry& e : f.locals)
    if (e.name == name && e.storage_class == kClassGlobal) return &e;
  return nullptr;
}

const SymbolEntry* find_file_level(const DebugTables& tables, const std::string& name) {
  for (const FileEntry* f : tables.files())
    if (const FunctionBlock* top = f->file_block())
      if (const SymbolEntry* e = find_in(top->locals, name, false)) return e;
  return nullptr;
}

// Entries of a function, visible with its frame: its locals and its labels.
const SymbolEntry* find_own(const FunctionBlock& f, const std::string& name) {
  if (const SymbolEntry* e = find_in(f.locals, name, false)) return e;
  for (const SymbolEntry& e : f.labels)
    if (e.name == name) return &e;
  return nullptr;
}

Value variable(EvalContext& cx, const SymbolEntry& e, const Frame* frame) {
  Value v = entry_value(cx.env, e, frame, false);
  cx.load(v);
  return v;
}

Value inaccessible(EvalContext& cx) {
  cx.fail(msg::cannot_access_variable);
  Value v;
  v.valid = false;
  refresh_size(v);
  return v;
}

Value line_value(EvalContext& cx, const FileEntry* file, const FunctionBlock* function, std::uint32_t line,
                 const std::string& what) {
  const DebugRecord* r = cx.env.tables.line_address(file, line);
  if (r && function && r->function != function) r = nullptr;
  if (!r) {
    cx.fail(msg::line_not_found, what);
    Value v;
    v.valid = false;
    return v;
  }
  Value v;
  make_computed(v, kUnsignedLong);
  v.ival = static_cast<std::int32_t>(r->value);
  return v;
}

// A function's locals from the innermost frame of it on either core.
const Frame* frame_of(const EvalContext& cx, const FunctionBlock* f) {
  if (!cx.env.frames) return nullptr;
  if (const Frame* fr = cx.env.frames->innermost_of(f, Core::Cpu12)) return fr;
  if (cx.env.tables.has_coprocessor_code()) return cx.env.frames->innermost_of(f, Core::Xgate);
  return nullptr;
}

}  // namespace

const Frame* current_frame(const EvalContext& cx) { return cx.env.frames ? cx.env.frames->current() : nullptr; }

Value function_value(const FunctionBlock& f) {
  Value v;
  constexpr std::uint16_t kFarAttribute = 0x3000;  // code addresses are global
  const std::uint32_t start = f.start ? f.start->value : 0;
  v.type = add_derivation(add_derivation(f.type, Derivation::Function), Derivation::Pointer);
  v.words.push_back(start > 0xFFFFu ? kFarAttribute : 0u);
  for (std::uint32_t w : f.result.derivation_words()) v.words.push_back(w);
  v.aggregate = f.result.aggregate;
  v.coprocessor = f.coprocessor;
  v.owner = &f;
  v.ival = static_cast<std::int32_t>(start);
  refresh_size(v);
  return v;
}

Value debugger_variable(EvalContext& cx, const std::string& name) {
  Value v;
  v.type = kUnsignedLong;
  v.kind = kValueDebugVar;
  v.home = Home::DebugVar;
  v.symbol = ".." + name;
  refresh_size(v);
  if (cx.live() && !cx.env.symbols.rensym(v.symbol)) cx.env.symbols.define_symbol(v.symbol, 0);
  cx.load(v);
  return v;
}

Value resolve_name(EvalContext& cx, const std::string& name) {
  const DebugTables& tables = cx.env.tables;
  if (name[0] == '$') {
    const std::string reg = name.substr(1);
    Value v;
    if (const int code = Registers::GetRegisterCode(reg)) {
      v.type = kUnsignedLong;
      v.kind = kValueRegisterName;
      v.home = Home::Register;
      v.address = static_cast<std::uint32_t>(code);
      refresh_size(v);
      cx.load(v);
      return v;
    }
    if (reg == "time" || reg == "xtime") {
      v.type = kInt;
      v.kind = kValueCycleCounter;
      v.home = Home::Counter;
      v.symbol = "." + reg;
      refresh_size(v);
      cx.load(v);
      return v;
    }
    return inaccessible(cx);
  }
  if (name[0] == '@') {
    bool digits = name.size() > 1;
    for (std::size_t i = 1; i < name.size(); ++i) digits = digits && name[i] >= '0' && name[i] <= '9';
    if (digits) {
      Value v;
      v.ival = static_cast<std::int32_t>(std::strtoul(name.c_str() + 1, nullptr, 10));
      refresh_size(v);
      return v;
    }
  }
  if (const FunctionBlock* f = tables.find_function(name)) return function_value(*f);

  const Frame* frame = current_frame(cx);
  if (frame && frame->function)
    if (const SymbolEntry* e = find_own(*frame->function, name)) return variable(cx, *e, frame);
  if (const SymbolEntry* e = find_file_level(tables, name)) return variable(cx, *e, nullptr);
  if (tables.has_coprocessor_code() && cx.env.frames) {
    const Frame* x = cx.env.frames->innermost(Core::Xgate);
    if (x && x->function)
      if (const SymbolEntry* e = find_own(*x->function, name)) return variable(cx, *e, x);
  }

  if (const ProgramSymbol* s = cx.env.symbols.rensym(name)) {
    Value v;
    v.kind = kValueSymbol;
    v.ival = static_cast<std::int32_t>(s->value());
    refresh_size(v);
    return v;
  }
  if (const ProgramSymbol* s = cx.env.symbols.rensym("_" + name)) {
    Value v;
    v.type = kUnsignedChar;
    v.kind = kClassExtern;
    v.operand = kClassExtern;
    v.home = Home::Memory;
    v.address = s->value();
    refresh_size(v);
    cx.load(v);
    return v;
  }
  return inaccessible(cx);
}

Value resolve_scoped(EvalContext& cx, const std::string& scope, bool function_scope, const std::string& name,
                     bool is_line, std::uint32_t line) {
  const DebugTables& tables = cx.env.tables;
  if (!function_scope) {
    const FileEntry* file = tables.find_file(scope);
    if (!file) {
      cx.fail(msg::file_not_found, scope);
      Value v;
      v.valid = false;
      return v;
    }
    if (is_line) return line_value(cx, file, nullptr, line, scope + ":" + std::to_string(line));
    const FunctionBlock* top = file->file_block();
    if (!top) return inaccessible(cx);
    const SymbolEntry* e = cx.mode == 1 ? find_in(top->locals, name, true) : nullptr;
    if (!e) e = find_in(top->locals, name, false);
    return e ? variable(cx, *e, nullptr) : inaccessible(cx);
  }

  // func():name, or ():name with an empty scope for the current frame's function.
  const FunctionBlock* f = nullptr;
  const Frame* frame = nullptr;
  if (scope.empty()) {
    frame = current_frame(cx);
    if (!frame || !frame->function) {
      cx.fail(msg::no_frame);
      Value v;
      v.valid = false;
      return v;
    }
    f = frame->function;
  } else {
    f = tables.find_function(scope);
    if (!f) {
      cx.fail(msg::function_not_found, scope + "()");
      Value v;
      v.valid = false;
      return v;
    }
  }
  if (is_line) return line_value(cx, f->file, f, line, std::string(f->name) + "():" + std::to_string(line));
  if (cx.mode != 1) {
    const SymbolEntry* e = find_own(*f, name);
    return e ? variable(cx, *e, frame) : inaccessible(cx);
  }
  if (const SymbolEntry* e = find_in(f->locals, name, true)) return variable(cx, *e, nullptr);
  if (const SymbolEntry* e = find_label(*f, name)) return variable(cx, *e, nullptr);
  if (!frame) frame = frame_of(cx, f);
  if (frame)
    if (const SymbolEntry* e = find_own(*f, name)) return variable(cx, *e, frame);
  return inaccessible(cx);
}

}  // namespace tav
