#include "ui/model/menu_settings.h"

#include <string>

#include "kernel/config.h"
#include "kernel/debugger.h"
#include "kernel/output.h"
#include "support/numconv.h"

namespace tav {

namespace {

struct MenuSetting {
  int id;
  void (*apply)(Debugger& d);
};

constexpr MenuSetting kMenuSettings[] = {
    {109, [](Debugger& d) { set_load_symbols_only(d, false); }},  // "&Code and Symbols"
    {110, [](Debugger& d) { set_load_symbols_only(d, true); }},   // "&Symbols Only"
    {460, [](Debugger& d) { set_default_int_format(d, kIntFormatDecimal); }},
    {461, [](Debugger& d) { set_default_int_format(d, kIntFormatOctal); }},
    {462, [](Debugger& d) { set_default_int_format(d, kIntFormatHexadecimal); }},
    {463, [](Debugger& d) { set_default_int_format(d, kIntFormatBinary); }},
};

void menu_line(Debugger& d, const char* line) {
  const char* p = skipblanks(line + 4);  // after "menu"
  std::uint32_t id = 0;
  const int used = numscan32(p, -1, &id, 10);
  const char* after = skipblanks(p + (used > 0 ? used : 0));
  const bool number = used > 0 && *p >= '0' && *p <= '9' && (*after == '\0' || *after == ';');
  if (!number || !run_menu_setting(d, static_cast<int>(id)))
    errout(d, {"menu: no such setting in this host: ", p, "\n"});
}

}  // namespace

bool run_menu_setting(Debugger& d, int id) {
  for (const MenuSetting& s : kMenuSettings)
    if (s.id == id) {
      s.apply(d);
      return true;
    }
  return false;
}

void register_menu_word(Debugger& d) {
  d.ext_commands.add("menu", [&d](const char* line) { menu_line(d, line); });
}

}  // namespace tav
