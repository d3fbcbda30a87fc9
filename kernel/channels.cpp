#include "kernel/channels.h"

namespace tav {

Channel* Channels::find(std::int32_t number) {
  for (Channel& c : list_)
    if (c.number == number) return &c;
  return nullptr;
}

Channel* Channels::open(std::int32_t number, const std::string& name, bool append) {
  // An existing file keeps its contents: it is opened for update, not truncated.
  std::FILE* f = nullptr;
  if (std::FILE* probe = std::fopen(name.c_str(), "r")) {
    std::fclose(probe);
    f = std::fopen(name.c_str(), append ? "a+" : "r+");
  } else {
    f = std::fopen(name.c_str(), append ? "a+" : "w+");
  }
  if (!f) return nullptr;
  list_.push_front(Channel{FilePtr(f), number, name});
  return &list_.front();
}

bool Channels::close(std::int32_t number) {
  for (auto it = list_.begin(); it != list_.end(); ++it) {
    if (it->number == number) {
      list_.erase(it);
      return true;
    }
  }
  return false;
}

}  // namespace tav
