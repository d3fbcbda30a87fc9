#include "image/debug_builder.h"

#include <algorithm>
#include <unordered_set>

namespace tav {

namespace {

constexpr std::uint32_t kEntrySize = 16;
constexpr int kMaxNesting = 64;      // aggregates inside aggregates
constexpr std::size_t kArgsLimit = 511;

std::string start_key(std::string_view file, std::string_view function) {
  std::string key(file);
  key += '\0';
  key.append(function);
  return key;
}

}  // namespace

DebugBuilder::DebugBuilder(DebugTables& tables, ByteView file, std::uint32_t debug_base, LoadHost& host,
                           DebugBuildOptions options)
    : t_(tables), file_(file), base_(debug_base), host_(host), options_(options) {
  // Entries may overlap in a damaged file; bound the work by what an honest
  // file of this size could hold.
  entry_budget_ = file_.size() / kEntrySize * 4 + 4096;
}

LoadResult DebugBuilder::fatal(std::string text) {
  host_.error(text);
  return LoadResult::Fatal;
}

LoadResult DebugBuilder::mismatch() { return fatal("INCONSISTENT DEBUG INFO\n\nPROBABLE TARGET MISMATCH\n"); }

FileEntry* DebugBuilder::new_file(std::string_view name) {
  t_.file_store_.push_back(std::make_unique<FileEntry>());
  FileEntry* f = t_.file_store_.back().get();
  f->name = t_.intern(name);
  return f;
}

FunctionBlock* DebugBuilder::new_function(FileEntry* file) {
  t_.function_store_.push_back(std::make_unique<FunctionBlock>());
  FunctionBlock* f = t_.function_store_.back().get();
  f->file = file;
  f->coprocessor = file ? file->coprocessor : 0;
  return f;
}

DebugRecord* DebugBuilder::find_start(std::string_view file, std::string_view function) {
  auto it = starts_.find(start_key(file, function));
  if (it == starts_.end() || it->second.empty()) return nullptr;
  // Two files of the same name may both hold a function of that name: each
  // block takes the first start record no other block has taken yet.
  for (DebugRecord* r : it->second)
    if (!r->starts) return r;
  return it->second.front();
}

DebugRecord* DebugBuilder::end_after(const DebugRecord* start) const {
  const std::uint32_t i = next_end_[start->index];
  return i < t_.records_.size() ? &t_.records_[i] : nullptr;
}

LoadResult DebugBuilder::build_files() {
  auto& recs = t_.records_;
  next_end_.assign(recs.size(), static_cast<std::uint32_t>(recs.size()));
  for (std::size_t i = recs.size(); i-- > 1;)
    next_end_[i - 1] = recs[i].is_end() ? static_cast<std::uint32_t>(i) : next_end_[i];
  for (DebugRecord& r : recs)
    if (r.is_start()) starts_[start_key(r.name, r.second)].push_back(&r);

  const DebugRecord* current_file = nullptr;
  for (DebugRecord& r : recs) {
    if (host_.stop_requested()) return LoadResult::Stopped;
    switch (r.kind) {
      case kRecFile: {
        current_file = &r;
        const LoadResult res = read_file_block(r);
        if (res != LoadResult::Ok) return res;
        break;
      }
      case kRecLine: {
        if (current_file && r.name == current_file->name) break;
        FileEntry* f = t_.find_file(r.name);
        if (!f) {
          f = new_file(r.name);
          f->flags = kFileLinesOnly;
          FunctionBlock* top = new_function(f);
          top->first_line = top->last_line = 1;
          f->functions.push_back(top);
          f->first_line = f->last_line = 1;
          t_.insert_file(f);
        } else if (r.end_line > f->last_line) {
          f->last_line = r.end_line;
          if (FunctionBlock* top = f->file_block()) top->last_line = r.end_line;
        }
        break;
      }
      case kRecFunctionStart:
        if (FileEntry* f = t_.find_file(r.name)) f->flags |= kFileHasStarts;
        break;
      case kRecFileInfo:
        if (FileEntry* f = t_.find_file(r.name)) f->flags |= kFileInfo | kFileHasFunctions;
        break;
      default:
        break;
    }
    host_.step();
  }
  for (FileEntry* f : t_.file_order_)
    for (std::size_t i = 0; i + 1 < f->functions.size(); ++i)
      if (!f->functions[i]->name.empty()) f->flags |= kFileHasFunctions;
  return LoadResult::Ok;
}

LoadResult DebugBuilder::read_file_block(const DebugRecord& r) {
  companion_active_ = false;
  for (const DebugRecord& c : t_.companions_) {
    if (c.name != r.name) continue;
    for (std::uint32_t k = 0; k < 16; ++k) companion_[k] = word(c.value + 4ull * k);
    companion_active_ = true;
    break;
  }

  const std::uint32_t block = r.value;
  const std::uint32_t name_offset = word(block);
  const std::string_view debug_name = text(name_offset);
  std::uint8_t unit = file_.byte(at(name_offset) + debug_name.size() + 1);
  if (unit > 141) unit = 140;

  FileEntry* existing = t_.find_file(r.name);
  FileEntry* e = new_file(r.name);
  e->second = r.second;
  e->debug_name = t_.intern(debug_name);
  e->record = &r;
  e->unit_code = unit;
  e->coprocessor = (unit == 139 || unit == 141) ? 1 : 0;
  if (existing) {
    if (existing->flags & kFileLinesOnly) {
      std::erase(t_.file_order_, existing);
    } else {
      e->flags |= kFileDuplicate;
      if (options_.no_duplicate_files) {
        file_of_record_.emplace_back(&r, nullptr);
        return LoadResult::Ok;
      }
    }
  }

  // The chain, guarded against loops; its last block describes the file itself.
  std::vector<std::uint32_t> chain;
  std::unordered_set<std::uint32_t> seen;
  for (std::uint32_t off = word(block + 4ull); off != 0 && seen.insert(off).second; off = word(off)) {
    if (!file_.has(at(off), 36)) break;
    chain.push_back(off);
  }
  std::vector<FunctionBlock*> with_start, without_start;
  FunctionBlock* top = nullptr;
  for (std::size_t i = 0; i < chain.size(); ++i) {
    FunctionBlock* f = nullptr;
    const LoadResult res = read_function(chain[i], e, i + 1 == chain.size(), &f);
    if (res != LoadResult::Ok) return res;
    if (!f) continue;
    if (i + 1 == chain.size())
      top = f;
    else
      (f->start ? with_start : without_start).push_back(f);
  }
  if (!top) {
    top = new_function(e);
    top->first_line = top->last_line = 1;
  }
  std::stable_sort(with_start.begin(), with_start.end(),
                   [](const FunctionBlock* a, const FunctionBlock* b) { return a->start->value < b->start->value; });
  e->functions = std::move(with_start);
  e->functions.insert(e->functions.end(), without_start.begin(), without_start.end());
  e->functions.push_back(top);
  e->first_line = top->first_line;
  e->last_line = top->last_line;
  if (e->coprocessor) t_.coprocessor_code_ = true;
  t_.insert_file(e);
  file_of_record_.emplace_back(&r, e);
  return LoadResult::Ok;
}

LoadResult DebugBuilder::read_function(std::uint32_t offset, FileEntry* file, bool file_level, FunctionBlock** out) {
  *out = nullptr;
  const std::uint32_t name_offset = word(offset + 8ull);
  const std::string_view name = name_offset ? text(name_offset) : std::string_view();
  DebugRecord* start = nullptr;
  if (!file_level && !name.empty()) {
    start = find_start(file->name, name);
    if (!start) return LoadResult::Ok;  // a function without code
  }
  FunctionBlock* f = new_function(file);
  f->name = t_.intern(name);
  f->storage_class = name_offset ? file_.byte(at(name_offset) + name.size() + 1) : 0;
  f->first_line = static_cast<std::uint16_t>(word(offset + 12ull));
  f->last_line = static_cast<std::uint16_t>(word(offset + 16ull));
  f->type = file_.le32(at(offset + 20ull));
  const std::uint32_t result_offset = word(offset + 24ull);
  const std::uint32_t locals_offset = word(offset + 28ull);
  const std::uint32_t define_offset = word(offset + 32ull);
  if (start) {
    f->start = start;
    start->starts = f;
    f->end = end_after(start);
    const std::size_t stop = f->end ? f->end->index : t_.records_.size();
    for (std::size_t i = start->index + 1; i < stop; ++i)
      if (t_.records_[i].kind == kRecFileInfo) {
        f->info = &t_.records_[i];
        break;
      }
  }
  if (define_offset) {
    f->define_count = word(define_offset);
    f->define_arg_count = word(define_offset + 4ull);
  }
  f->result.owner = f;
  f->result.type = f->type;
  f->result.coprocessor = f->coprocessor;
  read_descriptor(result_offset, f->result, f, 0);
  f->result.size = type_size(f->result);
  f->return_attr = f->result.pointer_attr;
  if (!f->return_attr && is_pointer_type(f->type) && f->result.deriv_count)
    f->return_attr = static_cast<std::uint16_t>(f->result.derivation_words()[0]);

  if (options_.format != '4') {
    if (options_.format == '2' || options_.format == '3') return fatal("V3 Format not SUpported ");
    return fatal("Unknown format for Locals ");
  }
  if (locals_offset) read_entries(locals_offset, f, f->locals, 0);
  arrange_locals(*f);
  if (!file_level && !name.empty()) {
    const LoadResult res = describe(*f);
    if (res != LoadResult::Ok) return res;
  }
  *out = f;
  return LoadResult::Ok;
}

std::uint64_t DebugBuilder::read_entries(std::uint64_t offset, FunctionBlock* owner, std::vector<SymbolEntry>& out,
                                         int depth) {
  std::uint64_t p = offset;
  std::size_t count = 0;
  while (file_.has(at(p), kEntrySize) && word(p) != 0 && count < entry_budget_) {
    ++count;
    p += kEntrySize;
  }
  entry_budget_ -= count;
  out.resize(count);
  for (std::size_t k = 0; k < count; ++k) read_entry(offset + k * kEntrySize, owner, out[k], depth);
  return p;
}

void DebugBuilder::read_entry(std::uint64_t offset, FunctionBlock* owner, SymbolEntry& e, int depth) {
  const std::uint32_t name_offset = word(offset);
  const std::string_view name = text(name_offset);
  const std::uint64_t after_name = at(name_offset) + name.size() + 1;
  e.owner = owner;
  e.name = t_.intern(name);
  e.storage_class = file_.byte(after_name);
  e.coprocessor = owner ? owner->coprocessor : 0;
  e.value = word(offset + 4);
  e.type = file_.le32(at(offset + 8));
  read_descriptor(word(offset + 12), e, owner, depth);
  if (e.type == kBool) {
    if (e.special != 0) {
      e.special >>= 8;
    } else {
      e.special = e.value & 7u;
      e.value >>= 3;
    }
  }
  // The primary value of classes 5, 21 and 22 follows the class byte; the
  // entry's own value is kept as the secondary one (moved in arrange_locals).
  if (has_secondary_value(e.storage_class)) e.secondary = file_.be32(after_name + 1);
  e.size = type_size(e);
}

void DebugBuilder::read_descriptor(std::uint32_t offset, SymbolEntry& e, FunctionBlock* owner, int depth) {
  e.word_count = e.deriv_first = e.deriv_count = 0;
  if (offset == 0) return;
  const std::uint8_t code = base_code(e.type);
  std::uint64_t p = offset;
  int k = 0;
  auto next = [&]() {
    const std::uint32_t w = word(p);
    p += 4;
    return w;
  };
  auto push = [&](std::uint32_t w) {
    if (k < SymbolEntry::kMaxWords) e.words[static_cast<std::size_t>(k++)] = w;
  };
  auto translated = [&](std::uint32_t w) {
    return translate_pointer_attribute(static_cast<std::uint16_t>(w), companion_);
  };
  if (companion_active_) {
    const std::uint16_t attr = translated(next());
    e.pointer_attr = attr;
    push(attr);
  }
  if (is_bitfield_code(code) || code == kBool) {
    e.special = next();
    push(e.special);
  }
  e.deriv_first = static_cast<std::uint8_t>(k);
  std::uint32_t t = e.type;
  for (int i = 0; i < 12 && top_derivation(t) != Derivation::None; ++i, t = strip_derivation(t)) {
    if (top_derivation(t) == Derivation::Pointer)
      push(companion_active_ ? translated(next()) : next());
    else if (top_derivation(t) == Derivation::Array)
      push(next());
  }
  e.deriv_count = static_cast<std::uint8_t>(k - e.deriv_first);
  if (is_aggregate_code(code)) {
    const std::uint32_t list = next();
    push(list);
    if (list != 0) e.aggregate = read_aggregate(list, owner, depth + 1);
  }
  e.word_count = static_cast<std::uint8_t>(k);
}

AggregateRecord* DebugBuilder::read_aggregate(std::uint32_t offset, FunctionBlock* owner, int depth) {
  auto found = aggregate_by_offset_.find(offset);
  if (found != aggregate_by_offset_.end()) return found->second;
  t_.aggregates_.push_back(std::make_unique<AggregateRecord>());
  AggregateRecord* a = t_.aggregates_.back().get();
  a->offset = offset;
  aggregate_by_offset_.emplace(offset, a);  // before the members: a member may point back here
  if (depth > kMaxNesting) return a;
  const std::uint32_t tag = word(offset);
  a->tag = tag ? t_.intern(text(tag)) : std::string_view();
  const std::uint64_t end = read_entries(offset + 4ull, owner, a->members, depth);
  for (SymbolEntry& m : a->members)
    if (has_secondary_value(m.storage_class)) std::swap(m.value, m.secondary);
  a->size = word(end + 4);
  return a;
}

void DebugBuilder::arrange_locals(FunctionBlock& f) {
  const bool wide_result = f.type == kStruct || f.type == kDouble || f.type == kLongDouble;
  const bool plus = f.start && (f.start->flags & kRecPlus);
  std::vector<SymbolEntry> arguments, others;
  for (SymbolEntry& e : f.locals) {
    if (is_argument_class(e.storage_class)) {
      if (wide_result) e.value += 4;
      if (plus && e.storage_class == kClassArgument) e.value += 1;
    }
    if (has_secondary_value(e.storage_class)) std::swap(e.value, e.secondary);
    if (is_register_class(e.storage_class)) f.uses_registers = true;
    if (e.storage_class == kClassLabel || e.storage_class == kClassGlobal)
      f.labels.push_back(e);
    else
      (is_argument_class(e.storage_class) ? arguments : others).push_back(e);
  }
  std::stable_sort(arguments.begin(), arguments.end(),
                   [](const SymbolEntry& a, const SymbolEntry& b) { return a.value < b.value; });
  f.arg_count = static_cast<std::uint32_t>(arguments.size());
  f.locals = std::move(arguments);
  f.locals.insert(f.locals.end(), others.begin(), others.end());
}

bool DebugBuilder::type_text(const SymbolEntry& e, std::string& out) const {
  const BaseTypeInfo* base = find_base_type(base_code(e.type));
  if (!base) return false;
  out = base->name;
  out += ' ';
  if (is_struct_or_union_code(base->code) && e.aggregate && !e.aggregate->tag.empty()) {
    out.append(e.aggregate->tag);
    out += ' ';
  }
  out.append(static_cast<std::size_t>(pointer_count(e.type)), '*');
  out.append(e.name);
  return true;
}

LoadResult DebugBuilder::describe(FunctionBlock& f) {
  const BaseTypeInfo* base = find_base_type(base_code(f.type));
  if (!base) return mismatch();
  f.description = storage_class_word(f.storage_class);
  f.description += base->name;
  f.description += ' ';
  if (base->code == kStruct && f.result.aggregate) f.description.append(f.result.aggregate->tag);
  f.description.append(static_cast<std::size_t>(pointer_count(f.type)), '*');

  std::string list, item;
  for (const SymbolEntry& a : f.arguments()) {
    if (!type_text(a, item)) return mismatch();
    const std::size_t grow = (list.empty() ? 0 : 2) + item.size();
    if (list.size() + grow > kArgsLimit) {
      if (list.size() + 3 > kArgsLimit) list.resize(kArgsLimit - 3);
      list += "...";
      break;
    }
    if (!list.empty()) list += ", ";
    list += item;
  }
  f.args_text = std::move(list);
  return LoadResult::Ok;
}

LoadResult DebugBuilder::check_consistency() {
  auto& recs = t_.records_;
  for (DebugRecord& r : recs) {
    if (!r.is_start() || r.starts) continue;
    FileEntry* file = t_.find_file(r.name);
    if (!file)
      return fatal("INCONSISTENT DEBUG INFO.\nFILE: " + std::string(r.name) + " IS REREFENCED BUT CANNOT BE FOUND");
    FunctionBlock* found = nullptr;
    if (!r.second.empty())
      for (std::size_t i = 0; i + 1 < file->functions.size() && !found; ++i)
        if (file->functions[i]->name == r.second) found = file->functions[i];
    if (found) {
      r.starts = found;
      continue;
    }
    // Code the file's own blocks do not describe: a block of its own, never found by name.
    FunctionBlock* dot = new_function(file);
    dot->name = t_.intern(".");
    dot->start = &r;
    dot->end = end_after(&r);
    dot->first_line = 1;
    std::uint16_t last = 1;
    const std::size_t stop = dot->end ? dot->end->index : recs.size();
    for (std::size_t i = r.index; i < stop; ++i)
      if (recs[i].is_line() && recs[i].end_line > last) last = recs[i].end_line;
    dot->last_line = last;
    file->functions.insert(file->functions.begin(), dot);
    r.starts = dot;
  }
  FunctionBlock* current = nullptr;
  for (DebugRecord& r : recs) {
    if (r.is_start()) current = r.starts;
    r.function = current;
    if (current) {
      r.coprocessor = current->coprocessor;
    } else if (const FileEntry* f = t_.find_file(r.name)) {
      r.coprocessor = f->coprocessor;
    }
  }
  return LoadResult::Ok;
}

LoadResult DebugBuilder::build_defines() {
  const auto& defines = t_.defines_;
  for (std::size_t k = 0; k < file_of_record_.size(); ++k) {
    FileEntry* file = file_of_record_[k].second;
    if (!file) continue;
    const std::uint32_t low = file_of_record_[k].first->value;
    const bool last = k + 1 == file_of_record_.size();
    const std::uint32_t high = last ? 0 : file_of_record_[k + 1].first->value;
    auto it = std::upper_bound(defines.begin(), defines.end(), low,
                               [](std::uint32_t v, const DebugRecord& d) { return v < d.value; });
    for (; it != defines.end() && (last || it->value <= high); ++it) {
      if (it->name.size() < 2 || it->name[1] != '#') continue;
      file->defines.push_back({&*it, it->name.substr(2), std::string(text(it->value))});
    }
  }
  t_.build_indexes();
  return LoadResult::Ok;
}

}  // namespace tav
