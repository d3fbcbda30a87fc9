// The exported extension interface works on one debugger: the one the host
// program made. The host binds it before it loads any extension; until then
// (and after unbinding) every function does nothing and returns 0 or null.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "sim/interrupts.h"

namespace tav {

class Debugger;

void bind_extension_api(Debugger* d, std::string executable_path);

namespace api {

struct State {
  Debugger* d = nullptr;
  std::string executable_path;   // GetExecName, GetTavDir
  InterruptDefinitions interrupts;  // LoadInterrupts, ShowInterrupts
  // Counters handed out to extensions; they only grow.
  std::int32_t next_menu_id = 30000;
  std::int32_t next_message_id = 1124;
  std::int32_t menu_insert_pos = 9;
  std::int32_t chronology = 0;
  std::string selected_name;  // SelectSourceFile, SelectSourceFunction
};
State& state();
inline Debugger* bound() { return state().d; }

// A newly allocated copy (malloc) the caller frees; null for an empty list.
char* dup_text(std::string_view text);
// A list of names: each NUL-terminated, one more NUL at the end; null when empty.
template <class Names>
char* dup_list(const Names& names) {
  std::string block;
  for (const auto& n : names) {
    block.append(n);
    block.push_back('\0');
  }
  if (block.empty()) return nullptr;
  return dup_text(block);  // dup_text adds the final NUL
}

}  // namespace api
}  // namespace tav
