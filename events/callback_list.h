// A registry of callbacks as extensions use them: newest entry first, and
// removal only marks an entry, which the next walk of the list unlinks and
// frees. A callback may therefore unregister itself, or any other entry,
// while it is being called.
#pragma once
#include <cstdint>

namespace tav {

template <class Fn>
class CallbackList {
 public:
  struct Entry {
    Entry* next = nullptr;
    bool removed = false;
    bool has_param = false;
    std::uint32_t param = 0;
    Fn fn{};
  };

  CallbackList() = default;
  CallbackList(const CallbackList&) = delete;
  CallbackList& operator=(const CallbackList&) = delete;
  ~CallbackList() {
    while (Entry* e = head_) {
      head_ = e->next;
      delete e;
    }
  }

  // The handle is the entry's address.
  Entry* add(Fn fn, bool has_param = false, std::uint32_t param = 0) {
    head_ = new Entry{head_, false, has_param, param, fn};
    return head_;
  }
  // Marks one entry removed; an unknown handle is ignored.
  void remove(const void* handle) {
    for (Entry* e = head_; e; e = e->next)
      if (e == handle) e->removed = true;
  }
  void remove_all() {
    for (Entry* e = head_; e; e = e->next) e->removed = true;
  }
  // No entry linked (removed ones count until a walk has unlinked them).
  bool empty() const { return head_ == nullptr; }

  // Calls `call(entry)` for every entry not removed, newest first. Only the
  // outermost of nested walks frees entries, so no entry a walk is standing
  // on disappears under it.
  template <class Call>
  void dispatch(Call&& call) {
    ++depth_;
    Entry** link = &head_;
    while (Entry* e = *link) {
      if (e->removed && depth_ == 1) {
        *link = e->next;
        delete e;
        continue;
      }
      if (!e->removed) call(*e);
      link = &e->next;
    }
    --depth_;
  }

 private:
  Entry* head_ = nullptr;
  int depth_ = 0;
};

}  // namespace tav
