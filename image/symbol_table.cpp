#include "image/symbol_table.h"

#include <algorithm>

namespace tav {

namespace {
bool kernel_name(std::string_view name) { return !name.empty() && name[0] == '.'; }
bool value_less(std::uint32_t v, const std::unique_ptr<ProgramSymbol>& s) { return v < s->value(); }
bool less_value(const std::unique_ptr<ProgramSymbol>& s, std::uint32_t v) { return s->value() < v; }
}  // namespace

SymbolTable::SymbolTable() = default;

const ProgramSymbol* SymbolTable::rensym(std::string_view name) const {
  auto it = index_.find(name);
  return it == index_.end() ? nullptr : it->second;
}

ProgramSymbol* SymbolTable::rensym(std::string_view name) {
  auto it = index_.find(name);
  return it == index_.end() ? nullptr : it->second;
}

std::vector<std::unique_ptr<ProgramSymbol>>::iterator SymbolTable::position_of(const ProgramSymbol* s) {
  // Symbols of equal value sit together; search only that run.
  auto it = std::lower_bound(symbols_.begin(), symbols_.end(), s->value(), less_value);
  while (it != symbols_.end() && it->get() != s) ++it;
  return it;
}

ProgramSymbol* SymbolTable::define_symbol(std::string_view name, std::uint32_t value, std::uint8_t section,
                                          std::uint8_t flags) {
  if (name.empty()) return nullptr;
  if (kernel_name(name)) {
    ProgramSymbol* s = rensym(name);
    if (!s) {
      auto fresh = std::make_unique<ProgramSymbol>();
      fresh->name = std::string(name);
      s = fresh.get();
      kernel_.push_back(std::move(fresh));
      index_[s->name] = s;
      if (listener_) listener_(s->name);
    }
    s->set_value(value);
    s->section = section;
    s->flags = flags;
    s->kind = (flags & 1) ? 5 : 0;
    return s;
  }
  remove_symbol(name);
  auto fresh = std::make_unique<ProgramSymbol>();
  fresh->name = std::string(name);
  fresh->stored = value;
  fresh->section = section;
  fresh->flags = flags;
  fresh->kind = (flags & 1) ? 5 : 0;
  ProgramSymbol* s = fresh.get();
  auto at = std::upper_bound(symbols_.begin(), symbols_.end(), value, value_less);
  symbols_.insert(at, std::move(fresh));
  index_[s->name] = s;
  if (listener_) listener_(s->name);
  return s;
}

bool SymbolTable::remove_symbol(std::string_view name) {
  auto it = index_.find(name);
  if (it == index_.end()) return false;
  ProgramSymbol* s = it->second;
  index_.erase(it);
  if (s->is_kernel()) {
    std::erase_if(kernel_, [s](const auto& p) { return p.get() == s; });
  } else {
    auto pos = position_of(s);
    if (pos != symbols_.end()) symbols_.erase(pos);
  }
  return true;
}

const ProgramSymbol* SymbolTable::find_symbol_by_value(std::uint32_t address) const {
  auto it = std::lower_bound(symbols_.begin(), symbols_.end(), address, less_value);
  if (it != symbols_.end() && (*it)->value() == address) return it->get();
  if (it == symbols_.begin()) return nullptr;
  return std::prev(it)->get();
}

const ProgramSymbol* SymbolTable::find_exact(std::uint32_t address, std::string_view prefix) const {
  for (auto it = std::lower_bound(symbols_.begin(), symbols_.end(), address, less_value);
       it != symbols_.end() && (*it)->value() == address; ++it)
    if ((*it)->name.starts_with(prefix)) return it->get();
  return nullptr;
}

void SymbolTable::bind_kernel_variable(std::string_view name, std::uint32_t* storage) {
  if (!kernel_name(name)) return;
  ProgramSymbol* s = rensym(name);
  if (!s) s = define_symbol(name, storage ? *storage : 0);
  const std::uint32_t current = s->value();
  s->external = storage;
  s->set_value(current);
}

void SymbolTable::clear_program_symbols() {
  for (const auto& s : symbols_) index_.erase(s->name);
  symbols_.clear();
  for (const auto& s : pending_) index_.erase(s->name);
  pending_.clear();
}

void SymbolTable::add_bulk(std::string_view name, std::uint32_t value, std::uint8_t section, std::uint8_t flags) {
  if (name.empty()) return;
  if (kernel_name(name)) {
    define_symbol(name, value, section, flags);
    return;
  }
  auto fresh = std::make_unique<ProgramSymbol>();
  fresh->name = std::string(name);
  fresh->stored = value;
  fresh->section = section;
  fresh->flags = flags;
  fresh->kind = (flags & 1) ? 5 : 0;
  pending_.push_back(std::move(fresh));
}

void SymbolTable::finish_bulk() {
  if (pending_.empty()) return;
  // A name defined again replaces the earlier definition, whether that was an
  // older symbol or an earlier one of this batch.
  std::unordered_map<std::string_view, std::size_t> last;
  last.reserve(pending_.size());
  for (std::size_t i = 0; i < pending_.size(); ++i) last[pending_[i]->name] = i;
  std::vector<std::unique_ptr<ProgramSymbol>> batch;
  batch.reserve(last.size());
  for (std::size_t i = 0; i < pending_.size(); ++i)
    if (last[pending_[i]->name] == i) batch.push_back(std::move(pending_[i]));
  pending_.clear();
  for (const auto& s : batch) remove_symbol(s->name);
  std::stable_sort(batch.begin(), batch.end(),
                   [](const auto& a, const auto& b) { return a->stored < b->stored; });
  std::vector<std::unique_ptr<ProgramSymbol>> merged;
  merged.reserve(symbols_.size() + batch.size());
  // Older symbols go first among equal values, as if the batch had been defined one by one.
  std::merge(std::make_move_iterator(symbols_.begin()), std::make_move_iterator(symbols_.end()),
             std::make_move_iterator(batch.begin()), std::make_move_iterator(batch.end()),
             std::back_inserter(merged), [](const auto& a, const auto& b) { return a->value() < b->value(); });
  symbols_ = std::move(merged);
  index_.reserve(index_.size() + symbols_.size());
  for (const auto& s : symbols_) index_[s->name] = s.get();
}

}  // namespace tav
