#include "kernel/files.h"

#include "kernel/debugger.h"

namespace tav {

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
