#include "kernel/extcmd.h"

#include <cstring>

namespace tav {

ExtCommand& ExtCommandRegistry::add(std::string name, std::function<void(const char* line)> handler) {
  entries_.push_front(ExtCommand{std::move(name), std::move(handler), {}});
  return entries_.front();
}

const ExtCommand* ExtCommandRegistry::match(const char* line) const {
  for (const auto& e : entries_)
    if (!e.name.empty() && std::strncmp(line, e.name.c_str(), e.name.size()) == 0) return &e;
  return nullptr;
}

bool ExtCommandRegistry::offer(const char* line) {
  auto* e = const_cast<ExtCommand*>(match(line));
  if (!e) return false;
  if (e->handler) e->handler(line);
  e->received.emplace_back(line);
  return true;
}

void ExtCommandRegistry::remove(const ExtCommand* entry) {
  entries_.remove_if([entry](const ExtCommand& e) { return &e == entry; });
}

bool ExtCommandRegistry::has(const char* word) const { return match(word) != nullptr; }

}  // namespace tav
