#include "image/debug_tables.h"

#include <algorithm>
#include <utility>

namespace tav {

std::uint32_t type_size(std::uint32_t type, std::span<const std::uint32_t> words, const AggregateRecord* aggregate) {
  std::uint64_t factor = 1;
  std::size_t w = 0;
  auto next_word = [&]() -> std::uint32_t { return w < words.size() ? words[w++] : 0; };
  for (int depth = 0; depth < 12; ++depth) {
    switch (top_derivation(type)) {
      case Derivation::Array:
        factor *= next_word();
        type = strip_derivation(type);
        continue;
      case Derivation::Pointer:
        return static_cast<std::uint32_t>(factor * pointer_size(static_cast<std::uint16_t>(next_word())));
      case Derivation::Function:
        return 0;
      case Derivation::None:
        break;
    }
    break;
  }
  const std::uint8_t code = base_code(type);
  std::uint64_t size = 0;
  if (is_struct_or_union_code(code))
    size = aggregate ? aggregate->size : 0;
  else if (const BaseTypeInfo* info = find_base_type(code))
    size = info->size;
  return static_cast<std::uint32_t>(factor * size);
}

DebugTables::DebugTables() = default;
DebugTables::~DebugTables() = default;

void DebugTables::clear() {
  records_.clear();
  defines_.clear();
  companions_.clear();
  file_records_ = 0;
  function_records_ = 0;
  file_order_.clear();
  file_store_.clear();
  function_store_.clear();
  aggregates_.clear();
  coprocessor_code_ = false;
  code_.clear();
  code_info_.clear();
  code_ends_.clear();
  function_index_.clear();
  global_index_.clear();
  line_index_.clear();
  pool_.clear();
}

std::string_view DebugTables::intern(std::string_view text) {
  auto it = pool_.find(text);
  if (it == pool_.end()) it = pool_.emplace(text).first;
  return *it;
}

std::string_view DebugTables::find_interned(std::string_view text) const {
  auto it = pool_.find(text);
  return it == pool_.end() ? std::string_view() : std::string_view(*it);
}

const DebugRecord* DebugTables::next(const DebugRecord* r) const {
  if (!r) return nullptr;
  const std::size_t i = r->index + 1u;
  return i < records_.size() ? &records_[i] : nullptr;
}

void DebugTables::insert_file(FileEntry* f) {
  auto at = std::upper_bound(file_order_.begin(), file_order_.end(), f->name,
                             [](std::string_view n, const FileEntry* e) { return n < e->name; });
  file_order_.insert(at, f);
}

const FileEntry* DebugTables::find_file(std::string_view name) const {
  auto it = std::lower_bound(file_order_.begin(), file_order_.end(), name,
                             [](const FileEntry* e, std::string_view n) { return e->name < n; });
  return it != file_order_.end() && (*it)->name == name ? *it : nullptr;
}

FileEntry* DebugTables::find_file(std::string_view name) {
  return const_cast<FileEntry*>(std::as_const(*this).find_file(name));
}

FunctionBlock* DebugTables::find_function(std::string_view name, const FileEntry* file) const {
  if (name.empty() || name[0] == '.') return nullptr;
  if (!file) {
    auto it = function_index_.find(name);
    return it == function_index_.end() ? nullptr : it->second;
  }
  const auto& chain = file->functions;
  for (std::size_t i = 0; i + 1 < chain.size(); ++i)
    if (chain[i]->name == name) return chain[i];
  return nullptr;
}

void DebugTables::build_indexes() {
  code_.clear();
  code_info_.clear();
  code_ends_.clear();
  for (std::uint32_t i = 0; i < records_.size(); ++i) {
    const std::uint8_t k = records_[i].kind;
    const bool code = k == kRecFunctionStart || k == kRecLine;
    if (code) code_.push_back(i);
    if (code || k == kRecFileInfo || k == kRecKind04) code_info_.push_back(i);
    if (code || k == kRecFunctionEnd) code_ends_.push_back(i);
    if (code && records_[i].line != 0) line_index_.try_emplace(LineKey{records_[i].name.data(), records_[i].line}, i);
  }
  function_index_.clear();
  global_index_.clear();
  for (const FileEntry* f : file_order_) {
    const auto& chain = f->functions;
    for (std::size_t i = 0; i + 1 < chain.size(); ++i)
      if (!chain[i]->name.empty() && chain[i]->name[0] != '.') function_index_.try_emplace(chain[i]->name, chain[i]);
    if (const FunctionBlock* top = f->file_block())
      for (const SymbolEntry& e : top->locals) global_index_.try_emplace(e.name, &e);
  }
}

namespace {
// Position in `index` of the first record whose value is above `address`.
std::vector<std::uint32_t>::const_iterator first_above(const std::vector<DebugRecord>& records,
                                                       const std::vector<std::uint32_t>& index,
                                                       std::uint32_t address) {
  return std::upper_bound(index.begin(), index.end(), address,
                          [&](std::uint32_t a, std::uint32_t i) { return a < records[i].value; });
}
}  // namespace

const DebugRecord* DebugTables::record_at(std::uint32_t address, int coprocessor) const {
  auto it = std::lower_bound(records_.begin(), records_.end(), address,
                             [](const DebugRecord& r, std::uint32_t a) { return r.value < a; });
  auto accepts = [&](const DebugRecord& r) { return coprocessor < 0 || r.coprocessor == coprocessor; };
  for (; it != records_.end() && it->value == address; ++it) {
    if (it->kind == kRecFile || it->kind == kRecOrdered) continue;
    if (it->kind == kRecFunctionEnd) {
      auto following = std::next(it);
      if (following != records_.end() && following->value == address && accepts(*following)) return &*following;
      continue;
    }
    if (accepts(*it)) return &*it;
  }
  return nullptr;
}

const DebugRecord* DebugTables::record_covering(std::uint32_t address, bool with_info) const {
  const auto& index = with_info ? code_info_ : code_;
  auto it = first_above(records_, index, address);
  if (it == index.begin()) return nullptr;
  return &records_[*std::prev(it)];
}

const DebugRecord* DebugTables::next_line_after(std::uint32_t address, bool with_ends) const {
  const auto& index = with_ends ? code_ends_ : code_;
  auto it = first_above(records_, index, address);
  return it == index.end() ? nullptr : &records_[*it];
}

bool DebugTables::covering_range(std::uint32_t address, std::uint32_t* first, std::uint32_t* last) const {
  const DebugRecord* r = record_covering(address);
  if (!r) return false;
  auto it = first_above(records_, code_ends_, address);
  if (it == code_ends_.end()) return false;
  if (first) *first = r->value;
  if (last) *last = records_[*it].value - 1;
  return true;
}

FunctionBlock* DebugTables::function_at(std::uint32_t address) const {
  const DebugRecord* r = record_covering(address);
  return r ? r->function : nullptr;
}

const DebugRecord* DebugTables::line_address(const FileEntry* file, unsigned line) const {
  if (!file || line > 0xFFFF) return nullptr;
  if (!file->functions.empty() && !file->functions.front()->name.empty()) {
    for (const FunctionBlock* f : file->functions) {
      if (f->name.empty() || !f->start || line < f->first_line || line > f->last_line) continue;
      const std::size_t stop = f->end ? f->end->index : records_.size() - 1;
      for (std::size_t i = f->start->index; i <= stop && i < records_.size(); ++i) {
        const DebugRecord& r = records_[i];
        if (i != f->start->index && r.is_start()) break;
        if ((r.is_start() || r.is_line()) && r.line == line) return &r;
      }
    }
    return nullptr;
  }
  const std::string_view name = find_interned(file->name);
  if (name.empty()) return nullptr;
  auto it = line_index_.find(LineKey{name.data(), static_cast<std::uint16_t>(line)});
  return it == line_index_.end() ? nullptr : &records_[it->second];
}

bool DebugTables::function_range(const FunctionBlock* f, std::uint32_t* start, std::uint32_t* end) const {
  if (!f || !f->start) return false;
  const DebugRecord* e = f->end;
  if (!e) {
    for (std::size_t i = f->start->index + 1; i < records_.size() && !e; ++i)
      if (records_[i].is_end()) e = &records_[i];
    if (!e) return false;
  }
  if (start) *start = f->start->value;
  if (end) *end = e->value;
  return true;
}

const SymbolEntry* DebugTables::find_local(const FunctionBlock* f, std::string_view name) const {
  if (!f) return nullptr;
  for (const SymbolEntry& e : f->locals)
    if (e.name == name) return &e;
  return nullptr;
}

const SymbolEntry* DebugTables::find_label(const FunctionBlock* f, std::string_view name) const {
  if (!f) return nullptr;
  for (const SymbolEntry& e : f->labels)
    if (e.name == name) return &e;
  return nullptr;
}

const SymbolEntry* DebugTables::find_file_variable(const FileEntry* file, std::string_view name) const {
  return file ? find_local(file->file_block(), name) : nullptr;
}

const SymbolEntry* DebugTables::find_global(std::string_view name) const {
  auto it = global_index_.find(name);
  return it == global_index_.end() ? nullptr : it->second;
}

const SymbolEntry* DebugTables::find_visible(const FunctionBlock* f, std::string_view name) const {
  if (const SymbolEntry* e = find_local(f, name)) return e;
  return find_global(name);
}

const SymbolEntry* DebugTables::find_global_variable(std::string_view name, const FileEntry* file) const {
  auto search = [&](const FileEntry* f, bool statics) -> const SymbolEntry* {
    const FunctionBlock* top = f->file_block();
    if (!top) return nullptr;
    for (const SymbolEntry& e : top->locals)
      if (e.name == name && (e.storage_class == kClassExtern || e.storage_class == kClassAbsolute ||
                             (statics && e.storage_class == kClassStatic)))
        return &e;
    return nullptr;
  };
  if (file) return search(file, true);
  for (const FileEntry* f : file_order_)
    if (const SymbolEntry* e = search(f, false)) return e;
  return nullptr;
}

std::string_view DebugTables::enumerator_name(const AggregateRecord* aggregate, std::int32_t value) {
  if (aggregate)
    for (const SymbolEntry& m : aggregate->members)
      if (static_cast<std::int32_t>(m.value) == value) return m.name;
  return kEnumOutOfBounds;
}

void DebugTables::clear_profile() {
  for (DebugRecord& r : records_) r.hits = r.cycles = 0;
}

}  // namespace tav
