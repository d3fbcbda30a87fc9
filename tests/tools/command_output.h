// What a shell command prints on standard output (the binutils the example
// tests compare with).
#pragma once
#include <cstdio>
#include <string>

namespace x12test {

inline std::string command_output(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  pclose(p);
  return out;
}

}  // namespace x12test
