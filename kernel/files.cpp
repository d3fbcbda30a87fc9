#include "kernel/files.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "kernel/debugger.h"

namespace tav {

SafeWriter::SafeWriter(std::string path, bool binary) : path_(std::move(path)) {
  struct stat st {};
  const bool special = ::stat(path_.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
  const char* mode = binary ? "wb" : "w";
  if (special) {
    file_ = std::fopen(path_.c_str(), mode);
    return;
  }
  temp_ = path_ + ".tav-new";
  file_ = std::fopen(temp_.c_str(), mode);
  if (!file_) {  // a directory we may not create files in, but the file itself is writable
    temp_.clear();
    file_ = std::fopen(path_.c_str(), mode);
  }
}

SafeWriter::~SafeWriter() {
  if (!file_) return;
  std::fclose(file_);
  if (!temp_.empty()) std::remove(temp_.c_str());
}

bool SafeWriter::commit(std::string& error) {
  if (!file_) {
    error = std::strerror(errno);
    return false;
  }
  bool ok = std::fflush(file_) == 0 && !std::ferror(file_);
  int saved = ok ? 0 : errno;
  if (std::fclose(file_) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  file_ = nullptr;
  if (ok && !temp_.empty() && std::rename(temp_.c_str(), path_.c_str()) != 0) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    if (!temp_.empty()) std::remove(temp_.c_str());
    error = std::strerror(saved ? saved : EIO);
  }
  return ok;
}

bool stream_ok(std::FILE* f) { return std::fflush(f) == 0 && !std::ferror(f); }

std::string host_path(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

const char* file_word(const char* p, std::string& name) {
  name.clear();
  if (*p == '"') {
    const char* q = p + 1;
    while (*q && *q != '"') ++q;
    name.assign(p + 1, q);
    return *q ? q + 1 : q;
  }
  const char* q = p;
  while (*q && *q != ';' && !blankchar(*q)) ++q;
  name.assign(p, q);
  return q;
}

void set_source_path(Debugger& d, std::string_view list) {
  std::string& path = d.source_path;
  if (!list.empty() && list.front() == '|') {
    path = path.empty() ? std::string(list.substr(1)) : path + std::string(list);
  } else if (!list.empty() && list.back() == '|') {
    path = path.empty() ? std::string(list.substr(0, list.size() - 1)) : std::string(list) + path;
  } else {
    path = std::string(list);
  }
}

}  // namespace tav
