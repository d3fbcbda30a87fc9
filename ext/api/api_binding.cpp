#include "ext/api/api_binding.h"

#include <cstdlib>
#include <cstring>

#include "include/tav/extension.h"

namespace tav {

namespace api {
State& state() {
  static State s;
  return s;
}

char* dup_text(std::string_view text) {
  char* p = static_cast<char*>(std::malloc(text.size() + 1));
  if (!p) return nullptr;
  std::memcpy(p, text.data(), text.size());
  p[text.size()] = '\0';
  return p;
}
}  // namespace api

void bind_extension_api(Debugger* d, std::string executable_path) {
  api::state().d = d;
  api::state().executable_path = std::move(executable_path);
}

}  // namespace tav

TAV_API uint32_t TavInterfaceVersion(void) { return TAV_EXTENSION_VERSION; }
