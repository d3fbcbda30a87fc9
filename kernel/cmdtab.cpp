// Matching a command word against a command table. Abbreviations are
// entries of their own; there is no prefix matching.
#include "kernel/cmdtab.h"

#include <cstring>

#include "kernel/debugger.h"

namespace tav {

const CmdEntry* findcmd(const Debugger& d, const char* word) {
  // At most 16 characters take part; the rest of a longer word is cut off.
  char copy[17];
  std::size_t n = 0;
  for (; n < 16 && word[n]; ++n) {
    char c = word[n];
    copy[n] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  copy[n] = '\0';
  for (const CmdEntry* e = d.commands; e && e->name; ++e) {
    if ((e->flags & kCmdInternal) && !d.kernel.internals) continue;
    if (e->length > n || std::memcmp(copy, e->name, e->length) != 0) continue;
    // The word must end here: bytes of 128 and above count as blanks.
    signed char next = static_cast<signed char>(copy[e->length]);
    if (next == '\0' || next == ';' || next < 33 || next == 127) return e;
  }
  return nullptr;
}

}  // namespace tav
