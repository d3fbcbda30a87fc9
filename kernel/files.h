// File names in commands, and the source search path.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>

namespace tav {

class Debugger;

// A name from a command, a configuration file or debug information as the
// file system wants it: "\" separators become "/".
std::string host_path(std::string_view name);

// Reads a file name: in double quotes, or up to a blank or ";". Returns the
// position after it.
const char* file_word(const char* p, std::string& name);

// A file written as a whole: the text goes to a new file beside it, which
// replaces the old one only when everything was written, so a full disk
// leaves the old file as it was. A device or FIFO is written directly.
class SafeWriter {
 public:
  explicit SafeWriter(std::string path, bool binary = false);
  ~SafeWriter();  // without commit the new file is removed
  SafeWriter(const SafeWriter&) = delete;
  SafeWriter& operator=(const SafeWriter&) = delete;

  std::FILE* file() const { return file_; }  // null when it could not be created
  // Flushes, closes and puts the file in place; false with `error` set
  // (the system's text) when anything failed.
  bool commit(std::string& error);

 private:
  std::string path_;
  std::string temp_;  // empty: writing the target directly
  std::FILE* file_ = nullptr;
};

// Checks a stream written over time (record, output copy, channels) after a
// write: false once it has failed (the caller reports it and closes it).
bool stream_ok(std::FILE* f);

// Applies a new list to the source search path: "|dir" appends, "dir|"
// puts in front, anything else replaces.
void set_source_path(Debugger& d, std::string_view list);

}  // namespace tav
