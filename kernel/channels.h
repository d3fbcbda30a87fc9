// The I/O channels of command files: host files opened under numbers chosen
// by the user ("fopen /c:n"), written with fwrite, read with fread.
#pragma once
#include <cstdint>
#include <cstdio>
#include <list>
#include <string>

#include "kernel/output.h"

namespace tav {

struct Channel {
  FilePtr file;
  std::int32_t number = 0;
  std::string name;
};

class Channels {
 public:
  // The open channel of that number, or null.
  Channel* find(std::int32_t number);
  // Opens `name` on a new channel at the head of the list: an existing file
  // for update (or appending), a missing one is created. Null on failure.
  Channel* open(std::int32_t number, const std::string& name, bool append);
  // Closes and forgets the channel; false when the number is not open.
  bool close(std::int32_t number);
  void close_all() { list_.clear(); }
  std::size_t size() const { return list_.size(); }

 private:
  std::list<Channel> list_;  // newest first
};

}  // namespace tav
